#pragma once

#include "tests/support/JackTestServer.h"

#include <jack/jack.h>
#include <jack/transport.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <vector>

namespace quaverline::test
{

/** One process cycle as the recorder saw it. */
struct RecordedCycle
{
    jack_transport_state_t state = JackTransportStopped;
    jack_position_t position {};
    jack_nframes_t numFrames = 0;
    uint32_t connected = 0; // bit k: input k had a source
    size_t firstSample = 0; // in each input's samples
};

/** The test's JACK client, "recorder": inputs in_1, in_2, ... whose every
    cycle it records with the transport of that cycle, from start() until the
    room is used up. It may also be the transport's timebase master, as a DAW
    is: bar, beat and whole ticks (with the bar's start tick) from the frame,
    at a tempo the test may change while the transport rolls.
*/
class JackCycleRecorder
{
public:
    JackCycleRecorder (const JackTestServer& server, int numInputs, size_t samplesPerInput)
        : client (server.openClient ("recorder"))
        , samples (size_t (numInputs), std::vector<float> (samplesPerInput))
        , cycles (samplesPerInput / 16 + 1)
    {
        if (client == nullptr)
            return;

        for (int input = 1; input <= numInputs; ++input)
            inputs.push_back (jack_port_register (
                client, ("in_" + std::to_string (input)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0));

        jack_set_process_callback (client, process, this);
        jack_activate (client);
    }

    ~JackCycleRecorder()
    {
        if (client != nullptr)
        {
            jack_deactivate (client);
            jack_client_close (client);
        }
    }

    bool isOpen() const noexcept { return client != nullptr; }
    jack_client_t* get() const noexcept { return client; }

    /** Bar, beat and tick for every cycle from now on. */
    void becomeMaster (double beatsPerMinute, int beatsPerBarToUse)
    {
        tempo = beatsPerMinute;
        beatsPerBar = beatsPerBarToUse;
        jack_set_timebase_callback (client, 0, timebase, this);
    }

    /** The master's tempo from the next cycle on; the beats so far stay. */
    void setTempo (double beatsPerMinute) { tempo = beatsPerMinute; }

    /** Which inputs have a source: bit k for input k. */
    uint32_t connectedInputs() const
    {
        uint32_t connected = 0;

        for (size_t input = 0; input < inputs.size(); ++input)
            connected |= jack_port_connected (inputs[input]) > 0 ? 1u << input : 0u;

        return connected;
    }

    void startRecording() { recording = true; }

    /** Whether the recording went on for this many frames of a rolling transport. */
    bool hasRolled (jack_nframes_t frames) const { return rollingFrames.load() >= frames; }
    bool isFull() const { return full.load(); }
    size_t numCyclesRecorded() const { return cyclesRecorded.load(); }

    /** Stops recording; what was recorded. */
    std::vector<RecordedCycle> finish()
    {
        recording = false;
        waitFor ([this] { return ! inCycle.load(); });
        return { cycles.begin(), cycles.begin() + std::ptrdiff_t (cyclesRecorded.load()) };
    }

    const std::vector<float>& input (int index) const { return samples[size_t (index)]; }

    /** What one input received while the transport rolled and the input had a
        source: the samples in the order recorded, and each one's transport frame.
    */
    struct RollingRecording
    {
        std::vector<float> samples;
        std::vector<int64_t> frames;

        /** Whether the frames follow one another without a skip. */
        bool isContiguous() const
        {
            return std::adjacent_find (frames.begin(),
                                       frames.end(),
                                       [] (int64_t frame, int64_t next) { return next != frame + 1; }) == frames.end();
        }
    };

    RollingRecording rolling (const std::vector<RecordedCycle>& recorded, int index) const
    {
        RollingRecording received;

        for (const auto& cycle : recorded)
        {
            if (cycle.state != JackTransportRolling || (cycle.connected & (1u << index)) == 0)
                continue;

            const auto* first = samples[size_t (index)].data() + cycle.firstSample;
            received.samples.insert (received.samples.end(), first, first + cycle.numFrames);

            for (jack_nframes_t frame = 0; frame < cycle.numFrames; ++frame)
                received.frames.push_back (int64_t (cycle.position.frame + frame));
        }

        return received;
    }

private:
    static int process (jack_nframes_t numFrames, void* arg)
    {
        auto& self = *static_cast<JackCycleRecorder*> (arg);
        self.inCycle = true;
        const auto index = self.cyclesRecorded.load();
        const auto firstSample = index == 0 ? 0 : self.cycles[index - 1].firstSample + self.cycles[index - 1].numFrames;

        if (self.recording && ! self.full && index < self.cycles.size() &&
            firstSample + numFrames <= self.samples[0].size())
        {
            auto& cycle = self.cycles[index];
            cycle.state = jack_transport_query (self.client, &cycle.position);
            cycle.numFrames = numFrames;
            cycle.connected = self.connectedInputs();
            cycle.firstSample = firstSample;

            for (size_t input = 0; input < self.inputs.size(); ++input)
            {
                const auto* source = static_cast<const float*> (jack_port_get_buffer (self.inputs[input], numFrames));
                std::copy (source, source + numFrames, self.samples[input].begin() + std::ptrdiff_t (firstSample));
            }

            if (cycle.state == JackTransportRolling)
                self.rollingFrames += numFrames;

            self.cyclesRecorded = index + 1;
        }
        else if (self.recording)
        {
            self.full = true;
        }

        self.inCycle = false;
        return 0;
    }

    static void timebase (jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void* arg)
    {
        auto& self = *static_cast<JackCycleRecorder*> (arg);
        const double sampleRate = jack_get_sample_rate (self.client);
        const double now = self.tempo.load();

        if (now != self.anchorTempo || position->frame < self.anchorFrame)
        {
            self.anchorBeats = position->frame < self.anchorFrame ? 0.0 : self.beatsAt (position->frame, sampleRate);
            self.anchorFrame = position->frame < self.anchorFrame ? 0 : position->frame;
            self.anchorTempo = now;
        }

        const auto beats = self.beatsAt (position->frame, sampleRate);
        const auto wholeBeats = static_cast<int32_t> (std::floor (beats));
        const double ticksPerBeat = 1920.0;
        const int beatsPerBar = self.beatsPerBar;

        position->valid = JackPositionBBT;
        position->bar = wholeBeats / beatsPerBar + 1;
        position->beat = wholeBeats % beatsPerBar + 1;
        position->tick = static_cast<int32_t> ((beats - wholeBeats) * ticksPerBeat);
        position->bar_start_tick = (position->bar - 1) * beatsPerBar * ticksPerBeat;
        position->beats_per_bar = float (beatsPerBar);
        position->beat_type = 4;
        position->ticks_per_beat = ticksPerBeat;
        position->beats_per_minute = self.anchorTempo;
    }

    double beatsAt (jack_nframes_t frame, double sampleRate) const
    {
        return anchorBeats + (double (frame) - double (anchorFrame)) * anchorTempo / (60.0 * sampleRate);
    }

    jack_client_t* client;
    std::vector<jack_port_t*> inputs;
    std::vector<std::vector<float>> samples;
    std::vector<RecordedCycle> cycles;
    std::atomic<size_t> cyclesRecorded { 0 };
    std::atomic<jack_nframes_t> rollingFrames { 0 };
    std::atomic<bool> recording { false }, full { false }, inCycle { false };

    std::atomic<double> tempo { 120.0 };
    std::atomic<int> beatsPerBar { 4 };
    jack_nframes_t anchorFrame = 0;
    double anchorBeats = 0.0;
    double anchorTempo = 120.0;
};

} // namespace quaverline::test
