// A full disk, a killed run, a cancel, and settings, records and folders made to overrun a buffer
// cost no working install and end in a report; the removal takes what is left. (Built with stack
// protection: an overrun ends the test program.)
#include <gtest/gtest.h>

#include <random>

#include "app/settings.h"
#include "harness/dialog_script.h"
#include "harness/installer_state.h"
#include "harness/product_records.h"
#include "install/install_sequence.h"
#include "payload/placement.h"
#include "progman/progman.h"
#include "uninstall/uninstall_flow.h"

using Strings = std::vector<std::string>;

namespace {

const std::string INI_QUESTION = "You have INI files in the VANTIX Pro folder.\nDo you want to delete these?\n"
                                 "WARNING: Deleting the INI files will eliminate your stored FTP sites!";
const std::string SMALL_DISK = vxtest::BuildFolder() + "\\small-disk";  // 512 KB, mounted by ctest

bool HasScratchFile(const std::string& folder)  // a copy's "VXSnnnn.TMP"
{
    Strings names = vxtest::ListFolder(folder);
    return std::any_of(names.begin(), names.end(), [](const std::string& name) { return _strnicmp(name.c_str(), "VXS", 3) == 0 && name.find(".TMP") == 7; });
}
std::string Junk(std::mt19937& random, size_t length)
{
    std::string text(length, '\0');
    for (char& c : text)
        c = (char)(random() % 4 == 0 ? "\r\n=[] "[random() % 6] : random());
    return text;
}

// Removes a tree whose names Windows would trim (trailing dots and blanks), given as "\\?\" path.
void RemoveAsNamed(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
        std::string path = folder + "\\" + found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA(path.c_str());
        else if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
            RemoveAsNamed(path);
    }
    FindClose(search);
    RemoveDirectoryA(folder.c_str());
}

// What a stopped first install records: where its files went, for the removal.
Strings FolderRecords() { return { "WIN.INI [VANTIX] DIR=" + vxtest::WinIniText("VANTIX", "DIR"), "WIN.INI [VANTIX] INSTOPTS=12" }; }

// A status window that presses the copy dialog's Cancel as the cancelAt-th "Copying" text shows.
size_t g_cancelAt, g_copies;
WNDPROC g_staticProc;
LRESULT CALLBACK CancellingStatusProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && strncmp((const char*)lParam, "Copying ", 8) == 0 && ++g_copies == g_cancelAt)
        g_bCancelCopy = TRUE;
    return CallWindowProcA(g_staticProc, window, message, wParam, lParam);
}

