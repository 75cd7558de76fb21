#pragma once

#include "tools/jack/ClockCycle.h"
#include "tools/jack/JackOptions.h"
#include "tools/jack/TimebaseMaster.h"

#include <jack/jack.h>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace quaverline
{

/** quaverline-jack's JACK client: two output ports that carry the clock for
    JACK's transport, and, as master, the transport's bar, beat and tick.

    The process callback renders with the engine alone and keeps the real-time
    rules: no allocation, lock, I/O or exception. Closing the client (or
    destroying this) takes its ports and their connections with it.
*/
class ClockClient
{
public:
    /** Opens the client, or says why it cannot be opened. */
    static std::unique_ptr<ClockClient> open (const JackOptions& options, std::string& error);

    /** Only open() can make one. */
    class Key
    {
        friend class ClockClient;
        Key() = default;
    };

    ClockClient (Key, const JackOptions& optionsToUse);

    /** Activates the client, takes the timebase as master, connects the
        ports and starts the transport as the options ask; the message of
        what failed, or empty.
    */
    std::string start();

    /** What a status line shows; from the main thread. */
    struct Status
    {
        bool rolling = false;
        double bpm = 0.0;
        int bar = 1;
        int beat = 1;
    };

    Status status() const noexcept;

    /** Starts a stopped transport, stops a rolling one. */
    void toggleTransport() noexcept;

    /** The master's tempo; nothing when following. */
    TimebaseMaster* getMaster() noexcept { return master ? &*master : nullptr; }

    /** The server's reason, once it has shut the client down. */
    std::optional<std::string> shutdownReason() const;

    /** The clock's resolution: Quaverline Sync's, or the classic clock's. */
    int pulsesPerQuarterNote() const noexcept { return cycle.pulsesPerQuarterNote(); }

    ClockClient (const ClockClient&) = delete;
    ClockClient& operator= (const ClockClient&) = delete;

private:
    struct ClientCloser
    {
        void operator() (jack_client_t* client) const noexcept;
    };

    static int process (jack_nframes_t numFrames, void* self) noexcept;
    static void timebase (jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void* self) noexcept;
    static int sampleRateChanged (jack_nframes_t sampleRate, void* self) noexcept;
    static void serverShutdown (jack_status_t, const char* reason, void* self) noexcept;

    std::string connect();

    const JackOptions options;
    jack_port_t* left = nullptr;
    jack_port_t* right = nullptr;

    // The audio thread's own.
    ClockCycle cycle;

    std::optional<TimebaseMaster> master;
    std::atomic<double> sampleRate { 0.0 };
    std::atomic<bool> shutDown { false };
    std::array<char, 256> shutdownText {};

    // Last, so that it closes (and stops calling back) before the rest goes.
    std::unique_ptr<jack_client_t, ClientCloser> client;
};

} // namespace quaverline
