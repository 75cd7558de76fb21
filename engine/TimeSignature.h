#pragma once

#include <cstdint>
#include <string>

namespace quaverline::timeSignature
{

/** The one setting, the time-signature index, and what it means everywhere:
    index k selects a bar of k + 2 eighth notes, shown as " 3/8" to "32/8" for
    the editor's items 1 to 30; the "Time Signature" parameter's value of index
    k is k / 30. A saved state may hold any byte, and every byte is a valid bar.
*/
inline constexpr const char* parameterName = "Time Signature";
inline constexpr uint8_t initialIndex = 6;
inline constexpr int numChoices = 30;
inline constexpr int maximumIndex = 255;

constexpr int eighthsPerBar (int index) noexcept
{
    return index + 2;
}

/** The index of a bar of so many eighth notes (its eighthsPerBar). */
constexpr int indexForEighths (int eighths) noexcept
{
    return eighths - 2;
}

/** The bar's length in quarter notes, exact in double. */
constexpr double quarterNotesPerBar (int index) noexcept
{
    return eighthsPerBar (index) / 2.0;
}

/** The label the editor shows: the eighths right-aligned in two characters,
    " 8/8" for index 6.
*/
std::string label (int index);

/** The parameter value of an index: index / 30, rounded once to float. */
float parameterValue (int index) noexcept;

/** The index a parameter value selects: the value times 30, rounded to float
    and then to the nearest integer, of which the low byte is kept.
*/
uint8_t indexForParameterValue (float value) noexcept;

} // namespace quaverline::timeSignature
