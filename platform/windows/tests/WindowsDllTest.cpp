// What a Windows host sees of quaverline_win_64.dll before it calls into it:
// the VST 2.4 entry point by name and by its ordinal.

#include "tests/support/PluginLibrary.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

TEST (WindowsDll, VstPluginMainByNameAndByOrdinal)
{
    auto* library = openPluginLibrary (QUAVERLINE_VST2_PATH);
    ASSERT_NE (library, nullptr) << "LoadLibrary failed: " << GetLastError();

    const auto byName = GetProcAddress (static_cast<HMODULE> (library), "VSTPluginMain");
    const auto byOrdinal = GetProcAddress (static_cast<HMODULE> (library), MAKEINTRESOURCEA (8));
    ASSERT_NE (byName, nullptr);
    EXPECT_EQ (byOrdinal, byName);
    EXPECT_EQ (GetProcAddress (static_cast<HMODULE> (library), "juceVstPluginMain"), nullptr);
}

} // namespace quaverline::test
