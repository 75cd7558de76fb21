#include "engine/TimeSignatureState.h"
#include "engine/TimeSignature.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace quaverline::test
{

using quaverline::TimeSignatureState;

struct Rounding
{
    float value;
    uint8_t index;
};

void PrintTo (const Rounding& c, std::ostream* os)
{
    *os << c.value << " -> " << int (c.index);
}

class ParameterRounding : public testing::TestWithParam<Rounding>
{
};

TEST_P (ParameterRounding, StoresTheIndexAndRaisesTheFlag)
{
    TimeSignatureState state;
    state.setParameterValue (GetParam().value);

    EXPECT_EQ (state.getIndex(), GetParam().index);
    EXPECT_TRUE (state.takeChangedFlag());
}

INSTANTIATE_TEST_SUITE_P (TimeSignatureState,
                          ParameterRounding,
                          testing::Values (Rounding { 0.2f, 6 },
                                           Rounding { 1.0f, 30 },
                                           Rounding { 0.0f, 0 },
                                           Rounding { -0.0f, 0 },
                                           // The product becomes exactly 1.5f, which rounds away from zero.
                                           Rounding { 0.05f, 2 },
                                           // 10.499999821186066 becomes 10.5f before it is rounded.
                                           Rounding { 0.35f, 11 },
                                           Rounding { 0.5f, 15 },
                                           // Outside 0..1 only the low byte is kept.
                                           Rounding { 1.5f, 45 },
                                           Rounding { 10.0f, 44 },
                                           Rounding { -1.0f / 30.0f, 255 },
                                           Rounding { FLT_TRUE_MIN, 0 },
                                           // Too large for a 64-bit integer: the x64 conversion's low byte, 0.
                                           Rounding { 1.0e30f, 0 },
                                           Rounding { FLT_MAX, 0 },
                                           Rounding { -FLT_MAX, 0 }));

TEST (TimeSignatureState, StartsAtEightEighthsWithTheFlagClear)
{
    TimeSignatureState state;
    EXPECT_EQ (state.getIndex(), 6);
    EXPECT_EQ (state.getParameterValue(), 0.2f);
    EXPECT_FALSE (state.takeChangedFlag());
}

TEST (TimeSignatureState, EveryIndexSurvivesItsOwnParameterValue)
{
    for (int index = 0; index <= 255; ++index)
    {
        TimeSignatureState state;
        const auto byte = static_cast<uint8_t> (index);
        state.setState (&byte, 1);
        const auto value = state.getParameterValue();

        EXPECT_EQ (value, static_cast<float> (index / 30.0));
        state.setParameterValue (value);
        EXPECT_EQ (state.getIndex(), index);
    }
}

TEST (TimeSignatureState, SettingTheSameValueStillRaisesTheFlag)
{
    TimeSignatureState state;
    state.setParameterValue (state.getParameterValue());
    EXPECT_EQ (state.getIndex(), 6);
    EXPECT_TRUE (state.takeChangedFlag());
    EXPECT_FALSE (state.takeChangedFlag());
}

TEST (TimeSignatureState, NonFiniteValuesChangeNothing)
{
    for (const auto value : { std::numeric_limits<float>::quiet_NaN(),
                              std::numeric_limits<float>::infinity(),
                              -std::numeric_limits<float>::infinity() })
    {
        TimeSignatureState state;
        state.setParameterValue (value);
        EXPECT_EQ (state.getIndex(), 6);
        EXPECT_FALSE (state.takeChangedFlag());
    }
}

TEST (TimeSignatureState, StateIsOneByteAndRestoresFromTheFirstByte)
{
    TimeSignatureState state;
    EXPECT_EQ (state.getState(), std::vector<uint8_t> { 6 });

    const uint8_t chunk[] = { 12, 255, 0 };
    state.setState (chunk, sizeof (chunk));
    EXPECT_EQ (state.getIndex(), 12);
    EXPECT_TRUE (state.takeChangedFlag());
    EXPECT_EQ (state.getState(), std::vector<uint8_t> { 12 });

    // Out of the editor's range, kept as it is.
    const uint8_t forty = 40;
    state.setState (&forty, 1);
    EXPECT_EQ (state.getIndex(), 40);
    EXPECT_EQ (state.getParameterValue(), 1.3333333730697632f);
}

TEST (TimeSignatureState, EmptyOrMissingStateChangesNothing)
{
    const uint8_t byte = 20;
    TimeSignatureState state;

    state.setState (nullptr, 1);
    state.setState (nullptr, 0);
    state.setState (&byte, 0);
    state.setState (&byte, -1);

    EXPECT_EQ (state.getIndex(), 6);
    EXPECT_FALSE (state.takeChangedFlag());
}

TEST (TimeSignature, LabelsLikeTheEditor)
{
    EXPECT_EQ (quaverline::timeSignature::label (1), " 3/8");
    EXPECT_EQ (quaverline::timeSignature::label (30), "32/8");
}

} // namespace quaverline::test
