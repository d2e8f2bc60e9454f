// Checks the files the vxpack program writes with the expanders that read SZDD elsewhere: the
// platform's LZ library (run under Wine, as the installer uses it), Debian's msexpand and
// libmspack's SZDD reader; and checks how the program reports failures. (Its sizes against
// Debian's mscompress are what vxpack_bench reports; the codec tests show the parse optimal.)
#include "run_program.h"
#include "szdd.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace vxpack::test {
namespace {

namespace fs = std::filesystem;

struct PackedInput {
    std::string name;
    Bytes original;
    std::string packedPath;
};

std::string slurp(const std::string& path) {
    const Bytes bytes = readFile(path);
    return std::string(bytes.begin(), bytes.end());
}

// Packs every input with the vxpack program itself into `dir`.
std::vector<PackedInput> packAll(const std::string& dir) {
    std::vector<NamedInput> inputs = generatedInputs();
    for (auto& file : realFiles()) {
        inputs.push_back(std::move(file));
    }
    std::vector<PackedInput> packed;
    for (auto& input : inputs) {
        const std::string base = dir + "/" + input.name;
        writeFile(base + ".in", input.bytes);
        std::string error;
        const int rc = runProgram({VXPACK_EXE, "compress", base + ".in", base + ".szdd"}, "", base + ".log",
                                  base + ".log", &error);
        if (rc != 0) {
            throw std::runtime_error("vxpack compress " + input.name + " failed: " + error + slurp(base + ".log"));
        }
        packed.push_back({input.name, std::move(input.bytes), base + ".szdd"});
    }
    return packed;
}

// Every input came back byte for byte in the file `packedPath` + `suffix`.
void expectAllReproduced(const std::vector<PackedInput>& packed, const std::string& suffix) {
    for (const auto& input : packed) {
        SCOPED_TRACE(input.name);
        const std::string path = input.packedPath + suffix;
        ASSERT_TRUE(fs::exists(path)) << path << " was not written";
        EXPECT_TRUE(readFile(path) == input.original) << path << " differs from the original";
    }
}

// Arguments "<in> <out> <in> <out> ..." for the batch expanders, which take many pairs at once;
// `folder` is how the expander names the scratch folder, with its trailing separator.
std::vector<std::string> pairArguments(const std::vector<PackedInput>& packed, const std::string& suffix,
                                       const std::string& folder) {
    std::vector<std::string> args;
    for (const auto& input : packed) {
        const std::string name = fs::path(input.packedPath).filename().string();
        args.push_back(folder + name);
        args.push_back(folder + name + suffix);
    }
    return args;
}

TEST(PeerExpanders, MsexpandReproducesEveryInput) {
    const std::string dir = freshScratchDir();
    const auto packed = packAll(dir);
    for (const auto& input : packed) {
        std::string error;
        const int rc = runProgram({"msexpand"}, input.packedPath, input.packedPath + ".msexpand", dir + "/err.log", &error);
        ASSERT_NE(rc, -1) << error << " (Debian package mscompress)";
        EXPECT_EQ(rc, 0) << input.name << ": " << slurp(dir + "/err.log");
    }
    expectAllReproduced(packed, ".msexpand");
}

TEST(PeerExpanders, LibmspackReproducesEveryInput) {
    ASSERT_STRNE(VX_MSPACK_EXPAND, "") << "the libmspack helper was not built: install libmspack-dev and reconfigure";
    const std::string dir = freshScratchDir();
    const auto packed = packAll(dir);
    std::vector<std::string> argv = {VX_MSPACK_EXPAND};
    const auto pairs = pairArguments(packed, ".mspack", dir + "/");
    argv.insert(argv.end(), pairs.begin(), pairs.end());
    std::string error;
    EXPECT_EQ(runProgram(argv, "", dir + "/out.log", dir + "/err.log", &error), 0)
        << error << slurp(dir + "/out.log") << slurp(dir + "/err.log");
    expectAllReproduced(packed, ".mspack");
}

TEST(PeerExpanders, WineLz32ReproducesEveryInput) {
    ASSERT_STRNE(VX_LZ32_EXPAND, "")
        << "the LZ32 helper was not built: install gcc-mingw-w64-x86-64-posix and reconfigure";
    const std::string dir = freshScratchDir();
    const auto packed = packAll(dir);
    std::string error;
    ASSERT_EQ(runProgram({VX_WINE_PREFIX_SCRIPT, "ensure", VX_WINE_PREFIX}, "", dir + "/prefix.log", dir + "/prefix.log", &error), 0)
        << error << slurp(dir + "/prefix.log") << " (Debian packages wine, wine64)";
    // The LZ library keeps a file's path in a 128-character OFSTRUCT, which a path into the build
    // tree can outgrow: the scratch folder is shown to Wine as a drive of its own.
    const fs::path drive = fs::path(VX_WINE_PREFIX) / "dosdevices" / "v:";
    fs::remove(drive);
    fs::create_directory_symlink(dir, drive);
    std::vector<std::string> argv = {VX_WINE_RUN, VX_LZ32_EXPAND};
    const auto pairs = pairArguments(packed, ".lz32", "V:\\");
    argv.insert(argv.end(), pairs.begin(), pairs.end());
    setenv("VX_WINE_PREFIX", VX_WINE_PREFIX, 1);
    EXPECT_EQ(runProgram(argv, "", dir + "/out.log", dir + "/err.log", &error), 0)
        << error << slurp(dir + "/out.log") << slurp(dir + "/err.log") << " (Debian packages wine, wine64)";
    expectAllReproduced(packed, ".lz32");

    // Let the prefix's background processes end before the test does, so none outlives the run
    // (bounded: a server kept alive on purpose would never end).
    setenv("WINEPREFIX", VX_WINE_PREFIX, 1);
    runProgram({"timeout", "30", "wineserver", "-w"}, "", dir + "/wineserver.log", dir + "/wineserver.log", &error);
}

TEST(VxpackProgram, FailuresExitNonZeroWithOneLineAndNoOutput) {
    const std::string dir = freshScratchDir();
    const std::string plain = "plain text, longer than an SZDD header";
    writeFile(dir + "/plain.txt", Bytes(plain.begin(), plain.end()));
    Bytes truncated = compressSzdd(generatedInput("indented_text"));
    truncated.resize(truncated.size() / 2);
    writeFile(dir + "/truncated.szdd", truncated);
    const std::string out = dir + "/out";
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int exitCode;
        std::string message;
    };
    const Case cases[] = {
        {"no arguments", {}, 2, "usage"},
        {"unknown command", {"pack", dir + "/plain.txt", out}, 2, "usage"},
        {"missing input", {"compress", dir + "/absent", out}, 1, "cannot open"},
        {"input is a folder", {"compress", dir, out}, 1, dir},
        {"output folder missing", {"compress", dir + "/plain.txt", dir + "/no/such/out"}, 1, "cannot create"},
        {"not an SZDD file", {"expand", dir + "/plain.txt", out}, 1, "bad magic"},
        {"truncated file", {"expand", dir + "/truncated.szdd", out}, 1, "truncated"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> argv = {VXPACK_EXE};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        std::string error;
        EXPECT_EQ(runProgram(argv, "", dir + "/stdout", dir + "/stderr", &error), c.exitCode) << error;
        const std::string message = slurp(dir + "/stderr");
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(fs::exists(out));
    }
}

}  // namespace
}  // namespace vxpack::test
