// A small, fast LZ77 coder for the blocks a long capture keeps in memory.
#pragma once

#include <cstdint>
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

}  // namespace orvane
