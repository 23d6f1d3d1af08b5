// fuzz/fuzz_support.h: what every fuzz target shares: checks that abort, a scratch folder per
// process, and whole-file reads and writes.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace favpage::fuzz {

// A failed check prints what failed and aborts, which both libFuzzer and the corpus replay
// report as a crash of that input.
[[noreturn]] void Fail(const char* file, int line, const char* what, const std::string& detail);

#define FUZZ_CHECK(cond, detail)                                                   \
    do {                                                                           \
        if (!(cond)) ::favpage::fuzz::Fail(__FILE__, __LINE__, #cond, (detail));   \
    } while (0)

// A folder of this process's own, made on first use (in memory where the system offers it) and
// removed when the process exits. Paths are native ('/').
const std::string& ScratchFolder();

// Replaces the file at `path` with exactly `bytes`; aborts when that fails.
void WriteWholeFile(const std::string& path, std::string_view bytes);
// The file's bytes; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// Bytes for a message: printable ASCII as is, everything else as \xNN.
std::string Printable(std::string_view bytes, size_t limit = 400);

}  // namespace favpage::fuzz
