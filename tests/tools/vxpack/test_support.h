// Shared fixtures of the packer tests: the inputs every test runs over, file helpers and a
// runner for the programs the packer's output is checked against.
#pragma once

#include "szdd.h"

#include <string>
#include <vector>

namespace vxpack::test {

struct NamedInput {
    std::string name;
    Bytes bytes;
};

// Deterministic inputs that reach the corners of the format: nothing, one flag group, runs that
// come straight from the pre-filled window, matches at exactly the window's reach, data with no
// matches, data with many short ones.
std::vector<NamedInput> generatedInputs();
Bytes generatedInput(const std::string& name);

// Real Windows DLLs shipped by the Debian packages the tests need (wine64's libwine and
// mingw-w64-x86-64-dev). A missing file is a failure, not a skip.
std::vector<NamedInput> realFiles();

Bytes readFile(const std::string& path);
void writeFile(const std::string& path, const Bytes& bytes);

// An empty folder for one test, under the build tree.
std::string freshScratchDir();

// Runs a program (found on PATH when `argv[0]` has no slash) with stdin from `stdinPath`
// (/dev/null when empty) and stdout/stderr into files, never pipes: Wine's background processes
// inherit the descriptors and would hold a pipe open. Returns the exit status, or -1 with
// `*error` set when the program could not be started.
int runProgram(const std::vector<std::string>& argv, const std::string& stdinPath,
               const std::string& stdoutPath, const std::string& stderrPath, std::string* error);

}  // namespace vxpack::test
