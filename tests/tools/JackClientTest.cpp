// quaverline-jack as a user runs it, on a JACK server of the test's own with
// the dummy driver. The test's client records every cycle with the transport
// of that cycle (and drives it as a DAW would, or leaves that to
// quaverline-jack); what quaverline-jack wrote must be, sample for sample,
// what the engine renders for those cycles, and its pulses must fall where
// the tempo puts them.

#include "tests/support/ChildProcess.h"
#include "tests/support/JackCycleRecorder.h"
#include "tests/support/JackTestServer.h"
#include "tests/support/RunCommand.h"
#include "tools/analysis/ClockSignalAnalysis.h"
#include "tools/jack/ClockCycle.h"
#include "tools/jack/JackOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace quaverline::test
{

namespace
{
constexpr jack_nframes_t sampleRate = 48000;

/** quaverline-jack with the arguments, its output in a log of its own. */
std::unique_ptr<ChildProcess> startClock (const std::vector<std::string>& arguments, const std::string& log)
{
    std::vector<std::string> command { QUAVERLINE_JACK_PATH };
    command.insert (command.end(), arguments.begin(), arguments.end());
    return std::make_unique<ChildProcess> (command, JackTestServer::logPath (log));
}

/** Checks that inputs left and right of the recording hold what the engine
    renders for the recorded cycles as quaverline-jack, with these arguments,
    reads them, from the first cycle on which both were connected.
*/
void expectEngineSignal (const JackCycleRecorder& recorder,
                         const std::vector<RecordedCycle>& cycles,
                         const std::vector<std::string>& arguments,
                         int left,
                         int right)
{
    const auto options = parseJackOptions (arguments).options;
    ASSERT_TRUE (options.has_value());

    ClockCycle clock (*options);

    const auto both = (1u << left) | (1u << right);
    const auto first = std::find_if (
        cycles.begin(), cycles.end(), [both] (const auto& cycle) { return (cycle.connected & both) == both; });
    ASSERT_NE (first, cycles.end()) << "the clock was never connected";
    int rollingCycles = 0;

    for (auto cycle = first; cycle != cycles.end(); ++cycle)
    {
        std::vector<float> expectedLeft (cycle->numFrames), expectedRight (cycle->numFrames);
        clock.render (
            expectedLeft.data(), expectedRight.data(), cycle->state, cycle->position, cycle->numFrames, sampleRate);

        for (const auto& [input, expected] : { std::pair (left, &expectedLeft), std::pair (right, &expectedRight) })
        {
            const auto* recorded = recorder.input (input).data() + cycle->firstSample;
            const auto mismatch = std::mismatch (expected->begin(), expected->end(), recorded);
            ASSERT_EQ (mismatch.first, expected->end())
                << "input " << input + 1 << ", transport frame " << cycle->position.frame << " + "
                << mismatch.first - expected->begin() << ": the engine renders " << *mismatch.first << ", recorded "
                << *mismatch.second;
        }

        rollingCycles += cycle->state == JackTransportRolling ? 1 : 0;
    }

    EXPECT_GT (rollingCycles, 0);
}

/** The transport frames at which pulses start on an input while the transport
    rolled, in the order recorded.
*/
std::vector<int64_t>
    pulseFrames (const JackCycleRecorder& recorder, const std::vector<RecordedCycle>& cycles, int input)
{
    const auto recording = recorder.rolling (cycles, input);
    std::vector<int64_t> starts;

    for (const auto index : findPulseStarts (recording.samples.data(), recording.samples.size()))
        starts.push_back (recording.frames[size_t (index)]);

    return starts;
}

/** The pulse frames within [from, to). */
std::vector<int64_t> between (const std::vector<int64_t>& frames, int64_t from, int64_t to)
{
    std::vector<int64_t> found;
    std::copy_if (frames.begin(),
                  frames.end(),
                  std::back_inserter (found),
                  [=] (int64_t frame) { return frame >= from && frame < to; });
    return found;
}

/** Pulses one spacing apart from the first (and that at firstFrame, where
    given), each within a sample of its place.
*/
void expectSpacing (const std::vector<int64_t>& frames, double spacing, std::optional<int64_t> firstFrame = {})
{
    ASSERT_GT (frames.size(), 2u);

    if (firstFrame)
    {
        EXPECT_NEAR (double (frames.front()), double (*firstFrame), 1.0);
    }

    for (size_t pulse = 0; pulse < frames.size(); ++pulse)
        ASSERT_NEAR (double (frames[pulse]), double (frames.front()) + double (pulse) * spacing, 1.0)
            << "pulse " << pulse;
}

/** quaverline-jack on a terminal of the test's own, as a user runs it: keys
    go in, and what it shows comes out.
*/
class TerminalSession
{
public:
    explicit TerminalSession (const std::vector<std::string>& arguments)
    {
        process = forkpty (&terminal, nullptr, nullptr, nullptr);

        if (process == 0)
        {
            prctl (PR_SET_PDEATHSIG, SIGTERM);
            std::vector<char*> argv { const_cast<char*> (QUAVERLINE_JACK_PATH) };
            for (const auto& argument : arguments)
                argv.push_back (const_cast<char*> (argument.c_str()));
            argv.push_back (nullptr);
            execv (argv[0], argv.data());
            _exit (127);
        }

        if (terminal >= 0)
            fcntl (terminal, F_SETFL, O_NONBLOCK);
    }

    ~TerminalSession()
    {
        if (process > 0)
        {
            kill (process, SIGKILL);
            waitpid (process, nullptr, 0);
        }

        if (terminal >= 0)
            close (terminal);
    }

    void press (char key) { ASSERT_EQ (write (terminal, &key, 1), 1); }

    /** Everything shown so far. */
    const std::string& screen()
    {
        char chunk[256];
        ssize_t length = 0;

        while ((length = read (terminal, chunk, sizeof (chunk))) > 0)
            shown.append (chunk, size_t (length));

        return shown;
    }

    std::optional<int> exitStatus()
    {
        screen(); // a full terminal would hold the program up
        return exitStatusOf (process, ended);
    }

    TerminalSession (const TerminalSession&) = delete;
    TerminalSession& operator= (const TerminalSession&) = delete;

private:
    pid_t process = -1;
    int terminal = -1;
    std::string shown;
    std::optional<int> ended;
};

class JackClient : public testing::Test
{
protected:
    /** Starts the transport at frame 0 after a few stopped cycles, and records
        until it has rolled this many frames.
    */
    void rollFromStart (jack_nframes_t frames)
    {
        recorder.startRecording();
        ASSERT_TRUE (waitFor ([this] { return recorder.numCyclesRecorded() >= 4; }));
        jack_transport_locate (recorder.get(), 0);
        jack_transport_start (recorder.get());
        rollOn (frames);
    }

    void rollOn (jack_nframes_t frames)
    {
        ASSERT_TRUE (waitFor ([&] { return recorder.hasRolled (frames) || recorder.isFull(); }));
        ASSERT_FALSE (recorder.isFull());
    }

    /** Waits until the clocks have connected to the inputs (bit k: input k). */
    void connectClocks (uint32_t inputs = 0b11)
    {
        ASSERT_TRUE (waitFor ([&] { return recorder.connectedInputs() == inputs; }))
            << "quaverline-jack did not connect: see " << JackTestServer::logPath ("quaverline-jack");
    }

    JackTestServer server { testing::UnitTest::GetInstance()->current_test_info()->name() };
    JackCycleRecorder recorder { server, 4, 10 * sampleRate };
};

const std::vector<std::string> classicClock { "--name", "classic", "--connect", "recorder:in_1", "recorder:in_2" };
} // namespace

TEST_F (JackClient, FollowsAMasterThroughARelocationAndATempoChange)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    recorder.becomeMaster (120.0, 4);

    const std::vector<std::string> syncClock { "--name",    "sync",          "--resolution", "4",
                                               "--shape",   "square",        "--right",      "bar",
                                               "--connect", "recorder:in_3", "recorder:in_4" };
    const auto classic = startClock (classicClock, "quaverline-jack");
    const auto sync = startClock (syncClock, "quaverline-jack-sync");
    connectClocks (0b1111);

    // 2 s in, the transport moves on to 3.3 s (6.6 quarter notes); 2 s later
    // the tempo goes up to 150 bpm.
    constexpr jack_nframes_t relocation = 158400;
    rollFromStart (2 * sampleRate);
    jack_transport_locate (recorder.get(), relocation);
    rollOn (4 * sampleRate);
    recorder.setTempo (150.0);
    rollOn (6 * sampleRate);
    jack_transport_stop (recorder.get());
    const auto cycles = recorder.finish();

    expectEngineSignal (recorder, cycles, classicClock, 0, 1);
    expectEngineSignal (recorder, cycles, syncClock, 2, 3);

    // 24 pulses a quarter note: 1000 samples apart at 120 bpm, 800 at 150.
    const auto pulses = pulseFrames (recorder, cycles, 0);
    const auto tempoChange = std::find_if (
        cycles.begin(), cycles.end(), [] (const auto& cycle) { return cycle.position.beats_per_minute == 150.0; });
    ASSERT_NE (tempoChange, cycles.end());
    const auto changeFrame = int64_t (tempoChange->position.frame);

    expectSpacing (between (pulses, 0, 2 * sampleRate), 1000.0, 0);
    // After the relocation the clock locks on at the next bar, 8 quarter notes in.
    expectSpacing (between (pulses, relocation, changeFrame), 1000.0, 192000);
    expectSpacing (between (pulses, changeFrame + 1000, 100 * sampleRate), 800.0);
}

