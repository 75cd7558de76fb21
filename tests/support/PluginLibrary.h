#pragma once

// Loading a built plug-in library as a host on this platform does: dlopen on
// Linux, LoadLibrary on Windows (the test hosts also run under Wine).

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace quaverline::test
{

/** The library, loaded once and kept, as hosts do; null if it cannot be loaded. */
inline void* openPluginLibrary (const char* path)
{
#if defined(_WIN32)
    return reinterpret_cast<void*> (LoadLibraryA (path));
#else
    return dlopen (path, RTLD_NOW | RTLD_LOCAL);
#endif
}

/** An entry point of the library by name, cast to its function type. */
template <typename Function>
Function pluginEntryPoint (void* library, const char* name)
{
    if (library == nullptr)
        return nullptr;

#if defined(_WIN32)
    return reinterpret_cast<Function> (reinterpret_cast<void*> (GetProcAddress (static_cast<HMODULE> (library), name)));
#else
    return reinterpret_cast<Function> (dlsym (library, name));
#endif
}

} // namespace quaverline::test
