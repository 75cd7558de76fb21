// The LV2 UI opened as LV2 hosts open it: through instance access to the
// handle the host holds, in the host's own window on a private X display,
// driven by the UI's idle interface, and closed again.

// The LV2 headers and GoogleTest (in Lv2Host.h) before Xlib, whose macros
// (None, Bool) they would trip over.
#include "tests/support/Lv2Host.h"

#include "tests/support/HostWindow.h"
#include "tests/support/XvfbTestMain.h"

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <thread>

namespace quaverline::test
{

namespace
{
class Lv2EditorTest : public Lv2HostFixture
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (xvfbSessionIsReady()) << "no X display with a window manager";
        Lv2HostFixture::SetUp();
    }

    /** The UI's idle calls, as a host makes them, until the condition holds;
        false if it does not within thirty seconds.
    */
    template <typename Condition>
    bool idleUntil (const LV2UI_Idle_Interface& idle, LV2UI_Handle ui, Condition condition)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (30);

        while (! condition())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;

            idle.idle (ui);
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }

        return true;
    }

    HostWindow parent;
};
} // namespace

TEST_F (Lv2EditorTest, OpensInTheHostsWindowThroughInstanceAccess)
{
    const auto uiFunction = pluginEntryPoint<LV2UI_DescriptorFunction> (library, "lv2ui_descriptor");
    ASSERT_NE (uiFunction, nullptr);
    const auto* ui = uiFunction (0);
    ASSERT_NE (ui, nullptr);
    const auto* idle = static_cast<const LV2UI_Idle_Interface*> (ui->extension_data (LV2_UI__idleInterface));
    ASSERT_NE (idle, nullptr);

    LV2_Feature access { LV2_INSTANCE_ACCESS_URI, instance };
    LV2_Feature window { LV2_UI__parent, parent.handle() };
    const LV2_Feature* features[] = { &mapFeature, &access, &window, nullptr };
    const auto background = parent.pixel (3, 3);

    for (int opening = 0; opening < 3; ++opening)
    {
        LV2UI_Widget widget = nullptr;
        const auto write = [] (LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {};
        auto* handle =
            ui->instantiate (ui, QUAVERLINE_LV2_URI, QUAVERLINE_LV2_BUNDLE "/", write, nullptr, &widget, features);
        ASSERT_NE (handle, nullptr);
        EXPECT_NE (widget, nullptr);
        EXPECT_FALSE (parent.children().empty());

        // Drawn over the host's grey, and the plug-in plays on meanwhile.
        EXPECT_TRUE (idleUntil (*idle, handle, [&] { return parent.pixel (3, 3) != background; }));
        run (0);

        ui->cleanup (handle);
    }
}

} // namespace quaverline::test
