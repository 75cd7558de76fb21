// The VST 2.4 editor in real windows: a private X display, a host window as
// the parent, and the editor requests a host sends.

#include "Vst2Host.h"
#include "XvfbSession.h"

#include <X11/Xutil.h>

#include <memory>

namespace
{
XvfbSession* session = nullptr;

/** The host's own window, into which the plug-in puts its editor. */
class HostWindow
{
public:
    HostWindow()
        : display (XOpenDisplay (nullptr))
    {
        if (display == nullptr)
            return;

        // Unmanaged by the window manager: mapped at once, at (0, 0), unframed.
        XSetWindowAttributes attributes {};
        attributes.override_redirect = True;
        attributes.background_pixel = 0x808080;
        window = XCreateWindow (display, DefaultRootWindow (display), 0, 0, 300, 300, 0, CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapWindow (display, window);
        XSync (display, False);
    }

    ~HostWindow()
    {
        if (display != nullptr)
        {
            XDestroyWindow (display, window);
            XCloseDisplay (display);
        }
    }

    void* handle() const { return reinterpret_cast<void*> (window); }

    /** The colour of a pixel of the window as it is on screen, 0xRRGGBB. */
    unsigned long pixel (int x, int y) const
    {
        Window child = 0;
        int screenX = 0, screenY = 0;
        XTranslateCoordinates (display, window, DefaultRootWindow (display), x, y, &screenX, &screenY, &child);
        auto* image = XGetImage (display, DefaultRootWindow (display), screenX, screenY, 1, 1, AllPlanes, ZPixmap);

        if (image == nullptr)
            return 0xffffffffUL;

        const auto value = XGetPixel (image, 0, 0) & 0xffffff;
        XDestroyImage (image);
        return value;
    }

    Display* display = nullptr;
    Window window = 0;
};

bool isDark (unsigned long rgb)
{
    return ((rgb >> 16) & 0xff) < 80 && ((rgb >> 8) & 0xff) < 80 && (rgb & 0xff) < 80;
}
} // namespace

class Vst2EditorTest : public Vst2HostTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (session != nullptr && session->isReady()) << "no X display with a window manager";
        Vst2HostTest::SetUp();
    }

    void idle (int times)
    {
        for (int i = 0; i < times; ++i)
        {
            dispatch (effEditIdle);
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }
    }

    HostWindow parent;
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
    for (int attempt = 0; attempt < 400 && isDark (parent.pixel (3, 3)); ++attempt)
        idle (1);

    EXPECT_FALSE (isDark (parent.pixel (3, 3)));  // white ground
    EXPECT_TRUE (isDark (parent.pixel (58, 21))); // the logo
    EXPECT_TRUE (isDark (parent.pixel (10, 96))); // the rule

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

/** The X display for the whole run; not started when the tests are only listed. */
class XvfbEnvironment final : public testing::Environment
{
public:
    void SetUp() override
    {
        display = std::make_unique<XvfbSession>();
        session = display.get();
    }

    void TearDown() override
    {
        session = nullptr;
        display.reset();
    }

private:
    std::unique_ptr<XvfbSession> display;
};

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // An X error fails the check that caused it instead of ending the process.
    XSetErrorHandler ([] (Display*, XErrorEvent* error)
                      {
                          ADD_FAILURE() << "X error " << int (error->error_code) << " in request " << int (error->request_code);
                          return 0; });

    testing::AddGlobalTestEnvironment (std::make_unique<XvfbEnvironment>().release()); // gtest owns it
    return RUN_ALL_TESTS();
}
