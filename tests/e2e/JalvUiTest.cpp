// Each product's window in jalv.gtk3, a host we did not write that gives its
// UIs instance access, on a private X display (with a window manager) and
// JACK server: the UI opens and draws, a choice made in it with the mouse and
// keys reaches the plug-in (jalv's dump shows the plug-in's answer), a value
// the host sets changes what it shows, and closing the window ends jalv
// cleanly, as closing jalv's window does.

#include "tests/support/ChildProcess.h"
#include "tests/support/JackTestServer.h"
#include "tests/support/RunCommand.h"
#include "tests/support/XvfbTestMain.h"

// Before Xlib, which defines None, a name GoogleTest uses.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace quaverline::test
{

namespace
{
struct Product
{
    const char* name;
    const char* uri;
    const char* bundleFolder;
    const char* windowName;
    int comboX, comboY;     // a choice list, from the window's top left
    const char* chosen;     // what the plug-in then reports: "property> ;" and the value
    const char* hostValue;  // a value jalv sets, as "symbol=value"
    const char* hostChosen; // what jalv's dump shows of it
};

void PrintTo (const Product& product, std::ostream* os)
{
    *os << product.name;
}

std::string contentsOf (const std::string& path)
{
    std::ifstream file (path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

/** The pixels of a part of the screen, 0xRRGGBB. */
std::vector<uint32_t> screenPixels (int left, int top, int width, int height)
{
    auto* display = XOpenDisplay (nullptr);

    if (display == nullptr)
        return {};

    std::vector<uint32_t> pixels;

    if (auto* image = XGetImage (
            display, DefaultRootWindow (display), left, top, unsigned (width), unsigned (height), AllPlanes, ZPixmap))
    {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back (uint32_t (XGetPixel (image, x, y)) & 0xffffffu);

        XDestroyImage (image);
    }

    XCloseDisplay (display);
    return pixels;
}

/** How many colours there are among some pixels: a blank window has one or two. */
std::size_t coloursIn (const std::vector<uint32_t>& pixels)
{
    return std::set<uint32_t> (pixels.begin(), pixels.end()).size();
}

class JalvUi : public testing::TestWithParam<Product>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (xvfbSessionIsReady());
        setenv ("LV2_PATH", GetParam().bundleFolder, 1);
    }

    /** jalv.gtk3 with the product, dumping what passes between plug-in and UI. */
    std::unique_ptr<ChildProcess> startJalv (const std::vector<std::string>& options) const
    {
        std::vector<std::string> arguments { "stdbuf", "-oL", "jalv.gtk3", "-d", "-x", "--jack-name", "clock" };
        arguments.insert (arguments.end(), options.begin(), options.end());
        arguments.push_back (GetParam().uri);
        return std::make_unique<ChildProcess> (arguments, log);
    }

    /** Waits for jalv's window, and notes its place on the screen. */
    bool windowIsUp()
    {
        const auto search = "xdotool search --name '^" + std::string (GetParam().windowName) + "$' | head -1";

        if (! waitFor ([&] { return runCommand (search + " | grep -q .").exitStatus == 0; }))
            return false;

        window = runCommand (search).output;
        window.erase (window.find_last_not_of ("\n") + 1);
        const auto info = runCommand ("xwininfo -id " + window).output;
        const auto at = info.find ("Absolute upper-left X:");
        return at != std::string::npos &&
               std::sscanf (
                   info.c_str() + at, "Absolute upper-left X: %d Absolute upper-left Y: %d", &windowX, &windowY) == 2;
    }

    /** The part of the window around the choice list. */
    std::vector<uint32_t> drawnPixels() const
    {
        return screenPixels (windowX, windowY, GetParam().comboX + 60, GetParam().comboY + 40);
    }

    /** Waits until jalv's dump shows the plug-in telling the UI a value. */
    bool pluginReports (const std::string& value) const
    {
        return waitFor ([&] { return contentsOf (log).find (value) != std::string::npos; });
    }

    /** Clicks a point of the window. */
    void click (int x, int y) const
    {
        ASSERT_EQ (runCommand ("xdotool mousemove " + std::to_string (windowX + x) + " " +
                               std::to_string (windowY + y) + " click 1")
                       .exitStatus,
                   0);
    }

    /** Closes the window as a user does, through the window manager. */
    void close() const { runCommand ("wmctrl -i -c " + window); }

    const std::string log = JackTestServer::logPath ("jalv-ui");
    std::string window;
    int windowX = 0, windowY = 0;
};
} // namespace

TEST_P (JalvUi, OpensDrawsAndTalksBothWays)
{
    const auto& product = GetParam();
    const JackTestServer server ("jalv-ui");
    std::vector<uint32_t> drawn;

    {
        auto jalv = startJalv ({});
        ASSERT_TRUE (windowIsUp()) << contentsOf (log);

        // The window is drawn: the plug-in's own colours, not a blank one.
        EXPECT_TRUE (waitFor ([&] { return coloursIn (drawnPixels()) > 16; })) << contentsOf (log);
        drawn = drawnPixels();

        // The list opens, and the next entry is chosen with the keys. On a busy
        // machine the list may open after the keys: then it is closed and
        // opened again.
        bool chosen = false;

        for (int attempt = 0; attempt < 5 && ! chosen; ++attempt)
        {
            click (product.comboX, product.comboY);
            std::this_thread::sleep_for (std::chrono::seconds (1));
            runCommand ("xdotool key Down Return");
            chosen = waitFor ([&] { return contentsOf (log).find (product.chosen) != std::string::npos; },
                              std::chrono::seconds (5));

            if (! chosen)
                runCommand ("xdotool key Escape");
        }

        EXPECT_TRUE (chosen) << contentsOf (log);

        // Closed as a user closes it: jalv ends by itself, without a crash.
        close();
        ASSERT_TRUE (waitFor ([&] { return jalv->exitStatus().has_value(); })) << contentsOf (log);
        EXPECT_EQ (jalv->exitStatus(), 0) << contentsOf (log);
    }

    // A value the host sets is what the window shows.
    auto jalv = startJalv ({ "-c", product.hostValue });
    ASSERT_TRUE (windowIsUp()) << contentsOf (log);
    ASSERT_TRUE (pluginReports (product.hostChosen)) << contentsOf (log);
    std::this_thread::sleep_for (std::chrono::milliseconds (500));
    EXPECT_NE (drawnPixels(), drawn);
    EXPECT_EQ (contentsOf (log).find ("warning"), std::string::npos) << contentsOf (log);
    close();
    EXPECT_TRUE (waitFor ([&] { return jalv->exitStatus() == 0; })) << contentsOf (log);
}

INSTANTIATE_TEST_SUITE_P (Jalv,
                          JalvUi,
                          testing::Values (Product { "Quaverline",
                                                     QUAVERLINE_LV2_URI,
                                                     QUAVERLINE_LV2_BUNDLE "/..",
                                                     "Quaverline",
                                                     75,
                                                     157,
                                                     "timeSignature> ;\n\tpatch:value \"0.23333333\"",
                                                     "quaverline_timeSignature=0.4",
                                                     "timeSignature> ;\n\tpatch:value \"0.40000001\"" },
                                           Product { "QuaverlineSync",
                                                     QUAVERLINE_SYNC_LV2_URI,
                                                     QUAVERLINE_SYNC_LV2_BUNDLE "/..",
                                                     "Quaverline Sync",
                                                     460,
                                                     64,
                                                     "shape> ;\n\tpatch:value \"1.0\"",
                                                     "quaverline_sync_resolution=2",
                                                     "resolution> ;\n\tpatch:value \"2.0\"" }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });

} // namespace quaverline::test
