#pragma once

#include <gtest/gtest.h>

namespace quaverline::test
{

/** A place in the editor's 150 by 150 artwork and whether it is dark there. */
struct ArtworkProbe
{
    int x, y;
    bool isDark;
    const char* what;
};

/** Where a host window shows that the artwork is there: the white ground, the
    logo, and the rule under which the caption sits.
*/
inline constexpr ArtworkProbe artworkProbes[] {
    { 3, 3, false, "the white ground" },
    { 58, 21, true, "the logo" },
    { 10, 96, true, "the rule" },
};

/** Checks every probe through the host window's own reading of a pixel. */
template <typename IsDarkAt>
void expectTheArtwork (IsDarkAt&& isDarkAt)
{
    for (const auto& probe : artworkProbes)
        EXPECT_EQ (isDarkAt (probe.x, probe.y), probe.isDark) << probe.what;
}

} // namespace quaverline::test
