#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

namespace quaverline
{

/** The plug-in's one setting, the time-signature index, and the rules by which
    the "Time Signature" parameter and the saved state set and read it.

    Index k selects a bar of k + 2 eighth notes; the parameter value of index k
    is k / 30, so the editor's items " 3/8" to "32/8" are indexes 1 to 30. A
    restored state may hold any byte, and every byte is a valid bar length.

    The index and the changed flag are shared by the audio thread, the host's
    threads and the message thread. Writers store the index first and raise the
    flag second; a reader that takes the flag then sees the new index.
*/
class TimeSignatureState
{
public:
    static constexpr const char* parameterName = "Time Signature";
    static constexpr uint8_t initialIndex = 6;
    static constexpr int numChoices = 30;

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

    /** The index that setParameterValue stores for a value. */
    static uint8_t indexForParameterValue (float value) noexcept;

private:
    void storeIndex (uint8_t newIndex) noexcept;

    std::atomic<uint8_t> index { initialIndex };
    std::atomic<bool> changed { false };
};

} // namespace quaverline
