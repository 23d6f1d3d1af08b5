// engine/link_store.cpp: blocks of kept texts and their handles.
#include "engine/link_store.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace favpage {

uint32_t LinkStore::Add(std::string_view text, bool mark) {
    const size_t need = kHeader + text.size();
    // A text starts where its offset fits in a handle; a text bigger than a block gets a block
    // of its own size.
    if (m_inUse == 0 || m_used >= kBlockSize || m_used + need > m_blocks[m_inUse - 1].capacity) {
        NextBlock(need);
    }
    char* at = m_blocks[m_inUse - 1].data.get() + m_used;
    const uint32_t header = static_cast<uint32_t>(text.size()) | (mark ? kMark : 0);
    std::memcpy(at, &header, kHeader);
    if (!text.empty()) std::memcpy(at + kHeader, text.data(), text.size());
    const uint32_t handle = static_cast<uint32_t>(((m_inUse - 1) << kOffsetBits) | m_used);
    m_used += need;
    m_size += need;
    return handle;
}

void LinkStore::NextBlock(size_t need) {
    // Handles have room for 16,384 blocks: more than 4 GiB of names and links in one folder.
    if (m_inUse == (size_t(1) << (32 - kOffsetBits))) throw std::length_error("LinkStore full");
    if (m_inUse == m_blocks.size()) m_blocks.emplace_back();
    Block& b = m_blocks[m_inUse];
    if (b.capacity < need) {
        b.capacity = std::max(need, kBlockSize);
        b.data.reset(new char[b.capacity]);
    }
    ++m_inUse;
    m_used = 0;
}

uint32_t LinkStore::Header(uint32_t handle) const {
    uint32_t header;
    std::memcpy(&header, At(handle), kHeader);
    return header;
}

std::string_view LinkStore::Text(uint32_t handle) const {
    return std::string_view(At(handle) + kHeader, Header(handle) & ~kMark);
}

bool LinkStore::Marked(uint32_t handle) const { return (Header(handle) & kMark) != 0; }

void LinkStore::Prefetch(uint32_t handle) const {
#if defined(__GNUC__)
    // A link line spans two or three cache lines.
    const char* p = At(handle);
    __builtin_prefetch(p);
    __builtin_prefetch(p + 64);
    __builtin_prefetch(p + 128);
#else
    (void)handle;
#endif
}

void LinkStore::Clear() {
    m_inUse = 0;
    m_used = 0;
    m_size = 0;
}

}  // namespace favpage
