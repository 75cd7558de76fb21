#include "formats/aax/AaxParameterRules.h"

#include <limits>

namespace quaverline::aax
{

int parameterNumberFromId (const char* id) noexcept
{
    int64_t number = 0;

    for (auto* c = id; c != nullptr && *c >= '0' && *c <= '9'; ++c)
    {
        number = number * 10 + (*c - '0');

        if (number > std::numeric_limits<int>::max())
            return 0;
    }

    return static_cast<int> (number);
}

bool isNumericId (const char* id) noexcept
{
    if (id == nullptr || *id == '\0')
        return false;

    for (auto* c = id; *c != '\0'; ++c)
        if (*c < '0' || *c > '9')
            return false;

    return true;
}

std::string parameterIdFromNumber (int number)
{
    return std::to_string (number);
}

std::string bypassNameOfLength (int32_t maximumLength)
{
    if (maximumLength >= 13)
        return masterBypassName;

    if (maximumLength >= 8)
        return "Mast Byp";

    if (maximumLength >= 6)
        return "MstByp";

    return "MByp";
}

std::string bypassText (double value, int32_t maximumLength)
{
    if (value == 0.0)
        return "Off";

    return maximumLength >= 8 ? "Bypassed" : "Byp";
}

double bypassValueFromText (const std::string& text) noexcept
{
    return ! text.empty() && text.front() == 'B' ? 1.0 : 0.0;
}

} // namespace quaverline::aax
