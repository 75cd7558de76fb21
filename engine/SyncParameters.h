#pragma once

#include "engine/SyncSettings.h"

#include <array>
#include <optional>
#include <string>

namespace quaverline::syncParameters
{

/** Quaverline Sync's parameters, in the order hosts list them. Each has a
    plain value: a choice's number (0, 1, ...) or a value in its unit.
*/
enum Index
{
    resolution,
    bar,
    start,
    shape,
    width,
    level,
    polarity,
    offset,
    right,
    idle,
    count
};

struct Rule
{
    const char* id;
    const char* name;
    int numChoices; // 0: a continuous value
    float minimum;  // plain values; a choice goes from 0 to numChoices - 1
    float maximum;
    float defaultValue;
    const char* unit; // for continuous values
};

const Rule& rule (int index) noexcept;

using PlainValues = std::array<float, count>;

/** Every parameter at its default. */
PlainValues defaults() noexcept;

/** The pulses per quarter note of each Resolution choice. */
inline constexpr std::array<int, 8> resolutions { 1, 2, 4, 8, 12, 24, 48, 96 };

/** What a host or the editor shows for a plain value: "24 PPQN", "Host",
    "7/8", "Next bar", "5.0 ms", "-3.0 dB", "+10.0 ms".
*/
std::string textFor (int index, float plainValue);

/** The plain value a text stands for (a choice's text, or a number with or
    without its unit); nothing for a text that names none.
*/
std::optional<float> valueForText (int index, const std::string& text);

/** The settings the plain values give. Values from anywhere (hosts, files) are
    made sound: out of range clamps, not a number gives the default, a choice
    rounds to the nearest.
*/
SyncSettings settingsFrom (const PlainValues& values) noexcept;

} // namespace quaverline::syncParameters
