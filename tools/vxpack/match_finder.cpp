// Match finder for the compressor: the longest match at every position, exactly.
//
// Positions of the window are kept in binary search trees ordered by the kMaxMatch bytes that
// start at each position, one tree per hash of the first kMinMatch bytes. The string sharing the
// longest prefix with a new one is its neighbour in that order, and both neighbours lie on the
// path that inserts the new string, so one walk both finds the longest match and inserts. The new
// string becomes the root and the walk splits the old tree into its two subtrees; every node is
// thus older than its parent, and a walk stops at the first node that has left the window.
#include "szdd.h"

#include <algorithm>
#include <cstring>

namespace vxpack {
namespace {

constexpr unsigned kHashBits = 16;
constexpr std::int64_t kNone = -1;
// Child links live in a ring indexed by position. It is twice the window so that the slot of the
// node a whole window back, still a valid source, is not reused by the node being inserted.
constexpr std::size_t kLinkRing = 2 * kWindowSize;

inline std::size_t hashAt(const std::uint8_t* p) {
    const std::uint32_t key = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    return (key * 2654435761u) >> (32 - kHashBits);
}

class SearchTrees {
public:
    explicit SearchTrees(const std::uint8_t* text)
        : text_(text), root_(std::size_t{1} << kHashBits, kNone), left_(kLinkRing), right_(kLinkRing) {}

    // Inserts the string at `cur` (compared over `maxLength` bytes) and returns the longest
    // match among the strings no older than `oldest`, with its position (kNone if below
    // kMinMatch).
    Match insert(std::int64_t cur, std::size_t maxLength, std::int64_t oldest) {
        std::int64_t& root = root_[hashAt(text_ + cur)];
        std::int64_t cand = root;
        root = cur;
        // Where the next node smaller (larger) than cur hangs, and the prefix cur shares with
        // the nearest smaller (larger) node seen: every node below shares the lesser of the two.
        std::int64_t* hangSmaller = &left(cur);
        std::int64_t* hangLarger = &right(cur);
        std::size_t sharedSmaller = 0;
        std::size_t sharedLarger = 0;
        std::size_t best = kMinMatch - 1;
        std::int64_t bestPos = kNone;
        while (cand >= oldest) {
            std::size_t length = std::min(sharedSmaller, sharedLarger);
            while (length < maxLength && text_[cand + length] == text_[cur + length]) {
                ++length;
            }
            if (length > best) {
                best = length;
                bestPos = cand;
            }
            if (length == maxLength) {
                // Equal as far as any later search compares: cur takes the old node's place.
                *hangSmaller = left(cand);
                *hangLarger = right(cand);
                return result(cur, best, bestPos);
            }
            if (text_[cand + length] < text_[cur + length]) {
                *hangSmaller = cand;
                hangSmaller = &right(cand);
                sharedSmaller = length;
                cand = right(cand);
            } else {
                *hangLarger = cand;
                hangLarger = &left(cand);
                sharedLarger = length;
                cand = left(cand);
            }
        }
        *hangSmaller = kNone;
        *hangLarger = kNone;
        return result(cur, best, bestPos);
    }

private:
    std::int64_t& left(std::int64_t pos) { return left_[static_cast<std::size_t>(pos) % kLinkRing]; }
    std::int64_t& right(std::int64_t pos) { return right_[static_cast<std::size_t>(pos) % kLinkRing]; }

    static Match result(std::int64_t cur, std::size_t length, std::int64_t pos) {
        if (pos == kNone) {
            return Match{0, 0};
        }
        return Match{static_cast<std::uint8_t>(length), static_cast<std::uint16_t>(cur - pos)};
    }

    const std::uint8_t* text_;
    std::vector<std::int64_t> root_;
    std::vector<std::int64_t> left_;
    std::vector<std::int64_t> right_;
};

}  // namespace

std::vector<Match> findLongestMatches(const std::uint8_t* data, std::size_t size) {
    std::vector<Match> matches(size, Match{0, 0});
    if (size < kMinMatch) {
        return matches;
    }

    // The data is searched behind a copy of the ring's initial spaces, so matches into the
    // pre-filled window and matches that overlap their own output need no special case.
    const std::int64_t origin = kWindowSize;
    const std::int64_t end = origin + static_cast<std::int64_t>(size);
    Bytes buffer(kWindowSize + size);
    std::memset(buffer.data(), kWindowFill, kWindowSize);
    std::memcpy(buffer.data() + origin, data, size);
    SearchTrees trees(buffer.data());

    // Every prefix position at least kMaxMatch spaces before the data offers the same bytes, so
    // only the newest of them is inserted; the ones closer to the data each start a different
    // mix of spaces and data.
    for (std::int64_t pos = origin - static_cast<std::int64_t>(kMaxMatch); pos < origin; ++pos) {
        trees.insert(pos, std::min<std::size_t>(kMaxMatch, static_cast<std::size_t>(end - pos)), 0);
    }
    // The last kMinMatch - 1 positions can neither start a match nor serve as a source.
    for (std::int64_t cur = origin; cur + static_cast<std::int64_t>(kMinMatch) <= end; ++cur) {
        const std::size_t maxLength = std::min<std::size_t>(kMaxMatch, static_cast<std::size_t>(end - cur));
        matches[static_cast<std::size_t>(cur - origin)] =
            trees.insert(cur, maxLength, cur - static_cast<std::int64_t>(kMaxDistance));
    }
    return matches;
}

}  // namespace vxpack
