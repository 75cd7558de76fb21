#pragma once

#include "tests/support/HostWindow.h"
#include "tests/support/Vst2Host.h"
#include "tests/support/XvfbTestMain.h"

#include <chrono>
#include <thread>

namespace quaverline::test
{

/** A VST 2.4 host with a window to open the editor in, on a private X display. */
class Vst2EditorFixture : public Vst2HostTest
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (xvfbSessionIsReady()) << "no X display with a window manager";
        Vst2HostTest::SetUp();
    }

    /** Idle requests as a host sends them while an editor is open. */
    void idle (int times)
    {
        for (int i = 0; i < times; ++i)
        {
            dispatch (effEditIdle);
            std::this_thread::sleep_for (std::chrono::milliseconds (5));
        }
    }

    /** Idle requests until the condition holds, for as long as a busy machine
        may take to paint; false if it never does.
    */
    template <typename Condition>
    bool idleUntil (Condition condition, std::chrono::seconds limit = std::chrono::seconds (30))
    {
        const auto deadline = std::chrono::steady_clock::now() + limit;

        while (! condition())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;

            idle (1);
        }

        return true;
    }

    HostWindow parent;
};

} // namespace quaverline::test
