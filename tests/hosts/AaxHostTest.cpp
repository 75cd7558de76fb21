// The AAX face driven as an AAX host drives it: the scan, the entry points,
// instances on every component rendering from the host transport, the
// published parameters, the chunks and the notifications.

#include "tests/support/AaxHost.h"
#include "engine/PulseShape.h"
#include "plugin/identity/PluginIdentity.h"
#include "tests/support/CaseName.h"
#include "tests/support/EngineReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <thread>

namespace quaverline::test
{

namespace
{
using namespace aaxhost;
namespace identity = quaverline::identity;

constexpr const char* bypassId = "MasterBypassID";
constexpr double tempo = 120.0;

/** Sets the transport playing at 120 bpm from the start of the timeline. */
void play (Transport& transport, int64_t sample)
{
    transport.playing = true;
    transport.tempo = tempo;
    transport.sample = sample;
    transport.ticks =
        static_cast<int64_t> (std::llround (static_cast<double> (sample) * tempo / 60.0 / 48000.0 * 960000.0));
}

/** Runs callbacks of the given sizes with the transport playing; channel 0. */
std::vector<float> render (Instance& instance, const std::vector<int>& blockSizes)
{
    std::vector<float> signal;
    int64_t sample = 0;

    for (const auto size : blockSizes)
    {
        play (instance.transport, sample);
        const auto channels = instance.process (size);
        signal.insert (signal.end(), channels.front().begin(), channels.front().end());
        sample += size;
    }

    return signal;
}

class AaxHostTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE (entryPoints().isComplete());
        ASSERT_EQ (scan.result, 0);
        ASSERT_EQ (instance.initialise(), 0);
    }

    std::string name (AAX_CParamID id, int32_t length) const
    {
        AAX_CString text;
        EXPECT_EQ (instance.parameters->GetParameterNameOfLength (id, &text, length), 0);
        return text.StdString();
    }

    double normalised (AAX_CParamID id) const
    {
        double value = -1.0;
        instance.parameters->GetParameterNormalizedValue (id, &value);
        return value;
    }

    /** The `juce` chunk as a host saves it: size, then get on the same thread. */
    std::vector<uint8_t> saveState() const
    {
        uint32_t size = 0;
        EXPECT_EQ (instance.parameters->GetChunkSize (aaxhost::stateChunkID, &size), 0);
        auto chunk = makeChunk (size);
        EXPECT_EQ (instance.parameters->GetChunk (aaxhost::stateChunkID, chunk.get()), 0);
        return { chunk->fData, chunk->fData + chunk->fSize };
    }

    /** A chunk record with room for size data bytes. */
    static std::unique_ptr<AAX_SPlugInChunk, void (*) (AAX_SPlugInChunk*)> makeChunk (uint32_t size)
    {
        auto* memory = static_cast<AAX_SPlugInChunk*> (
            std::calloc (1, std::max (sizeof (AAX_SPlugInChunk), sizeof (AAX_SPlugInChunkHeader) + size)));
        memory->fSize = static_cast<int32_t> (size);
        return { memory, [] (AAX_SPlugInChunk* chunk) { std::free (chunk); } };
    }

    AAX_Result loadState (const std::vector<uint8_t>& bytes) const
    {
        auto chunk = makeChunk (static_cast<uint32_t> (bytes.size()));
        std::copy (bytes.begin(), bytes.end(), chunk->fData);
        return instance.parameters->SetChunk (aaxhost::stateChunkID, chunk.get());
    }

    Scan scan;
    mutable Instance instance { scan };
};
} // namespace

//==============================================================================
TEST (AaxEntryPoints, AnswerAsTheHostExpects)
{
    const auto& entry = entryPoints();
    ASSERT_TRUE (entry.isComplete());

    uint64_t version = 0;
    EXPECT_EQ (entry.getSdkVersion (&version), 0);
    EXPECT_EQ (version, 0x0000020200A32D42ull);

    void* factory = &version;
    EXPECT_EQ (entry.getClassFactory (nullptr, nullptr, nullptr, &factory), -20009);
    EXPECT_EQ (factory, nullptr);

    void* component = &version;
    EXPECT_EQ (entry.registerComponent (nullptr, 0, &component), 0);
    EXPECT_EQ (component, nullptr);

    IACFUnknown host;
    EXPECT_EQ (entry.startup (&host), 0);
    EXPECT_EQ (entry.startup (&host), 0);
    EXPECT_EQ (entry.registerPlugin (&host, nullptr), -20004);
    EXPECT_EQ (entry.shutdown(), 0);
}