TEST_F (JackClient, FollowsATransportWithoutBarAndBeatAtItsTempo)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    auto arguments = classicClock;
    arguments.insert (arguments.end(), { "--tempo", "100" });
    const auto clock = startClock (arguments, "quaverline-jack");
    connectClocks();

    rollFromStart (2 * sampleRate);
    const auto cycles = recorder.finish();
    expectEngineSignal (recorder, cycles, arguments, 0, 1);
    expectSpacing (pulseFrames (recorder, cycles, 0), 48000.0 * 60.0 / 100.0 / 24.0, 0);
}

TEST_F (JackClient, FollowsABufferSizeChange)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    recorder.becomeMaster (120.0, 4);
    const auto clock = startClock (classicClock, "quaverline-jack");
    connectClocks();

    rollFromStart (sampleRate);
    ASSERT_EQ (jack_set_buffer_size (recorder.get(), 256), 0);
    rollOn (2 * sampleRate);
    const auto cycles = recorder.finish();

    EXPECT_EQ (cycles.front().numFrames, 1024u);
    EXPECT_EQ (cycles.back().numFrames, 256u);
    expectEngineSignal (recorder, cycles, classicClock, 0, 1);
    expectSpacing (pulseFrames (recorder, cycles, 0), 1000.0, 0);
}

