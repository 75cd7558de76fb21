#include "tests/support/Vst2Host.h"

#include "engine/PulseShape.h"
#include "plugin/identity/PluginIdentity.h"
#include "tests/support/CaseName.h"
#include "tests/support/MappedMemory.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include <cstdio>
#include <limits>
#include <random>

namespace quaverline::test
{

namespace
{
int32_t fourCharCode (const char (&code)[5])
{
    return static_cast<int32_t> (quaverline::fourCharCode (code));
}

std::vector<int64_t> firstStarts (const std::vector<float>& signal, std::size_t count)
{
    auto starts = quaverline::findPulseStarts (signal.data(), signal.size());
    starts.resize (std::min (count, starts.size()));
    return starts;
}
} // namespace

TEST_F (Vst2HostTest, TheEffectRecordRightAfterLoading)
{
    EXPECT_EQ (effect->magic, fourCharCode ("VstP"));
    EXPECT_EQ (effect->numPrograms, 1);
    EXPECT_EQ (effect->numParams, 1);
    EXPECT_EQ (effect->numInputs, 0);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->flags & 0xffffffff, 305);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_EQ (effect->float1, 1.0f); // ioRatio
    EXPECT_EQ (effect->uniqueID, fourCharCode ("QvLn"));
    EXPECT_EQ (effect->version, 104);
    EXPECT_NE (effect->processReplacing, nullptr);
    EXPECT_NE (effect->processDoubleReplacing, nullptr);

    int32_t realAndOffQualities[2];
    std::memcpy (realAndOffQualities, effect->_pad2, sizeof (realAndOffQualities));
    EXPECT_EQ (realAndOffQualities[0], 0);
    EXPECT_EQ (realAndOffQualities[1], 0);
}

TEST (Vst2Entry, AHostWithoutAVersionGetsNothing)
{
    Vst2Host host;
    host.versionAnswer = 0;
    EXPECT_EQ (host.load(), nullptr);
}

struct Request
{
    const char* name;
    int opcode;
    int index;
    VstIntPtr value;
    VstIntPtr answer;
};

void PrintTo (const Request& r, std::ostream* os)
{
    *os << r.name;
}

class Vst2Requests : public Vst2HostTest, public testing::WithParamInterface<Request>
{
};

TEST_P (Vst2Requests, AnswerAsTheHostExpects)
{
    const auto& r = GetParam();
    char scratch[256] {};
    EXPECT_EQ (dispatch (r.opcode, r.index, r.value, scratch), r.answer);
}

INSTANTIATE_TEST_SUITE_P (
    Vst2HostTest,
    Vst2Requests,
    testing::Values (Request { "SetProgram", effSetProgram, 0, 0, 0 },
                     Request { "SetProgramBeyondCount", effSetProgram, 0, 7, 0 },
                     Request { "GetProgram", effGetProgram, 0, 0, 0 },
                     Request { "Identify", effIdentify, 0, 0, fourCharCode ("NvEf") },
                     Request { "CanBeAutomated", effCanBeAutomated, 0, 0, 1 },
                     Request { "String2Parameter", effString2Parameter, 0, 0, 0 },
                     Request { "ProgramNameIndexed0", effGetProgramNameIndexed, 0, 0, 1 },
                     Request { "ProgramNameIndexed1", effGetProgramNameIndexed, 1, 0, 0 },
                     Request { "InputProperties", effGetInputProperties, 0, 0, 0 },
                     Request { "OutputPropertiesPin2", effGetOutputProperties, 2, 0, 0 },
                     Request { "PlugCategory", effGetPlugCategory, 0, 0, 2 },
                     Request { "EffectName", effGetEffectName, 0, 0, 1 },
                     Request { "VendorString", effGetVendorString, 0, 0, 1 },
                     Request { "ProductString", effGetProductString, 0, 0, 1 },
                     Request { "VendorVersion", effGetVendorVersion, 0, 0, 104 },
                     Request { "VendorSpecific", effVendorSpecific, 0, 0, 0 },
                     Request { "TailSize", effGetTailSize, 0, 0, 0 },
                     Request { "ParameterProperties", 56, 0, 0, 0 },
                     Request { "VstVersion", effGetVstVersion, 0, 0, 2400 },
                     Request { "GetSpeakerArrangement", effGetSpeakerArrangement, 0, 0, 0 },
                     Request { "StartProcess", effStartProcess, 0, 0, 0 },
                     Request { "StopProcess", effStopProcess, 0, 0, 0 },
                     Request { "SetProcessPrecisionWhileSuspended", effSetProcessPrecision, 0, 1, 1 },
                     Request { "MidiInputChannels", effGetNumMidiInputChannels, 0, 0, 0 },
                     Request { "MidiOutputChannels", effGetNumMidiOutputChannels, 0, 0, 0 },
                     Request { "CurrentMidiProgram", 63, 0, 0, -1 },
                     Request { "SetTotalSampleToProcess", 73, 0, 1234, 1234 },
                     Request { "SetBypassOff", effSetBypass, 0, 0, 1 },
                     Request { "KeysRequired", effKeysRequired, 0, 0, 0 },
                     Request { "Unknown9", 9, 0, 0, 0 },
                     Request { "Unknown200", 200, 0, 0, 0 },
                     Request { "Negative", -5, 0, 0, 0 }),
    caseName<Request>);

