// Each product's window in jalv.gtk3, a host we did not write that gives its
// UIs instance access, on a private X display and JACK server: the UI opens
// and draws, a choice made in it reaches the plug-in (jalv's dump shows the
// plug-in's answer), a value the host sets shows in it, and jalv ends of its
// own accord when its window is closed.

#include "tests/support/ChildProcess.h"
#include "tests/support/JackTestServer.h"
#include "tests/support/RunCommand.h"
#include "tests/support/XvfbTestMain.h"

#include <gtest/gtest.h>

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
    int comboX, comboY;     // a choice list in the window, and its next entry 21 pixels below
    const char* chosen;     // what the plug-in then reports: "property> ;" and the value
    const char* hostValue;  // a value jalv sets, as "symbol=value"
    const char* hostChosen; // what the plug-in reports then
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

/** The pixels of a part of the screen, 0xRRGGBB, read from xwd's dump. */
std::vector<uint32_t> screenPixels (int left, int top, int width, int height)
{
    const auto path = testing::TempDir() + "quaverline-jalv-screen.xwd";

    if (runCommand ("xwd -root -silent -out '" + path + "'").exitStatus != 0)
        return {};

    const auto dump = contentsOf (path);
    const auto field = [&] (int index)
    {
        uint32_t value = 0;
        for (int byte = 0; byte < 4; ++byte)
            value = (value << 8) | uint8_t (dump[size_t (index * 4 + byte)]);
        return value;
    };

    if (dump.size() < 100 || field (11) != 32)
        return {};

    const auto start = size_t (field (0)) + size_t (field (19)) * 12;
    const auto bytesPerLine = size_t (field (12));
    std::vector<uint32_t> pixels;

    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
        {
            const auto at = start + size_t (y) * bytesPerLine + size_t (x) * 4;
            if (at + 3 < dump.size())
                pixels.push_back (uint32_t (uint8_t (dump[at])) | uint32_t (uint8_t (dump[at + 1])) << 8 |
                                  uint32_t (uint8_t (dump[at + 2])) << 16);
        }

    return pixels;
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
        const auto geometry = runCommand ("xdotool getwindowgeometry --shell " + window).output;
        std::sscanf (geometry.c_str() + geometry.find ("X="), "X=%d\nY=%d", &windowX, &windowY);
        return true;
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

    /** Closes the window as a user does, through jalv's own Quit key. */
    void close() const { runCommand ("xdotool windowfocus --sync " + window + " key --clearmodifiers ctrl+q"); }

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
        ASSERT_TRUE (pluginReports ("patch:value")) << contentsOf (log);

        // The window is drawn: the plug-in's own colours, not one blank colour.
        drawn = drawnPixels();
        EXPECT_GT (std::set<uint32_t> (drawn.begin(), drawn.end()).size(), 16u);

        click (product.comboX, product.comboY);
        std::this_thread::sleep_for (std::chrono::milliseconds (500));
        click (product.comboX, product.comboY + 21);
        EXPECT_TRUE (pluginReports (product.chosen)) << contentsOf (log);

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
                                                     60,
                                                     156,
                                                     "timeSignature> ;\n\tpatch:value \"0.23333333\"",
                                                     "quaverline_timeSignature=0.4",
                                                     "timeSignature> ;\n\tpatch:value \"0.40000001\"" },
                                           Product { "QuaverlineSync",
                                                     QUAVERLINE_SYNC_LV2_URI,
                                                     QUAVERLINE_SYNC_LV2_BUNDLE "/..",
                                                     "Quaverline Sync",
                                                     345,
                                                     64,
                                                     "shape> ;\n\tpatch:value \"1\"",
                                                     "quaverline_sync_resolution=2",
                                                     "resolution> ;\n\tpatch:value \"2\"" }),
                          [] (const auto& testInfo) { return std::string (testInfo.param.name); });

} // namespace quaverline::test
