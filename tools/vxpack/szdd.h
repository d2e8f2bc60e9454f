// SZDD container codec used by the packer: constants of the format, the compressor with its
// optimal parser, and a strict expander.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace vxpack {

using Bytes = std::vector<std::uint8_t>;

// Format constants. The decoder's ring starts full of spaces with its write position 16 bytes
// before the end, so the first bytes of a file can already copy spaces from the ring.
constexpr std::size_t kHeaderSize = 14;
constexpr std::uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr std::uint8_t kModeA = 'A';
constexpr std::size_t kWindowSize = 4096;
constexpr std::size_t kWindowStart = kWindowSize - 16;
constexpr std::uint8_t kWindowFill = ' ';
constexpr std::size_t kMinMatch = 3;
constexpr std::size_t kMaxMatch = 18;
// A match may reach back a whole window: at distance 4096 the decoder reads each ring cell just
// before overwriting it, which every expander we check against does.
constexpr std::size_t kMaxDistance = kWindowSize;

// Raised by expandSzdd for anything that is not a well-formed SZDD file; the message is one line.
class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The longest match available at one position: `length` bytes (0 when shorter than kMinMatch)
// copied from `distance` bytes back, where positions before the start of the data are the
// ring's initial spaces.
struct Match {
    std::uint8_t length;
    std::uint16_t distance;
};

// For every position of `data`, the longest match the window allows (capped at kMaxMatch and at
// the end of the data).
std::vector<Match> findLongestMatches(const std::uint8_t* data, std::size_t size);

// Compresses `data` into a complete SZDD file (header included) of the smallest size the format
// allows. Throws std::length_error when the data does not fit the 32-bit length field.
Bytes compressSzdd(const std::uint8_t* data, std::size_t size);

// Expands a complete SZDD file. Throws FormatError unless the file is well formed and expands to
// exactly its declared length.
Bytes expandSzdd(const std::uint8_t* file, std::size_t size);

inline Bytes compressSzdd(const Bytes& data) { return compressSzdd(data.data(), data.size()); }
inline Bytes expandSzdd(const Bytes& file) { return expandSzdd(file.data(), file.size()); }

}  // namespace vxpack
