// The AAX face driven as a careless AAX host might drive it, through the
// library's entry points: chunks of any content under any ID, parameter
// calls with any ID, value, text and length, and audio callbacks of any
// length on any stem format, with any transport.

#include "AAX.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzSeeds.h"
#include "tests/support/AaxHost.h"

#include <cstring>

namespace
{
using namespace quaverline::test;
using quaverline::fuzz::FuzzInput;
using quaverline::fuzz::FuzzOutput;

constexpr AAX_EStemFormat stems[] { AAX_eStemFormat_Mono,    AAX_eStemFormat_Stereo, AAX_eStemFormat_LCR,
                                    AAX_eStemFormat_Quad,    AAX_eStemFormat_5_0,    AAX_eStemFormat_5_1,
                                    AAX_eStemFormat_7_0_DTS, AAX_eStemFormat_7_1_DTS };

std::string takeId (FuzzInput& input)
{
    switch (input.take<uint8_t>() % 4)
    {
        case 0:
            return "0";
        case 1:
            return "MasterBypassID";
        default:
            return input.takeString (16);
    }
}

uint32_t takeChunkId (FuzzInput& input)
{
    switch (input.take<uint8_t>() % 3)
    {
        case 0:
            return aaxhost::stateChunkID;
        case 1:
            return aaxhost::controlsChunkID;
        default:
            return input.take<uint32_t>();
    }
}

void setChunk (aaxhost::Instance& instance, FuzzInput& input)
{
    const auto id = takeChunkId (input);
    const auto bytes = input.takeBytes (2048);
    std::vector<uint8_t> memory (sizeof (AAX_SPlugInChunkHeader) + bytes.size());
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*> (memory.data());
    chunk->fSize = static_cast<int32_t> (bytes.size());
    chunk->fFourCharCode = id;
    std::copy (bytes.begin(), bytes.end(), memory.begin() + sizeof (AAX_SPlugInChunkHeader));
    instance.parameters->SetChunk (id, chunk);
}

void getChunk (aaxhost::Instance& instance, FuzzInput& input)
{
    const auto id = takeChunkId (input);
    uint32_t size = 0;

    if (instance.parameters->GetChunkSize (id, &size) != 0 || size > 65536)
        return;

    std::vector<uint8_t> memory (sizeof (AAX_SPlugInChunkHeader) + size);
    auto* chunk = reinterpret_cast<AAX_SPlugInChunk*> (memory.data());
    chunk->fSize = static_cast<int32_t> (size);
    instance.parameters->GetChunk (id, chunk);
}

void callParameters (aaxhost::Instance& instance, FuzzInput& input)
{
    auto& parameters = *instance.parameters;
    const auto id = takeId (input);
    const auto value = input.take<double>();
    const auto length = input.take<int32_t>();
    AAX_CString text;
    double answer = 0.0;

    switch (input.take<uint8_t>() % 9)
    {
        case 0:
            parameters.SetParameterNormalizedValue (id.c_str(), value);
            break;
        case 1:
            parameters.UpdateParameterNormalizedValue (id.c_str(), value, AAX_eUpdateSource_Unspecified);
            break;
        case 2:
            parameters.SetParameterNormalizedRelative (id.c_str(), value);
            break;
        case 3:
            parameters.GetParameterNormalizedValue (id.c_str(), &answer);
            break;
        case 4:
            parameters.GetParameterDefaultNormalizedValue (id.c_str(), &answer);
            break;
        case 5:
            parameters.GetParameterNameOfLength (id.c_str(), &text, length);
            break;
        case 6:
            parameters.GetParameterStringFromValue (id.c_str(), value, &text, length);
            break;
        case 7:
            parameters.GetParameterValueFromString (id.c_str(), &answer, AAX_CString (input.takeString (32)));
            break;
        default:
            parameters.GetParameterName (id.c_str(), &text);
            break;
    }
}

void process (aaxhost::Instance& instance, FuzzInput& input)
{
    instance.transport.playing = input.takeBool();
    instance.transport.tempo = input.take<double>();
    instance.transport.sample = input.take<int64_t>();
    instance.transport.ticks = input.take<int64_t>();
    instance.transport.fails = input.takeBool();
    instance.bypass = input.take<int32_t>();
    instance.process (static_cast<int> (input.takeInRange (0, 8192)));
}
} // namespace

extern "C" int LLVMFuzzerInitialize (int* argc, char*** argv)
{
    FuzzOutput play;
    play.put (uint64_t (1));

    for (int block = 0; block < 4; ++block)
        play.put (uint8_t (3))
            .put (uint8_t (1))
            .put (120.0)
            .put (int64_t (block * 1024))
            .put (int64_t (block * 1024 * 20000))
            .put (uint8_t (0))
            .put (int32_t (0))
            .put (uint64_t (1024));

    const auto chunk = FuzzOutput()
                           .put (uint64_t (1))
                           .put (uint8_t (0))
                           .put (uint8_t (0))
                           .putBytes ({ 12 })
                           .put (uint8_t (1))
                           .put (uint8_t (0));
    quaverline::fuzz::writeSeedsIfAsked (*argc, *argv, { play.data, chunk.data });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    static const aaxhost::Scan scan;

    if (scan.result != 0)
        __builtin_trap();

    FuzzInput input (data, size);
    aaxhost::Instance instance (scan, stems[input.takeInRange (0, std::size (stems) - 1)]);

    if (instance.initialise() != 0)
        __builtin_trap();

    for (int step = 0; step < 32 && ! input.isEmpty(); ++step)
    {
        switch (input.take<uint8_t>() % 4)
        {
            case 0:
                setChunk (instance, input);
                break;
            case 1:
                getChunk (instance, input);
                break;
            case 2:
                callParameters (instance, input);
                break;
            default:
                process (instance, input);
                break;
        }
    }

    return 0;
}
