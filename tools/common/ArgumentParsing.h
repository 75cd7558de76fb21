#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace quaverline::arguments
{

/** The text without blanks at either end. */
std::string trim (const std::string& text);

/** An optional sign, digits, and an optional point with more digits: no
    exponents, no hexadecimal, no "inf" or "nan".
*/
std::optional<double> parseNumber (const std::string& text);

/** A whole number in the same form, of at most a billion. */
std::optional<int> parseInteger (const std::string& text);

/** The value of the option at arguments[i]: after its "=" in "--option=value"
    (option is then cut to its name), or the next argument (i moves on to it).
    False, with "--option needs a value" in error, when there is none.
*/
bool takeValue (const std::vector<std::string>& arguments,
                std::size_t& i,
                std::string& option,
                std::string& value,
                std::string& error);

/** Whether a value given to option can name a file: not empty, and not like
    an option ("--ppqn=-100", "-x"), which a user who means such a file names
    as "./--ppqn=-100". Says what is wrong in error when it cannot.
*/
bool checkFileName (const std::string& option, const std::string& value, std::string& error);

/** A number as the messages show it: "120", "0.5". */
std::string formatNumber (double value);

/** Reads a number within [minimum, maximum], or says what is wrong in error:
    "--tempo takes a number from 1 to 999, not "fast"".
*/
template <typename Parse>
auto readValue (const std::string& option,
                const std::string& text,
                double minimum,
                double maximum,
                Parse parse,
                std::string& error) -> decltype (parse (text))
{
    const auto value = parse (text);

    if (! value || *value < minimum || *value > maximum)
    {
        error = option + " takes a number from " + formatNumber (minimum) + " to " + formatNumber (maximum) +
                ", not \"" + text + "\"";
        return std::nullopt;
    }

    return value;
}

} // namespace quaverline::arguments
