#pragma once

#include <cstddef>

namespace quaverline::hostText
{

/** Checks of text that a host hands over, made before a parser reads it. Each
    reads at most the given number of units, and stops at the first zero, as a
    parser of a zero-terminated text would.
*/

/** Whether the bytes are well-formed UTF-8: every sequence whole, in its
    shortest form, and neither a surrogate nor past U+10FFFF.
*/
bool isUtf8 (const char* text, std::size_t size) noexcept;

/** Whether the code units are well-formed UTF-16: every surrogate in a pair. */
bool isUtf16 (const char16_t* text, std::size_t count) noexcept;

/** Whether the bytes are XML of the plain kind that saved states are written
    in: UTF-8 as above; no comment, DOCTYPE, CDATA section or processing
    instruction, but the XML declaration at the start; and every entity one of
    the five named ones or a reference to a character (not a zero or a
    surrogate). A parser that reads such a text neither looks past its end nor
    loops for ever, whatever else is wrong with it.
*/
bool isPlainXml (const char* text, std::size_t size) noexcept;

} // namespace quaverline::hostText
