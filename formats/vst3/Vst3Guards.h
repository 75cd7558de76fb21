#pragma once

// What stands between a VST3 host and JUCE's VST3 wrapper: the checks and the
// slicing that the wrapper's own process, bus and parameter calls lack. The
// corrected copy of the wrapper (cmake/JuceCorrections.cmake) calls these.

#include "engine/HostText.h"
#include "engine/MusicalTime.h"

#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstprocesscontext.h>
#include <pluginterfaces/vst/vsttypes.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>

namespace quaverline::vst3
{

/** How many buses and channels a sliced block can carry per direction. */
inline constexpr int maximumSlicedBuses = 8;
inline constexpr int maximumSlicedChannels = 64;

/** Blocks are prepared for and rendered in slices of at most this many samples. */
inline constexpr Steinberg::int32 maximumSliceLength = 8192;
inline constexpr Steinberg::int32 fallbackSliceLength = 1024;

/** The block length JUCE is prepared for, whatever maximum the host announces:
    absurd maxima cost no memory, and longer blocks are sliced.
*/
inline Steinberg::int32 sliceLengthFor (Steinberg::int32 announcedMaximum) noexcept
{
    return announcedMaximum > 0 ? std::min (announcedMaximum, maximumSliceLength) : fallbackSliceLength;
}

/** A host's bus arrangements are taken only when their counts and pointers are
    sound and every speaker is one a layout can name: no more channels than a
    bus can have, and not the sign bit, which JUCE's conversion mistakes for a
    negative number.
*/
inline bool areArrangementsSound (const Steinberg::Vst::SpeakerArrangement* inputs,
                                  Steinberg::int32 numIns,
                                  const Steinberg::Vst::SpeakerArrangement* outputs,
                                  Steinberg::int32 numOuts) noexcept
{
    const auto areSound = [] (const Steinberg::Vst::SpeakerArrangement* arrangements, Steinberg::int32 count)
    {
        if (count < 0 || (count > 0 && arrangements == nullptr))
            return false;

        return std::all_of (arrangements,
                            arrangements + count,
                            [] (Steinberg::Vst::SpeakerArrangement arrangement) { return (arrangement >> 63) == 0; });
    };

    return areSound (inputs, numIns) && areSound (outputs, numOuts);
}

/** One direction's buses, moved on to a slice of the host's block. */
class SlicedBuses
{
public:
    bool take (Steinberg::Vst::AudioBusBuffers* buses, Steinberg::int32 numBuses, bool doublePrecision) noexcept
    {
        source = buses;
        count = buses != nullptr ? numBuses : 0;
        isDouble = doublePrecision;

        if (count < 0 || count > maximumSlicedBuses)
            return false;

        int channels = 0;

        for (int bus = 0; bus < count; ++bus)
        {
            if (source[bus].numChannels < 0 || source[bus].numChannels > maximumSlicedChannels - channels)
                return false;

            channels += source[bus].numChannels;
        }

        return true;
    }