TEST (AaxEntryPoints, CanUnloadNowCountsTheLiveObjects)
{
    const Scan scan;
    ASSERT_EQ (scan.result, 0);
    EXPECT_EQ (entryPoints().canUnloadNow(), 0);

    {
        Instance instance (scan);
        auto* createGui =
            reinterpret_cast<AAX_IEffectGUI* (*) ()> (scan.effect().procedures.at (kAAX_ProcPtrID_Create_EffectGUI));
        auto* gui = createGui();
        EXPECT_EQ (entryPoints().canUnloadNow(), 2);

        // No view contents yet: no size.
        AAX_Point size;
        EXPECT_EQ (gui->GetViewSize (&size), -20004);
        EXPECT_EQ (gui->SetControlHighlightInfo ("0", true, AAX_eHighlightColor_Blue), -20004);

        ASSERT_EQ (instance.initialise(), 0);
        EXPECT_EQ (gui->Initialize (instance.parameters, &instance), 0);
        ASSERT_EQ (gui->GetViewSize (&size), 0);
        EXPECT_EQ (size.vert, 150.0f);
        EXPECT_EQ (size.horz, 150.0f);
        EXPECT_EQ (gui->SetControlHighlightInfo (bypassId, true, AAX_eHighlightColor_Blue), 0);
        EXPECT_EQ (gui->SetControlHighlightInfo ("0", true, static_cast<AAX_EHighlightColor> (7)), 0);

        gui->Release();
        EXPECT_EQ (entryPoints().canUnloadNow(), 1);
    }

    EXPECT_EQ (entryPoints().canUnloadNow(), 0);
}

//==============================================================================
TEST (AaxScan, DescribesOneEffect)
{
    const Scan scan;
    ASSERT_EQ (scan.result, 0);
    const auto& collection = scan.collection();

    ASSERT_EQ (collection.effects.size(), 1u);
    EXPECT_EQ (collection.effects.front().first, "com.kyvo.quaverline");
    EXPECT_EQ (collection.manufacturerName, "Kyvo");
    EXPECT_EQ (collection.packageNames, (std::vector<std::string> { identity::description, identity::pluginName }));
    EXPECT_EQ (collection.packageVersion, 0x10004u);

    const auto& effect = scan.effect();
    EXPECT_EQ (effect.names, (std::vector<std::string> { "Quaverline Audio Clock Generator", "Quaverline" }));
    EXPECT_EQ (effect.categoryMask, 0u);
    EXPECT_EQ (effect.procedures.size(), 2u);
    EXPECT_NE (effect.procedures.at (kAAX_ProcPtrID_Create_EffectParameters), nullptr);
    EXPECT_NE (effect.procedures.at (kAAX_ProcPtrID_Create_EffectGUI), nullptr);
}

struct ComponentCase
{
    const char* name;
    AAX_EStemFormat stem;
    uint32_t nativeType, audioSuiteType;
};

class AaxComponents : public testing::TestWithParam<std::pair<size_t, ComponentCase>>
{
};

