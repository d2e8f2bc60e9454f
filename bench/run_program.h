// Runs the programs the packer is measured against.
#pragma once

#include <string>
#include <vector>

namespace vxpack::bench {

// Runs a program (found on PATH when `argv[0]` has no slash) with stdin from `stdinPath`
// (/dev/null when empty) and stdout/stderr into files, never pipes: Wine's background processes
// inherit the descriptors and would hold a pipe open. Returns the exit status, or -1 with
// `*error` set when the program could not be started or was killed.
int runProgram(const std::vector<std::string>& argv, const std::string& stdinPath,
               const std::string& stdoutPath, const std::string& stderrPath, std::string* error);

}  // namespace vxpack::bench