TEST_F (Vst2HostTest, StringAnswersStayWithinTheirLimits)
{
    EXPECT_EQ (stringAnswer (effGetEffectName), "Quaverline");
    EXPECT_EQ (stringAnswer (effGetVendorString), "Kyvo");
    EXPECT_EQ (stringAnswer (effGetProductString), "Quaverline");
    EXPECT_EQ (stringAnswer (effGetParamName, 0), "Time Signature");
    EXPECT_EQ (stringAnswer (effGetParamName, 1), "");
    EXPECT_EQ (stringAnswer (effGetParamName, 99), "");
    EXPECT_EQ (stringAnswer (effGetParamLabel, 0), "");
    EXPECT_EQ (stringAnswer (effGetProgramName), "");
    EXPECT_EQ (stringAnswer (effGetProgramNameIndexed, 0), "");

    for (const auto value : { 0.0f, 0.5f, 1.0f })
    {
        effect->setParameter (effect, 0, value);
        EXPECT_EQ (stringAnswer (effGetParamDisplay, 0), "");
    }
}

TEST_F (Vst2HostTest, NullPointersWhereAnswersGoAreRefused)
{
    for (const auto opcode : { effGetParamName,
                               effGetParamDisplay,
                               effGetEffectName,
                               effGetChunk,
                               effCanDo,
                               effGetOutputProperties,
                               effGetProgramNameIndexed,
                               effEditGetRect,
                               effProcessEvents })
        EXPECT_EQ (dispatch (opcode), 0) << "request " << opcode;
}

struct CanDo
{
    const char* text;
    VstIntPtr answer;
};

void PrintTo (const CanDo& c, std::ostream* os)
{
    *os << '"' << c.text << '"';
}

class Vst2CanDo : public Vst2HostTest, public testing::WithParamInterface<CanDo>
{
};

TEST_P (Vst2CanDo, AnswersExactly)
{
    std::string text = GetParam().text;
    EXPECT_EQ (dispatch (effCanDo, 0, 0, text.data()), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P (Vst2HostTest,
                          Vst2CanDo,
                          testing::Values (CanDo { "receiveVstEvents", 1 },
                                           CanDo { "receiveVstMidiEvent", 1 },
                                           CanDo { "receiveVstMidiEvents", 1 },
                                           CanDo { "sendVstEvents", -1 },
                                           CanDo { "sendVstMidiEvent", -1 },
                                           CanDo { "sendVstMidiEvents", -1 },
                                           CanDo { "receiveVstTimeInfo", 1 },
                                           CanDo { "conformsToWindowRules", 1 },
                                           CanDo { "bypass", 1 },
                                           CanDo { "openCloseAnyThread", -1 },
                                           CanDo { "Bypass", 0 },
                                           CanDo { "bypass ", 0 },
                                           CanDo { "supportsViewDpiScaling", 0 },
                                           CanDo { "hasCockosExtensions", 0 },
                                           CanDo { "MPE", 0 },
                                           CanDo { "", 0 }));

TEST_F (Vst2HostTest, OutputPinsAreOneStereoPairNamedOutput)
{
    for (int pin = 0; pin < 2; ++pin)
    {
        VstPinProperties properties;
        std::memset (&properties, 0x55, sizeof (properties));
        ASSERT_EQ (dispatch (effGetOutputProperties, pin, 0, &properties), 1);
        EXPECT_STREQ (properties.label, "Output");
        EXPECT_STREQ (properties.shortLabel, "Output");
        EXPECT_EQ (properties.flags, 7);
        EXPECT_EQ (properties.arrangementType, kSpeakerArrStereo);
    }
}

TEST_F (Vst2HostTest, SpeakerArrangementsAreRefused)
{
    VstSpeakerArrangement input {}, output {};
    output.type = kSpeakerArrMono;
    output.numChannels = 1;
    EXPECT_EQ (dispatch (effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr> (&input), &output), 0);
    EXPECT_EQ (effect->numOutputs, 2);
}

TEST_F (Vst2HostTest, ChunksCarryTheOneByteState)
{
    void* bank = nullptr;
    void* program = nullptr;
    ASSERT_EQ (dispatch (effGetChunk, 0, 0, &bank), 1);
    EXPECT_EQ (*static_cast<const uint8_t*> (bank), 6);
    ASSERT_EQ (dispatch (effGetChunk, 1, 0, &program), 1);
    EXPECT_EQ (*static_cast<const uint8_t*> (program), 6);

    uint8_t chunk[] = { 12, 1, 2 };
    EXPECT_EQ (dispatch (effSetChunk, 0, 0, chunk), 0); // size 0: ignored
    EXPECT_EQ (effect->getParameter (effect, 0), 0.2f);

    EXPECT_EQ (dispatch (effSetChunk, 0, sizeof (chunk), chunk), 0);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.4f);
    EXPECT_EQ (dispatch (effSetChunk, 1, 1, nullptr), 0);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.4f);

    // A saved chunk restores what it saved.
    void* saved = nullptr;
    ASSERT_EQ (dispatch (effGetChunk, 0, 0, &saved), 1);
    auto savedByte = *static_cast<const uint8_t*> (saved);
    effect->setParameter (effect, 0, 1.0f);
    EXPECT_EQ (dispatch (effSetChunk, 0, 1, &savedByte), 0);
    EXPECT_EQ (effect->getParameter (effect, 0), 0.4f);
}

