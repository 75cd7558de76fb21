#pragma once

#include <cstddef>

namespace quaverline::vst2
{

/** Byte limits of VST 2.4 string answers, counting the terminating zero. */
namespace stringLimit
{
inline constexpr std::size_t effectName = 64;
inline constexpr std::size_t vendorString = 64;
inline constexpr std::size_t productString = 64;
inline constexpr std::size_t parameterName = 16;
inline constexpr std::size_t parameterLabel = 24;
inline constexpr std::size_t parameterDisplay = 24;
inline constexpr std::size_t programName = 24;
inline constexpr std::size_t pinLabel = 63;
inline constexpr std::size_t pinShortLabel = 7;
} // namespace stringLimit

/** Writes UTF-8 text and a zero byte into destination, within limit bytes
    including the zero; a text that does not fit is cut after the last whole
    character that fits. Returns the number of bytes written before the zero.
*/
std::size_t copyString (char* destination, const char* utf8Text, std::size_t limit) noexcept;

} // namespace quaverline::vst2
