#pragma once

#include "AAX.h"

/** One MIDI message with its time stamp in the callback. */
struct AAX_CMidiPacket
{
    uint32_t mTimestamp = 0;
    uint32_t mLength = 0;
    unsigned char mData[4] {};
    AAX_CBoolean mIsImmediate = 0;
};

/** The MIDI packets of one callback. */
struct AAX_CMidiStream
{
    uint32_t mBufferSize = 0;
    AAX_CMidiPacket* mBuffer = nullptr;
};

/** A MIDI node of the algorithm context. */
class AAX_IMIDINode
{
public:
    virtual ~AAX_IMIDINode() = default;
    virtual AAX_CMidiStream* GetNodeBuffer() = 0;
    virtual AAX_Result PostMIDIPacket (AAX_CMidiPacket* packet) = 0;
};
