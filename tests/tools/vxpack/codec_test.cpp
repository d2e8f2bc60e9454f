// Codec tests: round trips, exactness of the match finder, optimality of the parse, and the
// expander's rejection of malformed files.
#include "szdd.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vxpack::test {
namespace {

std::vector<NamedInput> allInputs() {
    std::vector<NamedInput> inputs = generatedInputs();
    for (auto& file : realFiles()) {
        inputs.push_back(std::move(file));
    }
    return inputs;
}

// The size of the file a greedy parse over the same matches would give: always the longest
// match, else a literal.
std::size_t greedySize(const Bytes& data) {
    const std::vector<Match> matches = findLongestMatches(data.data(), data.size());
    std::size_t items = 0;
    std::size_t payload = 0;
    for (std::size_t i = 0; i < data.size(); ++items) {
        const bool literal = matches[i].length == 0;
        payload += literal ? 1 : 2;
        i += literal ? 1 : matches[i].length;
    }
    return kHeaderSize + (items + 7) / 8 + payload;
}

TEST(SzddCodec, EveryInputSurvivesARoundTrip) {
    for (const auto& input : allInputs()) {
        SCOPED_TRACE(input.name);
        const Bytes packed = compressSzdd(input.bytes);
        ASSERT_GE(packed.size(), kHeaderSize);
        EXPECT_TRUE(std::equal(std::begin(kMagic), std::end(kMagic), packed.begin()));
        EXPECT_EQ(packed[8], 'A');
        EXPECT_EQ(packed[9], 0);
        EXPECT_TRUE(expandSzdd(packed) == input.bytes) << "expanded bytes differ";
    }
}

// Sizes worked out by hand from the 9- and 17-bit item costs.
TEST(SzddCodec, SmallInputsReachTheirHandComputedMinimum) {
    struct Case {
        const char* name;
        Bytes input;
        std::size_t size;
    };
    const Case cases[] = {
        {"nothing", {}, 14},
        {"one literal", {'a'}, 14 + 1 + 1},
        {"one full flag group", Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'}, 14 + 1 + 8},
        {"a second flag byte", Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'}, 14 + 2 + 9},
        {"18 spaces: one match into the pre-filled window", Bytes(18, ' '), 14 + 1 + 2},
        {"20 spaces: 17 + 3 beats 18 + 2 literals", Bytes(20, ' '), 14 + 1 + 4},
        {"19 x: a literal, then a match over its own output", Bytes(19, 'x'), 14 + 1 + 1 + 2},
        {"100 x: a literal and six matches", Bytes(100, 'x'), 14 + 1 + 1 + 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Bytes packed = compressSzdd(c.input);
        EXPECT_EQ(packed.size(), c.size);
        EXPECT_EQ(expandSzdd(packed), c.input);
    }
}

TEST(SzddCodec, MatchFinderAgreesWithAnExhaustiveSearch) {
    const NamedInput inputs[] = {
        {"spaces then text", generatedInput("spaces_then_text")},
        {"indented text", generatedInput("indented_text")},
        {"small alphabet", generatedInput("small_alphabet")},
        {"window distance repeat", generatedInput("window_distance_repeat")},
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.name);
        const Bytes& data = input.bytes;
        // Data before the start reads as the ring's initial spaces.
        auto at = [&](std::ptrdiff_t pos) -> int { return pos < 0 ? ' ' : data[static_cast<std::size_t>(pos)]; };
        const std::vector<Match> found = findLongestMatches(data.data(), data.size());
        for (std::size_t i = 0; i < data.size(); ++i) {
            const std::size_t maxLength = std::min(kMaxMatch, data.size() - i);
            std::size_t longest = 0;
            for (std::size_t distance = 1; distance <= kMaxDistance && longest < maxLength; ++distance) {
                std::size_t length = 0;
                while (length < maxLength && at(std::ptrdiff_t(i + length) - std::ptrdiff_t(distance)) == data[i + length]) {
                    ++length;
                }
                longest = std::max(longest, length);
            }
            if (longest < kMinMatch) {
                longest = 0;
            }
            ASSERT_EQ(found[i].length, longest) << "at position " << i;
            ASSERT_TRUE(found[i].length == 0 || (found[i].distance >= 1 && found[i].distance <= kMaxDistance));
            for (std::size_t k = 0; k < found[i].length; ++k) {
                ASSERT_EQ(at(std::ptrdiff_t(i + k) - found[i].distance), data[i + k]) << "at position " << i;
            }
        }
    }
}

TEST(SzddCodec, OptimalParseIsNeverLargerThanGreedy) {
    std::size_t optimalTotal = 0;
    std::size_t greedyTotal = 0;
    for (const auto& input : allInputs()) {
        SCOPED_TRACE(input.name);
        const std::size_t optimal = compressSzdd(input.bytes).size();
        const std::size_t greedy = greedySize(input.bytes);
        EXPECT_LE(optimal, greedy);
        optimalTotal += optimal;
        greedyTotal += greedy;
    }
    EXPECT_LT(optimalTotal, greedyTotal);
}

void setDeclaredLength(Bytes& file, std::uint32_t length) {
    for (int i = 0; i < 4; ++i) {
        file.at(10 + i) = static_cast<std::uint8_t>(length >> (8 * i));
    }
}

TEST(SzddCodec, ExpanderRejectsMalformedFiles) {
    // Eight literals fill exactly one flag group; the run of x ends with a match.
    const Bytes literals = compressSzdd(Bytes{'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'});
    const Bytes matches = compressSzdd(Bytes(100, 'x'));
    struct Case {
        const char* name;
        Bytes file;
        const char* message;
    };
    std::vector<Case> cases;
    cases.push_back({"shorter than the header", Bytes(literals.begin(), literals.begin() + 13), "too short"});
    Bytes badMagic = literals;
    badMagic[7] ^= 0xFF;
    cases.push_back({"bad magic", badMagic, "bad magic"});
    Bytes badMode = literals;
    badMode[8] = 'B';
    cases.push_back({"unknown mode", badMode, "compression mode"});
    cases.push_back({"last literal missing", Bytes(literals.begin(), literals.end() - 1), "truncated"});
    cases.push_back({"half a match", Bytes(matches.begin(), matches.end() - 1), "truncated"});
    cases.push_back({"header only", Bytes(literals.begin(), literals.begin() + kHeaderSize), "truncated"});
    Bytes longer = literals;
    setDeclaredLength(longer, 9);
    cases.push_back({"declared length beyond the data", longer, "truncated"});
    Bytes huge = literals;
    setDeclaredLength(huge, 0xFFFFFFFFu);
    cases.push_back({"declared length of 4 GiB", huge, "truncated"});
    Bytes shorter = literals;
    setDeclaredLength(shorter, 7);
    cases.push_back({"declared length short of the last literal", shorter, "trailing"});
    Bytes cutMatch = matches;
    setDeclaredLength(cutMatch, 99);
    cases.push_back({"last match past the declared length", cutMatch, "runs past"});
    Bytes garbage = matches;
    garbage.push_back(0);
    cases.push_back({"a byte after the end", garbage, "trailing"});
    Bytes spareFlag = literals;
    spareFlag.push_back(0xFF);
    cases.push_back({"a flag byte with no items", spareFlag, "trailing"});
    Bytes emptyWithData = compressSzdd(Bytes{});
    emptyWithData.push_back(0x01);
    emptyWithData.push_back('a');
    cases.push_back({"data behind an empty file", emptyWithData, "trailing"});

    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            expandSzdd(c.file);
            ADD_FAILURE() << "accepted";
        } catch (const FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

// Under the sanitizers this also shows the expander stays inside its buffers however a file ends.
TEST(SzddCodec, ExpanderRejectsEveryTruncation) {
    const Bytes packed = compressSzdd(generatedInput("indented_text"));
    for (std::size_t size = 0; size < packed.size(); ++size) {
        EXPECT_THROW(expandSzdd(packed.data(), size), FormatError) << "cut to " << size << " bytes";
    }
}

}  // namespace
}  // namespace vxpack::test