class Reliability : public ::testing::Test {
protected:
    void SetUp() override { vxtest::ResetInstallerState("VXSREL.tmp"), vxtest::ClearProductRecords(dest_), CreateDirectoryA(temp_.c_str(), NULL); }
    void TearDown() override { vxtest::ClearProductRecords(dest_), DeleteFileA((SMALL_DISK + "\\filler").c_str()); }
    vxtest::Program Start(const std::string& installer)
    {
        DeleteFileA((temp_ + "\\setup.log").c_str());
        vxtest::RunOptions options;
        options.environment = { { "TMP", temp_ }, { "TEMP", temp_ } };
        return vxtest::StartProgram(installer, "", options);
    }
    DWORD RunSilent(const std::string& installer)  // any window it shows fails the test
    {
        vxtest::Program program = Start(installer);
        return vxtest::DialogScript(program.Id()).NoWindow().Run(program);
    }
    size_t LogCount(const std::string& line) const { Strings log = vxtest::SplitLines(vxtest::ReadFileBytes(temp_ + "\\setup.log")); return std::count(log.begin(), log.end(), line); }
    // The install sequence in this process, cancelled at the cancelAt-th file (0: never).
    int InstallHere(size_t cancelAt, DWORD* outcome)
    {
        vxtest::ResetInstallerState("VXSREL.tmp"), vxtest::ResetCatalogueStatus();
        CreateDirectoryA(dest_.c_str(), NULL);  // as the wizard makes it
        HWND status = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
        g_staticProc = (WNDPROC)SetWindowLongPtrA(status, GWLP_WNDPROC, (LONG_PTR)CancellingStatusProc);
        g_cancelAt = cancelAt, g_copies = 0;
        char failure[CCH_LINE];
        int result = RunInstallSequence((scratch_.Path() + "\\").c_str(), dest_.c_str(), SEL_CLASSIC | SEL_EXPLORER | SEL_BONUS | SEL_SILENT, outcome, NULL, status, failure);
        DestroyWindow(status);
        if (result)
            WriteProfileStringA("VANTIX", "INSTOPTS", "12");  // as the wizard records a finished install
        return result;
    }
    // A removal of what WIN.INI records by a user who wants it all gone: nothing is left.
    void Remove()
    {
        vxtest::ResetInstallerState("VXSREL.tmp");
        vxtest::DialogScript script;
        Strings names = vxtest::ListFolder(dest_);
        if (std::any_of(names.begin(), names.end(), [](const std::string& name) { return name.size() > 4 && _stricmp(&name[name.size() - 4], ".ini") == 0; }))
            script.MessageBox(INI_QUESTION, IDYES);
        script.MessageBox("Removal process complete.\nAll files removed.", IDOK, "Remove");
        EXPECT_EQ(UninstallProduct(NULL, 0, 0), 0);
        script.Finish();
        EXPECT_EQ(vxtest::ProductRecords(dest_), Strings{});
    }
    void FillSmallDisk(ULONGLONG leaveFree)
    {
        DeleteFileA((SMALL_DISK + "\\filler").c_str());
        ULARGE_INTEGER free = {};
        GetDiskFreeSpaceExA((SMALL_DISK + "\\").c_str(), &free, NULL, NULL);
        vxtest::WriteFileBytes(SMALL_DISK + "\\filler", std::string(free.QuadPart - leaveFree, 'F'));
    }
    vxtest::ScratchFolder scratch_{ "reliability" };
    std::string temp_ = scratch_ / "temp", dest_ = scratch_ / "VANTIX Pro";
    vxtest::RecordingProgman progman_;
};

// On the small disk: an update that fills it names the file and leaves every installed file as
// it was; a run ended after the k-th of its 35 files is completed by the next (the files byte for
// byte, the records as after a run never stopped); a first install with too little room is
// reported. Each time the removal then takes everything, a scratch file left behind included.
TEST_F(Reliability, NeitherAFullDiskNorAKilledRunCostsAWorkingInstall)
{
    ULARGE_INTEGER total = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA((SMALL_DISK + "\\").c_str(), NULL, &total, NULL) && total.QuadPart < 1024 * 1024) << SMALL_DISK << " is not the small disk ctest mounts";
    dest_ = SMALL_DISK + "\\VANTIX Pro";  // a silent, logged install of everything there
    std::string installer = vxtest::CopyProgramAs(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe"), scratch_.Path(), "vxsetup.exe");
    vxtest::WriteFileBytes(scratch_ / "silent.ini", "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=TRUE\r\n[VANTIX]\r\nDIR32=" + dest_ + "\r\n");
    ASSERT_EQ(vxtest::RunProgram(vxtest::JoinPath(vxtest::BuildFolder(), "vxstamp.exe"), "\"" + installer + "\" \"" + (scratch_ / "silent.ini") + "\""), 0u);
    ASSERT_EQ(RunSilent(installer), 0u);
    const auto installed = vxtest::FolderFiles(dest_);
    const Strings records = vxtest::ProductRecords();
    ASSERT_EQ(installed.size(), 35u);
    FillSmallDisk(0);
    EXPECT_EQ(RunSilent(installer), 0u);
    EXPECT_EQ(LogCount("Copy of vantix32.exe to " + dest_ + " failed. (112)"), 1u);
    EXPECT_EQ(LogCount("Some portion of installation process failed. Failed to install required file vantix32.exe."), 1u);
    EXPECT_TRUE(vxtest::FolderFiles(dest_) == installed) << "the update changed the installed copy";
    DeleteFileA((SMALL_DISK + "\\filler").c_str());
    Remove();
    for (size_t k : { 1, 17, 34 }) {
        SCOPED_TRACE(k);
        vxtest::Program program = Start(installer);
        while (program.Running() && vxtest::ListFolder(dest_).size() < k)
            program.Wait(1);
        EXPECT_TRUE(program.Running()) << "ended before it was stopped";
        program.Kill();
        ASSERT_EQ(RunSilent(installer), 0u);
        for (const auto& [name, bytes] : installed)
            EXPECT_EQ(vxtest::ReadFileBytes(vxtest::JoinPath(dest_, name)), bytes) << name;
        EXPECT_EQ(vxtest::ProductRecords(), records);
        Remove();
    }
    FillSmallDisk(48 * 1024);
    EXPECT_EQ(RunSilent(installer), 0u);
    EXPECT_NE(vxtest::ReadFileBytes(temp_ + "\\setup.log").find("Some portion of installation process failed. Failed to install required file "), std::string::npos);
    EXPECT_FALSE(HasScratchFile(dest_));
    EXPECT_EQ(vxtest::ProductRecords(), FolderRecords());
    Remove();
}

