// The AAX face's parameters object on its own, as the plug-in's library runs
// it: the play head it makes of the host transport, and what the processor
// and the host's notifications set off.

#include "formats/aax/JuceAAX_Processor.h"
#include "tests/support/AaxHostLinks.h"
#include "tests/support/AllocationCounter.h"
#include "tests/support/CaseName.h"

#include <gtest/gtest.h>

namespace quaverline::test
{

namespace
{
using FrameRate = juce::AudioPlayHead::FrameRate;

class AaxFace : public testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ (face->Initialize (&links, &links, &links.transport), 0); }

    juce::AudioPlayHead::PositionInfo position() const { return *face->getPosition(); }

    aaxhost::HostLinks links { AAX_eStemFormat_Stereo };
    std::unique_ptr<quaverline::aax::JuceAAX_Processor> face = std::make_unique<quaverline::aax::JuceAAX_Processor>();
};

struct TimeCodeCase
{
    const char* name;
    int32_t rate;
    std::optional<FrameRate> frameRate;
    double framesPerSecond;
};

class AaxTimeCode : public AaxFace, public testing::WithParamInterface<TimeCodeCase>
{
};
} // namespace

TEST_P (AaxTimeCode, GivesTheFrameRateAndTheEditOrigin)
{
    links.transport.timeCodeRate = GetParam().rate;
    links.transport.timeCodeOffset = 720;
    const auto info = position();

    EXPECT_EQ (info.getFrameRate().hasValue(), GetParam().frameRate.has_value());

    if (GetParam().frameRate.has_value())
    {
        EXPECT_EQ (*info.getFrameRate(), *GetParam().frameRate);
    }

    EXPECT_DOUBLE_EQ (*info.getEditOriginTime(), 720.0 / GetParam().framesPerSecond);
}

INSTANTIATE_TEST_SUITE_P (
    AaxFace,
    AaxTimeCode,
    testing::Values (
        TimeCodeCase { "Fps24", 1, FrameRate().withBaseRate (24), 24.0 },
        TimeCodeCase { "Fps25", 2, FrameRate().withBaseRate (25), 25.0 },
        TimeCodeCase { "Fps2997", 3, FrameRate().withBaseRate (30).withPullDown(), 29.97002997 },
        TimeCodeCase { "Fps2997Drop", 4, FrameRate().withBaseRate (30).withPullDown().withDrop(), 29.97002997 },
        TimeCodeCase { "Fps30", 5, FrameRate().withBaseRate (30), 30.0 },
        TimeCodeCase { "Fps30Drop", 6, FrameRate().withBaseRate (30).withDrop(), 30.0 },
        TimeCodeCase { "Fps23976", 7, FrameRate().withBaseRate (24), 23.976 },
        TimeCodeCase { "Unknown", 42, std::nullopt, 24.0 }),
    caseName<TimeCodeCase>);

TEST_F (AaxFace, WithoutTimeCodeThereIsNoFrameRate)
{
    const auto info = position();
    EXPECT_FALSE (info.getFrameRate().hasValue());
    EXPECT_EQ (*info.getEditOriginTime(), 0.0);
}

TEST_F (AaxFace, PositionsWhilePlayingAndStopped)
{
    auto& transport = links.transport;
    transport.tempo = 90.0;
    transport.sample = 96000;
    transport.selectionStart = 4800;
    transport.ticks = 1440000;

    transport.playing = true;
    auto info = position();
    EXPECT_TRUE (info.getIsPlaying());
    EXPECT_FALSE (info.getIsRecording());
    EXPECT_EQ (*info.getBpm(), 90.0);
    EXPECT_EQ (*info.getTimeInSamples(), 96000);
    EXPECT_EQ (*info.getTimeInSeconds(), 2.0);
    EXPECT_EQ (*info.getPpqPosition(), 1.5);
    EXPECT_EQ (*info.getPpqPositionOfLastBarStart(), 0.0);
    EXPECT_EQ (info.getTimeSignature()->numerator, 4);

    // Stopped, the position is the selection's start, or the current location
    // when the host has no selection.
    transport.playing = false;
    EXPECT_EQ (*position().getTimeInSamples(), 4800);
    transport.hasSelection = false;
    EXPECT_EQ (*position().getTimeInSamples(), 96000);

    // Queries that fail leave the defaults.
    transport.fails = true;
    info = position();
    EXPECT_FALSE (info.getIsPlaying());
    EXPECT_EQ (*info.getBpm(), 0.0);
    EXPECT_EQ (*info.getTimeInSamples(), 0);
    EXPECT_EQ (*info.getPpqPosition(), 0.0);
}