    Steinberg::Vst::AudioBusBuffers* at (int offset) noexcept
    {
        if (source == nullptr)
            return nullptr;

        int next = 0;

        for (int bus = 0; bus < count; ++bus)
        {
            sliced[bus] = source[bus];
            auto** original = source[bus].channelBuffers32;

            if (original == nullptr)
                continue;

            sliced[bus].channelBuffers32 = pointers + next;

            for (int channel = 0; channel < source[bus].numChannels; ++channel, ++next)
            {
                auto* const start = reinterpret_cast<char*> (original[channel]);
                const auto sampleSize = isDouble ? sizeof (double) : sizeof (float);
                pointers[next] =
                    start != nullptr ? reinterpret_cast<float*> (start + std::size_t (offset) * sampleSize) : nullptr;
            }
        }

        return sliced;
    }

private:
    Steinberg::Vst::AudioBusBuffers* source = nullptr;
    int count = 0;
    bool isDouble = false;
    Steinberg::Vst::AudioBusBuffers sliced[maximumSlicedBuses] {};
    float* pointers[maximumSlicedChannels] {};
};

/** A sample count moved on by offset, held at the end of the range rather
    than overflowing.
*/
inline Steinberg::int64 movedOn (Steinberg::int64 samples, int offset) noexcept
{
    Steinberg::int64 moved = 0;

    if (__builtin_add_overflow (samples, Steinberg::int64 (offset), &moved))
        return offset > 0 ? std::numeric_limits<Steinberg::int64>::max() : std::numeric_limits<Steinberg::int64>::min();

    return moved;
}

/** The host's position moved on by offset samples. */
inline Steinberg::Vst::ProcessContext movedOn (Steinberg::Vst::ProcessContext context, int offset) noexcept
{
    using Context = Steinberg::Vst::ProcessContext;
    context.projectTimeSamples = movedOn (context.projectTimeSamples, offset);
    context.continousTimeSamples = movedOn (context.continousTimeSamples, offset);

    if ((context.state & Context::kTempoValid) != 0 && context.sampleRate > 0.0)
        context.projectTimeMusic += musicalTime::quarterNotesIn (double (offset), context.tempo, context.sampleRate);

    return context;
}

/** Whether a host's text (a String128 unless the interface says otherwise)
    ends within its capacity and is well-formed UTF-16: JUCE's conversion reads
    on past an unterminated text, and past the end after a lone surrogate.
*/
inline bool isSoundText (const Steinberg::Vst::TChar* text, std::size_t capacity = 128) noexcept
{
    if (text == nullptr)
        return false;

    const auto* units = reinterpret_cast<const char16_t*> (text);
    return std::find (units, units + capacity, u'\0') != units + capacity && hostText::isUtf16 (units, capacity);
}

/** The size of the private data that JUCE's wrapper appends to a saved
    state, when the state ends in its identifier and a size that fits inside
    the state: [state] [8 bytes] [private data] [its size, 8 bytes] [identifier].
    The identifier is compared as bytes (JUCE compares it as text, which reads
    past the state's end when its last bytes are broken UTF-8), and a size that
    does not fit means there is no private data.
*/
inline std::optional<uint64_t> privateDataSizeOf (const char* state, uint64_t size, const char* identifier) noexcept
{
    const auto identifierSize = std::strlen (identifier);

    if (state == nullptr || size < identifierSize + 2 * sizeof (uint64_t) ||
        std::memcmp (state + size - identifierSize, identifier, identifierSize) != 0)
        return std::nullopt;

    uint64_t privateSize = 0;
    std::memcpy (&privateSize, state + size - identifierSize - sizeof (uint64_t), sizeof (privateSize));

    if (privateSize > uint64_t (std::numeric_limits<int>::max()) ||
        privateSize > size - identifierSize - 2 * sizeof (uint64_t))
        return std::nullopt;

    return privateSize;
}

/** The bypass that JUCE's wrapper keeps in a state's private data, read from
    exactly the bytes it writes there (a value tree named by the identifier
    with one property, "Bypass", a bool); nothing for any other bytes. JUCE's
    own reader believes the counts it reads, and allocates for them.
*/
inline std::optional<bool> privateBypassOf (const void* data, int size, const char* identifier) noexcept
{
    // The tree's name, one property, "Bypass", a var of one byte: true (2) or
    // false (3), and no children.
    const auto identifierSize = std::strlen (identifier) + 1;
    const char property[] = "\x01\x01"
                            "Bypass\0"
                            "\x01\x01";
    const auto propertySize = sizeof (property) - 1;
    const auto expectedSize = identifierSize + propertySize + 2;
    const auto* bytes = static_cast<const char*> (data);

    if (bytes == nullptr || size < 0 || std::size_t (size) != expectedSize ||
        std::memcmp (bytes, identifier, identifierSize) != 0 ||
        std::memcmp (bytes + identifierSize, property, propertySize) != 0 || bytes[expectedSize - 1] != 0)
        return std::nullopt;

    const auto marker = bytes[identifierSize + propertySize];

    if (marker != 2 && marker != 3)
        return std::nullopt;

    return marker == 2;
}

/** Silences the host's output buffers. */
inline void clearOutputs (const Steinberg::Vst::ProcessData& data) noexcept
{
    if (data.outputs == nullptr || data.numSamples <= 0)
        return;

    const auto sampleSize = data.symbolicSampleSize == Steinberg::Vst::kSample64 ? sizeof (double) : sizeof (float);

    for (int bus = 0; bus < std::min<Steinberg::int32> (data.numOutputs, maximumSlicedBuses); ++bus)
    {
        auto** channels = reinterpret_cast<char**> (data.outputs[bus].channelBuffers32);

        for (int channel = 0;
             channels != nullptr &&
             channel < std::min<Steinberg::int32> (data.outputs[bus].numChannels, maximumSlicedChannels);
             ++channel)
            if (channels[channel] != nullptr)
                std::fill (channels[channel], channels[channel] + std::size_t (data.numSamples) * sampleSize, char (0));
    }
}

/** Gives process the host's block in slices of at most the block size the
    host set up, each with its buses and position moved on, so that a block
    longer than announced is rendered whole and never past JUCE's buffers.
    Parameter changes go with the first slice, the answers with the last.
    Events are not passed on: the plug-in ignores MIDI, and an event list may
    lie about its contents.

    Outside setActive (true) and setActive (false) JUCE's buffers need not
    match the buses the host has set: such a block is silent, and only its
    parameter changes are taken.
*/
template <typename Process>
Steinberg::tresult processInSlices (const Steinberg::Vst::ProcessData& data,
                                    Steinberg::int32 maximumLength,
                                    bool isActive,
                                    Process&& process)
{
    auto slice = data;
    slice.inputEvents = nullptr;
    slice.numSamples = std::max<Steinberg::int32> (data.numSamples, 0);

    if (! isActive)
    {
        clearOutputs (data);
        slice.numSamples = 0;
        slice.numInputs = slice.numOutputs = 0;
        slice.inputs = slice.outputs = nullptr;
        return process (slice);
    }

    const auto sliceLength = sliceLengthFor (maximumLength);

    if (slice.numSamples <= sliceLength)
        return process (slice);

    const auto isDouble = data.symbolicSampleSize == Steinberg::Vst::kSample64;
    SlicedBuses inputs, outputs;

    if (! inputs.take (data.inputs, data.numInputs, isDouble) ||
        ! outputs.take (data.outputs, data.numOutputs, isDouble))
        return Steinberg::kInvalidArgument;

    Steinberg::Vst::ProcessContext context {};
    Steinberg::tresult result = Steinberg::kResultTrue;

    // 64 bits, so that the count cannot overflow near 2^31 samples.
    for (int64_t done = 0; done < data.numSamples; done += sliceLength)
    {
        const auto isLast = data.numSamples - done <= sliceLength;
        slice.numSamples = Steinberg::int32 (std::min<int64_t> (sliceLength, data.numSamples - done));
        slice.inputs = inputs.at (int (done));
        slice.outputs = outputs.at (int (done));
        slice.inputParameterChanges = done == 0 ? data.inputParameterChanges : nullptr;
        slice.outputParameterChanges = isLast ? data.outputParameterChanges : nullptr;
        slice.outputEvents = isLast ? data.outputEvents : nullptr;

        if (data.processContext != nullptr)
        {
            context = movedOn (*data.processContext, int (done));
            slice.processContext = &context;
        }

        if (const auto sliceResult = process (slice); sliceResult != Steinberg::kResultTrue)
            result = sliceResult;
    }

    return result;
}

} // namespace quaverline::vst3