// Cancelled at the first, a middle and the last file of a first install and of an update (which
// copies fewer: the user's settings files stay): a failure, no scratch file, no file copied after
// the cancel; a first install then records only its folder, an update leaves the install as it was.
TEST_F(Reliability, ACancelledInstallStopsAfterTheFileBeingCopied)
{
    DWORD outcome = 0;
    ASSERT_EQ(InstallHere(0, &outcome), 1);
    const size_t firstFiles = g_copies;
    ASSERT_EQ(InstallHere(0, &outcome), 1);
    const size_t updateFiles = g_copies;
    const auto installed = vxtest::FolderFiles(dest_);
    const Strings records = vxtest::ProductRecords();
    for (bool update : { false, true }) {
        const size_t files = update ? updateFiles : firstFiles;
        for (size_t k : { (size_t)1, files / 2, files }) {
            SCOPED_TRACE(std::to_string(k) + (update ? " of an update" : " of a first install"));
            vxtest::ClearProductRecords(dest_);
            ASSERT_EQ(update ? InstallHere(0, &outcome) : 1, 1);
            EXPECT_EQ(InstallHere(k, &outcome), 0);
            EXPECT_EQ(outcome & (OUT_FAILED | OUT_DONE), (DWORD)OUT_FAILED);
            EXPECT_EQ(g_copies, k) << "no file is copied after the cancel";
            EXPECT_FALSE(HasScratchFile(dest_));
            EXPECT_EQ(vxtest::ProductRecords(), update ? records : FolderRecords());
            EXPECT_TRUE(!update || vxtest::FolderFiles(dest_) == installed);
            Remove();
        }
    }
}

// Damaged settings files of every kind: what is read stays in its buffer; each switch is on or off.
TEST_F(Reliability, DamagedSettingsFilesAreReadWithinBounds)
{
    std::mt19937 random(1998);
    const std::string good = "[INSTALL]\r\nQUIET=TRUE\r\nLOGGING=FALSE\r\nLINE1=first\r\nDESKTOP=FALSE\r\n[VANTIX]\r\nDIR32=C:\\x\r\n";
    vxtest::CurrentFolderScope here(scratch_.Path());
    for (int n = 0; n < 600; ++n) {
        std::string text = good;
        if (n % 4 == 0)
            text = Junk(random, random() % 4096);
        else if (n % 4 == 1)
            for (int i = 0; i < 6; ++i)
                text[random() % text.size()] = (char)random();
        else if (n % 4 == 2)
            text = "[INSTALL]\r\nLINE1=" + std::string(65536, 'L') + "\r\nLINE2=" + Junk(random, 300) + std::string(300, '\0') + "\r\n";
        else
            for (int i = 0; i < 200; ++i)
                text += (i % 2 ? "[INSTALL]\r\n" : "") + std::string(i % 3 ? "LINE2=" : "QUIET=") + Junk(random, random() % 400) + "\r\n";
        vxtest::WriteFileBytes(scratch_ / "install.ini", text);
        vxtest::ResetInstallerState("VXSREL.tmp");
        ReadInstallSettings();
        ASSERT_TRUE(memchr(g_szLine1, 0, CCH_LINE) && memchr(g_szLine2, 0, CCH_LINE)) << n;
        for (int value : { g_bSilent, g_bLogging, g_bNoPass, gbInstallBonusPack, g_bExplore, g_bAllowReboot, g_iconLocation })
            ASSERT_TRUE(value == 0 || value == 1) << n;
        EXPECT_TRUE(n % 4 != 2 || std::string(g_szLine1) == std::string(CCH_LINE - 1, 'L')) << g_szLine1;
    }
}