TEST_F (JackClient, MasterPlaysAtItsTempoAndMeter)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    auto arguments = classicClock;
    arguments.insert (arguments.end(), { "--master", "--play", "--tempo", "90", "--meter", "3/4" });

    recorder.startRecording();
    const auto clock = startClock (arguments, "quaverline-jack");
    rollOn (2 * sampleRate);
    const auto cycles = recorder.finish();

    for (const auto& cycle : cycles)
    {
        if (cycle.state != JackTransportRolling)
            continue;

        const auto& position = cycle.position;
        ASSERT_NE (position.valid & JackPositionBBT, 0);
        EXPECT_EQ (position.beats_per_minute, 90.0);
        EXPECT_EQ (position.beats_per_bar, 3.0f);
        EXPECT_EQ (position.beat_type, 4.0f);

        const double beats = (position.bar - 1) * 3.0 + (position.beat - 1) + position.tick_double / 1920.0;
        EXPECT_NEAR (beats, position.frame * 90.0 / 60.0 / sampleRate, 1.0e-9) << "frame " << position.frame;
    }

    expectEngineSignal (recorder, cycles, arguments, 0, 1);
    expectSpacing (pulseFrames (recorder, cycles, 0), 48000.0 * 60.0 / 90.0 / 24.0, 0);
}

TEST_F (JackClient, EndsWithAMessageWhenTheServerGoesAway)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    auto clock = startClock (classicClock, "quaverline-jack");
    connectClocks();

    server.stop();
    ASSERT_TRUE (waitFor ([&] { return clock->exitStatus().has_value(); }));
    EXPECT_EQ (clock->exitStatus(), 1);
    EXPECT_EQ (
        runCommand ("grep -c 'JACK server shut the client down' " + JackTestServer::logPath ("quaverline-jack")).output,
        "1\n");
}

