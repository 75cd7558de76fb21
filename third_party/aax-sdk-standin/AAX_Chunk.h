#pragma once

#include <cstdint>

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
    uint32_t fFourCharCode = 0;
    char fName[32] {};
};

struct AAX_SPlugInChunk : AAX_SPlugInChunkHeader
{
    char fData[1];
};
