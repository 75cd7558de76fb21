// The VST 2.4 editor in real windows: a private X display, a host window as
// the parent, and the editor requests a host sends.

#include "tests/support/ArtworkProbes.h"
#include "tests/support/Vst2EditorFixture.h"

namespace quaverline::test
{

namespace
{
bool isDark (unsigned long rgb)
{
    return ((rgb >> 16) & 0xff) < 80 && ((rgb >> 8) & 0xff) < 80 && (rgb & 0xff) < 80;
}
} // namespace

class Vst2EditorTest : public Vst2EditorFixture
{
};

TEST_F (Vst2EditorTest, OpensInTheHostsWindowAndShowsTheArtwork)
{
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);
    ASSERT_TRUE (idleUntilAutomations (1));
    idle (40);

    ERect* rect = nullptr;
    ASSERT_NE (dispatch (effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ (rect->right, 150);
    EXPECT_EQ (rect->bottom, 150);

    // The first paint comes with one of the next idle calls.
    idleUntil ([&] { return ! isDark (parent.pixel (3, 3)); });

    expectTheArtwork ([&] (int x, int y) { return isDark (parent.pixel (x, y)); });

    dispatch (effEditClose);
}

TEST_F (Vst2EditorTest, OpeningTellsTheHostOnceAndThenNothing)
{
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);
    ASSERT_TRUE (idleUntilAutomations (1));
    idle (60); // past a few of the editor's 200 ms polls

    EXPECT_EQ (host.takeAutomations(), (std::vector<Vst2Host::Automation> { { 0, 0.2f } }));
    dispatch (effEditClose);
}

TEST_F (Vst2EditorTest, OpensAndClosesRepeatedly)
{
    for (int i = 0; i < 10; ++i)
    {
        ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);
        idle (2);
        dispatch (effEditClose);
    }

    // Closed right after opening: the list's notification went with it.
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);
    dispatch (effEditClose);
    idle (20);

    uint8_t index = 12;
    dispatch (effSetChunk, 0, 1, &index);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.4f);
}

} // namespace quaverline::test
