// Getting carried files out: every resource byte for byte, and the expansion's edge cases.
#include "payload/extract.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "payload_fixture.h"

using payloadtest::HeldOpen;
using payloadtest::SampleProductFile;
using vxtest::ScratchFolder;

namespace {

const std::set<std::string> NOT_CARRIED = { "DLLFILE6", "TXTFILE2", "TXTFILE3", "TXTFILE4", "TXTFILE5", "HLPFILE6", "ORDER", "LICENSE" };

// ExpandFile on a copy of the path, which it may rewrite.
int Expand(const std::string& packed, const std::string& target)
{
    char packedPath[MAX_PATH];
    strcpy(packedPath, packed.c_str());
    return ExpandFile(packedPath, target.c_str());
}

class Extraction : public ::testing::Test {
protected:
    void SetUp() override { g_hInstance = GetModuleHandleA(NULL); }
    ScratchFolder scratch_;
};

std::string InstalledNameOf(int row)
{
    const FILE_GROUP* groups[] = { &g_coreFiles, &g_explorerFiles, &g_utilityFiles, &g_commonFiles, &g_iniFiles };
    for (const FILE_GROUP* group : groups) {
        if (row >= group->firstResource && row < group->firstResource + group->count)
            return group->entries[row - group->firstResource].szFile;
    }
    return "";
}

TEST_F(Extraction, EveryCarriedResourceExpandsToTheProductFileByteForByte)
{
    int carried = 0;
    for (int row = 0; row < RESOURCE_INSTINI; ++row) {
        const RESOURCE_ROW& resource = g_resourceMap[row];
        std::string packed = scratch_ / "packed.tmp";
        DeleteFileA(packed.c_str());
        int extracted = ExtractResource(g_hInstance, row, scratch_.Path().c_str(), "packed.tmp");
        if (NOT_CARRIED.count(resource.szResName)) {
            EXPECT_EQ(extracted, 0) << resource.szResName;
            EXPECT_FALSE(vxtest::FileExists(packed)) << "a resource that is not carried creates no file";
            continue;
        }
        ++carried;
        ASSERT_EQ(extracted, 1) << resource.szResName;
        std::string original = vxtest::ReadFileBytes(SampleProductFile(InstalledNameOf(row)));
        ASSERT_FALSE(original.empty()) << InstalledNameOf(row);
        std::string bytes = vxtest::ReadFileBytes(packed);
        if (std::string(resource.szResName) == "INIFILE1") {
            EXPECT_EQ(bytes, original) << "the main INI template is carried as plain text";
            continue;
        }
        ASSERT_GE(bytes.size(), 14u);
        EXPECT_EQ(bytes.substr(0, 10), std::string("SZDD\x88\xF0\x27\x33" "A\0", 10)) << resource.szResName;
        EXPECT_EQ(*(const DWORD*)(bytes.data() + 10), original.size()) << resource.szResName;

        std::string target = scratch_ / "expanded.bin";
        ASSERT_EQ(Expand(packed, target), 1) << resource.szResName;
        EXPECT_TRUE(vxtest::ReadFileBytes(target) == original) << resource.szResName << " expands to other bytes";
    }
    EXPECT_EQ(carried, 35);
}

TEST_F(Extraction, FolderWithOrWithoutSeparatorNamesTheSameFile)
{
    const std::string folders[] = { scratch_.Path(), scratch_.Path() + "\\", scratch_.Path() + "/" };
    for (const std::string& folder : folders) {
        DeleteFileA((scratch_ / "Install.ini").c_str());
        EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, folder.c_str(), "Install.ini"), 1) << folder;
        EXPECT_TRUE(vxtest::FileExists(scratch_ / "Install.ini")) << folder;
    }
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, "Q:\\no\\such\\folder", "Install.ini"), 0);
    EXPECT_EQ(ExtractResource(g_hInstance, RESOURCE_INSTINI, std::string(600, 'a').c_str(), "Install.ini"), 0);
}

