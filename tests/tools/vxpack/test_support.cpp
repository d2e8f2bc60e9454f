// Inputs, file helpers and the program runner shared by the packer tests.
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

extern char** environ;

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

int runProgram(const std::vector<std::string>& argv, const std::string& stdinPath,
               const std::string& stdoutPath, const std::string& stderrPath, std::string* error) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, stdinPath.empty() ? "/dev/null" : stdinPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> args;
    for (const auto& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        *error = "cannot start " + argv[0] + ": " + std::strerror(rc);
        return -1;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    *error = argv[0] + " ended by signal " + std::to_string(WTERMSIG(status));
    return -1;
}

}  // namespace vxpack::test