TEST_F (JackClient, RefusesWhatItCannotDoAndLeavesNothingConnected)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");

    struct Case
    {
        const char* arguments;
        int exitStatus;
        const char* message;
    };

    const Case cases[] {
        { "--name recorder", 1, "a JACK client called \"recorder\" is already running" },
        { "--connect recorder:in_1 nowhere:in", 1, "there is no JACK port \"nowhere:in\"" },
        { "--connect recorder:in_1 classic:clock_left", 1, "\"classic:clock_left\" is not an audio input" },
        { "--tempo 0", 2, "--tempo takes a number from 1 to 999, not \"0\"" },
        { "--resolution 3", 2, "--resolution takes 1, 2, 4, 8, 12, 24, 48 or 96" },
        { "--shape round", 2, "--shape takes classic|square, not \"round\"" },
        { "--start 0.5", 2, "--start takes bar|beat|now, not \"0.5\"" },
        { "--resolution 4 --time-signature 2/8", 2, "with Quaverline Sync, --time-signature takes 3/8 to 32/8" },
        { "--meter 3/4", 2, "--meter is for --master" },
        { "--master --meter 3/5", 2, "--meter takes N/D" },
        { "--connect a:b c:d e:f", 2, "--connect takes one or two ports" },
        { "--name a:b", 2, "--name cannot hold a colon" },
        { "--connect", 2, "--connect needs a value" },
        { "--loud", 2, "unknown option \"--loud\"" },
    };

    // A clock of its own, whose output ports are no inputs to connect to.
    const auto other = startClock ({ "--name", "classic" }, "quaverline-jack");
    ASSERT_TRUE (waitFor ([this] { return jack_port_by_name (recorder.get(), "classic:clock_left") != nullptr; }));

    for (const auto& test : cases)
    {
        SCOPED_TRACE (test.arguments);
        const auto run = runCommand (std::string (QUAVERLINE_JACK_PATH) + " " + test.arguments + " 2>&1");
        EXPECT_EQ (run.exitStatus, test.exitStatus);
        EXPECT_NE (run.output.find (test.message), std::string::npos) << run.output;
        EXPECT_EQ (recorder.connectedInputs(), 0u);
        EXPECT_EQ (jack_port_by_name (recorder.get(), "quaverline:clock_left"), nullptr);
    }
}

TEST_F (JackClient, StartsAndStopsOnTheSpaceBarTapsTheTempoAndQuitsOnQ)
{
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    TerminalSession session ({ "--master", "--tempo", "100", "--meter", "3/4" });
    const auto transport = [this] { return jack_transport_query (recorder.get(), nullptr); };
    ASSERT_TRUE (waitFor ([&] { return session.screen().find ("stopped \u00b7 100.0 bpm") != std::string::npos; }))
        << session.screen();

    session.press (' ');
    ASSERT_TRUE (waitFor ([&] { return transport() == JackTransportRolling; }));
    ASSERT_TRUE (waitFor ([&] { return session.screen().find ("rolling \u00b7 100.0 bpm") != std::string::npos; }))
        << session.screen();

    // Two taps set a tempo, which the audio thread gives to JACK's transport.
    const auto tempo = [this]
    {
        jack_position_t position {};
        jack_transport_query (recorder.get(), &position);
        return position.beats_per_minute;
    };
    session.press ('t');
    session.press ('t');
    ASSERT_TRUE (waitFor ([&] { return tempo() != 100.0; }));

    session.press (' ');
    ASSERT_TRUE (waitFor ([&] { return transport() == JackTransportStopped; }));

    session.press ('q');
    ASSERT_TRUE (waitFor ([&] { return session.exitStatus().has_value(); }));
    EXPECT_EQ (session.exitStatus(), 0);
    EXPECT_NE (session.screen().find ("Keys: space starts and stops, t taps the tempo, q quits"), std::string::npos);
}

TEST (JackClientWithoutServer, SaysHowToStartOne)
{
    const auto run = runCommand ("JACK_DEFAULT_SERVER=quaverline-none-" + std::to_string (getpid()) + " " +
                                 QUAVERLINE_JACK_PATH + " 2>&1");
    EXPECT_EQ (run.exitStatus, 1);
    EXPECT_NE (run.output.find ("no JACK server is running: start jackd or the PipeWire JACK server first"),
               std::string::npos)
        << run.output;
}

} // namespace quaverline::test
