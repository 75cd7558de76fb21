#pragma once

// Before Xlib, which defines None, a name GoogleTest uses.
#include <gtest/gtest.h>

#include "tests/support/ChildProcess.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <unistd.h>

namespace quaverline::test
{

/** A private X display for tests that open real windows: Xvfb with a window
    manager (openbox), which JUCE needs for the atoms it asks for. Started in
    the constructor, stopped in the destructor; DISPLAY points to it meanwhile.
*/
class XvfbSession
{
public:
    XvfbSession()
    {
        // A display number can be taken between Xvfb's choice and its start
        // (another test's server): try again with a fresh choice.
        for (int attempt = 0; attempt < 5 && displayName.empty(); ++attempt)
            startServer();

        if (displayName.empty())
            return;

        setenv ("DISPLAY", displayName.c_str(), 1);
        windowManager = std::make_unique<ChildProcess> (std::vector<std::string> { "openbox", "--sm-disable" });
        ready = waitForWindowManager();
    }

    ~XvfbSession()
    {
        windowManager.reset();
        server.reset();
    }

    bool isReady() const noexcept { return ready; }

    XvfbSession (const XvfbSession&) = delete;
    XvfbSession& operator= (const XvfbSession&) = delete;

private:
    void startServer()
    {
        int fds[2];

        if (pipe (fds) != 0)
            return;

        server = std::make_unique<ChildProcess> (std::vector<std::string> {
            "Xvfb", "-displayfd", std::to_string (fds[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp" });
        close (fds[1]);

        char number[16] {};
        ssize_t length = -1;

        do
            length = read (fds[0], number, sizeof (number) - 1);
        while (length < 0 && errno == EINTR);

        close (fds[0]);

        if (length <= 0)
        {
            server.reset();
            return;
        }

        displayName = ":" + std::string (number, static_cast<size_t> (length - (number[length - 1] == '\n' ? 1 : 0)));
    }

    /** Waits for the window manager to announce itself, for as long as a busy
        machine may take to start it.
    */
    bool waitForWindowManager() const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds (90);

        while (std::chrono::steady_clock::now() < deadline)
        {
            if (auto* display = XOpenDisplay (displayName.c_str()))
            {
                const auto supported = XInternAtom (display, "_NET_SUPPORTING_WM_CHECK", True);
                Atom type = None;
                int format = 0;
                unsigned long items = 0, remaining = 0;
                unsigned char* data = nullptr;
                bool found = false;

                if (supported != None && XGetWindowProperty (display,
                                                             DefaultRootWindow (display),
                                                             supported,
                                                             0,
                                                             1,
                                                             False,
                                                             AnyPropertyType,
                                                             &type,
                                                             &format,
                                                             &items,
                                                             &remaining,
                                                             &data) == Success)
                {
                    found = items > 0;
                    XFree (data);
                }

                XCloseDisplay (display);

                if (found)
                    return true;
            }

            std::this_thread::sleep_for (std::chrono::milliseconds (50));
        }

        return false;
    }

    std::unique_ptr<ChildProcess> server, windowManager;
    std::string displayName;
    bool ready = false;
};

} // namespace quaverline::test
