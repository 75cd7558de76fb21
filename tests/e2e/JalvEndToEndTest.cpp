// Quaverline's LV2 build in jalv, a host we did not write, on a JACK server
// with its dummy driver. The test's own JACK client is the transport's
// timebase master (120 bpm, 4/4), starts the transport at frame 0 and records
// what jalv plays, each sample at its transport frame. jalv passes the frame
// and the bar and beat when the transport changes and nothing in between, as
// Ardour does: the pulses must still fall where the engine puts them.

#include "tests/support/ChildProcess.h"
#include "tests/support/EngineReference.h"

#include <jack/jack.h>
#include <jack/transport.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>

namespace quaverline::test
{

namespace
{
constexpr int sampleRate = 48000;
constexpr double tempo = 120.0;
constexpr int beatsPerBar = 4;
constexpr double ticksPerBeat = 1920.0;
constexpr int recordingLength = 4 * sampleRate;

std::string logPath (const std::string& name)
{
    return testing::TempDir() + "quaverline-" + name + ".log";
}

/** The test's JACK client: timebase master, and a recorder of the first
    channel it is fed, indexed by transport frame.
*/
class ClockRecorder
{
public:
    explicit ClockRecorder (const std::string& serverName)
    {
        // The server takes a moment to come up.
        for (int attempt = 0; attempt < 100 && client == nullptr; ++attempt)
        {
            jack_status_t status {};
            client = jack_client_open (
                "recorder", jack_options_t (JackNoStartServer | JackServerName), &status, serverName.c_str());

            if (client == nullptr)
                std::this_thread::sleep_for (std::chrono::milliseconds (100));
        }

        if (client == nullptr)
            return;

        input = jack_port_register (client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        jack_set_process_callback (client, process, this);
        jack_set_timebase_callback (client, 0, timebase, this);
        jack_activate (client);
    }

    ~ClockRecorder()
    {
        if (client != nullptr)
        {
            jack_transport_stop (client);
            jack_deactivate (client);
            jack_client_close (client);
        }
    }

    bool isOpen() const noexcept { return client != nullptr && jack_get_sample_rate (client) == sampleRate; }

    /** Connects to the first audio output of a client once it has one. */
    bool connectFrom (const std::string& otherClient)
    {
        const auto pattern = "^" + otherClient + ":";

        for (int attempt = 0; attempt < 200; ++attempt)
        {
            if (const auto** ports =
                    jack_get_ports (client, pattern.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput))
            {
                const auto connected = jack_connect (client, ports[0], jack_port_name (input)) == 0;
                jack_free (ports);
                return connected;
            }

            std::this_thread::sleep_for (std::chrono::milliseconds (100));
        }

        return false;
    }

    /** Plays from frame 0 until the recording is full. False on a timeout, or
        when the transport skipped frames: on an overloaded machine the dummy
        driver now and then drops a cycle, and what the plug-in played then was
        never recorded.
    */
    bool record()
    {
        gap = false;
        framesRecorded = 0;
        jack_transport_locate (client, 0);
        jack_transport_start (client);

        for (int attempt = 0; attempt < 600 && framesRecorded.load() < recordingLength; ++attempt)
            std::this_thread::sleep_for (std::chrono::milliseconds (50));

        jack_transport_stop (client);

        for (int attempt = 0; attempt < 100 && jack_transport_query (client, nullptr) != JackTransportStopped;
             ++attempt)
            std::this_thread::sleep_for (std::chrono::milliseconds (50));

        return framesRecorded.load() >= recordingLength && ! gap.load();
    }

    std::vector<float> recording = std::vector<float> (recordingLength);

private:
    static int process (jack_nframes_t numFrames, void* arg)
    {
        auto& self = *static_cast<ClockRecorder*> (arg);
        jack_position_t position {};

        if (jack_transport_query (self.client, &position) != JackTransportRolling || position.frame >= recordingLength)
            return 0;

        if (position.frame != self.framesRecorded.load())
            self.gap = true;

        const auto* samples = static_cast<const float*> (jack_port_get_buffer (self.input, numFrames));
        const auto count = std::min<jack_nframes_t> (numFrames, recordingLength - position.frame);
        std::copy (samples, samples + count, self.recording.begin() + position.frame);
        self.framesRecorded = position.frame + count;
        return 0;
    }

    /** Bar, beat and tick of the frame at a steady tempo, as a DAW's timeline gives them. */
    static void timebase (jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void*)
    {
        const auto beats = double (position->frame) * tempo / (60.0 * position->frame_rate);
        const auto wholeBeats = static_cast<int32_t> (std::floor (beats));

        position->valid = JackPositionBBT;
        position->bar = wholeBeats / beatsPerBar + 1;
        position->beat = wholeBeats % beatsPerBar + 1;
        position->tick = static_cast<int32_t> ((beats - wholeBeats) * ticksPerBeat);
        position->bar_start_tick = (position->bar - 1) * beatsPerBar * ticksPerBeat;
        position->beats_per_bar = beatsPerBar;
        position->beat_type = 4;
        position->ticks_per_beat = ticksPerBeat;
        position->beats_per_minute = tempo;
    }

    jack_client_t* client = nullptr;
    jack_port_t* input = nullptr;
    std::atomic<jack_nframes_t> framesRecorded { 0 };
    std::atomic<bool> gap { false };
};
} // namespace

TEST (JalvEndToEnd, PulsesFallWhereTheEngineSays)
{
    const auto serverName = "quaverline-" + std::to_string (getpid());
    setenv ("JACK_DEFAULT_SERVER", serverName.c_str(), 1);
    setenv ("LV2_PATH", QUAVERLINE_LV2_BUNDLE "/..", 1);

    const ChildProcess server ({ "jackd",
                                 "--no-realtime",
                                 "--name",
                                 serverName,
                                 "-d",
                                 "dummy",
                                 "-r",
                                 std::to_string (sampleRate),
                                 "-p",
                                 "1024" },
                               logPath ("jackd"));
    ClockRecorder recorder (serverName);
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << logPath ("jackd");

    const ChildProcess jalv ({ "jalv", "-x", "-n", "quaverline", QUAVERLINE_LV2_URI }, logPath ("jalv"));
    ASSERT_TRUE (recorder.connectFrom ("quaverline")) << "jalv did not start: see " << logPath ("jalv");

    // Each take starts the transport afresh, as a user does after a stop.
    bool recorded = false;
    for (int take = 0; take < 3 && ! recorded; ++take)
        recorded = recorder.record();

    ASSERT_TRUE (recorded) << "no whole recording in three takes";

    const auto& signal = recorder.recording;
    const auto starts = quaverline::findPulseStarts (signal.data(), signal.size());
    const auto expected = enginePulseStarts (sampleRate, tempo, recordingLength);

    EXPECT_EQ (starts, expected);
}

} // namespace quaverline::test
