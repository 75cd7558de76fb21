#pragma once

#include <cstdint>

namespace quaverline
{

/** A four-character code as hosts read it: the first character in the most
    significant byte, so 'QvLn' is 0x51764C6E.
*/
constexpr uint32_t fourCharCode (const char (&code)[5]) noexcept
{
    return (uint32_t (uint8_t (code[0])) << 24) | (uint32_t (uint8_t (code[1])) << 16) |
           (uint32_t (uint8_t (code[2])) << 8) | uint32_t (uint8_t (code[3]));
}

} // namespace quaverline
