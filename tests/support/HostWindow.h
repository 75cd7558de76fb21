#pragma once

// Before Xlib, which defines None, a name GoogleTest uses.
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <vector>

namespace quaverline::test
{

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
        window = XCreateWindow (display,
                                DefaultRootWindow (display),
                                0,
                                0,
                                300,
                                300,
                                0,
                                CopyFromParent,
                                InputOutput,
                                CopyFromParent,
                                CWOverrideRedirect | CWBackPixel,
                                &attributes);
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

    /** The windows the plug-in has put into this one. */
    std::vector<Window> children() const
    {
        Window root = 0, parent = 0, *list = nullptr;
        unsigned int count = 0;
        std::vector<Window> result;

        if (XQueryTree (display, window, &root, &parent, &list, &count) != 0)
        {
            result.assign (list, list + count);
            XFree (list);
        }

        return result;
    }

    Display* display = nullptr;
    Window window = 0;
};

} // namespace quaverline::test
