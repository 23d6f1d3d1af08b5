// engine/link_store.h: LinkStore, where a folder's finished links wait for their turn on the page.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace favpage {

// Texts kept back to back in blocks that never move, each found again by a 32-bit handle.
// Unlike one growing string, growing copies nothing and touches each page of memory once; and
// Clear() keeps the blocks for the next folder, so a walk allocates for its largest folder only.
// A store holds less than 4 GiB (16,384 blocks of 256 KiB); past that, Add throws.
class LinkStore {
public:
    // Keeps `text`, with a one-bit `mark` of the caller's; returns its handle.
    uint32_t Add(std::string_view text, bool mark);
    std::string_view Text(uint32_t handle) const;
    bool Marked(uint32_t handle) const;
    // Asks the processor to start fetching the text behind `handle`, which is wanted soon.
    void Prefetch(uint32_t handle) const;
    // Bytes kept since the last Clear().
    size_t Size() const { return m_size; }
    void Clear();

private:
    static constexpr unsigned kOffsetBits = 18;
    static constexpr size_t kBlockSize = size_t(1) << kOffsetBits;
    static constexpr size_t kHeader = sizeof(uint32_t);  // the length and the mark
    static constexpr uint32_t kMark = 0x80000000u;

    struct Block {
        std::unique_ptr<char[]> data;
        size_t capacity = 0;
    };
    const char* At(uint32_t handle) const {
        return m_blocks[handle >> kOffsetBits].data.get() + (handle & (kBlockSize - 1));
    }
    uint32_t Header(uint32_t handle) const;
    void NextBlock(size_t need);

    std::vector<Block> m_blocks;  // the first m_inUse hold texts; the rest wait for reuse
    size_t m_inUse = 0;
    size_t m_used = 0;  // bytes used in the last block in use
    size_t m_size = 0;
};

}  // namespace favpage
