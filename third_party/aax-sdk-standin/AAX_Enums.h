#pragma once

#include <cstdint>

/** A four-character code as the SDK's multi-character constants give it:
    the first character in the most significant byte.
*/
constexpr uint32_t AAX_FourCharCode (const char (&code)[5]) noexcept
{
    return (uint32_t (uint8_t (code[0])) << 24) | (uint32_t (uint8_t (code[1])) << 16) |
           (uint32_t (uint8_t (code[2])) << 8) | uint32_t (uint8_t (code[3]));
}

/** Stem formats: a layout number in the upper 16 bits, the channel count in the lower. */
#define AAX_STEM_FORMAT(index, channels)                                                                               \
    static_cast<int32_t> ((static_cast<uint32_t> (index) << 16) | static_cast<uint32_t> (channels))
#define AAX_STEM_FORMAT_CHANNEL_COUNT(format) static_cast<uint16_t> (static_cast<uint32_t> (format) & 0xFFFFu)

enum AAX_EStemFormat : int32_t
{
    AAX_eStemFormat_Mono = AAX_STEM_FORMAT (0, 1),
    AAX_eStemFormat_Stereo = AAX_STEM_FORMAT (1, 2),
    AAX_eStemFormat_LCR = AAX_STEM_FORMAT (2, 3),
    AAX_eStemFormat_Quad = AAX_STEM_FORMAT (4, 4),
    AAX_eStemFormat_5_0 = AAX_STEM_FORMAT (5, 5),
    AAX_eStemFormat_5_1 = AAX_STEM_FORMAT (6, 6),
    AAX_eStemFormat_7_0_DTS = AAX_STEM_FORMAT (11, 7),
    AAX_eStemFormat_7_1_DTS = AAX_STEM_FORMAT (12, 8),
    AAX_eStemFormat_None = AAX_STEM_FORMAT (-100, 0),
    AAX_eStemFormat_INT32_MAX = 0x7FFFFFFF
};

/** Property numbers of a component's property map. */
enum AAX_EProperty : int32_t
{
    AAX_eProperty_ManufacturerID = 11,
    AAX_eProperty_ProductID = 12,
    AAX_eProperty_PlugInID_Native = 13,
    AAX_eProperty_PlugInID_AudioSuite = 14,
    AAX_eProperty_InputStemFormat = 51,
    AAX_eProperty_OutputStemFormat = 52,
    AAX_eProperty_CanBypass = 60,
    AAX_eProperty_Constraint_MultiMonoSupport = 304
};

/** The procedure IDs of an effect's creation procedures. */
using AAX_CProcPtrID = int32_t;
inline constexpr AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectParameters = 0;
inline constexpr AAX_CProcPtrID kAAX_ProcPtrID_Create_EffectGUI = 1;

enum AAX_EMIDINodeType : int32_t
{
    AAX_eMIDINodeType_LocalInput = 0,
    AAX_eMIDINodeType_LocalOutput = 1
};

/** How packets posted to a data-in port reach the algorithm. */
enum AAX_EDataInPortType : int32_t
{
    AAX_eDataInPortType_Unbuffered = 0,
    AAX_eDataInPortType_Buffered = 1,
    AAX_eDataInPortType_Incremental = 2
};

enum AAX_EParameterType : int32_t
{
    AAX_eParameterType_Discrete = 0,
    AAX_eParameterType_Continuous = 1
};

/** A parameter's orientation: the bits of AAX_EParameterOrientationBits. */
using AAX_EParameterOrientation = int32_t;

enum AAX_EParameterOrientationBits : int32_t
{
    AAX_eParameterOrientation_Default = 0,
    AAX_eParameterOrientation_BottomMinTopMax = 0,
    AAX_eParameterOrientation_TopMinBottomMax = 1,
    AAX_eParameterOrientation_LeftMinRightMax = 0,
    AAX_eParameterOrientation_RightMinLeftMax = 2,
    AAX_eParameterOrientation_RotarySingleDotMode = 0,
    AAX_eParameterOrientation_RotaryLeftMinRightMax = 0,
    AAX_eParameterOrientation_RotaryRightMinLeftMax = 16
};

/** Where a parameter update comes from. */
enum AAX_EUpdateSource : int32_t
{
    AAX_eUpdateSource_Unspecified = 0,
    AAX_eUpdateSource_Parameter = 1,
    AAX_eUpdateSource_Chunk = 2,
    AAX_eUpdateSource_Delay = 3
};

enum AAX_EHighlightColor : int32_t
{
    AAX_eHighlightColor_Red = 0,
    AAX_eHighlightColor_Blue = 1,
    AAX_eHighlightColor_Green = 2,
    AAX_eHighlightColor_Yellow = 3,
    AAX_eHighlightColor_Num = 4
};

enum AAX_EFrameRate : int32_t
{
    AAX_eFrameRate_Undeclared = 0,
    AAX_eFrameRate_24Frame = 1,
    AAX_eFrameRate_25Frame = 2,
    AAX_eFrameRate_2997NonDrop = 3,
    AAX_eFrameRate_2997DropFrame = 4,
    AAX_eFrameRate_30NonDrop = 5,
    AAX_eFrameRate_30DropFrame = 6,
    AAX_eFrameRate_23976 = 7
};

/** The native window type a view container holds. */
enum AAX_EViewContainer_Type : int32_t
{
    AAX_eViewContainer_Type_NULL = 0,
    AAX_eViewContainer_Type_NSView = 1,
    AAX_eViewContainer_Type_UIView = 2,
    AAX_eViewContainer_Type_HWND = 3
};

/** Notifications the host sends a parameters object. */
enum AAX_ENotificationEvent : uint32_t
{
    AAX_eNotificationEvent_EnteringOfflineMode = AAX_FourCharCode ("AXof"),
    AAX_eNotificationEvent_ExitingOfflineMode = AAX_FourCharCode ("AXox"),
    AAX_eNotificationEvent_ASPreviewState = AAX_FourCharCode ("ASPv")
};
