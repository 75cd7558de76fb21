#include "engine/TransportFollower.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

using quaverline::HostPosition;
using quaverline::TransportFollower;
using quaverline::TransportState;

namespace
{
constexpr double rate = 48000.0;
constexpr int block = 480; // 0.02 quarter notes at 120 bpm

HostPosition playingAt (std::optional<double> ppq, std::optional<int64_t> frame, std::optional<double> bpm = 120.0)
{
    return { true, bpm, ppq, frame };
}

void expectState (const TransportState& actual, bool running, double bpm, double ppq)
{
    EXPECT_EQ (actual.isRunning, running);
    EXPECT_EQ (actual.bpm, bpm);
    EXPECT_DOUBLE_EQ (actual.ppqPosition, ppq);
}
} // namespace

TEST (TransportFollower, NothingReportedIsStopped)
{
    TransportFollower follower;
    expectState (follower.follow (std::nullopt, block, rate), false, 0.0, 0.0);
}

TEST (TransportFollower, AReportedBeatIsTakenAsItIs)
{
    TransportFollower follower;
    expectState (follower.follow (playingAt (3.25, 48000), block, rate), true, 120.0, 3.25);
}

TEST (TransportFollower, AFrameWithoutABeatGivesThePositionAtItsTempo)
{
    TransportFollower follower;
    expectState (follower.follow (playingAt (std::nullopt, 48000), block, rate), true, 120.0, 2.0);
}

TEST (TransportFollower, BlocksWithoutAReportContinueWhilePlaying)
{
    TransportFollower follower;
    follower.follow (playingAt (std::nullopt, 0), block, rate);

    for (int i = 1; i <= 3; ++i)
        expectState (follower.follow (std::nullopt, block, rate), true, 120.0, 0.02 * i);

    // A new report (a relocation) takes over.
    expectState (follower.follow (playingAt (8.0, std::nullopt), block, rate), true, 120.0, 8.0);
    expectState (follower.follow (std::nullopt, block, rate), true, 120.0, 8.02);
}

TEST (TransportFollower, AStopHoldsUntilTheNextReport)
{
    TransportFollower follower;
    follower.follow (playingAt (1.0, std::nullopt), block, rate);
    expectState (follower.follow (HostPosition { false, 120.0, 1.5, std::nullopt }, block, rate), false, 120.0, 1.5);
    expectState (follower.follow (std::nullopt, block, rate), false, 0.0, 0.0);
}

TEST (TransportFollower, AReportWithoutTempoKeepsTheLastTempo)
{
    TransportFollower follower;
    follower.follow (playingAt (0.0, std::nullopt, 90.0), block, rate);
    expectState (follower.follow (playingAt (std::nullopt, 32000, std::nullopt), block, rate), true, 90.0, 1.0);
}

} // namespace quaverline::test
