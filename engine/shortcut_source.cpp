// engine/shortcut_source.cpp: records looked up and read one after another, and their pace.
#include "engine/shortcut_source.h"

namespace favpage {

void LookUpAndRead(const FolderHandle& folder, TextReader reader, ShortcutRecord& record) {
    record.kind = FindEntry(folder, record.name, kFileMask, record.entry)
                      ? reader(folder, record.entry, record.text)
                      : TextKind::None;
}

bool Pace::Slow(std::chrono::steady_clock::duration spent) {
    m_spent += spent;
    if (++m_files < kSample) return false;
    m_slowSamples = m_spent >= kSample * kSlowFile ? m_slowSamples + 1 : 0;
    m_files = 0;
    m_spent = std::chrono::steady_clock::duration::zero();
    return m_slowSamples >= 2;
}

void SequentialSource::Begin(const FolderHandle& folder) {
    m_folder = &folder;
    m_named = false;
}

void SequentialSource::Add(const std::string& name) {
    m_record.name = name;
    m_named = true;
}

const ShortcutRecord& SequentialSource::Take() {
    const auto start = std::chrono::steady_clock::now();
    LookUpAndRead(*m_folder, &ReadShortcutFile, m_record);
    m_named = false;
    if (m_pace.Slow(std::chrono::steady_clock::now() - start)) m_slow = true;
    return m_record;
}

void SequentialSource::End() {
    m_folder = nullptr;
    m_named = false;
}

const ShortcutRecord& SequentialSource::Read(const FolderHandle& folder, std::string_view name) {
    m_record.name.assign(name.data(), name.size());
    LookUpAndRead(folder, &ReadShortcutFile, m_record);
    return m_record;
}

}  // namespace favpage
