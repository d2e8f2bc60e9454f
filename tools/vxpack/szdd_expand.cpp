// Strict SZDD expander, used to check packed files before they are carried.
//
// The format has no checksum, so only the structure can be checked. A file is rejected when:
//  - it is shorter than the header, the magic differs, or the mode is not 'A';
//  - the items end before the declared length is produced (truncated);
//  - a match would produce bytes past the declared length (the coder never splits a match, so
//    such a stream does not come from this length);
//  - any byte follows the item that completes the declared length (trailing data), which also
//    rejects a spare flag byte with no items behind it.
// The unused bits of the last flag byte carry nothing and are not checked, and every ring
// position is a valid match source because the ring starts full of spaces.
#include "szdd.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

namespace vxpack {

Bytes expandSzdd(const std::uint8_t* file, std::size_t size) {
    if (size < kHeaderSize) {
        throw FormatError("too short for an SZDD header (" + std::to_string(size) + " bytes)");
    }
    if (std::memcmp(file, kMagic, sizeof kMagic) != 0) {
        throw FormatError("not an SZDD file (bad magic)");
    }
    if (file[8] != kModeA) {
        throw FormatError("unsupported SZDD compression mode " + std::to_string(file[8]));
    }
    const std::uint32_t declared = std::uint32_t{file[10]} | (std::uint32_t{file[11]} << 8) |
                                   (std::uint32_t{file[12]} << 16) | (std::uint32_t{file[13]} << 24);

    std::array<std::uint8_t, kWindowSize> ring;
    ring.fill(kWindowFill);
    std::size_t write = kWindowStart;
    Bytes out;
    // A lying header must not make us allocate gigabytes: a match yields at most 18 bytes for
    // 2 bytes and a flag bit, so the data can never expand more than 9 times.
    out.reserve(std::min<std::size_t>(declared, (size - kHeaderSize) * 9));

    auto truncated = [&]() {
        return FormatError("truncated: data ends after " + std::to_string(out.size()) + " of " +
                           std::to_string(declared) + " bytes");
    };
    auto emit = [&](std::uint8_t byte) {
        out.push_back(byte);
        ring[write] = byte;
        write = (write + 1) % kWindowSize;
    };

    std::size_t in = kHeaderSize;
    while (out.size() < declared) {
        if (in == size) {
            throw truncated();
        }
        const unsigned flags = file[in++];
        for (unsigned bit = 0; bit < 8 && out.size() < declared; ++bit) {
            if (flags & (1u << bit)) {
                if (in == size) {
                    throw truncated();
                }
                emit(file[in++]);
                continue;
            }
            if (size - in < 2) {
                throw truncated();
            }
            std::size_t source = file[in] | ((file[in + 1] & 0xF0u) << 4);
            const std::size_t length = (file[in + 1] & 0x0Fu) + kMinMatch;
            if (length > declared - out.size()) {
                throw FormatError("corrupt: match at offset " + std::to_string(in) +
                                  " runs past the declared length of " + std::to_string(declared) +
                                  " bytes");
            }
            in += 2;
            // Byte by byte, so a match may copy bytes it has just produced.
            for (std::size_t k = 0; k < length; ++k) {
                emit(ring[source]);
                source = (source + 1) % kWindowSize;
            }
        }
    }
    if (in != size) {
        throw FormatError("corrupt: " + std::to_string(size - in) +
                          " bytes of trailing data after the declared length");
    }
    return out;
}

}  // namespace vxpack
