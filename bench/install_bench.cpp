// Benchmark, not a test: a whole silent install of the sample product by the built installer
// (a separate process, stamped silent by vxstamp, as a distributor ships it) against a plain copy
// of the same 35 expanded files by this program, timed in the same run.
//   install_bench [runs]        prints one line per run, then the medians and their ratio
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "harness/wine_env.h"

namespace {

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void CloseGroupWindows()
{
    for (HWND window; (window = FindWindowA("ExplorerWClass", NULL)) != NULL;) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        Sleep(100);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? atoi(argv[1]) : 5;
    vxtest::ScratchFolder scratch("install-bench");
    std::string dest = scratch / "VANTIX Pro";
    std::string copyDest = scratch / "copy";
    std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(scratch / "silent.ini", "[INSTALL]\r\nQUIET=TRUE\r\n[VANTIX]\r\nDIR32=" + dest + "\r\n");
    if (vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch / "silent.ini") + "\"") != 0)
        return 1;
    std::vector<std::string> files = vxtest::ListFolder(VX_SAMPLE_PRODUCT);
    long long bytes = 0;
    for (const std::string& name : files)
        bytes += (long long)vxtest::ReadFileBytes(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name)).size();
    printf("installer %s (%zu bytes), %zu product files, %lld bytes expanded\n", installer.c_str(),
        vxtest::ReadFileBytes(installer).size(), files.size(), bytes);
    printf("%4s %14s %14s %8s\n", "run", "install ms", "copy ms", "ratio");

    std::vector<double> installs;
    std::vector<double> copies;
    for (int run = 1; run <= runs; ++run) {
        vxtest::RemoveTree(dest);
        vxtest::RemoveTree(copyDest);
        WriteProfileStringA("VANTIX", NULL, NULL);
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        DWORD code = vxtest::RunProgram(installer, "");
        QueryPerformanceCounter(&end);
        if (code != 0 || vxtest::ListFolder(dest).size() != files.size()) {
            printf("run %d: the install failed (exit %lu)\n", run, (unsigned long)code);
            return 1;
        }
        installs.push_back(Milliseconds(start, end));
        CloseGroupWindows();

        QueryPerformanceCounter(&start);
        CreateDirectoryA(copyDest.c_str(), NULL);
        for (const std::string& name : files)
            CopyFileA(vxtest::JoinPath(VX_SAMPLE_PRODUCT, name).c_str(), vxtest::JoinPath(copyDest, name).c_str(), FALSE);
        QueryPerformanceCounter(&end);
        copies.push_back(Milliseconds(start, end));
        printf("%4d %14.1f %14.1f %8.1f\n", run, installs.back(), copies.back(), installs.back() / copies.back());
    }
    printf("median %12.1f %14.1f %8.1f\n", Median(installs), Median(copies), Median(installs) / Median(copies));
    WriteProfileStringA("VANTIX", NULL, NULL);
    return 0;
}
