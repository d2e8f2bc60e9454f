// SZDD compressor: an optimal parse of the data into literals and matches, then the coded stream.
//
// Every item costs a fixed number of bits (a flag bit plus one or two bytes), so the file size is
// ceil(bits / 8) and a parse with the fewest bits is also the shortest file. With fixed costs the
// source of a match does not matter and a match can always be cut shorter, so the longest match
// at each position stands for every shorter one and a shortest-path pass over positions finds the
// true minimum.
#include "szdd.h"

#include <array>
#include <limits>

namespace vxpack {
namespace {

constexpr std::uint64_t kLiteralBits = 9;
constexpr std::uint64_t kMatchBits = 17;

void appendHeader(Bytes& out, std::uint32_t expandedLength) {
    out.insert(out.end(), std::begin(kMagic), std::end(kMagic));
    out.push_back(kModeA);
    out.push_back(0);  // replaced last character of the name: the packer never abbreviates names
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<std::uint8_t>(expandedLength >> shift));
    }
}

}  // namespace

Bytes compressSzdd(const std::uint8_t* data, std::size_t size) {
    if (size > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("input is larger than an SZDD header can describe (4 GiB)");
    }

    // steps[i].length becomes the step the parse takes at i: 0 for a literal, else a match.
    std::vector<Match> steps = findLongestMatches(data, size);

    // Backwards, the fewest bits that code data[i..]; only the next kMaxMatch entries are live.
    std::array<std::uint64_t, 32> bitsFrom{};
    static_assert(bitsFrom.size() > kMaxMatch);
    auto at = [&](std::size_t pos) -> std::uint64_t& { return bitsFrom[pos % bitsFrom.size()]; };
    at(size) = 0;
    for (std::size_t i = size; i-- > 0;) {
        std::uint64_t best = std::numeric_limits<std::uint64_t>::max();
        std::uint8_t step = 0;
        // Longest first and only strictly better replaces, so ties go to fewer, longer items.
        for (std::size_t length = steps[i].length; length >= kMinMatch; --length) {
            const std::uint64_t bits = kMatchBits + at(i + length);
            if (bits < best) {
                best = bits;
                step = static_cast<std::uint8_t>(length);
            }
        }
        if (kLiteralBits + at(i + 1) < best) {
            best = kLiteralBits + at(i + 1);
            step = 0;
        }
        steps[i].length = step;
        at(i) = best;
    }

    Bytes out;
    out.reserve(kHeaderSize + size + size / 8 + 1);
    appendHeader(out, static_cast<std::uint32_t>(size));
    std::size_t flagIndex = 0;
    unsigned itemsInGroup = 8;
    for (std::size_t i = 0; i < size;) {
        if (itemsInGroup == 8) {
            flagIndex = out.size();
            out.push_back(0);
            itemsInGroup = 0;
        }
        const Match step = steps[i];
        if (step.length == 0) {
            out[flagIndex] |= static_cast<std::uint8_t>(1u << itemsInGroup);
            out.push_back(data[i]);
            i += 1;
        } else {
            // The decoder addresses its ring absolutely; data byte i lands at kWindowStart + i.
            const std::size_t source = (kWindowStart + kWindowSize + i - step.distance) % kWindowSize;
            out.push_back(static_cast<std::uint8_t>(source & 0xFF));
            out.push_back(static_cast<std::uint8_t>(((source >> 4) & 0xF0) | (step.length - kMinMatch)));
            i += step.length;
        }
        ++itemsInGroup;
    }
    return out;
}

}  // namespace vxpack