TEST_F (Vst2HostTest, AnyChunkSizeIsTakenByItsFirstByte)
{
    std::vector<uint8_t> noise (64 * 1024);
    std::mt19937 random (42);
    for (auto& value : noise)
        value = static_cast<uint8_t> (random());

    EXPECT_EQ (dispatch (effSetChunk, 0, static_cast<VstIntPtr> (noise.size()), noise.data()), 0);
    void* chunk = nullptr;
    ASSERT_EQ (dispatch (effGetChunk, 0, 0, &chunk), 1);
    EXPECT_EQ (*static_cast<const uint8_t*> (chunk), noise[0]);
}

TEST_F (Vst2HostTest, ParameterEntriesReachTheProcessor)
{
    effect->setParameter (effect, 0, 0.35f);
    EXPECT_EQ (effect->getParameter (effect, 0), static_cast<float> (11 / 30.0));
    EXPECT_EQ (effect->getParameter (effect, 7), static_cast<float> (11 / 30.0));

    effect->setParameter (effect, 1, 0.9f); // no such parameter: nothing changes
    EXPECT_EQ (effect->getParameter (effect, 0), static_cast<float> (11 / 30.0));
}

TEST_F (Vst2HostTest, RendersTheClockFromTheHostsTransport)
{
    resume (48000.0f, 512);
    const auto signal = render (20, 512, 120.0, 0.0, 48000.0);
    EXPECT_EQ (firstStarts (signal, 5), (std::vector<int64_t> { 0, 1001, 2001, 3001, 4001 }));
}

TEST_F (Vst2HostTest, ResumeWithoutASampleRatePreparesAt44100)
{
    resume (0.0f, 512);
    const auto signal = render (12, 512, 120.0, 0.0, 44100.0);
    EXPECT_EQ (firstStarts (signal, 6), (std::vector<int64_t> { 0, 919, 1838, 2757, 3676, 4594 }));
}

TEST_F (Vst2HostTest, NoTimeInformationIsAStoppedBlock)
{
    resume (48000.0f, 64);
    host.givesTimeInfo = false;
    std::vector<float> left (64), right (64);
    float* outputs[] = { left.data(), right.data() };
    effect->processReplacing (effect, nullptr, outputs, 64);
    EXPECT_EQ (left[0], -0.001f);
    EXPECT_EQ (left[1], 0.001f);
    EXPECT_EQ (right, left);

    // A host sample rate of 0 in the time information: the same.
    host.givesTimeInfo = true;
    setTransport (120.0, 0.0, 0.0);
    effect->processReplacing (effect, nullptr, outputs, 64);
    EXPECT_EQ (left[0], -0.001f);
}

