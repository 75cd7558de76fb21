#pragma once

#include <atomic>
#include <cstdint>

/** The base of every object the plug-in creates for a host (parameters and GUI
    objects). It counts the live ones, so that ACFCanUnloadNow can tell the host
    whether the library is still in use.
*/
class CACFUnknown
{
public:
    CACFUnknown() noexcept { ++liveObjects; }
    virtual ~CACFUnknown() { --liveObjects; }

    CACFUnknown (const CACFUnknown&) = delete;
    CACFUnknown& operator= (const CACFUnknown&) = delete;

    static int32_t GetActiveObjectCount() noexcept { return liveObjects.load(); }

private:
    static inline std::atomic<int32_t> liveObjects { 0 };
};
