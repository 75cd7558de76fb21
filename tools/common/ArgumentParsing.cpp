#include "tools/common/ArgumentParsing.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace quaverline::arguments
{

namespace
{
bool isPlainDecimal (const std::string& text)
{
    std::size_t i = 0;

    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;

    const auto isDigit = [&] { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    std::size_t digits = 0;

    for (; isDigit(); ++i)
        ++digits;

    if (i < text.size() && text[i] == '.')
        for (++i; isDigit(); ++i)
            ++digits;

    return digits > 0 && i == text.size();
}
} // namespace

std::string trim (const std::string& text)
{
    const auto first = text.find_first_not_of (" \t");

    if (first == std::string::npos)
        return {};

    return text.substr (first, text.find_last_not_of (" \t") - first + 1);
}

std::optional<double> parseNumber (const std::string& text)
{
    const auto trimmed = trim (text);

    if (! isPlainDecimal (trimmed))
        return std::nullopt;

    char* end = nullptr;
    errno = 0;
    const double value = std::strtod (trimmed.c_str(), &end);

    if (errno != 0 || end != trimmed.c_str() + trimmed.size() || ! std::isfinite (value))
        return std::nullopt;

    return value;
}

std::optional<int> parseInteger (const std::string& text)
{
    const auto value = parseNumber (text);

    if (! value || *value != std::floor (*value) || std::abs (*value) > 1.0e9)
        return std::nullopt;

    return static_cast<int> (*value);
}

bool takeValue (const std::vector<std::string>& arguments,
                std::size_t& i,
                std::string& option,
                std::string& value,
                std::string& error)
{
    if (const auto equals = option.find ('='); option.rfind ("--", 0) == 0 && equals != std::string::npos)
    {
        value = option.substr (equals + 1);
        option = option.substr (0, equals);
        return true;
    }

    if (i + 1 < arguments.size())
    {
        value = arguments[++i];
        return true;
    }

    error = option + " needs a value";
    return false;
}

bool checkFileName (const std::string& option, const std::string& value, std::string& error)
{
    if (value.empty())
        error = option + " needs a file name";
    else if (value.size() > 1 && value.front() == '-')
        error = option + " needs a file name, not \"" + value + "\", which looks like an option (write ./" + value +
                " for a file of that name)";

    return error.empty();
}

std::string formatNumber (double value)
{
    std::ostringstream stream;
    stream << value;
    return stream.str();
}

} // namespace quaverline::arguments