TEST_F (Vst2HostTest, BypassLeavesTheHostsBuffersAlone)
{
    resume (48000.0f, 256);
    EXPECT_EQ (dispatch (effSetBypass, 0, 1), 1);
    setTransport (120.0, 0.0, 48000.0);

    std::vector<float> left (256, 0.25f), right (256, -0.5f);
    float* outputs[] = { left.data(), right.data() };
    effect->processReplacing (effect, nullptr, outputs, 256);
    EXPECT_EQ (left, std::vector<float> (256, 0.25f));
    EXPECT_EQ (right, std::vector<float> (256, -0.5f));

    dispatch (effSetBypass, 0, 0);
    effect->processReplacing (effect, nullptr, outputs, 256);
    EXPECT_EQ (left[0], quaverline::pulseShape::samples[0]);
}

TEST_F (Vst2HostTest, OneBufferForBothOutputsGetsTheClock)
{
    resume (48000.0f, 256);
    setTransport (120.0, 0.0, 48000.0);
    std::vector<float> shared (256, 7.0f);
    float* outputs[] = { shared.data(), shared.data() };
    effect->processReplacing (effect, nullptr, outputs, 256);
    EXPECT_EQ (shared[0], quaverline::pulseShape::samples[0]);
    EXPECT_EQ (shared[200], -0.001f);
}

TEST_F (Vst2HostTest, MidiEventsAreTakenAndNotRead)
{
    resume (48000.0f, 512);
    VstMidiEvent noteOn {};
    noteOn.type = kVstMidiType;
    noteOn.byteSize = sizeof (VstMidiEvent);
    noteOn.deltaFrames = 10;
    noteOn.midiData[0] = static_cast<char> (0x90);
    noteOn.midiData[1] = 60;
    noteOn.midiData[2] = 100;

    // An empty system-exclusive event without data.
    VstMidiSysexEvent sysex {};
    sysex.type = kVstSysExType;
    sysex.byteSize = sizeof (VstMidiSysexEvent);
    sysex.dumpBytes = 0;
    sysex.sysexDump = nullptr;

    // VstEvents ends in an array of event pointers, sized by the host.
    std::vector<unsigned char> eventsMemory (sizeof (VstEvents) + 2 * sizeof (VstEvent*));
    auto* events = reinterpret_cast<VstEvents*> (eventsMemory.data());
    events->numEvents = 2;
    events->events[0] = reinterpret_cast<VstEvent*> (&noteOn);
    events->events[1] = reinterpret_cast<VstEvent*> (&sysex);
    EXPECT_EQ (dispatch (effProcessEvents, 0, 0, events), 1);

    // A list that claims far more events than it holds.
    events->numEvents = 1000000;
    EXPECT_EQ (dispatch (effProcessEvents, 0, 0, events), 1);

    const auto withMidi = render (5, 512, 120.0, 0.0, 48000.0);
    EXPECT_EQ (firstStarts (withMidi, 3), (std::vector<int64_t> { 0, 1001, 2001 }));
}

TEST_F (Vst2HostTest, BlocksOfOddSizesRenderSafely)
{
    resume (48000.0f, 64);
    setTransport (120.0, 0.0, 48000.0);
    std::vector<float> left (4096), right (4096);
    float* outputs[] = { left.data(), right.data() };

    effect->processReplacing (effect, nullptr, outputs, 0);
    effect->processReplacing (effect, nullptr, outputs, 4096); // longer than announced: in slices that go on
    EXPECT_EQ (left, right);
    EXPECT_EQ (firstStarts (left, 3), (std::vector<int64_t> { 0, 1001, 2001 }));
}

TEST_F (Vst2HostTest, ProcessPrecisionIsFixedWhileProcessing)
{
    resume (48000.0f, 64);
    EXPECT_EQ (dispatch (effSetProcessPrecision, 0, 1), 0);
    dispatch (effMainsChanged, 0, 0);
    EXPECT_EQ (dispatch (effSetProcessPrecision, 0, 1), 1);
}

TEST_F (Vst2HostTest, TheEditorRectangleBeforeOpening)
{
    ERect* rect = nullptr;
    ASSERT_NE (dispatch (effEditGetRect, 0, 0, &rect), 0);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->top, 0);
    EXPECT_EQ (rect->left, 0);
    EXPECT_EQ (rect->bottom, 150);
    EXPECT_EQ (rect->right, 150);

    // The editor made for the rectangle tells the host the value once.
    ASSERT_TRUE (idleUntilAutomations (1));
    EXPECT_EQ (host.takeAutomations(), (std::vector<Vst2Host::Automation> { { 0, 0.2f } }));
}

