#include "engine/HostText.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace quaverline::hostText
{

namespace
{
std::size_t lengthOf (const char* text, std::size_t size) noexcept
{
    std::size_t length = 0;

    while (length < size && text[length] != '\0')
        ++length;

    return length;
}

bool isCharacter (uint32_t code) noexcept
{
    return code > 0 && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff);
}

/** The length of the entity at text[0] ('&') and its ';', or 0 when it is none
    the plain kind allows.
*/
std::size_t entityLength (const char* text, std::size_t length) noexcept
{
    for (const char* name : { "&amp;", "&quot;", "&apos;", "&lt;", "&gt;" })
    {
        const auto nameLength = std::strlen (name);

        if (nameLength <= length && std::memcmp (text, name, nameLength) == 0)
            return nameLength;
    }

    if (length < 2 || text[1] != '#')
        return 0;

    const bool isHex = length > 2 && (text[2] == 'x' || text[2] == 'X');
    const std::size_t first = isHex ? 3 : 2;
    const std::size_t maximumDigits = isHex ? 6 : 7;
    uint32_t code = 0;
    std::size_t i = first;

    for (; i < length && i - first < maximumDigits; ++i)
    {
        const char c = text[i];
        int digit = -1;

        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (isHex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (isHex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;

        if (digit < 0)
            break;

        code = code * (isHex ? 16u : 10u) + uint32_t (digit);
    }

    if (i == first || i >= length || text[i] != ';' || ! isCharacter (code))
        return 0;

    return i + 1;
}
} // namespace

bool isUtf8 (const char* text, std::size_t size) noexcept
{
    if (text == nullptr)
        return false;

    const auto length = lengthOf (text, size);

    for (std::size_t i = 0; i < length;)
    {
        const auto lead = uint8_t (text[i]);

        if (lead < 0x80)
        {
            ++i;
            continue;
        }

        const std::size_t extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;

        if (extra == 0 || lead > 0xf4 || extra >= length - i)
            return false;

        uint32_t code = lead & (0x3fu >> extra);

        for (std::size_t k = 1; k <= extra; ++k)
        {
            const auto next = uint8_t (text[i + k]);

            if ((next & 0xc0) != 0x80)
                return false;

            code = (code << 6) | (next & 0x3fu);
        }

        const uint32_t shortest[] = { 0, 0x80, 0x800, 0x10000 };

        if (code < shortest[extra] || ! isCharacter (code))
            return false;

        i += extra + 1;
    }

    return true;
}

bool isUtf16 (const char16_t* text, std::size_t count) noexcept
{
    if (text == nullptr)
        return false;

    for (std::size_t i = 0; i < count && text[i] != 0; ++i)
    {
        const auto unit = text[i];

        if (unit >= 0xdc00 && unit <= 0xdfff)
            return false;

        if (unit >= 0xd800 && unit <= 0xdbff)
        {
            if (i + 1 >= count || text[i + 1] < 0xdc00 || text[i + 1] > 0xdfff)
                return false;

            ++i;
        }
    }

    return true;
}

bool isPlainXml (const char* text, std::size_t size) noexcept
{
    if (! isUtf8 (text, size))
        return false;

    const auto length = lengthOf (text, size);

    // The XML declaration, where a parser looks for it: at the start.
    std::size_t i = 0;

    while (i < length && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' || text[i] == '\n'))
        ++i;

    if (length - i >= 5 && std::memcmp (text + i, "<?xml", 5) == 0)
    {
        const auto end = std::string_view (text, length).find ("?>", i);

        if (end == std::string_view::npos)
            return false;

        i = end + 2;
    }

    for (; i < length; ++i)
    {
        if (text[i] == '<' && i + 1 < length && (text[i + 1] == '!' || text[i + 1] == '?'))
            return false;

        if (text[i] == '&')
        {
            const auto entity = entityLength (text + i, length - i);

            if (entity == 0)
                return false;

            i += entity - 1;
        }
    }

    return true;
}

} // namespace quaverline::hostText
