#pragma once

#include "engine/TimeSignature.h"

#include <atomic>
#include <cstdint>
#include <vector>

namespace quaverline
{

/** The plug-in's one setting, the time-signature index (see TimeSignature.h),
    as the "Time Signature" parameter and the saved state set and read it.

    The index and the changed flag are shared by the audio thread, the host's
    threads and the message thread. Writers store the index first and raise the
    flag second; a reader that takes the flag then sees the new index.
*/
class TimeSignatureState
{
public:
    uint8_t getIndex() const noexcept;

    /** The parameter value: the index over 30, rounded once to float. */
    float getParameterValue() const noexcept;

    /** Sets the index from a parameter value and raises the changed flag, even
        when the index stays the same. A value that is not finite changes nothing.
    */
    void setParameterValue (float newValue) noexcept;

    /** The saved state: exactly one byte, the index. */
    std::vector<uint8_t> getState() const;

    /** Restores the index from the first byte and raises the changed flag. Bytes
        after the first are ignored; an empty or missing block changes nothing.
    */
    void setState (const void* data, int sizeInBytes) noexcept;

    /** Returns whether the index has been set since the last call, and clears
        the flag in the same atomic step, so a change that lands in between is
        reported by the next call rather than lost.
    */
    bool takeChangedFlag() noexcept;

private:
    void storeIndex (uint8_t newIndex) noexcept;

    std::atomic<uint8_t> index { timeSignature::initialIndex };
    std::atomic<bool> changed { false };
};

} // namespace quaverline
