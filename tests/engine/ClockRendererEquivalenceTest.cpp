// The engine's renderer against the sample-by-sample renderer it replaced:
// for every transport, block split and state, the same samples bit for bit.
// A table of the hard cases, and a seeded sweep of random scenarios (its size
// from QUAVERLINE_SWEEP_SCENARIOS, for longer runs by hand).

#include "engine/ClockRenderer.h"
#include "engine/MusicalTime.h"
#include "tests/support/CaseName.h"
#include "tests/support/RandomScenarios.h"
#include "tests/support/ReferenceClockRenderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace quaverline::test
{

namespace
{
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

/** Renders the scenario with both renderers; an empty text when every sample matches. */
std::string firstDifference (const Scenario& scenario)
{
    ClockRenderer renderer;
    ReferenceClockRenderer reference;
    renderer.setSampleRate (scenario.sampleRate);
    reference.setSampleRate (scenario.sampleRate);

    std::vector<float> rendered, expected;

    for (size_t b = 0; b < scenario.blocks.size(); ++b)
    {
        const auto& block = scenario.blocks[b];
        rendered.assign (static_cast<size_t> (block.numSamples), 7.0f);
        expected.assign (static_cast<size_t> (block.numSamples), 7.0f);
        renderer.render (rendered.data(), block.numSamples, block.transport, scenario.timeSignatureIndex);
        reference.render (expected.data(), block.numSamples, block.transport, scenario.timeSignatureIndex);

        if (std::memcmp (rendered.data(), expected.data(), rendered.size() * sizeof (float)) == 0)
            continue;

        size_t i = 0;
        while (std::memcmp (&rendered[i], &expected[i], sizeof (float)) == 0)
            ++i;

        return "block " + std::to_string (b) + " (" + std::to_string (block.numSamples) + " samples from " +
               std::to_string (block.transport.ppqPosition) + " at " + std::to_string (block.transport.bpm) +
               " bpm), sample " + std::to_string (i) + ": " + std::to_string (rendered[i]) + " instead of " +
               std::to_string (expected[i]);
    }

    return {};
}

/** Blocks that follow on from each other, as a host playing straight through. */
Scenario playing (double sampleRate, double bpm, double start, std::vector<int> sizes, uint8_t index = 6)
{
    Scenario scenario { sampleRate, index, {} };
    double position = start;

    for (const auto size : sizes)
    {
        scenario.blocks.push_back ({ size, { true, bpm, position } });
        position += musicalTime::quarterNotesIn (size, bpm, sampleRate);
    }

    return scenario;
}

struct HardCase
{
    std::string name;
    Scenario scenario;
};

void PrintTo (const HardCase& c, std::ostream* os)
{
    *os << c.name;
}

/** A position just before 2^k quarter notes, so that a block crosses into the next binade. */
Scenario acrossBinade (int k, double bpm)
{
    const double start = std::ldexp (1.0, k) - musicalTime::quarterNotesIn (100, bpm, 48000.0);
    return playing (48000.0, bpm, start, { 4096, 512 });
}

std::vector<HardCase> hardCases()
{
    std::vector<HardCase> cases {
        { "FromZero", playing (48000.0, 120.0, 0.0, { 512, 512, 4096, 4096 }) },
        { "DoubleRateFromTickSix", playing (48000.0, 120.0, 0.25, { 512, 512, 4096, 4096, 4096 }) },
        { "LockOnMidBar", playing (48000.0, 120.0, 1.3, { 4096, 4096, 4096 }) },
        { "PreRoll", playing (48000.0, 120.0, -1.0, { 4096, 4096, 4096 }) },
        // An increment of half an ulp of positions near 2^40: round-half-to-even alternates.
        { "TieIncrement", playing (48000.0, 351.5625, 1099511627776.0, { 4096 }) },
        { "TieIncrementBelowBinade", playing (48000.0, 351.5625, 1099511627776.0 - 0.5, { 4096, 4096 }) },
        { "JustBelowATick", playing (100.0, 60.0 * 100.0 * 0.0416666679084300994873046875 * 0.999999, 0.0, { 512 }) },
        { "JustAboveATick", playing (100.0, 60.0 * 100.0 * 0.0416666679084300994873046875 * 1.000001, 0.0, { 512 }) },
        { "TempoZeroOnTheGrid", playing (48000.0, 0.0, 1.0, { 512, 512 }) },
        { "TempoZeroOffTheGrid", playing (48000.0, 0.0, 1.01, { 512, 512 }) },
        // Found by the fuzzer: a sample rate so small that the positions estimated
        // a few samples on overflow to infinity, and their phase is not a number.
        { "EstimatesOverflow",
          { 1.9015204282839805e-310,
            0,
            { { 1593, { true, 0.0, 0.0 } }, { 2505, { true, 0.32072901725769082, 1.8774494541967369e-322 } } } } },
        { "NotANumber", playing (48000.0, 120.0, nan, { 512, 512 }) },
        { "Infinite", playing (48000.0, 120.0, infinity, { 512 }) },
        { "InfiniteTempo", playing (48000.0, infinity, 0.0, { 512 }) },
        { "NegativeTempo", playing (48000.0, -120.0, 3.0, { 512 }) },
        { "Huge", playing (48000.0, 120.0, 1.0e300, { 512 }) },
        { "StuckAbove2To53", playing (48000.0, 120.0, 9007199254740992.0, { 512 }) },
        { "SampleRateOfOne", playing (1.0, 120.0, 0.0, { 512 }) },
        { "SampleRate8k999Bpm", playing (8000.0, 999.0, 0.0, { 4096, 4096 }) },
        { "BlockSizes", playing (48000.0, 120.0, 0.0, { 1, 2, 97, 98, 4096, 65536, 1, 2 }) },
    };

    // A block that starts with its phase exactly the increment past a tick: the
    // last position that still starts a pulse (2812.5 bpm at 48 kHz is 2^-10
    // quarter notes a sample; five ticks and that are exact in double).
    Scenario windowEdge = playing (48000.0, 2812.5, 0.0, { 200 });
    windowEdge.blocks.push_back ({ 200, { true, 2812.5, 5.0 * 0.0416666679084300994873046875 + 0x1p-10 } });
    cases.push_back ({ "TriggerWindowEdge", windowEdge });

    for (const int k : { 0, 1, 2, 3, 4, 5, 6, 8, 10, 16, 20, 24, 30, 32, 36, 40 })
        cases.push_back ({ "Binade" + std::to_string (k), acrossBinade (k, 120.0) });

    for (int index = 0; index < 256; ++index)
        cases.push_back ({ "TimeSignature" + std::to_string (index),
                           playing (44100.0, 140.0, 0.0, { 65536, 65536 }, uint8_t (index)) });

    // Restarts: stopped blocks cut a pulse or a double-rate stretch short.
    Scenario midPulse = playing (48000.0, 120.0, 0.0, { 40 });
    midPulse.blocks.push_back ({ 64, { false, 120.0, 0.0 } });
    midPulse.blocks.push_back ({ 512, { true, 120.0, 0.0 } });
    cases.push_back ({ "RestartMidPulse", midPulse });

    Scenario midDoubleRate = playing (48000.0, 120.0, 0.25, { 3000 });
    midDoubleRate.blocks.push_back ({ 64, { false, 120.0, 0.0 } });
    midDoubleRate.blocks.push_back ({ 8192, { true, 120.0, 1.25 } });
    cases.push_back ({ "RestartMidDoubleRate", midDoubleRate });

    return cases;
}

class RendererEquivalence : public testing::TestWithParam<HardCase>
{
};

TEST_P (RendererEquivalence, GivesTheReferenceSamples)
{
    EXPECT_EQ (firstDifference (GetParam().scenario), "");
}

INSTANTIATE_TEST_SUITE_P (ClockRenderer, RendererEquivalence, testing::ValuesIn (hardCases()), caseName<HardCase>);

TEST (ClockRendererSweep, RandomTransportsGiveTheReferenceSamples)
{
    std::mt19937_64 random (20261210);
    const int scenarios = sweepScenarios();

    for (int n = 0; n < scenarios; ++n)
    {
        const auto scenario = randomScenario (random);
        const auto difference = firstDifference (scenario);
        ASSERT_EQ (difference, "") << "scenario " << n << " at " << scenario.sampleRate << " Hz, index "
                                   << int (scenario.timeSignatureIndex);
    }
}
} // namespace

} // namespace quaverline::test
