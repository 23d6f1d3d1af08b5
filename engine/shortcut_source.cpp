// engine/shortcut_source.cpp: records looked up and read one after another, and their pace.
#include "engine/shortcut_source.h"

namespace favpage {

bool Pace::Slow(std::chrono::steady_clock::duration spent) {
    m_spent += spent;
    if (++m_files < kSample) return false;
    m_slowSamples = m_spent >= kSample * kSlowFile ? m_slowSamples + 1 : 0;
    m_files = 0;
    m_spent = std::chrono::steady_clock::duration::zero();
    return m_slowSamples >= 2;
}

bool EntryToRead(const FolderHandle& folder, const std::string& name, bool plainFile,
                 Lookup lookup, DirEntry& entry) {
    if (plainFile && lookup == Lookup::UnlessPlain) {
        PlainFileEntry(name, entry);
        return true;
    }
    return FindEntry(folder, name, kFileMask, entry);
}

SequentialSource::SequentialSource(Lookup lookup)
    : m_lookup(lookup), m_buffer(new char[kShortcutExamineLimit]) {}

void SequentialSource::LookUpAndRead(const FolderHandle& folder, const std::string& name,
                                     bool plainFile) {
    m_record.name = name;
    m_record.text = std::string_view();
    m_record.kind =
        EntryToRead(folder, name, plainFile, m_lookup, m_record.entry)
            ? ReadShortcutFile(folder, m_record.entry, m_buffer.get(), m_utf16Text, m_record.text)
            : TextKind::None;
}

void SequentialSource::Begin(const FolderHandle& folder) {
    m_folder = &folder;
    m_named = false;
}

void SequentialSource::Add(const std::string& name, bool plainFile) {
    m_name = &name;
    m_named = true;
    m_namedPlain = plainFile;
}

const ShortcutRecord& SequentialSource::Take() {
    const auto start = std::chrono::steady_clock::now();
    LookUpAndRead(*m_folder, *m_name, m_namedPlain);
    m_named = false;
    if (m_pace.Slow(std::chrono::steady_clock::now() - start)) m_slow = true;
    return m_record;
}

void SequentialSource::End() {
    m_folder = nullptr;
    m_named = false;
}

const ShortcutRecord& SequentialSource::Read(const FolderHandle& folder, std::string_view name) {
    m_nameRead.assign(name.data(), name.size());
    LookUpAndRead(folder, m_nameRead, false);
    return m_record;
}

}  // namespace favpage