TEST_P (AaxComponents, CarryTheirStemsIdsAndProperties)
{
    const Scan scan;
    ASSERT_EQ (scan.result, 0);
    const auto& components = scan.effect().components;
    ASSERT_EQ (components.size(), 7u);

    const auto& [index, expected] = GetParam();
    const auto& component = *components[index];
    ASSERT_NE (component.processProc, nullptr);
    ASSERT_NE (component.processProperties, nullptr);

    const std::vector<std::pair<int32_t, AAX_CPropertyValue>> properties {
        { 11, static_cast<int32_t> (0x4B79766F) },
        { 12, static_cast<int32_t> (0x51764C6E) },
        { 60, 1 },
        { 51, static_cast<int32_t> (expected.stem) },
        { 52, static_cast<int32_t> (expected.stem) },
        { 13, static_cast<int32_t> (expected.nativeType) },
        { 14, static_cast<int32_t> (expected.audioSuiteType) },
        { 304, 1 }
    };
    EXPECT_EQ (component.processProperties->properties, properties);

    // The algorithm context, field by field.
    ASSERT_EQ (component.fields.size(), 8u);
    const AAX_EFieldKind kinds[] = { AAX_EFieldKind::audioInput,   AAX_EFieldKind::audioOutput,
                                     AAX_EFieldKind::bufferLength, AAX_EFieldKind::dataInPort,
                                     AAX_EFieldKind::midiNode,     AAX_EFieldKind::midiNode,
                                     AAX_EFieldKind::privateData,  AAX_EFieldKind::privateData };

    for (size_t i = 0; i < 8; ++i)
    {
        EXPECT_EQ (component.fields[i].index, static_cast<AAX_CFieldIndex> (i));
        EXPECT_EQ (component.fields[i].kind, kinds[i]) << i;
    }

    EXPECT_EQ (component.fields[3].size, 4u);
    EXPECT_EQ (component.fields[3].portType, 1);
    EXPECT_EQ (component.fields[4].name, "Quaverline");
    EXPECT_EQ (component.fields[4].midiNodeType, AAX_eMIDINodeType_LocalInput);
    EXPECT_EQ (component.fields[4].channelMask, 0xFFFFu);
    EXPECT_EQ (component.fields[5].name, "Quaverline Out");
    EXPECT_EQ (component.fields[5].midiNodeType, AAX_eMIDINodeType_LocalOutput);
    EXPECT_EQ (component.fields[5].channelMask, 0xFFFFu);
    EXPECT_EQ (component.fields[6].size, 8u);
    EXPECT_EQ (component.fields[7].size, 4u);
}

INSTANTIATE_TEST_SUITE_P (
    AaxScan,
    AaxComponents,
    testing::Values (
        std::make_pair (0, ComponentCase { "Stereo", AAX_eStemFormat_Stereo, 0x6A636161, 0x6A796161 }),
        std::make_pair (1, ComponentCase { "Mono", AAX_eStemFormat_Mono, 0x6A636162, 0x6A796162 }),
        std::make_pair (2, ComponentCase { "FivePointZero", AAX_eStemFormat_5_0, 0x6A636163, 0x6A796163 }),
        std::make_pair (3, ComponentCase { "SevenPointZeroDts", AAX_eStemFormat_7_0_DTS, 0x6A636164, 0x6A796164 }),
        std::make_pair (4, ComponentCase { "SevenPointOneDts", AAX_eStemFormat_7_1_DTS, 0x6A636165, 0x6A796165 }),
        std::make_pair (5, ComponentCase { "FivePointOne", AAX_eStemFormat_5_1, 0x6A636166, 0x6A796166 }),
        std::make_pair (6, ComponentCase { "Quad", AAX_eStemFormat_Quad, 0x6A636167, 0x6A796167 })),
    [] (const auto& testInfo) { return std::string (testInfo.param.second.name); });

//==============================================================================
class AaxStems : public testing::TestWithParam<AAX_EStemFormat>
{
};

TEST_P (AaxStems, EveryOutputChannelCarriesTheClock)
{
    const Scan scan;
    Instance instance (scan, GetParam());
    ASSERT_EQ (instance.initialise(), 0);
    EXPECT_EQ (instance.latency, 0);
    EXPECT_EQ (instance.preparedFlag, 1);

    std::vector<std::vector<float>> channels (static_cast<size_t> (aaxhost::channelCountOf (GetParam())));

    for (int block = 0; block < 8; ++block)
    {
        play (instance.transport, block * 512);
        const auto output = instance.process (512, 5.0f);

        for (size_t c = 0; c < channels.size(); ++c)
            channels[c].insert (channels[c].end(), output[c].begin(), output[c].end());
    }

    EXPECT_EQ (quaverline::findPulseStarts (channels[0].data(), channels[0].size()),
               enginePulseStarts (48000.0, tempo, 8 * 512));

    for (const auto& channel : channels)
        EXPECT_EQ (channel, channels[0]);
}