// Group names with a command character anywhere, or none at all, from the settings or WIN.INI:
// none is sent; the default group is used. A safe one is kept as it is, control characters too.
TEST_F(Reliability, GroupNamesThatWouldBreakACommandAreNeverSent)
{
    const std::string names[] = { "", "[a", "a]", "(", "a)b", "\"", std::string(200, 'g') + ",", "FTP Tools", "\x01\x7f\xff" };
    for (const std::string& name : names) {
        char group[CCH_LINE];
        lstrcpynA(group, name.c_str(), sizeof(group));
        ProgmanMakeGroupNameSafe(group, "GROUP");
        EXPECT_EQ(group, name.empty() || name.find_first_of("[]()\",") != std::string::npos ? "VANTIX Pro" : name) << name;
    }
}

// A recorded folder of any length up to the profile's limit, made of "." steps that name the
// scratch folder wherever the value is cut: one that does not fit is refused, never cut to name
// another folder; one that fits is removed. The group recorded is unsafe: the default one goes.
TEST_F(Reliability, RecordedFoldersOfAnyLengthAreNeverCut)
{
    const std::string keep = scratch_ / "keep";
    for (size_t length : { 200, 513, 2000, 32000 }) {
        SCOPED_TRACE(length);
        std::string dots;
        while (scratch_.Path().size() + dots.size() + 6 < length)
            dots += ".\\";
        CreateDirectoryA(keep.c_str(), NULL);
        for (const std::string& folder : { scratch_.Path(), keep })
            vxtest::WriteFileBytes(folder + "\\vantix32.exe", "a program");
        WriteProfileStringA("VANTIX", "DIR", (scratch_ / dots + "keep").c_str());
        WriteProfileStringA("VANTIX", "INSTOPTS", "12");
        WriteProfileStringA("VANTIX", "GROUP", "x](y\",z");
        progman_.Clear();
        vxtest::DialogScript script;
        script.MessageBox(length < 512 ? "Removal process complete.\nAll files removed." : "Insufficient information available to\nremove this application.", IDOK, "Remove");
        EXPECT_EQ(UninstallProduct(NULL, 0, 0), 0);
        script.Finish();
        Strings commands = progman_.Commands();
        EXPECT_EQ(std::count(commands.begin(), commands.end(), "[DeleteGroup(VANTIX Pro)]"), length < 512);
        EXPECT_EQ(vxtest::FileExists(keep + "\\vantix32.exe"), length >= 512);
        EXPECT_TRUE(vxtest::FileExists(scratch_ / "vantix32.exe"));
        vxtest::ClearProductRecords();
    }
}

// Folders a user might type, and a user's file: each is made or reported, its path given back as
// it was; the file stays as it was.
TEST_F(Reliability, HostileFoldersAreMadeWhereTheySayOrReported)
{
    vxtest::CurrentFolderScope here(scratch_.Path());
    g_bSilent = TRUE;  // reports go to the log, which is off
    vxtest::WriteFileBytes(scratch_ / "file", "the user's");
    Strings folders = { scratch_ / std::string(510 - scratch_.Path().size(), 'f'), "relative\\sub", "\\\\nohost\\share\\VANTIX", scratch_ / "q\"?*", scratch_ / "file" };
    std::mt19937 random(98);
    const char* const pieces[] = { "a", "..", ".", " ", "CON", "<", "|", "\\", "b\\c", "nul", "COM1" };
    for (int n = 0; n < 300; ++n) {
        std::string folder = scratch_ / "r";
        for (int i = 1 + random() % 8; i > 0; --i)
            folder += pieces[random() % 11];
        folders.push_back(folder);
    }
    for (const std::string& folder : folders) {
        char path[CCH_LONG_PATH];
        lstrcpynA(path, folder.c_str(), sizeof(path));
        int made = CreateFolderPath(path);
        ASSERT_EQ(path, folder);
        EXPECT_TRUE(!made || vxtest::FolderExists(folder)) << folder;
    }
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "file"), "the user's");
    RemoveAsNamed("\\\\?\\" + scratch_.Path());
}

}  // namespace
