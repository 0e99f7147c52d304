// TTextBlocks: texts kept one after another in large blocks. Adding a text
// allocates only when a block is full, and a text stays where it was put
// until the blocks are cleared, so views of it stay valid. For the many small
// texts of a long list, which would otherwise cost one heap block each.
//
// Cleared, it keeps its blocks for the texts that follow: memory in use costs
// nothing to fill again, while fresh memory costs a page fault for every page
// (dearly so under Wine), and a long list is made anew at every refresh. Trim
// frees the kept blocks that the texts since then did not need.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class TTextBlocks {
public:
    TTextBlocks() = default;
    // The texts move with their blocks; the one moved from is empty.
    TTextBlocks(TTextBlocks&& Other) noexcept { *this = std::move(Other); }
    TTextBlocks& operator=(TTextBlocks&& Other) noexcept
    {
        if (this != &Other) {
            FBlocks = std::move(Other.FBlocks);
            FSpare = std::move(Other.FSpare);
            FFree = std::exchange(Other.FFree, nullptr);
            FLeft = std::exchange(Other.FLeft, 0);
            Other.FBlocks.clear();
            Other.FSpare.clear();
        }
        return *this;
    }
    TTextBlocks(const TTextBlocks&) = delete;
    TTextBlocks& operator=(const TTextBlocks&) = delete;

    // Room for Size bytes, for the caller to fill.
    char* Allocate(std::size_t Size)
    {
        if (Size > FLeft)
            NewBlock(Size);
        char* room = FFree;
        FFree += Size;
        FLeft -= Size;
        return room;
    }

    // Room for Count values of a type that needs no construction, aligned for it.
    template <class T>
    T* AllocateArray(std::size_t Count)
    {
        static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>);
        const std::size_t misalign = reinterpret_cast<std::uintptr_t>(FFree) % alignof(T);
        const std::size_t pad = misalign ? alignof(T) - misalign : 0;
        if (Count > (SIZE_MAX - pad) / sizeof(T))
            throw std::bad_array_new_length();
        if (pad + Count * sizeof(T) > FLeft)
            NewBlock(Count * sizeof(T)); // a block starts aligned for any type
        else
            Allocate(pad);
        return reinterpret_cast<T*>(Allocate(Count * sizeof(T)));
    }

    // Keeps only the first Used bytes of Room, the room the last Allocate gave.
    void Shrink(char* Room, std::size_t Used)
    {
        FLeft += static_cast<std::size_t>(FFree - (Room + Used));
        FFree = Room + Used;
    }

    // A copy of Text.
    std::string_view Add(std::string_view Text)
    {
        char* room = Allocate(Text.size());
        if (!Text.empty())
            std::memcpy(room, Text.data(), Text.size());
        return std::string_view(room, Text.size());
    }

    // Forgets every text; the blocks of the usual size are kept for the next texts.
    void Clear()
    {
        for (TBlock& block : FBlocks)
            if (block.Size == BlockSize)
                FSpare.push_back(std::move(block));
        FBlocks.clear();
        FFree = nullptr;
        FLeft = 0;
    }

    // Frees the kept blocks that no text has taken since the last Clear.
    void Trim()
    {
        FSpare.clear();
        FSpare.shrink_to_fit();
    }

    static constexpr std::size_t BlockSize = 64 * 1024;

private:
    struct TBlock {
        std::unique_ptr<char[]> Bytes;
        std::size_t Size;
    };

    void NewBlock(std::size_t AtLeast)
    {
        if (AtLeast <= BlockSize && !FSpare.empty()) {
            FBlocks.push_back(std::move(FSpare.back()));
            FSpare.pop_back();
        } else {
            const std::size_t size = AtLeast > BlockSize ? AtLeast : BlockSize;
            FBlocks.push_back(TBlock{std::make_unique_for_overwrite<char[]>(size), size});
        }
        FFree = FBlocks.back().Bytes.get();
        FLeft = FBlocks.back().Size;
    }

    std::vector<TBlock> FBlocks; // holding texts
    std::vector<TBlock> FSpare;  // kept for the next texts
    char* FFree = nullptr;
    std::size_t FLeft = 0;
};
