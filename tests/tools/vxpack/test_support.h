// Shared fixtures of the packer tests: the inputs every test runs over and file helpers.
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

}  // namespace vxpack::test
