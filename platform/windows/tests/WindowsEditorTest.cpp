// The VST 2.4 editor in a Windows host's window: under Wine, on the private X
// display the test runs on, it opens in the host's window and shows the
// artwork, decoded through the Windows Imaging Component.

#include "tests/support/ArtworkProbes.h"
#include "tests/support/Vst2Host.h"

namespace quaverline::test
{

namespace
{
/** The host's own window, into which the plug-in puts its editor. */
class HostWindow
{
public:
    HostWindow()
    {
        WNDCLASSA windowClass {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA (nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH> (GetStockObject (GRAY_BRUSH));
        windowClass.lpszClassName = "QuaverlineTestHostWindow";
        RegisterClassA (&windowClass);
        window = CreateWindowExA (0,
                                  windowClass.lpszClassName,
                                  "Host",
                                  WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                  0,
                                  0,
                                  300,
                                  300,
                                  nullptr,
                                  nullptr,
                                  windowClass.hInstance,
                                  nullptr);
    }

    ~HostWindow() { DestroyWindow (window); }

    /** The colour of a pixel of the window as it is on screen. */
    COLORREF pixel (int x, int y) const
    {
        POINT point { x, y };
        ClientToScreen (window, &point);
        auto* screen = GetDC (nullptr);
        const auto colour = GetPixel (screen, point.x, point.y);
        ReleaseDC (nullptr, screen);
        return colour;
    }

    HWND window = nullptr;
};

bool isDark (COLORREF colour)
{
    return GetRValue (colour) < 80 && GetGValue (colour) < 80 && GetBValue (colour) < 80;
}
} // namespace

TEST_F (Vst2HostTest, TheEditorShowsTheArtworkInAWindowsHostWindow)
{
    HostWindow parent;
    ASSERT_NE (parent.window, nullptr);
    ASSERT_EQ (dispatch (effEditOpen, 0, 0, parent.window), 1);

    // The first paint comes through the host's message loop.
    for (int attempt = 0; attempt < 400 && isDark (parent.pixel (3, 3)); ++attempt)
    {
        dispatch (effEditIdle);
        dispatchWindowMessages();
        Sleep (5);
    }

    expectTheArtwork ([&] (int x, int y) { return isDark (parent.pixel (x, y)); });

    dispatch (effEditClose);
}

} // namespace quaverline::test