INSTANTIATE_TEST_SUITE_P (AaxHost,
                          AaxStems,
                          testing::Values (AAX_eStemFormat_Mono,
                                           AAX_eStemFormat_Stereo,
                                           AAX_eStemFormat_LCR,
                                           AAX_eStemFormat_Quad,
                                           AAX_eStemFormat_5_0,
                                           AAX_eStemFormat_5_1,
                                           AAX_eStemFormat_7_0_DTS,
                                           AAX_eStemFormat_7_1_DTS));

TEST (AaxHost, AStemWithoutALayoutFailsAndPublishesNothing)
{
    const Scan scan;
    Instance instance (scan, AAX_eStemFormat_INT32_MAX);
    EXPECT_EQ (instance.initialise(), -20009);

    int32_t count = -1;
    EXPECT_EQ (instance.parameters->GetNumberOfParameters (&count), 0);
    EXPECT_EQ (count, 0);
}

TEST_F (AaxHostTest, BlockSizesThatChangeKeepTheClock)
{
    const std::vector<int> sizes { 1024, 2048, 512, 512, 2048, 100 };
    const auto signal = render (instance, sizes);
    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               enginePulseStarts (48000.0, tempo, static_cast<int> (signal.size())));
}

TEST_F (AaxHostTest, AStoppedTransportIsIdleAndAFailingOneToo)
{
    const auto isIdle = [] (const std::vector<float>& channel)
    { return std::all_of (channel.begin(), channel.end(), quaverline::isIdleSample); };

    EXPECT_TRUE (isIdle (instance.process (64)[0]));

    // Queries that fail leave the defaults: not playing.
    play (instance.transport, 0);
    instance.transport.fails = true;
    EXPECT_TRUE (isIdle (instance.process (64)[0]));
}

TEST_F (AaxHostTest, BypassLeavesTheHostsBuffersAlone)
{
    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue (bypassId, 1.0, AAX_eUpdateSource_Unspecified), 0);
    EXPECT_EQ (instance.bypass, 1);

    play (instance.transport, 0);
    const auto bypassed = instance.process (256, 0.25f);

    for (const auto& channel : bypassed)
        EXPECT_EQ (channel, std::vector<float> (256, 0.25f));

    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue (bypassId, 0.0, AAX_eUpdateSource_Unspecified), 0);
    EXPECT_EQ (instance.bypass, 0);
    EXPECT_EQ (instance.process (256, 0.25f)[0][0], quaverline::pulseShape::samples[0]);
}

TEST_F (AaxHostTest, MidiIsTakenAndNothingIsSent)
{
    AAX_CMidiPacket noteOn;
    noteOn.mTimestamp = 100000; // beyond the block: taken at its last sample
    noteOn.mLength = 3;
    noteOn.mData[0] = 0x90;
    noteOn.mData[1] = 60;
    noteOn.mData[2] = 100;
    instance.midiIn.packets = { noteOn, noteOn };

    play (instance.transport, 0);
    const auto output = instance.process (512);
    EXPECT_EQ (quaverline::findPulseStarts (output[0].data(), output[0].size()),
               enginePulseStarts (48000.0, tempo, 512));
    EXPECT_EQ (instance.midiOut.postedPackets, 0);
}

//==============================================================================
TEST_F (AaxHostTest, PublishesTheBypassAndTheTimeSignature)
{
    int32_t count = 0;
    ASSERT_EQ (instance.parameters->GetNumberOfParameters (&count), 0);
    ASSERT_EQ (count, 2);

    AAX_CString id, bypass;
    EXPECT_EQ (instance.parameters->GetParameterIDFromIndex (0, &id), 0);
    EXPECT_EQ (id, bypassId);
    EXPECT_EQ (instance.parameters->GetParameterIDFromIndex (1, &id), 0);
    EXPECT_EQ (id, "0");
    EXPECT_EQ (instance.parameters->GetMasterBypassParameter (&bypass), 0);
    EXPECT_EQ (bypass, bypassId);

    struct Published
    {
        const char* id;
        const char* name;
        int32_t steps;
        bool continuous;
        double defaultValue;
    };

    for (const auto& p : { Published { bypassId, "Master Bypass", 2, false, 0.0 },
                           Published { "0", "Time Signature", 2147483647, true, 0.0 } })
    {
        AAX_CString text;
        int32_t steps = 0, orientation = -1;
        auto type = AAX_eParameterType_Discrete;
        AAX_CBoolean automatable = 0;
        double defaultValue = -1.0;
        EXPECT_EQ (instance.parameters->GetParameterName (p.id, &text), 0);
        EXPECT_EQ (text, p.name);
        EXPECT_EQ (instance.parameters->GetParameterNumberofSteps (p.id, &steps), 0);
        EXPECT_EQ (steps, p.steps);
        EXPECT_EQ (instance.parameters->GetParameterType (p.id, &type), 0);
        EXPECT_EQ (type == AAX_eParameterType_Continuous, p.continuous);
        EXPECT_EQ (instance.parameters->GetParameterDefaultNormalizedValue (p.id, &defaultValue), 0);
        EXPECT_EQ (defaultValue, p.defaultValue);
        EXPECT_EQ (instance.parameters->GetParameterOrientation (p.id, &orientation), 0);
        EXPECT_EQ (orientation, 0);
        EXPECT_EQ (instance.parameters->GetParameterIsAutomatable (p.id, &automatable), 0);
        EXPECT_TRUE (automatable);
    }
}

