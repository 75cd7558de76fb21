#pragma once

namespace quaverline
{

/** What the renderer needs to know of the host's transport for one block. */
struct TransportState
{
    /** Playing or recording. A block without transport information is not running. */
    bool isRunning = false;

    /** Quarter notes per minute. */
    double bpm = 0.0;

    /** Position of the block's first sample, in quarter notes. */
    double ppqPosition = 0.0;
};

} // namespace quaverline
