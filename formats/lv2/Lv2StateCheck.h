#pragma once

#include <cstddef>

namespace quaverline::lv2
{

/** Whether a saved state string can be what JUCE's LV2 wrapper writes: the
    decoded size in decimal digits, a dot, then base-64 text that can hold
    that many bytes. Anything else would have JUCE reserve memory for a size
    that the text does not back (2^64 - 1 bytes for "-1.A").
*/
bool isPossibleEncodedState (const char* text, std::size_t size) noexcept;

} // namespace quaverline::lv2
