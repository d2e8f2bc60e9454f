// The SZDD packer: round trips, the exact match finder, the optimal parse, the expander's rejection
// of malformed files; the vxpack program's files read back by other systems' expanders (the
// platform's LZ library under Wine, as the installer reads them, and Debian's msexpand), and its
// failures. A missing peer makes its test fail, never skip.
#include "szdd.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace vxpack {
namespace {

namespace fs = std::filesystem;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFile(const fs::path& path, const Bytes& bytes) { std::ofstream(path, std::ios::binary).write((const char*)bytes.data(), (std::streamsize)bytes.size()); }

// Inputs that reach the format's corners: nothing, one flag group, runs straight from the
// pre-filled window, matches a whole window back, no matches at all, many short ones; and Windows
// DLLs of the Debian packages the tests need (wine64, mingw-w64).
std::vector<std::pair<std::string, Bytes>> Inputs(bool withFiles = true)
{
    std::mt19937 rng(0x5A5A);
    auto random = [&](size_t size, const std::string& alphabet) {
        Bytes bytes(size);
        for (auto& b : bytes)
            b = (std::uint8_t)(alphabet.empty() ? rng() : alphabet[rng() % alphabet.size()]);
        return bytes;
    };
    std::string indented;
    for (int line = 0; line < 400; ++line)
        indented += std::string(4 * (line % 5), ' ') + "Entry" + std::to_string(line * 37 % 101) + "=value " + std::to_string(line) + "\r\n";
    Bytes block = random(kWindowSize, ""), repeat = block;
    repeat.insert(repeat.end(), block.begin(), block.end());
    std::vector<std::pair<std::string, Bytes>> inputs = { { "empty", {} }, { "one_byte", Text("A") }, { "one_flag_group", Text("abcdefgh") },
        { "nine_literals", Text("abcdefghi") }, { "all_same", Bytes(10000, 'x') }, { "spaces", Bytes(5000, ' ') },
        { "spaces_then_text", Text("                       the text after spaces;  the text again") }, { "indented_text", Text(indented) },
        { "random", random(65536, "") }, { "small_alphabet", random(5000, "ab c") }, { "window_distance_repeat", repeat } };
    for (const char* path : { "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/lz32.dll", "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
             "/usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll" }) {
        EXPECT_TRUE(!withFiles || fs::exists(path)) << path;
        if (withFiles)
            inputs.emplace_back(fs::path(path).filename().string(), ReadFile(path));
    }
    return inputs;
}

Bytes Input(const std::string& name)
{
    for (auto& input : Inputs(false)) {
        if (input.first == name)
            return input.second;
    }
    return {};
}

TEST(SzddCodec, EveryInputSurvivesARoundTrip)
{
    for (const auto& input : Inputs()) {
        const Bytes packed = compressSzdd(input.second);
        EXPECT_EQ(Bytes(packed.begin(), packed.begin() + 10), Text(std::string("SZDD\x88\xF0\x27\x33" "A\0", 10))) << input.first;
        EXPECT_TRUE(expandSzdd(packed) == input.second) << input.first;
    }
}

// Sizes worked out by hand from the 9- and 17-bit item costs: the header, a flag byte per eight
// items, a byte per literal and two per match. The last two only an optimal parse reaches.
TEST(SzddCodec, SmallInputsReachTheirHandComputedMinimum)
{
    const std::pair<Bytes, size_t> cases[] = {
        { {}, 14 }, { Text("a"), 14 + 1 + 1 }, { Text("abcdefgh"), 14 + 1 + 8 }, { Text("abcdefghi"), 14 + 2 + 9 },
        { Bytes(18, ' '), 14 + 1 + 2 },        // one match into the pre-filled window
        { Bytes(20, ' '), 14 + 1 + 4 },        // 17 + 3 beats 18 + 2 literals
        { Bytes(19, 'x'), 14 + 1 + 1 + 2 },    // a literal, then a match over its own output
        { Bytes(100, 'x'), 14 + 1 + 1 + 12 },  // a literal and six matches
        // At the last x the longest match (5) leaves two literals; a literal and a 6-byte match do
        // better: 10 items, 8 literals, 2 matches.
        { Text("xyzabyzabcdxyzabcd"), 14 + 2 + 8 + 4 },
        // At the last "abcdefgh" the longest match (6) leaves "gh" to literals; a shorter one and a
        // 5-byte match make 16 items (two flag bytes) of 13 literals and 3 matches.
        { Text("XYZabcdef1defgh2abcdefgh"), 14 + 2 + 13 + 6 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(compressSzdd(c.first).size(), c.second) << std::string(c.first.begin(), c.first.end());
        EXPECT_EQ(expandSzdd(compressSzdd(c.first)), c.first);
    }
}

TEST(SzddCodec, MatchFinderAgreesWithAnExhaustiveSearch)
{
    for (const char* name : { "spaces_then_text", "indented_text", "small_alphabet", "window_distance_repeat" }) {
        const Bytes data = Input(name);
        auto at = [&](std::ptrdiff_t pos) -> int { return pos < 0 ? ' ' : data[(size_t)pos]; };  // before the data: the ring's spaces
        const std::vector<Match> found = findLongestMatches(data.data(), data.size());
        for (size_t i = 0; i < data.size(); ++i) {
            const size_t maxLength = std::min(kMaxMatch, data.size() - i);
            size_t longest = 0;
            for (size_t distance = 1; distance <= kMaxDistance && longest < maxLength; ++distance) {
                size_t length = 0;
                while (length < maxLength && at(std::ptrdiff_t(i + length) - std::ptrdiff_t(distance)) == data[i + length])
                    ++length;
                longest = std::max(longest, length);
            }
            ASSERT_EQ(found[i].length, longest < kMinMatch ? 0 : longest) << name << " at " << i;
            ASSERT_TRUE(found[i].length == 0 || (found[i].distance >= 1 && found[i].distance <= kMaxDistance)) << name << " at " << i;
            for (size_t k = 0; k < found[i].length; ++k)
                ASSERT_EQ(at(std::ptrdiff_t(i + k) - found[i].distance), data[i + k]) << name << " at " << i;
        }
    }
}

TEST(SzddCodec, ExpanderRejectsMalformedFilesAndEveryTruncation)
{
    const Bytes literals = compressSzdd(Text("abcdefgh")), matches = compressSzdd(Bytes(100, 'x'));  // one flag group; a run
    auto with = [](Bytes file, size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            file.at(at + i) = (std::uint8_t)(value >> (8 * i));
        return file;
    };
    auto plus = [](Bytes file, std::uint8_t more) { return file.push_back(more), file; };
    const std::pair<Bytes, const char*> cases[] = {
        { Bytes(literals.begin(), literals.begin() + 13), "too short" }, { with(literals, 7, 0x00, 1), "bad magic" },
        { with(literals, 8, 'B', 1), "compression mode" }, { Bytes(literals.begin(), literals.end() - 1), "truncated" },
        { Bytes(matches.begin(), matches.end() - 1), "truncated" }, { Bytes(literals.begin(), literals.begin() + kHeaderSize), "truncated" },
        { with(literals, 10, 9, 4), "truncated" }, { with(literals, 10, 0xFFFFFFFFu, 4), "truncated" }, { with(literals, 10, 7, 4), "trailing" },
        { with(matches, 10, 99, 4), "runs past" }, { plus(matches, 0), "trailing" }, { plus(literals, 0xFF), "trailing" },
        { plus(plus(compressSzdd({}), 0x01), 'a'), "trailing" },
    };
    for (const auto& c : cases) {
        try {
            expandSzdd(c.first);
            ADD_FAILURE() << "accepted: " << c.second;
        } catch (const FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(c.second), std::string::npos) << e.what();
        }
    }
    // Under the sanitizers this also shows the expander stays inside its buffers however a file ends.
    const Bytes packed = compressSzdd(Input("indented_text"));
    for (size_t size = 0; size < packed.size(); ++size)
        EXPECT_THROW(expandSzdd(packed.data(), size), FormatError) << "cut to " << size << " bytes";
}

// A command with its input from /dev/null and its output in dir/run.log (also into *log), never a
// pipe that Wine's background processes would inherit and hold open. Its exit code.
int Shell(const std::string& command, const fs::path& dir, std::string* log = nullptr)
{
    const int status = std::system((command + " </dev/null >" + (dir / "run.log").string() + " 2>&1").c_str());
    const Bytes output = ReadFile(dir / "run.log");
    if (log != nullptr)
        log->assign(output.begin(), output.end());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

fs::path FreshFolder(const char* name)
{
    const fs::path dir = fs::path(VX_TEST_SCRATCH_DIR) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

// Every input packed by the vxpack program, expanded by each peer; the bytes must be the input's.
TEST(PeerExpanders, MsexpandAndWinesLz32ReproduceEveryInput)
{
    const fs::path dir = FreshFolder("peers");
    const auto inputs = Inputs();
    std::string pairs, log;
    for (const auto& input : inputs) {
        const std::string base = (dir / input.first).string();
        WriteFile(base + ".in", input.second);
        EXPECT_EQ(Shell(std::string(VXPACK_EXE) + " compress " + base + ".in " + base + ".szdd", dir), 0) << input.first;
        EXPECT_EQ(Shell("(msexpand <" + base + ".szdd >" + base + ".msexpand)", dir, &log), 0) << input.first << log << " (Debian package mscompress)";
        EXPECT_TRUE(ReadFile(base + ".msexpand") == input.second) << input.first << " by msexpand";
        pairs += " 'V:\\" + input.first + ".szdd' 'V:\\" + input.first + ".lz32'";
    }
    ASSERT_STRNE(VX_LZ32_EXPAND, "") << "install gcc-mingw-w64-x86-64-posix and reconfigure";
    ASSERT_EQ(Shell(std::string(VX_WINE_PREFIX_SCRIPT) + " ensure " + VX_WINE_PREFIX, dir, &log), 0) << log << " (Debian packages wine, wine64)";
    // The LZ library keeps a path in a 128-character OFSTRUCT, which a path into the build tree can
    // outgrow: the folder is shown to Wine as a drive of its own.
    const fs::path drive = fs::path(VX_WINE_PREFIX) / "dosdevices" / "v:";
    fs::remove(drive);
    fs::create_directory_symlink(dir, drive);
    EXPECT_EQ(Shell("VX_WINE_PREFIX=" + std::string(VX_WINE_PREFIX) + " " + VX_WINE_RUN + " " + VX_LZ32_EXPAND + pairs, dir, &log), 0) << log;
    for (const auto& input : inputs)
        EXPECT_TRUE(ReadFile(dir / (input.first + ".lz32")) == input.second) << input.first << " by LZ32";
    // The prefix's background processes end before the test does (bounded: a server kept alive on
    // purpose would never end).
    Shell("WINEPREFIX=" + std::string(VX_WINE_PREFIX) + " timeout 30 wineserver -w", dir);
}

TEST(VxpackProgram, FailuresExitNonZeroWithOneLineAndNoOutput)
{
    const fs::path dir = FreshFolder("failures");
    WriteFile(dir / "plain.txt", Text("plain text, longer than an SZDD header"));
    Bytes truncated = compressSzdd(Input("indented_text"));
    truncated.resize(truncated.size() / 2);
    WriteFile(dir / "truncated.szdd", truncated);
    const std::string d = dir.string(), out = d + "/out";
    const std::pair<std::string, std::pair<int, std::string>> cases[] = {
        { "", { 2, "usage" } }, { "pack " + d + "/plain.txt " + out, { 2, "usage" } }, { "compress " + d + "/absent " + out, { 1, "cannot open" } },
        { "compress " + d + " " + out, { 1, d } }, { "compress " + d + "/plain.txt " + d + "/no/such/out", { 1, "cannot create" } },
        { "expand " + d + "/plain.txt " + out, { 1, "bad magic" } }, { "expand " + d + "/truncated.szdd " + out, { 1, "truncated" } },
    };
    for (const auto& c : cases) {
        std::string message;
        EXPECT_EQ(Shell(std::string(VXPACK_EXE) + " " + c.first, dir, &message), c.second.first) << c.first;
        EXPECT_NE(message.find(c.second.second), std::string::npos) << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(fs::exists(out)) << c.first;
    }
}

}  // namespace
}  // namespace vxpack
