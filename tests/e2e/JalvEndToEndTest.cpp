// Quaverline's LV2 build in jalv, a host we did not write, on a JACK server
// with its dummy driver. The test's own JACK client is the transport's
// timebase master (120 bpm, 4/4), starts the transport at frame 0 and records
// what jalv plays. jalv passes the frame and the bar and beat when the
// transport changes and nothing in between, as Ardour does: the pulses must
// still fall where the engine puts them.

#include "tests/support/ChildProcess.h"
#include "tests/support/EngineReference.h"
#include "tests/support/JackCycleRecorder.h"
#include "tests/support/JackTestServer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace quaverline::test
{

namespace
{
constexpr int sampleRate = 48000;
constexpr double tempo = 120.0;
constexpr int recordingLength = 4 * sampleRate;

/** Connects the first audio output of a client to the recorder, once it has one. */
bool connectFrom (const JackCycleRecorder& recorder, const std::string& client)
{
    const auto pattern = "^" + client + ":";

    return waitFor (
        [&]
        {
            const auto** ports =
                jack_get_ports (recorder.get(), pattern.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);

            if (ports == nullptr)
                return false;

            const auto connected = jack_connect (recorder.get(), ports[0], "recorder:in_1") == 0;
            jack_free (ports);
            return connected;
        });
}
} // namespace

TEST (JalvEndToEnd, PulsesFallWhereTheEngineSays)
{
    setenv ("LV2_PATH", QUAVERLINE_LV2_BUNDLE "/..", 1);

    const JackTestServer server ("jalv", sampleRate);
    JackCycleRecorder recorder (server, 1, 2 * recordingLength);
    ASSERT_TRUE (recorder.isOpen()) << "no JACK server: see " << JackTestServer::logPath ("jackd");
    recorder.becomeMaster (tempo, 4);

    const ChildProcess jalv ({ "jalv", "-x", "-n", "quaverline", QUAVERLINE_LV2_URI },
                             JackTestServer::logPath ("jalv"));
    ASSERT_TRUE (connectFrom (recorder, "quaverline"))
        << "jalv did not start: see " << JackTestServer::logPath ("jalv");

    recorder.startRecording();
    jack_transport_locate (recorder.get(), 0);
    jack_transport_start (recorder.get());
    ASSERT_TRUE (waitFor ([&] { return recorder.hasRolled (recordingLength) || recorder.isFull(); }));
    jack_transport_stop (recorder.get());

    auto recording = recorder.rolling (recorder.finish(), 0);
    ASSERT_TRUE (recording.isContiguous()) << "the transport skipped frames";
    ASSERT_GE (recording.samples.size(), size_t (recordingLength));
    auto& signal = recording.samples;
    signal.resize (recordingLength);

    EXPECT_EQ (findPulseStarts (signal.data(), signal.size()), enginePulseStarts (sampleRate, tempo, recordingLength));
}

} // namespace quaverline::test
