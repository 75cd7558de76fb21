#pragma once

namespace quaverline::musicalTime
{

/** Tempo and clock arithmetic, each written once so that every layer rounds
    the same way: a transport position computed here and there must agree to
    the last bit, or pulses move by a sample.
*/
inline constexpr double secondsPerMinute = 60.0;

/** Clock ticks per quarter note: the classic clock's 24 PPQN. */
inline constexpr int ticksPerQuarterNote = 24;

/** The length of a bar in a host's meter N/D (N beats of 1/D notes), in
    quarter notes.
*/
constexpr double quarterNotesPerBar (double numerator, double denominator) noexcept
{
    return numerator * 4.0 / denominator;
}

/** How far the transport moves in one sample, in quarter notes. */
constexpr double quarterNotesPerSample (double bpm, double sampleRate) noexcept
{
    return bpm / (secondsPerMinute * sampleRate);
}

/** How far the transport moves in a number of samples, in quarter notes; the
    product is divided once, so that it rounds as the hosts' own does.
*/
constexpr double quarterNotesIn (double samples, double bpm, double sampleRate) noexcept
{
    return samples * bpm / (secondsPerMinute * sampleRate);
}

/** How long a number of quarter notes last, in seconds. */
constexpr double secondsFor (double quarterNotes, double bpm) noexcept
{
    return quarterNotes * secondsPerMinute / bpm;
}

/** How many quarter notes pass in a number of seconds. */
constexpr double quarterNotesFor (double seconds, double bpm) noexcept
{
    return seconds * bpm / secondsPerMinute;
}

/** The spacing of the clock's ticks, in samples. */
constexpr double samplesPerTick (double bpm, double sampleRate) noexcept
{
    return secondsPerMinute * sampleRate / (bpm * ticksPerQuarterNote);
}

} // namespace quaverline::musicalTime
