#pragma once

// The stand-in for the AAX SDK's basic types, under the SDK's names. Like the
// rest of this folder it is written from what an AAX face built with JUCE's
// conventions calls, and nothing more: AAX hosts and the real SDK are not
// available on this platform.

#include "AAX_Enums.h"
#include "AAX_Errors.h"

#include <cstdint>

using AAX_Result = int32_t;
using AAX_CFieldIndex = int32_t;
using AAX_CParamID = const char*;
using AAX_CTypeID = uint32_t;
using AAX_CPropertyValue = int32_t;
using AAX_CBoolean = uint8_t;
using AAX_CSampleRate = float;

/** The ID of the master bypass parameter that every effect publishes. */
inline constexpr AAX_CParamID cDefaultMasterBypassID = "MasterBypassID";

/** A view size: vertical and horizontal extent in pixels. */
struct AAX_Point
{
    AAX_Point() = default;
    AAX_Point (float vertical, float horizontal)
        : vert (vertical)
        , horz (horizontal)
    {
    }

    float vert = 0.0f;
    float horz = 0.0f;
};

/** A saved chunk as the host passes it: a header and then fSize data bytes.
    The host allocates sizeof (AAX_SPlugInChunkHeader) + fSize bytes.
*/
struct AAX_SPlugInChunkHeader
{
    int32_t fSize = 0;
    int32_t fVersion = 0;
    uint32_t fManufacturerID = 0;
    uint32_t fProductID = 0;
    uint32_t fPlugInID = 0;
    AAX_CTypeID fFourCharCode = 0;
    char fName[32] {};
};

struct AAX_SPlugInChunk : AAX_SPlugInChunkHeader
{
    char fData[1];
};
