// A small, fast LZ77 coder for the blocks a long capture keeps in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace orvane {

// A line carries the same few packets over and over, so a block of its bytes shrinks several
// times over by naming earlier copies instead of repeating them. The coding is this program's
// own and never leaves memory: it is tuned for speed (a block is decoded in microseconds when a
// row needs it), not for the last few percent of size.
//
// The coded form is a list of sequences: a token (literal count in the high nibble, match
// length less 4 in the low one; 15 means more count follows in bytes of up to 255), the
// literals, then a two-byte offset back to the match's copy. The last sequence has literals
// only. Blocks are at most 65,535 bytes, so every offset fits.
inline constexpr std::size_t kMaxCodecBlock = 65535;

// Appends the coded form of `input` (at most kMaxCodecBlock bytes) to `output`.
void EncodeBlock(std::span<const std::uint8_t> input, std::vector<std::uint8_t>& output);

// Decodes `coded` into `output`, which must have the block's exact size. False when the coded
// form is damaged or does not fill `output` exactly.
bool DecodeBlock(std::span<const std::uint8_t> coded, std::span<std::uint8_t> output);

// One block kept coded: exactly its coded bytes, with no spare room.
class CodedBlock {
  public:
    CodedBlock() = default;
    // Codes `input` (at most kMaxCodecBlock bytes).
    explicit CodedBlock(std::span<const std::uint8_t> input);

    // Decodes the block into `output`, which must have its exact size. The coding never leaves
    // memory, so a block that does not decode is a fault in this program, not in any input:
    // the program stops rather than show it wrong.
    void DecodeInto(std::span<std::uint8_t> output) const;

    std::size_t size() const { return size_; }
    // Frees the coding; the block must not be decoded again.
    void Release() {
        data_.reset();
        size_ = 0;
    }

  private:
    std::unique_ptr<std::uint8_t[]> data_;
    std::uint32_t size_ = 0;
};

// Numbers that change little from one to the next code best as byte planes: all their low
// bytes, then all the next ones, and so on, where the high planes are nearly all zero. Word k
// of a group of 4 planes `stride` bytes long is planes[k], planes[stride + k], ..., low first.
inline void PutWordPlanes(std::uint8_t* planes, std::size_t stride, std::size_t k,
                          std::uint32_t word) {
    for (std::size_t j = 0; j < 4; ++j)
        planes[j * stride + k] = static_cast<std::uint8_t>(word >> (8 * j));
}
inline std::uint32_t WordFromPlanes(const std::uint8_t* planes, std::size_t stride, std::size_t k) {
    return std::uint32_t{planes[k]} | (std::uint32_t{planes[stride + k]} << 8) |
           (std::uint32_t{planes[2 * stride + k]} << 16) |
           (std::uint32_t{planes[3 * stride + k]} << 24);
}

}  // namespace orvane
