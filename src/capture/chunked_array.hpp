// An append-only array kept in fixed-size chunks, for stores that grow through a whole day.
#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <type_traits>
#include <vector>

namespace orvane {

// Appending never moves what is stored: a growing capture costs no copy of everything so far
// and no moment with twice its memory in use, as a doubling vector would. Reading an element is
// one shift and one mask. A chunk's memory is not cleared when it is taken: each element is
// made as it is appended, so a capture pays once for the memory it fills.
template <typename T, unsigned kChunkBits = 16>
class ChunkedArray {
    static_assert(std::is_trivially_destructible_v<T>, "chunks are freed without destructors");

  public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << kChunkBits;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    void push_back(const T& value) {
        if ((size_ & (kChunkSize - 1)) == 0) {
            if (spare_) {
                chunks_.push_back(std::move(spare_));
            } else {
                chunks_.emplace_back(std::allocator<T>().allocate(kChunkSize));
            }
        }
        std::construct_at(chunks_.back().get() + (size_ & (kChunkSize - 1)), value);
        ++size_;
    }

    T& operator[](std::size_t index) {
        return chunks_[index >> kChunkBits].get()[index & (kChunkSize - 1)];
    }
    const T& operator[](std::size_t index) const {
        return chunks_[index >> kChunkBits].get()[index & (kChunkSize - 1)];
    }

    T& back() { return (*this)[size_ - 1]; }
    const T& back() const { return (*this)[size_ - 1]; }

    void clear() {
        chunks_.clear();
        spare_.reset();
        size_ = 0;
        released_ = 0;
    }

    // Frees the whole chunks that lie below `index`; those elements must not be read again.
    // Indices of the rest stay as they were. A long capture written out as it arrives keeps only
    // what it still needs.
    void ReleaseBefore(std::size_t index) {
        const std::size_t chunks = std::min(index >> kChunkBits, chunks_.size());
        // One freed chunk is kept for the next append: a capture written out as it grows then
        // reuses memory it has already touched instead of taking fresh pages for every chunk.
        for (std::size_t k = released_; k < chunks; ++k) {
            if (!spare_) {
                spare_ = std::move(chunks_[k]);
            } else {
                chunks_[k].reset();
            }
        }
        released_ = std::max(released_, chunks);
    }

    // Bytes held, for memory figures.
    std::size_t capacityBytes() const {
        return (chunks_.size() - released_ + (spare_ ? 1 : 0)) * kChunkSize * sizeof(T);
    }

  private:
    struct FreeChunk {
        void operator()(T* chunk) const { std::allocator<T>().deallocate(chunk, kChunkSize); }
    };
    std::vector<std::unique_ptr<T, FreeChunk>> chunks_;
    std::size_t size_ = 0;
    std::size_t released_ = 0;  // chunks freed at the front
    std::unique_ptr<T, FreeChunk> spare_;
};

}  // namespace orvane
