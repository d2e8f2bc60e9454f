// The main INI file written from its template: every marker replaced, line ends kept, and the
// results for templates and targets that cannot be used.
#include "install/install_sequence.h"

#include <gtest/gtest.h>

#include <string>

#include "common/globals.h"
#include "harness/wine_env.h"
#include "payload/catalogue.h"

using vxtest::ScratchFolder;

namespace {

const int MAIN_INI_TEMPLATE = 34;  // resource number of INIFILE1

// A copy of the installer whose main INI template is replaced by text, loaded as a data file:
// its resources are then the ones the code under test reads through g_hInstance.
class TemplateModule {
public:
    TemplateModule(const std::string& folder, const std::string& text)
    {
        std::string path = vxtest::JoinPath(folder, "template.exe");
        EXPECT_TRUE(CopyFileA(vxtest::JoinPath(vxtest::BuildFolder(), "vxsetup.exe").c_str(), path.c_str(), FALSE));
        HANDLE update = BeginUpdateResourceA(path.c_str(), FALSE);
        EXPECT_NE(update, (HANDLE)NULL);
        EXPECT_TRUE(UpdateResourceA(update, "EXE", "INIFILE1", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
            (void*)text.data(), (DWORD)text.size()));
        EXPECT_TRUE(EndUpdateResourceA(update, FALSE));
        module_ = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(module_, (HMODULE)NULL);
        g_hInstance = module_;
    }
    ~TemplateModule()
    {
        g_hInstance = GetModuleHandleA(NULL);
        FreeLibrary(module_);
    }

private:
    HMODULE module_;
};

class IniTemplate : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_hInstance = GetModuleHandleA(NULL);
        strcpy(g_szTempName, "VXSINI.tmp");
        source_ = scratch_.Path() + "\\";
        target_ = scratch_ / "VANTIX.ini";
    }
    ScratchFolder scratch_;
    std::string source_;
    std::string target_;
};

TEST_F(IniTemplate, EveryMarkerOfEveryLineIsReplacedAndLineEndsStay)
{
    TemplateModule module(scratch_.Path(), "[MySites]\r\nFILENAME=$$\\original.ini\r\nPATH=$$;$$\\Scripts\r\n"
                                           "$$\r\nno marker here\r\nsingle $ signs $ stay\r\nlast=$$");
    ASSERT_EQ(CopyIniTemplate(source_.c_str(), target_.c_str(), "$$", "C:\\VX", MAIN_INI_TEMPLATE), 0);
    EXPECT_EQ(vxtest::ReadFileBytes(target_), "[MySites]\r\nFILENAME=C:\\VX\\original.ini\r\nPATH=C:\\VX;C:\\VX\\Scripts\r\n"
                                              "C:\\VX\r\nno marker here\r\nsingle $ signs $ stay\r\nlast=C:\\VX");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSINI.tmp")) << "the working copy is deleted";
}

TEST_F(IniTemplate, ALongReplacementIsWrittenWhole)
{
    // Far longer than any line buffer: the line is written piece by piece, never cut.
    std::string folder = "C:\\" + std::string(3000, 'f');
    TemplateModule module(scratch_.Path(), "A=$$\\a;$$\\b\r\n");
    ASSERT_EQ(CopyIniTemplate(source_.c_str(), target_.c_str(), "$$", folder.c_str(), MAIN_INI_TEMPLATE), 0);
    EXPECT_EQ(vxtest::ReadFileBytes(target_), "A=" + folder + "\\a;" + folder + "\\b\r\n");
}

TEST_F(IniTemplate, UnusableTemplatesAndTargetsGiveMinusOne)
{
    {
        // A template whose text ends at once (Ctrl-Z ends a text file) writes no line.
        TemplateModule empty(scratch_.Path(), "\x1A" "FILENAME=$$\\after.ini\r\n");
        EXPECT_EQ(CopyIniTemplate(source_.c_str(), target_.c_str(), "$$", "C:\\VX", MAIN_INI_TEMPLATE), -1);
        EXPECT_TRUE(vxtest::FileExists(target_)) << "the target is created, empty";
        EXPECT_EQ(vxtest::ReadFileBytes(target_), "");
    }
    DeleteFileA(target_.c_str());
    EXPECT_EQ(CopyIniTemplate(source_.c_str(), target_.c_str(), "$$", "C:\\VX", 6), -1) << "a resource not carried";
    EXPECT_FALSE(vxtest::FileExists(target_));

    std::string unwritable = scratch_ / "missing\\VANTIX.ini";
    EXPECT_EQ(CopyIniTemplate(source_.c_str(), unwritable.c_str(), "$$", "C:\\VX", MAIN_INI_TEMPLATE), -1);
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "VXSINI.tmp")) << "the working copy is deleted on failure too";

    std::string sourceWithoutSeparator = scratch_.Path();
    EXPECT_EQ(CopyIniTemplate(sourceWithoutSeparator.c_str(), target_.c_str(), "$$", "C:\\VX", MAIN_INI_TEMPLATE), 0);
}

}  // namespace
