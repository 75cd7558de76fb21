#pragma once

// How the AAX face names parameters and shows the master bypass: plain rules,
// without JUCE or the SDK, so that they can be tested on their own.

#include <cstdint>
#include <string>

namespace quaverline::aax
{

inline constexpr const char* masterBypassName = "Master Bypass";

/** The processor's parameter number of an ID: its leading decimal digits, 0
    when it has none (or is null). Numbers too large for an int read as 0.
*/
int parameterNumberFromId (const char* id) noexcept;

/** Whether an ID is a number: one or more decimal digits and nothing else. */
bool isNumericId (const char* id) noexcept;

/** The ID of the processor's parameter number: its decimal digits. */
std::string parameterIdFromNumber (int number);

/** The master bypass's name in at most maximumLength characters. */
std::string bypassNameOfLength (int32_t maximumLength);

/** The master bypass's text for a value in at most maximumLength characters. */
std::string bypassText (double value, int32_t maximumLength);

/** The master bypass's value for a text: on for a text that starts with "B". */
double bypassValueFromText (const std::string& text) noexcept;

} // namespace quaverline::aax
