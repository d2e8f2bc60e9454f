// vxpack: packs the installer's payload files into SZDD and expands them again for checking.
//   vxpack compress <in> <out>
//   vxpack expand <in> <out>
// Any failure prints one line on stderr and exits with 1 (2 for a wrong command line); no
// partial output file is left behind.
#include "szdd.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

namespace {

struct FileError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string describeErrno(const std::string& what, const std::string& path) {
    return "cannot " + what + " " + path + ": " + std::strerror(errno);
}

vxpack::Bytes readFile(const std::string& path) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw FileError(describeErrno("open", path));
    }
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        throw FileError("cannot read " + path + ": " + ec.message());
    }
    vxpack::Bytes bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        throw FileError(describeErrno("read", path));
    }
    return bytes;
}

void writeFile(const std::string& path, const vxpack::Bytes& bytes) {
    errno = 0;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        throw FileError(describeErrno("create", path));
    }
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        const std::string message = describeErrno("write", path);
        std::remove(path.c_str());
        throw FileError(message);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 4 ? argv[1] : "";
    if (command != "compress" && command != "expand") {
        std::cerr << "usage: vxpack compress|expand <in> <out>\n";
        return 2;
    }
    const std::string input = argv[2];
    const std::string output = argv[3];
    try {
        const vxpack::Bytes data = readFile(input);
        writeFile(output, command == "compress" ? vxpack::compressSzdd(data) : vxpack::expandSzdd(data));
        return 0;
    } catch (const FileError& e) {
        std::cerr << "vxpack: " << e.what() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "vxpack: " << input << ": " << e.what() << '\n';
    }
    return 1;
}