struct NameCase
{
    const char* name;
    const char* id;
    int32_t length;
    const char* expected;
};

class AaxParameterNames : public AaxHostTest, public testing::WithParamInterface<NameCase>
{
};

TEST_P (AaxParameterNames, FitTheirLength)
{
    EXPECT_EQ (name (GetParam().id, GetParam().length), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P (AaxHostTest,
                          AaxParameterNames,
                          testing::Values (NameCase { "Bypass13", bypassId, 13, "Master Bypass" },
                                           NameCase { "Bypass12", bypassId, 12, "Mast Byp" },
                                           NameCase { "Bypass8", bypassId, 8, "Mast Byp" },
                                           NameCase { "Bypass7", bypassId, 7, "MstByp" },
                                           NameCase { "Bypass6", bypassId, 6, "MstByp" },
                                           NameCase { "Bypass5", bypassId, 5, "MByp" },
                                           NameCase { "Bypass0", bypassId, 0, "MByp" },
                                           NameCase { "TimeSignature31", "0", 31, "Time Signature" },
                                           NameCase { "TimeSignature4", "0", 4, "Time" },
                                           NameCase { "TimeSignature0", "0", 0, "" },
                                           NameCase { "BeyondTheCount", "7", 31, "" }),
                          caseName<NameCase>);

TEST_F (AaxHostTest, TextsAndValuesForTexts)
{
    const auto text = [this] (AAX_CParamID id, double value, int32_t length)
    {
        AAX_CString result ("unset");
        EXPECT_EQ (instance.parameters->GetParameterStringFromValue (id, value, &result, length), 0);
        return result.StdString();
    };

    EXPECT_EQ (text (bypassId, 0.0, 8), "Off");
    EXPECT_EQ (text (bypassId, 1.0, 8), "Bypassed");
    EXPECT_EQ (text (bypassId, 1.0, 7), "Byp");
    EXPECT_EQ (text ("0", 0.5, 31), "");

    const auto value = [this] (AAX_CParamID id, const std::string& input)
    {
        double result = -1.0;
        instance.parameters->GetParameterValueFromString (id, &result, AAX_CString (input.c_str()));
        return result;
    };

    EXPECT_EQ (value (bypassId, "Bypassed"), 1.0);
    EXPECT_EQ (value (bypassId, "Byp"), 1.0);
    EXPECT_EQ (value (bypassId, "Off"), 0.0);
    EXPECT_NEAR (value ("0", "0.400"), 0.4, 1e-6); // read as a number by the display rule
}

TEST_F (AaxHostTest, HostUpdatesReachTheProcessor)
{
    int32_t changes = 0;
    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue ("0", 0.2, AAX_eUpdateSource_Unspecified), 0);
    EXPECT_EQ (normalised ("0"), 0.20000000298023224);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 6 });
    instance.parameters->GetNumberOfChanges (&changes);
    EXPECT_EQ (changes, 1);

    // A number that is not published: refused, but the processor still takes it.
    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue ("00", 0.4, AAX_eUpdateSource_Unspecified), -20001);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 12 });
    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue ("5", 0.9, AAX_eUpdateSource_Unspecified), -20001);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 12 }); // the processor has no parameter 5
}

class AaxUnknownIds : public AaxHostTest, public testing::WithParamInterface<const char*>
{
};

