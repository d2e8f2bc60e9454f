// The wizard's mail default in the destination's VANTIX.ini, written after a successful install.
#include "wizard/wizard.h"

#include <gtest/gtest.h>

#include "harness/wine_env.h"

namespace {

TEST(Wizard, MailDefaultReplacesOnlyTheOldPlaceholder)
{
    const std::pair<const char*, const char*> cases[] = {  // VANTIX.ini before (nullptr: none) and after
        { nullptr, "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nLOGGING=0\r\n", "[_config_]\r\nLOGGING=0\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=USER@HOST.COM.old\r\n", "[_config_]\r\nMAILADDR=vxguest@\r\n" },
        { "[_config_]\r\nMAILADDR=me@example.org\r\n", "[_config_]\r\nMAILADDR=me@example.org\r\n" },
    };
    for (const auto& c : cases) {
        vxtest::ScratchFolder folder;
        if (c.first != nullptr)
            vxtest::WriteFileBytes(folder / "VANTIX.ini", c.first);
        WriteMailDefault(folder.Path().c_str());
        std::string after = vxtest::ReadFileBytes(folder / "VANTIX.ini");
        // The profile writer may or may not keep the case of a value it rewrites unchanged.
        EXPECT_EQ(_stricmp(after.c_str(), c.second), 0) << (c.first ? c.first : "(no file)") << " -> " << after;
    }
}

}  // namespace