TEST_F (AaxFace, TheProcessorsChangesReachTheHost)
{
    auto& processor = face->getPluginInstance();
    auto& parameter = processor.getTimeSignatureParameter();

    parameter.beginChangeGesture();
    parameter.setValueNotifyingHost (0.4f);
    parameter.endChangeGesture();

    EXPECT_EQ (links.requests,
               (std::vector<std::string> { "touch 0", "touch 0", "set 0 0.400000", "release 0", "release 0" }));
    EXPECT_EQ (processor.getTimeSignatureState().getIndex(), 12);

    int32_t changes = 0;
    const auto reports = links.latencyReports;
    processor.updateHostDisplay();
    face->GetNumberOfChanges (&changes);
    EXPECT_EQ (changes, 1);
    EXPECT_EQ (links.latencyReports, reports + 1);
}

TEST_F (AaxFace, OfflineNotificationsReachTheProcessor)
{
    auto& processor = face->getPluginInstance();

    EXPECT_EQ (face->NotificationReceived (AAX_eNotificationEvent_EnteringOfflineMode, nullptr, 0), 0);
    EXPECT_TRUE (processor.isNonRealtime());
    EXPECT_EQ (face->NotificationReceived (AAX_eNotificationEvent_ExitingOfflineMode, nullptr, 0), 0);
    EXPECT_FALSE (processor.isNonRealtime());
}

TEST_F (AaxFace, NullAnswerPointersAreRefused)
{
    AAX_CString text;
    double value = 0.0;
    int32_t number = 0;

    EXPECT_EQ (face->GetParameterName ("0", nullptr), -20004);
    EXPECT_EQ (face->GetParameterNameOfLength ("0", nullptr, 4), -20004);
    EXPECT_EQ (face->GetParameterStringFromValue ("0", 0.0, nullptr, 4), -20004);
    EXPECT_EQ (face->GetParameterValueFromString ("0", nullptr, AAX_CString ("1")), -20004);
    EXPECT_EQ (face->GetParameterNormalizedValue ("0", nullptr), -20004);
    EXPECT_EQ (face->GetParameterNumberofSteps ("0", nullptr), -20004);
    EXPECT_EQ (face->GetParameterNumberofSteps ("1", &number), -20001);
    EXPECT_EQ (face->GetParameterNormalizedValue (nullptr, &value), -20001);
    EXPECT_EQ (face->GetParameterName (nullptr, &text), -20001);
    EXPECT_EQ (face->SetParameterNormalizedValue (nullptr, 0.5), -20001);
    EXPECT_EQ (face->GetNumberOfChunks (nullptr), -20004);
    EXPECT_EQ (face->GetChunkIDFromIndex (1, nullptr), -20004);
    EXPECT_EQ (face->GetChunk (aaxhost::stateChunkID, nullptr), -20004);
    EXPECT_EQ (face->SetChunk (aaxhost::stateChunkID, nullptr), -20004);
    EXPECT_EQ (face->SetChunk (aaxhost::controlsChunkID, nullptr), -20004);
    EXPECT_EQ (face->GetNumberOfParameters (&number), 0);
    EXPECT_EQ (face->ResetFieldData (6, nullptr, 8), 0);
    EXPECT_EQ (face->ResetFieldData (7, nullptr, 4), 0);
}

TEST_F (AaxFace, TheAudioCallbackAllocatesNothing)
{
    quaverline::aax::JuceAAX_Processor* instance = nullptr;
    int32_t prepared = 0;
    ASSERT_EQ (face->ResetFieldData (quaverline::aax::pluginInstanceField, &instance, sizeof (instance)), 0);
    ASSERT_EQ (face->ResetFieldData (quaverline::aax::preparedFlagField, &prepared, sizeof (prepared)), 0);

    aaxhost::MidiNode midiIn, midiOut;
    AAX_CMidiPacket noteOn;
    noteOn.mLength = 3;
    noteOn.mData[0] = 0x90;
    midiIn.packets.assign (16, noteOn);

    std::vector<float> left (512), right (512);
    float* channels[] = { left.data(), right.data() };
    int32_t bufferSize = 512, bypass = 0;
    quaverline::aax::AlgorithmContext context { nullptr, channels, &bufferSize, &bypass,
                                                &midiIn, &midiOut, &instance,   &prepared };
    void* const instances[] = { &context };

    links.transport.playing = true;
    ScopedAllocationCounter counter;

    for (int block = 0; block < 16; ++block)
        quaverline::aax::JuceAAX_Processor::algorithmProcessFunction (instances, instances + 1);

    EXPECT_EQ (counter.getCount(), 0);
}

} // namespace quaverline::test
