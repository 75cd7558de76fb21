#include "formats/vst2/Vst2Strings.h"

#include <cstring>

namespace quaverline::vst2
{

namespace
{
bool isContinuationByte (char byte) noexcept
{
    return (static_cast<unsigned char> (byte) & 0xC0) == 0x80;
}
} // namespace

std::size_t copyString (char* destination, const char* utf8Text, std::size_t limit) noexcept
{
    if (destination == nullptr || limit == 0)
        return 0;

    std::size_t length = utf8Text == nullptr ? 0 : std::strlen (utf8Text);

    if (length >= limit)
    {
        // Never end on half a character: step back to the start of the one cut.
        length = limit - 1;

        while (length > 0 && isContinuationByte (utf8Text[length]))
            --length;
    }

    if (length > 0)
        std::memcpy (destination, utf8Text, length);

    destination[length] = '\0';
    return length;
}

} // namespace quaverline::vst2
