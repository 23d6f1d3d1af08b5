// Fault tests of size: names and paths at and past the walk's working limits, huge and binary
// files, a page that stops fitting on the disk, and a folder of 100,000 entries.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <random>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/shortcut_reader.h"
#include "tests/unit/engine/page_test_support.h"
#include "tests/unit/platform/dir_search_test_support.h"

namespace favpage {
namespace {

using testing::ClassicShortcut;
using testing::DoneText;
using testing::Occurrences;
using testing::QuietHost;
using testing::RunWithFileSizeLimit;
using testing::Crlf;
using testing::GuardedRun;
using testing::InputGuard;
using testing::TempFolder;
using testing::WalkToBytes;


// A text of bytes that may hold 0 bytes, taken whole from a literal.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// Removes everything below the open folder `dir` through descriptors, for trees whose paths are
// too long to name.
void RemoveBelow(int dir) {
    DIR* d = fdopendir(dup(dir));
    std::vector<std::string> names;
    while (const dirent* e = readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") names.push_back(n);
    }
    closedir(d);
    for (const std::string& n : names) {
        if (unlinkat(dir, n.c_str(), 0) == 0) continue;
        const int sub = openat(dir, n.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW);
        if (sub < 0) continue;
        RemoveBelow(sub);
        close(sub);
        unlinkat(dir, n.c_str(), AT_REMOVEDIR);
    }
}

void WriteAt(int dir, const std::string& name, const std::string& bytes) {
    const int fd = openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << name.size();
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
}

TEST(SizeFaultTest, LongestNamesWork) {
    TempFolder t;
    const std::string longName(kMaxNameLength, 'n');  // as long as the system allows
    t.WriteFile("Fav/" + longName.substr(4) + ".url", ClassicShortcut("file.htm"));
    t.WriteFile("Fav/" + longName + "/in.url", ClassicShortcut("in.htm"));
    const std::string f = t.Path("Fav");
    int32_t count = 0;
    const std::string page = WalkToBytes(f, count);
    EXPECT_EQ(count, 2);
    EXPECT_NE(page.find("<li><A HREF=\"file.htm\">" + std::string(kMaxNameLength - 4, 'n') + "</A>"),
              std::string::npos);
    EXPECT_NE(page.find("<p>Shortcuts in " + f + "/" + longName + ":"), std::string::npos);
}

// In the deepest of a chain of folders: a shortcut and a folder whose paths are exactly as long
// as the walk allows, and one byte longer. Those at the limit are on the page, the others are
// passed over whole, and the run ends Done.
TEST(SizeFaultTest, PathsAtAndPastTheLimit) {
    TempFolder t;
    t.MakeFolder("Fav");
    const std::string f = t.Path("Fav");
    const std::string chainName(200, 'c');
    int dir = open(t.Native("Fav").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    std::string folder = f;
    // Leave room for a last name of 50 to 250 bytes.
    while (kMaxPathLength - folder.size() > 250) {
        ASSERT_EQ(mkdirat(dir, chainName.c_str(), 0755), 0);
        const int next = openat(dir, chainName.c_str(), O_RDONLY | O_DIRECTORY);
        close(dir);
        ASSERT_GE(next, 0);
        dir = next;
        folder += "/" + chainName;
    }
    const size_t room = kMaxPathLength - folder.size() - 1;  // the last name's bytes at the limit
    ASSERT_GE(room, 49u);
    ASSERT_LE(room + 1, kMaxNameLength);
    WriteAt(dir, std::string(room - 4, 'a') + ".url", ClassicShortcut("at-limit.htm"));
    WriteAt(dir, std::string(room - 3, 'b') + ".url", ClassicShortcut("past-limit.htm"));
    ASSERT_EQ(mkdirat(dir, std::string(room, 'c').c_str(), 0755), 0);
    ASSERT_EQ(mkdirat(dir, std::string(room + 1, 'd').c_str(), 0755), 0);
    ASSERT_EQ((folder + "/" + std::string(room, 'c')).size(), kMaxPathLength);

    QuietHost host;
    int32_t count = 0;
    EXPECT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    EXPECT_EQ(host.last, DoneText(f, 1));
    const std::string page = t.ReadFile("page.htm");
    EXPECT_NE(page.find("<li><A HREF=\"at-limit.htm\">"), std::string::npos);
    EXPECT_EQ(page.find("past-limit"), std::string::npos);
    EXPECT_NE(page.find("<p>The folder " + folder + "/" + std::string(room, 'c') + " has no shortcuts."),
              std::string::npos);
    EXPECT_EQ(page.find(std::string(room + 1, 'd')), std::string::npos);

    const int top = open(t.Native("Fav").c_str(), O_RDONLY | O_DIRECTORY);
    RemoveBelow(top);
    close(top);
    close(dir);
}

// Bytes the process has read so far, as the kernel counts them.
uint64_t BytesReadSoFar() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:") return value;
    }
    return 0;
}

// Sparse files of 2, 4 and 5 GiB, one no shortcut at all and three that start like one: only
// the first 64 KiB of each are read, and a length whose low 32 bits are small (or 0) does not
// cut the read short.
TEST(SizeFaultTest, HugeFilesAreReadOnlyAsFarAsTheLimit) {
    if (BytesReadSoFar() == 0) GTEST_SKIP() << "no read counts in /proc here";
    TempFolder t;
    t.MakeFolder("Fav");
    struct Huge {
        const char* name;
        std::string start;
        off_t size;
    };
    const Huge files[] = {
        {"zeros.url", "", off_t{2} << 30},
        {"starts.url", ClassicShortcut("http://huge/"), off_t{2} << 30},
        {"over4g.url", ClassicShortcut("http://over/"), (off_t{5} << 30) + 7},
        {"just4g.url", ClassicShortcut("http://four/"), off_t{4} << 30},
    };
    for (const Huge& h : files) {
        const int fd = open(t.Native(std::string("Fav/") + h.name).c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(write(fd, h.start.data(), h.start.size()), static_cast<ssize_t>(h.start.size()));
        ASSERT_EQ(ftruncate(fd, h.size), 0) << "no sparse files here";
        close(fd);
    }
    const std::string f = t.Path("Fav");
    InputGuard guard(f);
    QuietHost host;
    int32_t count = 0;
    const uint64_t before = BytesReadSoFar();
    EXPECT_EQ(RunConversion(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    const uint64_t read = BytesReadSoFar() - before;
    EXPECT_EQ(count, 3);
    EXPECT_LT(read, 4 * kShortcutExamineLimit + 64 * 1024) << "read " << read << " bytes";
    const std::string page = t.ReadFile("page.htm");
    EXPECT_NE(page.find("<li><A HREF=\"http://huge/\">starts</A>"), std::string::npos);
    EXPECT_NE(page.find("<li><A HREF=\"http://over/\">over4g</A>"), std::string::npos);
    EXPECT_NE(page.find("<li><A HREF=\"http://four/\">just4g</A>"), std::string::npos);
}

// Binary files, and shortcuts with 0 bytes in them. A 0 byte ends a line's text, as it ends the
// text Windows hands over for it; nothing after it reaches the page.
TEST(SizeFaultTest, BinaryFilesAndZeroBytes) {
    TempFolder t;
    std::mt19937 random(7);
    std::string noise(100000, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    for (char& c : noise) {
        if (c == '[' || c == '\x1A') c = ']';  // no section header, no early end by chance
    }
    struct Case {
        const char* name;
        std::string bytes;
        const char* link;  // nullptr: no shortcut
    };
    const Case cases[] = {
        {"noise.url", noise, nullptr},
        {"zeros.url", std::string(5000, '\0'), nullptr},
        {"after-noise.url", noise.substr(0, 3000) + "\n[InternetShortcut]\nURL=after\n",
         "<li><A HREF=\"after\">after-noise</A>"},
        {"zero-in-url.url", Bytes("[InternetShortcut]\r\nURL=http://a/\0<script>\r\n"),
         "<li><A HREF=\"http://a/\">zero-in-url</A>"},
        {"zero-in-header.url", Bytes("[Internet\0Shortcut]\r\nURL=x\r\n"), nullptr},
        {"zero-after-header.url", Bytes("[InternetShortcut]\0junk\r\nURL=ok\r\n"),
         "<li><A HREF=\"ok\">zero-after-header</A>"},
        {"zero-lines.url", Bytes("\0\0\0\r\n[InternetShortcut]\r\n\0\r\nURL=z\r\n"),
         "<li><A HREF=\"z\">zero-lines</A>"},
    };
    int expected = 0;
    for (const Case& c : cases) {
        t.WriteFile(std::string("Fav/") + c.name, c.bytes);
        if (c.link) ++expected;
    }
    int32_t count = 0;
    const std::string page = WalkToBytes(t.Path("Fav"), count);
    EXPECT_EQ(count, expected);
    for (const Case& c : cases) {
        if (c.link) {
            EXPECT_NE(page.find(c.link), std::string::npos) << c.name << "\n" << page;
        }
    }
    EXPECT_EQ(page.find('\0'), std::string::npos) << "no 0 byte reaches the page";
    EXPECT_EQ(page.find("script"), std::string::npos);
}

// A page that stops fitting part-way (the file-size limit) ends the walk soon after, rather than
// reading the rest of a large tree for a page that cannot be written. The outcome texts, the old
// page and the missing temporary file are covered with the run's own tests
// (tests/unit/engine/conversion_run_test.cpp); here the walk's early end.
TEST(SizeFaultTest, WriteFailureEndsTheWalkEarly) {
    constexpr int kShortcuts = 4000;  // a page of about 600 kB
    TempFolder t;
    for (int i = 0; i < kShortcuts; ++i) {
        t.WriteFile("Fav/f" + std::to_string(i % 40) + "/l" + std::to_string(i) + ".url",
                    ClassicShortcut("http://example.com/" + std::string(100, 'p')));
    }
    t.WriteFile("page.htm", "old");
    const std::string folder = t.Path("Fav");
    const std::string output = t.Path("page.htm");
    InputGuard guard(folder);
    const std::optional<int> code = RunWithFileSizeLimit(4096, [&] {
        QuietHost host;
        int32_t count = 0;
        const ConversionResult r = RunConversion(folder, output, host, count);
        if (r != ConversionResult::CannotWrite || host.last != "Unable to write " + output) return 1;
        return count < kShortcuts * 3 / 4 ? 0 : 2;
    });
    ASSERT_TRUE(code);
    EXPECT_NE(*code, 1) << "the run must end with \"Unable to write\"";
    EXPECT_NE(*code, 2) << "the walk went on long after the page failed";
    EXPECT_EQ(t.ReadFile("page.htm"), "old");
    EXPECT_EQ(t.EntryCount(), 2u);
}

// A small file system of its own (tmpfs) mounted on a folder for as long as the object lives.
class SmallDisk {
public:
    SmallDisk(const std::string& folder, const std::string& options) : m_folder(folder) {
        m_mounted = mount("favpage-test", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted) umount2(m_folder.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return m_mounted; }

private:
    std::string m_folder;
    bool m_mounted = false;
};

// A full disk never costs the old page. On a 64 KiB disk with no inode left, no temporary file
// can be made: the run ends with "Unable to open" before the page is touched. A page with two
// names is written in place; when the disk fills part-way, its old bytes are put back and the
// run ends with "Unable to write".
TEST(SizeFaultTest, AFullDiskNeverCostsTheOldPage) {
    struct Case {
        const char* label;
        const char* options;
        bool twoNames;
        ConversionResult result;
        const char* text;
    };
    const Case cases[] = {
        {"no inode left", "size=64k,nr_inodes=2", false, ConversionResult::CannotOpen,
         "Unable to open "},
        {"in place, the disk fills part-way", "size=64k", true, ConversionResult::CannotWrite,
         "Unable to write "},
    };
    TempFolder t;
    for (int i = 0; i < 1500; ++i) {  // a page of about 250 kB
        t.WriteFile("Fav/f" + std::to_string(i % 15) + "/l" + std::to_string(i) + ".url",
                    ClassicShortcut("http://example.com/" + std::string(100, 'p')));
    }
    std::string old;
    for (int i = 0; i < 75; ++i) old += "old page " + std::to_string(i % 10) + "\r\n";
    ASSERT_EQ(old.size(), 900u);
    const std::string folder = t.Path("Fav");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        t.MakeFolder("disk");
        SmallDisk disk(t.Native("disk"), c.options);
        if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
        t.WriteFile("disk/page.htm", old);
        if (c.twoNames) {
            ASSERT_EQ(link(t.Native("disk/page.htm").c_str(), t.Native("disk/other.htm").c_str()),
                      0);
        }
        const std::string output = t.Path("disk/page.htm");
        InputGuard guard(folder);
        QuietHost host;
        int32_t count = 0;
        EXPECT_EQ(RunConversion(folder, output, host, count), c.result);
        EXPECT_EQ(host.last, c.text + output);
        EXPECT_EQ(t.ReadFile("disk/page.htm"), old);
        size_t entries = 0;
        for (const auto& e : std::filesystem::directory_iterator(t.Native("disk"))) {
            (void)e;
            ++entries;
        }
        EXPECT_EQ(entries, c.twoNames ? 2u : 1u) << "no temporary file is left";
    }
}

// One folder of 100,000 entries: empty files, a few shortcuts among them, and a few folders.
// Listed whole, each name once, and walked into a page of just the shortcuts, in order.
TEST(SizeFaultTest, FolderOfAHundredThousandEntries) {
    constexpr int kEntries = 100000;
    TempFolder t;
    t.MakeFolder("Fav");
    const int dir = open(t.Native("Fav").c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(dir, 0);
    for (int i = 0; i < kEntries - 6; ++i) {
        const int fd = openat(dir, ("e" + std::to_string(i) + ".url").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        close(fd);
    }
    close(dir);
    t.WriteFile("Fav/zz last.url", ClassicShortcut("last.htm"));
    t.WriteFile("Fav/aa first.url", ClassicShortcut("first.htm"));
    t.WriteFile("Fav/e5000x.url", ClassicShortcut("middle.htm"));
    for (const char* sub : {"Fav/s1/x.url", "Fav/s2/y.url", "Fav/S3/z.txt"}) {
        t.WriteFile(sub, ClassicShortcut(sub));
    }

    const auto names = testing::Names(t.Path("Fav/*.*"), kFileMask, Detail::NamesAndKinds);
    EXPECT_EQ(names.size(), static_cast<size_t>(kEntries - 3));

    const std::string f = t.Path("Fav");
    QuietHost host;
    int32_t count = 0;
    ASSERT_EQ(GuardedRun(f, t.Path("page.htm"), host, count), ConversionResult::Done);
    EXPECT_EQ(host.last, DoneText(f, 6));
    const std::string page = t.ReadFile("page.htm");
    const size_t first = page.find(">aa first</A>");
    const size_t middle = page.find(">e5000x</A>");
    const size_t last = page.find(">zz last</A>");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(middle, std::string::npos);
    ASSERT_NE(last, std::string::npos);
    EXPECT_LT(first, middle);
    EXPECT_LT(middle, last);
    EXPECT_EQ(Occurrences(page, "<A NAME=\""), 3u);
    EXPECT_LT(page.size(), 4096u) << "empty files add nothing";
}

}  // namespace
}  // namespace favpage
