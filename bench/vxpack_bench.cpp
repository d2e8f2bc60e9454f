// Benchmark of the vxpack program against Debian's mscompress, both run as programs on the same
// files in the same run: sizes, wall times, and their ratios per file and in total.
//   vxpack_bench [--runs N] [--no-system-dlls] [folder...]
// The corpus is every file under the given folders plus, unless told otherwise, the Windows DLLs
// this machine has (mingw-w64 and Wine). Each output is expanded again and compared, so a figure
// never comes from a broken file. Build it without sanitizers (preset host-bench).
#include "run_program.h"
#include "szdd.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vxpack::Bytes;

namespace {

const char* const kSystemDllFolders[] = {
    "/usr/x86_64-w64-mingw32/lib", "/usr/i686-w64-mingw32/lib", "/usr/lib/gcc/x86_64-w64-mingw32",
    "/usr/lib/gcc/i686-w64-mingw32", "/usr/lib/x86_64-linux-gnu/wine",
};

// mscompress writes files under 17 bytes that expand to nothing, so they are no comparison.
constexpr std::uintmax_t kSmallestComparable = 17;

struct Totals {
    std::uintmax_t original = 0, ours = 0, theirs = 0;
    double ourSeconds = 0, theirSeconds = 0;
    int files = 0, oursLarger = 0, oursSlower = 0;
};

Bytes readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void addFiles(const fs::path& folder, bool dllsOnly, std::vector<fs::path>& files) {
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& path = it->path();
        std::string ext = path.extension().string();
        std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
        if (it->is_regular_file() && (!dllsOnly || ext == ".dll") && it->file_size() >= kSmallestComparable) {
            files.push_back(path);
        }
    }
    if (ec) {
        std::fprintf(stderr, "vxpack_bench: %s: %s\n", folder.c_str(), ec.message().c_str());
    }
}

// Wall time of the fastest of `runs` runs of a program writing `output`; negative when it failed.
double timeProgram(const std::vector<std::string>& argv, const fs::path& output, const fs::path& log, int runs) {
    double best = -1;
    for (int run = 0; run < runs; ++run) {
        // mscompress refuses to replace an existing output.
        fs::remove(output);
        std::string error;
        const auto start = std::chrono::steady_clock::now();
        const int rc = vxpack::bench::runProgram(argv, "", log.string(), log.string(), &error);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (rc != 0) {
            const Bytes output = readAll(log);
            std::fprintf(stderr, "vxpack_bench: %s failed: %s %.*s\n", argv[0].c_str(), error.c_str(),
                         static_cast<int>(output.size()), reinterpret_cast<const char*>(output.data()));
            return -1;
        }
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

void printRow(const std::string& name, std::uintmax_t original, std::uintmax_t ours, std::uintmax_t theirs,
              double ourSeconds, double theirSeconds) {
    std::printf("%-58s %11ju %11ju %11ju %7.2f%% %9.1f %9.1f %7.2f\n", name.c_str(), original, ours, theirs,
                100.0 * double(ours) / double(theirs), ourSeconds * 1e3, theirSeconds * 1e3,
                theirSeconds / ourSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 1;
    bool systemDlls = true;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (arg == "--no-system-dlls") {
            systemDlls = false;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "usage: vxpack_bench [--runs N] [--no-system-dlls] [folder...]\n");
            return 2;
        } else {
            addFiles(arg, false, files);
        }
    }
    if (systemDlls) {
        for (const char* folder : kSystemDllFolders) {
            addFiles(folder, true, files);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "vxpack_bench: no files of %ju bytes or more to measure\n", kSmallestComparable);
        return 1;
    }

    // mscompress writes its output beside its input, so every file is measured from a copy here.
    const fs::path scratch = VX_BENCH_SCRATCH_DIR;
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    const fs::path input = scratch / "input";
    const fs::path ourOutput = scratch / "input.szdd";
    const fs::path theirOutput = scratch / "input_";
    const fs::path log = scratch / "log";

    std::printf("%-58s %11s %11s %11s %8s %9s %9s %7s\n", "file", "original", "vxpack", "mscompress", "size",
                "vxpack ms", "msc ms", "speed");
    Totals total;
    int failures = 0;
    for (const auto& file : files) {
        fs::copy_file(file, input, fs::copy_options::overwrite_existing);
        const double ourSeconds = timeProgram({VXPACK_EXE, "compress", input.string(), ourOutput.string()}, ourOutput, log, runs);
        const double theirSeconds = timeProgram({"mscompress", input.string()}, theirOutput, log, runs);
        if (ourSeconds < 0 || theirSeconds < 0 || vxpack::expandSzdd(readAll(ourOutput)) != readAll(input)) {
            std::fprintf(stderr, "vxpack_bench: %s: no valid figures\n", file.c_str());
            ++failures;
            continue;
        }
        const std::uintmax_t original = fs::file_size(input);
        const std::uintmax_t ours = fs::file_size(ourOutput);
        const std::uintmax_t theirs = fs::file_size(theirOutput);
        printRow(file.string(), original, ours, theirs, ourSeconds, theirSeconds);
        total.original += original;
        total.ours += ours;
        total.theirs += theirs;
        total.ourSeconds += ourSeconds;
        total.theirSeconds += theirSeconds;
        total.files += 1;
        total.oursLarger += ours > theirs;
        total.oursSlower += ourSeconds > theirSeconds;
    }
    fs::remove_all(scratch);

    printRow("TOTAL (" + std::to_string(total.files) + " files)", total.original, total.ours, total.theirs,
             total.ourSeconds, total.theirSeconds);
    std::printf("throughput: vxpack %.2f MB/s, mscompress %.2f MB/s\n", double(total.original) / 1e6 / total.ourSeconds,
                double(total.original) / 1e6 / total.theirSeconds);
    std::printf("files where vxpack is larger: %d; slower: %d; failed: %d\n", total.oursLarger, total.oursSlower,
                failures);
    return failures == 0 ? 0 : 1;
}
