// Inputs and file helpers shared by the packer tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace vxpack::test {
namespace {

Bytes randomBytes(std::mt19937& rng, std::size_t size, const std::string& alphabet = "") {
    Bytes bytes(size);
    for (auto& b : bytes) {
        const auto r = rng();
        b = alphabet.empty() ? static_cast<std::uint8_t>(r) : static_cast<std::uint8_t>(alphabet[r % alphabet.size()]);
    }
    return bytes;
}

Bytes text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes indentedText() {
    std::string s;
    for (int line = 0; line < 400; ++line) {
        s.append(static_cast<std::size_t>(4 * (line % 5)), ' ');
        s += "Entry" + std::to_string(line * 37 % 101) + "=value " + std::to_string(line) + "\r\n";
    }
    return text(s);
}

}  // namespace

std::vector<NamedInput> generatedInputs() {
    std::mt19937 rng(0x5A5A);
    std::vector<NamedInput> inputs;
    inputs.push_back({"empty", {}});
    inputs.push_back({"one_byte", text("A")});
    inputs.push_back({"one_flag_group", text("abcdefgh")});
    inputs.push_back({"nine_literals", text("abcdefghi")});
    inputs.push_back({"all_same", Bytes(10000, 'x')});
    inputs.push_back({"spaces", Bytes(5000, ' ')});
    inputs.push_back({"spaces_then_text", text("                       the text after spaces;  the text again")});
    inputs.push_back({"indented_text", indentedText()});
    inputs.push_back({"random", randomBytes(rng, 65536)});
    inputs.push_back({"small_alphabet", randomBytes(rng, 5000, "ab c")});
    // A random block repeated exactly one window later can only be coded with matches that
    // reach back the whole window.
    Bytes block = randomBytes(rng, kWindowSize);
    Bytes repeat = block;
    repeat.insert(repeat.end(), block.begin(), block.end());
    inputs.push_back({"window_distance_repeat", repeat});
    return inputs;
}

Bytes generatedInput(const std::string& name) {
    for (auto& input : generatedInputs()) {
        if (input.name == name) {
            return input.bytes;
        }
    }
    throw std::invalid_argument("no generated input named " + name);
}

std::vector<NamedInput> realFiles() {
    static const char* const kPaths[] = {
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/lz32.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/version.dll",
        "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/kernel32.dll",
        "/usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll",
    };
    std::vector<NamedInput> files;
    for (const char* path : kPaths) {
        files.push_back({std::filesystem::path(path).filename().string(), readFile(path)});
    }
    return files;
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot open " + path);
    }
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string freshScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const std::filesystem::path dir =
        std::filesystem::path(VX_TEST_SCRATCH_DIR) / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

}  // namespace vxpack::test