// An ID that is neither published nor a number is refused and changes nothing.
TEST_P (AaxUnknownIds, AreRefusedAndChangeNothing)
{
    const auto* id = GetParam();
    EXPECT_EQ (instance.parameters->SetParameterNormalizedValue (id, 0.5), -20001);
    EXPECT_EQ (instance.parameters->UpdateParameterNormalizedValue (id, 0.5, AAX_eUpdateSource_Unspecified), -20001);
    EXPECT_EQ (instance.parameters->SetParameterNormalizedRelative (id, 0.5), -20001);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 6 });
    EXPECT_TRUE (instance.requests.empty());

    double value = -1.0;
    AAX_CString text ("unchanged");
    EXPECT_EQ (instance.parameters->GetParameterNormalizedValue (id, &value), -20001);
    EXPECT_EQ (instance.parameters->GetParameterDefaultNormalizedValue (id, &value), -20001);
    EXPECT_EQ (instance.parameters->GetParameterValueFromString (id, &value, AAX_CString ("0.5")), -20001);
    EXPECT_EQ (value, -1.0);
    EXPECT_EQ (instance.parameters->GetParameterName (id, &text), -20001);
    EXPECT_EQ (instance.parameters->GetParameterStringFromValue (id, 0.5, &text, 31), -20001);
    EXPECT_EQ (text, "unchanged");
}

INSTANTIATE_TEST_SUITE_P (AaxHostTest,
                          AaxUnknownIds,
                          testing::Values ("PreviewID", "", "no-such-parameter", "0x", "bogus", "NoSuchBypass", "abc"));

TEST_F (AaxHostTest, SettingGoesThroughTheHostsAutomation)
{
    EXPECT_EQ (instance.parameters->SetParameterNormalizedValue ("0", 0.5), 0);
    EXPECT_EQ (instance.requests, (std::vector<std::string> { "touch 0", "set 0 0.500000", "release 0" }));
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 15 });

    EXPECT_EQ (instance.parameters->SetParameterNormalizedValue (bypassId, 1.0), 0);
}

TEST_F (AaxHostTest, RelativeChangesAreLimitedForTheProcessorOnly)
{
    instance.parameters->UpdateParameterNormalizedValue ("0", 0.9, AAX_eUpdateSource_Unspecified);
    EXPECT_EQ (instance.parameters->SetParameterNormalizedRelative ("0", 0.5), 0);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 30 });
    EXPECT_FLOAT_EQ (static_cast<float> (normalised ("0")), 1.0f);
}

//==============================================================================
TEST_F (AaxHostTest, ChunkIdsAndCount)
{
    int32_t count = 0;
    EXPECT_EQ (instance.parameters->GetNumberOfChunks (&count), 0);
    EXPECT_EQ (count, 2);

    uint32_t id = 1;
    EXPECT_EQ (instance.parameters->GetChunkIDFromIndex (0, &id), 0);
    EXPECT_EQ (id, aaxhost::controlsChunkID);
    EXPECT_EQ (instance.parameters->GetChunkIDFromIndex (1, &id), 0);
    EXPECT_EQ (id, aaxhost::stateChunkID);
    EXPECT_EQ (instance.parameters->GetChunkIDFromIndex (2, &id), -20006);
    EXPECT_EQ (id, 0u);

    uint32_t size = 0;
    EXPECT_EQ (instance.parameters->GetChunkSize (0x41424344, &size), -20007);
    EXPECT_EQ (instance.parameters->GetChunk (0x41424344, makeChunk (1).get()), -20007);
    EXPECT_EQ (instance.parameters->SetChunk (0x41424344, makeChunk (1).get()), -20007);
    EXPECT_EQ (instance.parameters->GetChunkSize (aaxhost::stateChunkID, nullptr), -20004);
}