// Hosts that break the rules: blocks longer than announced, missing and
// repeated buffers, processing after a suspend, absurd sizes, empty events.

TEST_F (Vst2HostTest, MissingAndRepeatedBuffersInLongBlocks)
{
    resume (48000.0f, 512);
    setTransport (120.0, 0.0, 48000.0);
    std::vector<float> shared (1100, 7.0f);
    float* sameTwice[] = { shared.data(), shared.data() };
    effect->processReplacing (effect, nullptr, sameTwice, 512);
    effect->processReplacing (effect, nullptr, sameTwice, 1100);
    EXPECT_EQ (firstStarts (shared, 2), (std::vector<int64_t> { 0, 1001 }));

    std::vector<float> left (2000, 7.0f);
    float* leftOnly[] = { left.data(), nullptr };
    effect->processReplacing (effect, nullptr, leftOnly, 2000);
    EXPECT_EQ (firstStarts (left, 2), (std::vector<int64_t> { 0, 1001 }));

    float* none[] = { nullptr, nullptr };
    effect->processReplacing (effect, nullptr, none, 2000);
    effect->processReplacing (effect, nullptr, nullptr, 2000);
}

TEST_F (Vst2HostTest, AfterASuspendBlocksAreSilent)
{
    resume (48000.0f, 256);
    setTransport (120.0, 0.0, 48000.0);
    std::vector<float> left (256, 7.0f), right (256, 7.0f);
    float* outputs[] = { left.data(), right.data() };
    effect->processReplacing (effect, nullptr, outputs, 256);

    dispatch (effMainsChanged, 0, 0);
    effect->processReplacing (effect, nullptr, outputs, 256);
    EXPECT_EQ (left, std::vector<float> (256, 0.0f));
    EXPECT_EQ (right, left);

    dispatch (effMainsChanged, 0, 1);
    effect->processReplacing (effect, nullptr, outputs, 256);
    EXPECT_EQ (left[0], quaverline::pulseShape::samples[0]);
}

TEST_F (Vst2HostTest, AnAbsurdBlockSizeCostsLittleMemory)
{
    const auto before = mappedBytes();
    dispatch (effSetSampleRate, 0, 0, nullptr, 48000.0f);
    dispatch (effSetBlockSize, 0, std::numeric_limits<int32_t>::max());
    dispatch (effMainsChanged, 0, 1);
    dispatch (effSetBlockSize, 0, -1);
    dispatch (effMainsChanged, 0, 0);
    dispatch (effMainsChanged, 0, 1);
    EXPECT_LT (mappedBytes(), before + plausibleGrowth);

    setTransport (120.0, 0.0, 48000.0);
    std::vector<float> left (3000), right (3000);
    float* outputs[] = { left.data(), right.data() };
    effect->processReplacing (effect, nullptr, outputs, 3000);
    EXPECT_EQ (firstStarts (left, 3), (std::vector<int64_t> { 0, 1001, 2001 }));
}

TEST_F (Vst2HostTest, TimesNoIntegerHoldsAreHarmless)
{
    // Found by fuzzing: JUCE's wrapper converted these to integers.
    resume (48000.0f, 256);

    for (const auto time :
         { std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(), -1.0e300, 1.0e19 })
    {
        setTransport (120.0, 0.0, 48000.0);
        host.timeInfo.samplePos = time;
        host.timeInfo.nanoSeconds = time;
        host.timeInfo.flags |= kVstNanosValid;
        std::vector<float> left (256), right (256);
        float* outputs[] = { left.data(), right.data() };
        effect->processReplacing (effect, nullptr, outputs, 256);
        EXPECT_EQ (left[0], quaverline::pulseShape::samples[0]);
    }
}

TEST_F (Vst2HostTest, SampleRatesThatAreNotRatesAreIgnored)
{
    // Found by fuzzing: JUCE's wrapper turned a tail of 0 s at a rate of NaN
    // into an integer.
    for (const auto rate :
         { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -48000.0f })
        EXPECT_EQ (dispatch (effSetSampleRate, 0, 0, nullptr, rate), 0);

    EXPECT_EQ (dispatch (effGetTailSize), 0);
    resume (std::numeric_limits<float>::quiet_NaN(), 512);
    const auto signal = render (12, 512, 120.0, 0.0, 44100.0);
    EXPECT_EQ (firstStarts (signal, 3), (std::vector<int64_t> { 0, 919, 1838 }));
}

} // namespace quaverline::test
