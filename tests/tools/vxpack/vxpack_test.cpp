// The SZDD codec, and the vxpack program's files read back by the platform's LZ library under Wine.
#include "szdd.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace vxpack {
namespace {

namespace fs = std::filesystem;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
template <class T = Bytes> T ReadFile(const fs::path& path) { std::ifstream in(path, std::ios::binary); return T(std::istreambuf_iterator<char>(in), {}); }

// Among them a random window-sized block twice: each match of its copy lies a whole window back.
std::vector<std::pair<std::string, Bytes>> Inputs()
{
    std::mt19937 rng(0x5A5A);
    Bytes twice(2 * kWindowSize);
    for (size_t i = 0; i < kWindowSize; ++i)
        twice[i] = twice[kWindowSize + i] = (std::uint8_t)rng();
    std::string text;
    for (int line = 0; line < 400; ++line)
        text += std::string(4 * (line % 5), ' ') + "Entry" + std::to_string(line * 37 % 101) + "=value " + std::to_string(line) + "\r\n";
    return { { "empty", {} }, { "nine", Text("abcdefghi") }, { "run", Bytes(10000, 'x') }, { "text", Text(text) },
        { "random", Bytes(twice.begin(), twice.begin() + kWindowSize) }, { "window_twice", twice } };
}

// Sizes from the item costs: the header, a flag byte per eight items, a byte per literal and two
// per match. The last two only an optimal parse reaches.
TEST(SzddCodec, RoundTripsAndHandComputedSizes)
{
    for (const auto& input : Inputs())
        EXPECT_TRUE(expandSzdd(compressSzdd(input.second)) == input.second) << input.first;
    const std::pair<Bytes, size_t> cases[] = {
        { {}, 14 }, { Text("abcdefgh"), 14 + 1 + 8 }, { Text("abcdefghi"), 14 + 2 + 9 },
        { Bytes(20, ' '), 14 + 1 + 4 },        // two matches into the pre-filled window
        { Bytes(100, 'x'), 14 + 1 + 1 + 12 },  // a literal, then six matches over its own output
        // At the last x the longest match (5) leaves two literals; a literal and a 6-byte match win.
        { Text("xyzabyzabcdxyzabcd"), 14 + 2 + 8 + 4 },
        // At the last "abcdefgh" the longest match (6) leaves "gh"; a shorter one and a 5-byte match win.
        { Text("XYZabcdef1defgh2abcdefgh"), 14 + 2 + 13 + 6 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(compressSzdd(c.first).size(), c.second) << std::string(c.first.begin(), c.first.end());
    // At most 4096 literals and 512 flag bytes, then 256 matches a whole window back and 32 flag bytes.
    EXPECT_LE(compressSzdd(Inputs().back().second).size(), 14u + 4096 + 512 + 512 + 32);
}

TEST(SzddCodec, ExpanderRejectsMalformedFilesAndEveryTruncation)
{
    const Bytes literals = compressSzdd(Text("abcdefgh")), matches = compressSzdd(Bytes(100, 'x'));
    auto with = [](Bytes file, size_t at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) file.at(at + i) = (std::uint8_t)(value >> (8 * i));
        return file;
    };
    auto plus = [](Bytes file, std::uint8_t more) { return file.push_back(more), file; };
    const std::pair<Bytes, const char*> cases[] = {
        { Bytes(literals.begin(), literals.begin() + 13), "too short" }, { with(literals, 7, 0x00, 1), "bad magic" },
        { with(literals, 8, 'B', 1), "compression mode" }, { with(literals, 10, 0xFFFFFFFFu, 4), "truncated" },
        { with(literals, 10, 7, 4), "trailing" }, { with(matches, 10, 99, 4), "runs past" }, { plus(matches, 0), "trailing" },
        { plus(plus(compressSzdd({}), 0x01), 'a'), "trailing" },
    };
    for (const auto& c : cases)
        EXPECT_THAT([&] { expandSzdd(c.first); }, testing::ThrowsMessage<FormatError>(testing::HasSubstr(c.second)));
    // Under the sanitizers: the expander stays inside its buffers however a file ends.
    const Bytes packed = compressSzdd(Inputs()[3].second);
    for (size_t size = 0; size < packed.size(); ++size)
        EXPECT_THROW(expandSzdd(packed.data(), size), FormatError) << "cut to " << size << " bytes";
}

// Its exit code; output goes to dir/run.log (and log), never a pipe Wine's servers would hold open.
int Shell(const std::string& command, const fs::path& dir, std::string& log)
{
    const int status = std::system((command + " </dev/null >" + (dir / "run.log").string() + " 2>&1").c_str());
    log = ReadFile<std::string>(dir / "run.log");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(VxpackProgram, FilesItPacksExpandByTheLz32LibraryAndItRefusesOthers)
{
    const fs::path dir = fs::path(VX_TEST_SCRATCH_DIR) / "lz32";
    fs::remove_all(dir), fs::create_directories(dir);
    const auto inputs = Inputs();
    std::string pairs, log;
    for (const auto& input : inputs) {
        const std::string base = (dir / input.first).string();
        std::ofstream(base + ".in", std::ios::binary).write((const char*)input.second.data(), (std::streamsize)input.second.size());
        EXPECT_EQ(Shell(std::string(VXPACK_EXE) + " compress " + base + ".in " + base + ".szdd", dir, log), 0) << log;
        pairs += " 'V:\\" + input.first + ".szdd' 'V:\\" + input.first + ".out'";
    }
    ASSERT_EQ(Shell(std::string(VX_WINE_PREFIX_SCRIPT) + " ensure " + VX_WINE_PREFIX, dir, log), 0) << log;
    // The library keeps a path in a 128-character OFSTRUCT: the folder is shown to Wine as a drive.
    const fs::path drive = fs::path(VX_WINE_PREFIX) / "dosdevices" / "v:";
    fs::remove(drive), fs::create_directory_symlink(dir, drive);
    EXPECT_EQ(Shell("VX_WINE_PREFIX=" + std::string(VX_WINE_PREFIX) + " " + VX_WINE_RUN + " " + VX_LZ32_EXPAND + pairs, dir, log), 0) << log;
    for (const auto& input : inputs)
        EXPECT_TRUE(ReadFile(dir / (input.first + ".out")) == input.second) << input.first;
    Shell("WINEPREFIX=" + std::string(VX_WINE_PREFIX) + " timeout 30 wineserver -w", dir, log);
    const std::string plain = (dir / "text.in").string(), out = (dir / "refused").string();
    EXPECT_EQ(Shell(std::string(VXPACK_EXE) + " expand " + plain + " " + out, dir, log), 1);
    EXPECT_NE(log.find("bad magic"), std::string::npos) << log;
    EXPECT_EQ(log.find('\n'), log.size() - 1) << log;
    EXPECT_FALSE(fs::exists(out));
}

}  // namespace
}  // namespace vxpack
