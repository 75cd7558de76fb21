#pragma once

// The stand-in for the AAX SDK's basic types: results, stem formats, the
// four-character codes, property numbers and the kinds of algorithm-context
// fields. Written from what Quaverline's AAX face needs and nothing more; AAX
// hosts and the real SDK are not available on this platform.

#include <cstdint>

using AAX_Result = int32_t;
using AAX_CFieldIndex = int32_t;
using AAX_CParamID = const char*;
using AAX_CTypeID = uint32_t;
using AAX_EStemFormat = uint32_t;
using AAX_CPropertyValue = int32_t;

/** A four-character code, first character most significant. */
constexpr uint32_t AAX_FourCharCode (const char (&code)[5]) noexcept
{
    return (uint32_t (uint8_t (code[0])) << 24) | (uint32_t (uint8_t (code[1])) << 16) |
           (uint32_t (uint8_t (code[2])) << 8) | uint32_t (uint8_t (code[3]));
}

namespace aax
{

/** Results, each named once. */
namespace result
{
inline constexpr AAX_Result success = 0;
inline constexpr AAX_Result invalidParameterId = -20001;
inline constexpr AAX_Result nullObject = -20004;
inline constexpr AAX_Result invalidChunkIndex = -20006;
inline constexpr AAX_Result invalidChunkId = -20007;
inline constexpr AAX_Result incorrectChunkSize = -20008;
inline constexpr AAX_Result unimplemented = -20009;
/** A chunk asked for before its size was (positive: not an error as such). */
inline constexpr AAX_Result chunkNotPrepared = 20700;
/** Anything thrown inside an entry point. */
inline constexpr AAX_Result unexpected = static_cast<AAX_Result> (0x8000FFFFu);
} // namespace result

/** Stem formats: a layout number in the upper 16 bits, the channel count in the lower. */
namespace stem
{
inline constexpr AAX_EStemFormat none = 0xFF9C0000u;
inline constexpr AAX_EStemFormat mono = 0x00000001u;
inline constexpr AAX_EStemFormat stereo = 0x00010002u;
inline constexpr AAX_EStemFormat lcr = 0x00020003u;
inline constexpr AAX_EStemFormat quad = 0x00040004u;
inline constexpr AAX_EStemFormat fivePointZero = 0x00050005u;
inline constexpr AAX_EStemFormat fivePointOne = 0x00060006u;
inline constexpr AAX_EStemFormat sevenPointZeroDts = 0x000B0007u;
inline constexpr AAX_EStemFormat sevenPointOneDts = 0x000C0008u;
/** Marks a channel count that has no stem format. */
inline constexpr AAX_EStemFormat noFormat = 0x7FFFFFFFu;

constexpr int channelCount (AAX_EStemFormat format) noexcept
{
    return format == noFormat ? 0 : static_cast<int> (format & 0xFFFFu);
}
} // namespace stem

/** Four-character codes, first character most significant. */
namespace code
{
inline constexpr uint32_t nativeTypeBase = AAX_FourCharCode ("jcaa");
inline constexpr uint32_t audioSuiteTypeBase = AAX_FourCharCode ("jyaa");
inline constexpr uint32_t controlsChunk = AAX_FourCharCode ("elck");
inline constexpr uint32_t stateChunk = AAX_FourCharCode ("juce");
inline constexpr uint32_t enterOfflineMode = AAX_FourCharCode ("AXof");
inline constexpr uint32_t exitOfflineMode = AAX_FourCharCode ("AXox");
inline constexpr uint32_t audioSuitePreview = AAX_FourCharCode ("ASPv");
} // namespace code

/** Property numbers of a component's property map. */
namespace property
{
inline constexpr int32_t manufacturerId = 11;
inline constexpr int32_t productId = 12;
inline constexpr int32_t nativeTypeId = 13;
inline constexpr int32_t audioSuiteTypeId = 14;
inline constexpr int32_t inputStemFormat = 51;
inline constexpr int32_t outputStemFormat = 52;
inline constexpr int32_t canBypass = 60;
inline constexpr int32_t multiMonoSupport = 304;
} // namespace property

/** Procedure IDs of an effect's creation procedures. */
namespace procedure
{
inline constexpr int32_t effectParameters = 0;
inline constexpr int32_t effectGui = 1;
} // namespace procedure

/** The native window type of a view container that the face attaches to. */
inline constexpr int32_t windowHandleView = 3;

/** The SDK version the face reports: version 0x0202, revision 10694978. */
inline constexpr uint64_t sdkVersion = 0x0000020200A32D42ull;

} // namespace aax

/** What an algorithm-context field carries. */
enum class AAX_EFieldKind
{
    audioInput,
    audioOutput,
    bufferLength,
    dataInPort,
    midiNode,
    privateData
};

/** Whether a MIDI node takes MIDI in or gives it out. */
enum class AAX_EMIDINodeType
{
    localInput,
    localOutput
};
