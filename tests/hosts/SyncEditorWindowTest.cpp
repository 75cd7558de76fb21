// Quaverline Sync's editor in a real window: its VST 2.4 build on a private X
// display, with a host window as the parent, opened, painted and closed as a
// host does.

#include "tests/support/Vst2EditorFixture.h"

namespace quaverline::test
{

namespace
{
int green (unsigned long rgb)
{
    return int ((rgb >> 8) & 0xff);
}

int red (unsigned long rgb)
{
    return int ((rgb >> 16) & 0xff);
}
} // namespace

class SyncEditorWindowTest : public Vst2EditorFixture
{
protected:
    /** Whether the pulse drawing's green line shows anywhere in the window's
        lower right quarter, where the drawing is.
    */
    bool showsThePulse (int width, int height)
    {
        for (int x = width / 2; x < width; x += 2)
            for (int y = height / 2; y < height; y += 2)
                if (const auto rgb = parent.pixel (x, y); green (rgb) > 170 && red (rgb) < 140)
                    return true;

        return false;
    }
};

TEST_F (SyncEditorWindowTest, OpensInTheHostsWindowAndDrawsThePulse)
{
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);

    ERect* rect = nullptr;
    ASSERT_NE (dispatch (effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ (rect->right, 560);
    EXPECT_EQ (rect->bottom, 360);

    // The first paint comes with one of the next idle calls.
    EXPECT_TRUE (idleUntil ([&] { return showsThePulse (rect->right, rect->bottom); }));
    dispatch (effEditClose);
}

TEST_F (SyncEditorWindowTest, OpensAndClosesRepeatedly)
{
    for (int i = 0; i < 10; ++i)
    {
        ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.handle()), 1);
        idle (2);
        dispatch (effEditClose);
    }

    // The parameters are untouched by it all.
    EXPECT_EQ (stringAnswer (effGetParamDisplay, 0), "24 PPQN");
}

} // namespace quaverline::test
