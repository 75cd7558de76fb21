#include "formats/lv2/Lv2StateCheck.h"

#include <cstdint>

namespace quaverline::lv2
{

bool isPossibleEncodedState (const char* text, std::size_t size) noexcept
{
    if (text == nullptr)
        return false;

    // JUCE reads the text up to its size or its first null, whichever is first.
    std::size_t length = 0;

    while (length < size && text[length] != '\0')
        ++length;

    constexpr std::size_t maximumDigits = 9;
    std::size_t digits = 0;
    uint64_t decodedSize = 0;

    for (; digits < length && text[digits] >= '0' && text[digits] <= '9'; ++digits)
    {
        if (digits == maximumDigits)
            return false;

        decodedSize = decodedSize * 10 + uint64_t (text[digits] - '0');
    }

    if (digits == 0 || digits == length || text[digits] != '.')
        return false;

    const auto encodedLength = uint64_t (length - digits - 1);
    return decodedSize <= (encodedLength * 6 + 7) / 8;
}

} // namespace quaverline::lv2
