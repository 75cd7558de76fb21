#pragma once

#include "engine/SyncSettings.h"
#include "engine/TransportFollower.h"

#include <jack/types.h>

#include <cstdint>

namespace quaverline
{

/** The position's valid bits as they are: a master may set any, and bits no
    jack_position_bits_t names are no value of that type.
*/
uint32_t validBits (const jack_position_t& position) noexcept;

/** Reads JACK's transport, once a cycle, as the clock needs it: running or
    not, the tempo in quarter notes per minute, the position of the cycle's
    first frame in quarter notes, and the bar.

    When the timebase master gives bar, beat and tick, the position comes from
    them (counted from the bar's start tick where the master gives one, with
    its double-resolution tick and frame offset where it gives those) and the
    bar is the master's. A master with whole ticks reports its position up to a
    tick late; while its transport rolls on without a jump (to within a tick of
    where the last cycle leads at its tempo) the position goes on from there
    instead, moving up to the report whenever the report is ahead: the pulses
    keep their spacing, and the position closes in on the true one from below.
    Without bar, beat and tick, or with fields no master could mean, the
    position comes from the frame at the given tempo.

    Real-time safe: read() allocates nothing, takes no lock and throws nothing.
*/
class JackTransportReader
{
public:
    /** frameTempo: quarter notes per minute for a transport that gives only its frame. */
    explicit JackTransportReader (double frameTempo) noexcept;

    SyncTransport read (jack_transport_state_t state,
                        const jack_position_t& position,
                        jack_nframes_t numFrames,
                        double sampleRate) noexcept;

private:
    double frameTempo;
    TransportFollower follower;

    /** Where a rolling transport of whole ticks goes on to, and from which frame. */
    bool continuing = false;
    jack_nframes_t nextFrame = 0;
    double nextPosition = 0.0;
};

} // namespace quaverline
