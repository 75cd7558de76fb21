#include "tools/jack/ClockClient.h"

#include "engine/MusicalTime.h"
#include "engine/TimeSignature.h"

#include <cerrno>
#include <cmath>
#include <cstring>

namespace quaverline
{

namespace
{
bool serverIsRunning()
{
    auto* probe = jack_client_open ("quaverline-probe", JackNoStartServer, nullptr);

    if (probe != nullptr)
        jack_client_close (probe);

    return probe != nullptr;
}

std::string openError (jack_status_t status, const std::string& name)
{
    // JACK 2 says only that it could not connect when the name is taken.
    if ((status & JackNameNotUnique) != 0 || serverIsRunning())
        return "a JACK client called \"" + name + "\" is already running: choose another name with --name";

    return "no JACK server is running: start jackd or the PipeWire JACK server first";
}

/** JACK's own messages say in its words what ours say in the user's. */
void ignoreMessage (const char*) {}
} // namespace

void ClockClient::ClientCloser::operator() (jack_client_t* client) const noexcept
{
    jack_client_close (client);
}

ClockClient::ClockClient (Key, const JackOptions& optionsToUse)
    : options (optionsToUse)
    , cycle (options)
{
    if (options.master)
        master.emplace (options.meter, options.bpm);
}

std::unique_ptr<ClockClient> ClockClient::open (const JackOptions& options, std::string& error)
{
    auto self = std::make_unique<ClockClient> (Key(), options);
    jack_set_error_function (ignoreMessage);
    jack_set_info_function (ignoreMessage);
    jack_status_t status {};
    self->client.reset (
        jack_client_open (options.clientName.c_str(), jack_options_t (JackNoStartServer | JackUseExactName), &status));

    if (self->client == nullptr)
    {
        error = openError (status, options.clientName);
        return nullptr;
    }

    auto* jack = self->client.get();
    self->left = jack_port_register (jack, "clock_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    self->right = jack_port_register (jack, "clock_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);

    if (self->left == nullptr || self->right == nullptr)
    {
        error = "the JACK server refused the ports clock_left and clock_right";
        return nullptr;
    }

    self->sampleRate = double (jack_get_sample_rate (jack));
    jack_set_process_callback (jack, process, self.get());
    jack_set_sample_rate_callback (jack, sampleRateChanged, self.get());
    jack_on_info_shutdown (jack, serverShutdown, self.get());
    return self;
}

std::string ClockClient::start()
{
    auto* jack = client.get();

    if (jack_activate (jack) != 0)
        return "the JACK server did not activate the client";

    if (master && jack_set_timebase_callback (jack, 0, timebase, this) != 0)
        return "the JACK server did not make this client the timebase master";

    if (auto error = connect(); ! error.empty())
        return error;

    if (options.play)
        jack_transport_start (jack);

    return {};
}

std::string ClockClient::connect()
{
    auto* jack = client.get();
    const jack_port_t* outputs[] { left, right };

    for (size_t index = 0; index < options.connections.size(); ++index)
    {
        const auto& name = options.connections[index];
        const auto* port = jack_port_by_name (jack, name.c_str());

        if (port == nullptr)
            return "there is no JACK port \"" + name + "\" to connect to (jack_lsp lists them)";

        const auto* type = jack_port_type (port);

        if ((jack_port_flags (port) & JackPortIsInput) == 0 || type == nullptr ||
            std::strcmp (type, JACK_DEFAULT_AUDIO_TYPE) != 0)
            return "\"" + name + "\" is not an audio input";

        if (const auto result = jack_connect (jack, jack_port_name (outputs[index]), name.c_str());
            result != 0 && result != EEXIST)
            return "the JACK server did not connect " + std::string (jack_port_name (outputs[index])) + " to \"" +
                   name + "\"";
    }

    return {};
}

int ClockClient::process (jack_nframes_t numFrames, void* arg) noexcept
{
    auto& self = *static_cast<ClockClient*> (arg);
    auto* left = static_cast<float*> (jack_port_get_buffer (self.left, numFrames));
    auto* right = static_cast<float*> (jack_port_get_buffer (self.right, numFrames));

    if (left == nullptr || right == nullptr)
        return 0;

    jack_position_t position {};
    const auto state = jack_transport_query (self.client.get(), &position);
    self.cycle.render (left, right, state, position, numFrames, self.sampleRate.load (std::memory_order_relaxed));
    return 0;
}

void ClockClient::timebase (jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void* arg) noexcept
{
    auto& self = *static_cast<ClockClient*> (arg);

    if (position != nullptr && self.master)
        self.master->fill (*position, self.sampleRate.load (std::memory_order_relaxed));
}

int ClockClient::sampleRateChanged (jack_nframes_t rate, void* arg) noexcept
{
    static_cast<ClockClient*> (arg)->sampleRate = double (rate);
    return 0;
}

void ClockClient::serverShutdown (jack_status_t, const char* reason, void* arg) noexcept
{
    auto& self = *static_cast<ClockClient*> (arg);

    if (reason != nullptr)
        std::strncpy (self.shutdownText.data(), reason, self.shutdownText.size() - 1);

    self.shutDown.store (true, std::memory_order_release);
}

std::optional<std::string> ClockClient::shutdownReason() const
{
    if (! shutDown.load (std::memory_order_acquire))
        return std::nullopt;

    return std::string (shutdownText.data());
}

void ClockClient::toggleTransport() noexcept
{
    if (jack_transport_query (client.get(), nullptr) == JackTransportStopped)
        jack_transport_start (client.get());
    else
        jack_transport_stop (client.get());
}

ClockClient::Status ClockClient::status() const noexcept
{
    jack_position_t position {};
    Status status;
    status.rolling = jack_transport_query (client.get(), &position) == JackTransportRolling;

    if ((validBits (position) & JackPositionBBT) != 0)
    {
        status.bpm = position.beats_per_minute;
        status.bar = position.bar;
        status.beat = position.beat;
        return status;
    }

    // Only a frame: quarter notes at --tempo, in the bar the clock counts.
    const auto& syncSettings = cycle.getSyncSettings();
    const bool hostBar = syncSettings && syncSettings->barIndex < 0;
    const double barLength = hostBar ? 4.0 : timeSignature::quarterNotesPerBar (options.timeSignatureIndex);
    const double rate = position.frame_rate > 0 ? double (position.frame_rate) : 48000.0;
    const double quarterNotes = musicalTime::quarterNotesIn (double (position.frame), options.bpm, rate);
    const double bars = std::floor (quarterNotes / barLength);
    status.bpm = options.bpm;
    status.bar = int (bars) + 1;
    status.beat = int (quarterNotes - bars * barLength) + 1;
    return status;
}

} // namespace quaverline
