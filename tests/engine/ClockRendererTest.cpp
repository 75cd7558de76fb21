#include "engine/ClockRenderer.h"
#include "engine/PulseShape.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace quaverline::test
{

using namespace quaverline;

namespace
{
constexpr double defaultRate = 48000.0;
constexpr double defaultTempo = 120.0;

struct Run
{
    double position = 0.0;
    int numSamples = 0;
    double bpm = defaultTempo;
    uint8_t index = 6;
};

std::vector<float> render (ClockRenderer& renderer, const Run& run)
{
    std::vector<float> out (static_cast<size_t> (run.numSamples));
    renderer.render (out.data(), run.numSamples, { true, run.bpm, run.position }, run.index);
    return out;
}

std::vector<float> renderFresh (const Run& run, double sampleRate = defaultRate)
{
    ClockRenderer renderer;
    renderer.setSampleRate (sampleRate);
    return render (renderer, run);
}

std::vector<float> renderStopped (ClockRenderer& renderer, int numSamples)
{
    std::vector<float> out (static_cast<size_t> (numSamples));
    renderer.render (out.data(), numSamples, {}, 6);
    return out;
}

std::vector<int64_t> pulseStarts (const std::vector<float>& signal)
{
    return findPulseStarts (signal.data(), signal.size());
}

std::vector<int64_t> evenlySpaced (int64_t first, int64_t spacing, int count)
{
    std::vector<int64_t> result;
    for (int i = 0; i < count; ++i)
        result.push_back (first + spacing * i);
    return result;
}
} // namespace

TEST (PulseShape, TableHoldsTheShapeEntryByEntry)
{
    EXPECT_EQ (pulseShape::table[0], 0.7886);
    EXPECT_EQ (pulseShape::table[27], 0.9358);
    EXPECT_EQ (pulseShape::table[28], 0.9328);
    EXPECT_EQ (pulseShape::table[63], 0.9358);
    EXPECT_EQ (pulseShape::table[64], 0.933);
    EXPECT_EQ (pulseShape::table[95], 0.0003);
    EXPECT_EQ (pulseShape::table[96], 0.0);
    EXPECT_EQ (*std::max_element (pulseShape::samples.begin(), pulseShape::samples.end()), 0.9404999613761902f);
}

TEST (ClockRenderer, StoppedBlocksAlternateFromTheNegativeSide)
{
    ClockRenderer renderer;
    const std::vector<float> expected { -0.001f, 0.001f, -0.001f, 0.001f };

    EXPECT_EQ (renderStopped (renderer, 4), expected);
    EXPECT_EQ (renderStopped (renderer, 4), expected);
}

TEST (ClockRenderer, FirstPulseSamplesAndTheIdleSamplesAfterIt)
{
    const auto out = renderFresh ({ 0.0, 100 });

    EXPECT_EQ (out[0], 0.7491700053215027f);
    EXPECT_EQ (out[1], 0.9404999613761902f);
    EXPECT_EQ (out[2], 0.8543350100517273f);
    EXPECT_EQ (out[96], 0.0f);
    EXPECT_EQ (out[97], 0.001f);
    EXPECT_EQ (out[98], -0.001f);
    EXPECT_EQ (out[99], 0.001f);
}

struct PulseGridCase
{
    const char* name;
    double sampleRate;
    double position;
    uint8_t index;
    int numSamples;
    std::vector<int64_t> firstStarts;
};

void PrintTo (const PulseGridCase& c, std::ostream* os)
{
    *os << c.name;
}

class PulseGrid : public testing::TestWithParam<PulseGridCase>
{
};

TEST_P (PulseGrid, PulsesStartOnTheExpectedSamples)
{
    const auto& c = GetParam();
    const auto starts = pulseStarts (renderFresh ({ c.position, c.numSamples, defaultTempo, c.index }, c.sampleRate));

    ASSERT_GE (starts.size(), c.firstStarts.size());
    EXPECT_EQ (std::vector<int64_t> (starts.begin(), starts.begin() + long (c.firstStarts.size())), c.firstStarts);
}

std::vector<int64_t> doubleRateStart()
{
    auto starts = evenlySpaced (1, 500, 12);
    const auto counting = evenlySpaced (6001, 1000, 3);
    starts.insert (starts.end(), counting.begin(), counting.end());
    return starts;
}

INSTANTIATE_TEST_SUITE_P (
    ClockRenderer,
    PulseGrid,
    testing::Values (
        // The grid lags the exact tick: the second pulse is on 1001, not 1000.
        PulseGridCase { "FromZero", 48000.0, 0.0, 6, 5000, { 0, 1001, 2001, 3001, 4001 } },
        PulseGridCase { "FromZeroAt44100", 44100.0, 0.0, 6, 5000, { 0, 919, 1838, 2757, 3676, 4594 } },
        PulseGridCase { "FromBarTick6AtDoubleRate", 48000.0, 0.25, 6, 9000, doubleRateStart() },
        PulseGridCase { "FromBarTick7WaitsForTheBar", 48000.0, 0.3, 6, 90000, { 88801, 89801 } },
        PulseGridCase { "FromBarTick7WithQuarterNoteBars", 48000.0, 0.3, 0, 18000, { 16801, 17801 } },
        PulseGridCase { "PreRollIsIdle", 48000.0, -0.5, 6, 15000, { 12001, 13001, 14001 } }),
    caseName<PulseGridCase>);

TEST (ClockRenderer, FortyEightPulsesPerSecondAt120Bpm)
{
    EXPECT_EQ (pulseStarts (renderFresh ({ 0.0, 48000 })).size(), 48u);
}

TEST (ClockRenderer, DoubleRateEndsWithTheSamePulseCountAsABarStart)
{
    // Bar tick 12 is 0.5 quarter notes: 12000 samples from 0, 6000 from 0.25.
    const auto fromTick0 = pulseStarts (renderFresh ({ 0.0, 12000 }));
    const auto fromTick6 = pulseStarts (renderFresh ({ 0.25, 6000 }));
    EXPECT_EQ (fromTick6.size(), 12u);
    EXPECT_EQ (fromTick0.size(), fromTick6.size());
}

TEST (ClockRenderer, ZeroTempoPulsesOnlyOnTheGrid)
{
    // Without movement a sample on the grid retriggers right after each pulse's idle sample.
    EXPECT_EQ (pulseStarts (renderFresh ({ 0.0, 300, 0.0 })), (std::vector<int64_t> { 0, 98, 196, 294 }));
    EXPECT_TRUE (pulseStarts (renderFresh ({ 4.0, 300, 0.0 })).empty());
}

TEST (ClockRenderer, RendersWithARateOfOneBeforePreparation)
{
    ClockRenderer renderer;
    EXPECT_EQ (renderer.getSampleRate(), 1.0);

    // 2 quarter notes per sample: every sample is past a grid boundary, so
    // pulses shrink to one sample, each followed by an idle one.
    const auto starts = pulseStarts (render (renderer, { 0.0, 8 }));
    EXPECT_EQ (starts, (std::vector<int64_t> { 0, 2, 4, 6 }));
}

struct CloseTicksCase
{
    std::string name;
    double sampleRate;
    double bpm;
    double start;
    int numSamples;
    std::size_t pulsesDue;
    std::size_t pulseLength;
};

class CloseTicks : public testing::TestWithParam<CloseTicksCase>
{
};

// Where ticks come closer than 98 samples, pulses are cut to half the tick
// spacing, so that none is lost: a sequencer counting them stays in step.
TEST_P (CloseTicks, EveryTickIsAPulseOfItsOwn)
{
    const auto& c = GetParam();
    const auto signal = renderFresh ({ c.start, c.numSamples, c.bpm }, c.sampleRate);
    const auto starts = pulseStarts (signal);

    ASSERT_EQ (starts.size(), c.pulsesDue);

    for (std::size_t i = 0; i < c.pulseLength; ++i)
        EXPECT_EQ (signal[std::size_t (starts[1]) + i], pulseShape::samples[i]) << "sample " << i;

    EXPECT_TRUE (isIdleSample (signal[std::size_t (starts[1]) + c.pulseLength]));
}

INSTANTIATE_TEST_SUITE_P (
    ClockRenderer,
    CloseTicks,
    testing::Values (
        // 999 bpm: 399.6 ticks a second, 20.02 samples apart at 8 kHz.
        CloseTicksCase { "Tempo999At8kHz", 8000.0, 999.0, 0.0, 8000, 400, 10 },
        CloseTicksCase { "Tempo999At22050Hz", 22050.0, 999.0, 0.0, 22050, 400, 27 },
        // 700 bpm from a sixteenth into the bar: half ticks 85.7 samples apart at
        // 48 kHz until the second eighth, then whole ticks 171 apart.
        CloseTicksCase { "DoubleRateAt700Bpm", 48000.0, 700.0, 0.25, 24000, 12 + 134, 42 },
        // 97 samples between ticks is one too few for the whole pulse.
        CloseTicksCase { "TicksNinetySevenSamplesApart", 48000.0, 60.0 * 48000.0 / (24.0 * 97.0), 0.0, 970, 10, 48 },
        CloseTicksCase { "TicksNinetyEightSamplesApart", 48000.0, 60.0 * 48000.0 / (24.0 * 98.0), 0.0, 980, 10, 97 }),
    caseName<CloseTicksCase>);

class BlockSplit : public testing::TestWithParam<int>
{
};

TEST_P (BlockSplit, PulsesContinueAcrossBlockBoundaries)
{
    const int blockSize = GetParam();
    const int total = 20000;
    const double increment = defaultTempo / (defaultRate * 60.0);
    const auto whole = renderFresh ({ 0.25, total });

    ClockRenderer renderer;
    renderer.setSampleRate (defaultRate);
    std::vector<float> split;
    double position = 0.25;

    for (int done = 0; done < total; done += blockSize)
    {
        const auto block = render (renderer, { position, std::min (blockSize, total - done) });
        split.insert (split.end(), block.begin(), block.end());

        for (size_t i = 0; i < block.size(); ++i)
            position += increment;
    }

    ASSERT_EQ (split.size(), whole.size());
    EXPECT_EQ (pulseStarts (split), pulseStarts (whole));

    // The idle sign starts afresh in every block; everything else is identical.
    for (size_t i = 0; i < whole.size(); ++i)
    {
        if (! (isIdleSample (whole[i]) && isIdleSample (split[i])))
        {
            ASSERT_EQ (split[i], whole[i]) << "sample " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P (ClockRenderer, BlockSplit, testing::Values (1, 7, 64, 97, 480, 512, 4096));

struct Restart
{
    double firstPosition;
    int firstLength;
    double restartPosition;
};

void PrintTo (const Restart& c, std::ostream* os)
{
    *os << "from " << c.firstPosition << " for " << c.firstLength << ", again at " << c.restartPosition;
}

class RestartAfterStop : public testing::TestWithParam<Restart>
{
};

TEST_P (RestartAfterStop, BehavesLikeAFreshInstance)
{
    const auto& c = GetParam();
    ClockRenderer renderer;
    renderer.setSampleRate (defaultRate);

    render (renderer, { c.firstPosition, c.firstLength });
    renderStopped (renderer, 256);

    EXPECT_EQ (render (renderer, { c.restartPosition, 16000 }), renderFresh ({ c.restartPosition, 16000 }));
}

INSTANTIATE_TEST_SUITE_P (ClockRenderer,
                          RestartAfterStop,
                          testing::Values (
                              // Stopped in the middle of a pulse.
                              Restart { 0.0, 50, 4.0 },
                              Restart { 0.0, 50, 4.25 },
                              Restart { 0.0, 50, 3.9 },
                              // Stopped in the middle of a double-rate stretch.
                              Restart { 0.25, 2000, 4.0 },
                              Restart { 0.25, 2030, 4.0 },
                              Restart { 0.25, 2030, 4.25 }));

TEST (ClockRenderer, EveryIndexCountsItsOwnBarLength)
{
    for (int index = 0; index <= 255; ++index)
    {
        // Start 0.1 quarter notes (2400 samples) before the end of the first bar.
        const double barLength = (index + 2) / 2.0;
        const auto starts = pulseStarts (renderFresh ({ barLength - 0.1, 3500, defaultTempo, uint8_t (index) }));

        ASSERT_EQ (starts.size(), 2u) << "index " << index;
        EXPECT_GE (starts[0], 2400) << "index " << index;
        EXPECT_LE (starts[0], 2402) << "index " << index;
        EXPECT_NEAR (double (starts[1] - starts[0]), 1000.0, 1.0) << "index " << index;
    }
}

struct BadInput
{
    const char* name;
    double sampleRate;
    double bpm;
    double position;
};

void PrintTo (const BadInput& c, std::ostream* os)
{
    *os << c.name;
}

class NonFiniteInput : public testing::TestWithParam<BadInput>
{
};

TEST_P (NonFiniteInput, GivesABoundedSignalAndRecovers)
{
    const auto& c = GetParam();
    ClockRenderer renderer;
    renderer.setSampleRate (c.sampleRate);

    for (const auto sample : render (renderer, { c.position, 512, c.bpm }))
    {
        ASSERT_TRUE (std::isfinite (sample));
        ASSERT_LE (std::abs (sample), 1.0f);
    }

    // Back to sane input after a stop: the clock runs as usual.
    renderStopped (renderer, 16);
    renderer.setSampleRate (defaultRate);
    EXPECT_EQ (render (renderer, { 0.0, 4000 }), renderFresh ({ 0.0, 4000 }));
}

constexpr auto notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr auto infinity = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P (
    ClockRenderer,
    NonFiniteInput,
    testing::Values (BadInput { "NaNPosition", defaultRate, defaultTempo, notANumber },
                     BadInput { "InfinitePosition", defaultRate, defaultTempo, infinity },
                     BadInput { "NegativeInfinitePosition", defaultRate, defaultTempo, -infinity },
                     BadInput { "NaNTempo", defaultRate, notANumber, 0.0 },
                     BadInput { "InfiniteTempo", defaultRate, infinity, 0.0 },
                     BadInput { "NegativeTempo", defaultRate, -120.0, 1.0 },
                     BadInput { "ZeroSampleRate", 0.0, defaultTempo, 0.0 },
                     BadInput { "ZeroSampleRateZeroTempo", 0.0, 0.0, 0.0 },
                     BadInput { "NegativeSampleRate", -48000.0, defaultTempo, 0.0 },
                     BadInput { "NaNSampleRate", notANumber, defaultTempo, 0.0 },
                     BadInput { "HugePosition", defaultRate, defaultTempo, 1.0e300 }),
    caseName<BadInput>);

TEST (ClockRenderer, NonFinitePositionsAreIdle)
{
    for (const auto position : { notANumber, infinity, -infinity })
        for (const auto sample : renderFresh ({ position, 64 }))
            ASSERT_TRUE (isIdleSample (sample));
}

} // namespace quaverline::test