TEST_F (AaxHostTest, TheStateChunkIsTheOneByte)
{
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 6 });

    instance.requests.clear();
    EXPECT_EQ (loadState ({ 12, 99 }), 0);
    EXPECT_EQ (normalised ("0"), 0.4000000059604645);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 12 });
    EXPECT_EQ (instance.requests, (std::vector<std::string> { "touch 0", "set 0 0.400000", "release 0" }));

    // Any byte is an index, and an empty chunk changes nothing.
    EXPECT_EQ (loadState ({ 40 }), 0);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 40 });
    EXPECT_EQ (loadState ({}), 0);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 40 });

    // A record shorter than its size field says: only its first byte is read.
    auto shortRecord = makeChunk (1);
    shortRecord->fData[0] = 20;
    shortRecord->fSize = 65536;
    EXPECT_EQ (instance.parameters->SetChunk (aaxhost::stateChunkID, shortRecord.get()), 0);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 20 });
}

TEST_F (AaxHostTest, AGetNeedsItsOwnSizeQueryOnItsOwnThread)
{
    uint32_t size = 0;
    ASSERT_EQ (instance.parameters->GetChunkSize (aaxhost::stateChunkID, &size), 0);
    ASSERT_EQ (size, 1u);

    AAX_Result otherThread = 0;
    std::thread ([&] { otherThread = instance.parameters->GetChunk (aaxhost::stateChunkID, makeChunk (1).get()); })
        .join();
    EXPECT_EQ (otherThread, 20700);

    auto chunk = makeChunk (1);
    EXPECT_EQ (instance.parameters->GetChunk (aaxhost::stateChunkID, chunk.get()), 0);
    EXPECT_EQ (chunk->fData[0], 6);
    EXPECT_EQ (instance.parameters->GetChunk (aaxhost::stateChunkID, chunk.get()), 20700);
}

TEST_F (AaxHostTest, TheControlsChunkRoundTrips)
{
    instance.parameters->UpdateParameterNormalizedValue ("0", 0.5, AAX_eUpdateSource_Unspecified);
    uint32_t size = 0;
    ASSERT_EQ (instance.parameters->GetChunkSize (aaxhost::controlsChunkID, &size), 0);
    auto saved = makeChunk (size);
    ASSERT_EQ (instance.parameters->GetChunk (aaxhost::controlsChunkID, saved.get()), 0);
    EXPECT_STREQ (saved->fName, "Complete Controls State");

    auto wrongSize = makeChunk (size + 1);
    EXPECT_EQ (instance.parameters->GetChunk (aaxhost::controlsChunkID, wrongSize.get()), -20008);

    instance.parameters->UpdateParameterNormalizedValue ("0", 0.1, AAX_eUpdateSource_Unspecified);
    ASSERT_EQ (instance.parameters->SetChunk (aaxhost::controlsChunkID, saved.get()), 0);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 15 });

    // A record whose entries run past its size sets nothing.
    saved->fSize -= 3;
    instance.parameters->UpdateParameterNormalizedValue ("0", 0.1, AAX_eUpdateSource_Unspecified);
    EXPECT_EQ (instance.parameters->SetChunk (aaxhost::controlsChunkID, saved.get()), -20008);
    EXPECT_EQ (saveState(), std::vector<uint8_t> { 3 });
}

TEST_F (AaxHostTest, NoiseInTheControlsChunkIsRefusedOrIgnored)
{
    std::mt19937 random (7);

    for (int attempt = 0; attempt < 200; ++attempt)
    {
        const auto size = static_cast<uint32_t> (random() % 64);
        auto chunk = makeChunk (size);

        for (uint32_t i = 0; i < size; ++i)
            chunk->fData[i] = static_cast<char> (random());

        const auto result = instance.parameters->SetChunk (aaxhost::controlsChunkID, chunk.get());
        EXPECT_TRUE (result == 0 || result == -20008) << result;
    }
}

TEST_F (AaxHostTest, NotificationsAreAnsweredWithSuccess)
{
    const int32_t on = 1;

    for (const AAX_CTypeID type : { AAX_CTypeID { AAX_eNotificationEvent_EnteringOfflineMode },
                                    AAX_CTypeID { AAX_eNotificationEvent_ExitingOfflineMode },
                                    AAX_CTypeID { AAX_eNotificationEvent_ASPreviewState },
                                    AAX_CTypeID { 0x12345678u } })
        EXPECT_EQ (instance.parameters->NotificationReceived (type, &on, sizeof (on)), 0);

    EXPECT_EQ (instance.parameters->NotificationReceived (AAX_eNotificationEvent_ASPreviewState, nullptr, 0), 0);
}

} // namespace quaverline::test