class Expansion : public Extraction {
protected:
    // An SZDD file of known content, made by extracting the carried release notes.
    std::string Packed(const std::string& name)
    {
        EXPECT_EQ(ExtractResource(g_hInstance, payloadtest::ResourceOf("VxNotes.txt"), scratch_.Path().c_str(), name.c_str()), 1);
        return scratch_ / name;
    }
    std::string Notes() { return vxtest::ReadFileBytes(SampleProductFile("VxNotes.txt")); }
};

TEST_F(Expansion, SamePathInAnyCaseIsSuccessAndTouchesNothing)
{
    std::string packed = Packed("same.tmp");
    std::string before = vxtest::ReadFileBytes(packed);
    std::string upper = packed;
    for (char& c : upper)
        c = (char)toupper((unsigned char)c);
    EXPECT_EQ(Expand(packed, upper), 1);
    EXPECT_EQ(vxtest::ReadFileBytes(packed), before);
}

TEST_F(Expansion, ATargetInUseFailsUntouchedAndNothingAppearsBesideIt)
{
    std::string target = scratch_ / "running.exe";
    vxtest::WriteFileBytes(target, "old program");
    std::string packed = Packed("inuse.tmp");
    {
        HeldOpen running(target);
        ASSERT_TRUE(running.Held());
        EXPECT_EQ(Expand(packed, target), 0);
    }
    EXPECT_EQ(vxtest::ReadFileBytes(target), "old program");
    EXPECT_FALSE(vxtest::FileExists(scratch_ / "running.ex_")) << "no stray file with a '_' name";
    {
        HeldOpen reader(target, FILE_SHARE_READ);  // open elsewhere without write sharing
        EXPECT_EQ(Expand(packed, target), 0);
    }
    EXPECT_EQ(Expand(packed, target), 1) << "an existing target that is not in use is replaced";
    EXPECT_EQ(vxtest::ReadFileBytes(target), Notes());
}

TEST_F(Expansion, AFileNamedWithUnderscoreIsReadInsteadAndNamedBack)
{
    std::string packed = Packed("notes.tm_");
    vxtest::WriteFileBytes(scratch_ / "notes.tmp", "not packed at all");
    char packedPath[MAX_PATH];
    strcpy(packedPath, (scratch_ / "notes.tmp").c_str());
    EXPECT_EQ(ExpandFile(packedPath, (scratch_ / "notes.txt").c_str()), 1);
    EXPECT_STREQ(packedPath, packed.c_str());
    EXPECT_EQ(vxtest::ReadFileBytes(scratch_ / "notes.txt"), Notes());
}

TEST_F(Expansion, PlainFilesAreCopiedAndEmptyOrMissingOnesFail)
{
    const struct {
        const char* content;  // nullptr: no such file
        int result;
    } cases[] = { { "plain text, not packed", 1 }, { "", 0 }, { nullptr, 0 } };
    for (const auto& c : cases) {
        std::string source = scratch_ / "plain.tmp";
        std::string target = scratch_ / "plain.out";
        DeleteFileA(source.c_str());
        DeleteFileA(target.c_str());
        if (c.content != nullptr)
            vxtest::WriteFileBytes(source, c.content);
        EXPECT_EQ(Expand(source, target), c.result) << (c.content ? c.content : "(missing)");
        if (c.result == 1) {
            EXPECT_EQ(vxtest::ReadFileBytes(target), c.content);
        }
    }
    // An SZDD file whose expanded length is 0 expands to nothing, which counts as a failure.
    vxtest::WriteFileBytes(scratch_ / "empty.tmp", std::string("SZDD\x88\xF0\x27\x33" "A\0\0\0\0\0", 14));
    EXPECT_EQ(Expand(scratch_ / "empty.tmp", scratch_ / "empty.out"), 0);
}

}  // namespace
