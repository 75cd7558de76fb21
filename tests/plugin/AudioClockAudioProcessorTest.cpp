#include "engine/ClockRenderer.h"
#include "engine/PulseShape.h"
#include "plugin/identity/PluginIdentity.h"
#include "tests/plugin/HostListener.h"
#include "tests/plugin/ProcessorFixture.h"
#include "tests/support/CaseName.h"
#include "tools/analysis/ClockSignalAnalysis.h"

#include <cmath>

namespace quaverline::test
{

namespace
{
std::vector<float> channel (const juce::AudioBuffer<float>& buffer, int index)
{
    return { buffer.getReadPointer (index), buffer.getReadPointer (index) + buffer.getNumSamples() };
}

std::vector<float> reference (const quaverline::TransportState& transport, int numSamples, double rate = 48000.0)
{
    quaverline::ClockRenderer renderer;
    renderer.setSampleRate (rate);
    std::vector<float> out (static_cast<size_t> (numSamples));
    renderer.render (out.data(), numSamples, transport, 6);
    return out;
}

/** A processor made as the given format's wrapper makes it. */
std::unique_ptr<AudioClockAudioProcessor> createAs (juce::AudioProcessor::WrapperType type)
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (type);
    std::unique_ptr<AudioClockAudioProcessor> processor (
        dynamic_cast<AudioClockAudioProcessor*> (createPluginFilter()));
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
    return processor;
}
} // namespace

TEST_F (ProcessorTest, AnswersTheHostsFixedQuestions)
{
    auto& p = clock();
    EXPECT_EQ (p.getName(), "Quaverline");
    EXPECT_TRUE (p.acceptsMidi());
    EXPECT_FALSE (p.producesMidi());
    EXPECT_FALSE (p.silenceInProducesSilenceOut());
    EXPECT_EQ (p.getTailLengthSeconds(), 0.0);
    EXPECT_EQ (p.getLatencySamples(), 0);
    EXPECT_FALSE (p.supportsDoublePrecisionProcessing());
    EXPECT_EQ (p.hasEditor(), quaverline::identity::hasEditor);

    EXPECT_EQ (p.getNumPrograms(), 1);
    p.setCurrentProgram (3);
    EXPECT_EQ (p.getCurrentProgram(), 0);
    EXPECT_EQ (p.getProgramName (0), "");
    EXPECT_EQ (p.getProgramName (3), "");
    p.changeProgramName (0, "renamed");
    EXPECT_EQ (p.getProgramName (0), "");
}

TEST_F (ProcessorTest, NamesChannelsByNumber)
{
    auto& p = clock();
    EXPECT_EQ (p.getInputChannelName (0), "1");
    EXPECT_EQ (p.getOutputChannelName (1), "2");
    EXPECT_EQ (p.getOutputChannelName (9), "10");
    EXPECT_TRUE (p.isInputChannelStereoPair (0));
    EXPECT_TRUE (p.isOutputChannelStereoPair (7));
}

TEST_F (ProcessorTest, IsASynthWithOneStereoOutputBus)
{
    EXPECT_EQ (processor->getBusCount (true), 0);
    ASSERT_EQ (processor->getBusCount (false), 1);
    EXPECT_EQ (processor->getBus (false, 0)->getName(), "Output");
    EXPECT_EQ (processor->getBus (false, 0)->getCurrentLayout(), juce::AudioChannelSet::stereo());
    EXPECT_EQ (processor->getTotalNumInputChannels(), 0);
    EXPECT_EQ (processor->getTotalNumOutputChannels(), 2);
}

TEST_F (ProcessorTest, IndexedParameterOperations)
{
    auto& p = clock();
    auto& state = p.getTimeSignatureState();
    EXPECT_EQ (p.getNumParameters(), 1);
    EXPECT_EQ (p.getParameterName (0), "Time Signature");
    EXPECT_EQ (p.getParameterName (1), "");
    EXPECT_EQ (p.getParameterText (0), "");

    p.setParameter (1, 0.5f);
    EXPECT_EQ (state.getIndex(), 6);
    EXPECT_FALSE (state.takeChangedFlag());

    p.setParameter (0, 0.4f);
    EXPECT_EQ (state.getIndex(), 12);
    EXPECT_TRUE (state.takeChangedFlag());

    // Every parameter number reads the one value.
    EXPECT_EQ (p.getParameter (0), 0.4f);
    EXPECT_EQ (p.getParameter (7), 0.4f);

    p.setParameter (0, std::nanf (""));
    EXPECT_EQ (state.getIndex(), 12);
    EXPECT_FALSE (state.takeChangedFlag());
}

TEST_F (ProcessorTest, TheParameterAsTheFormatWrappersSeeIt)
{
    const auto& parameters = processor->getParameters();
    ASSERT_EQ (parameters.size(), 1);
    auto& parameter = *parameters[0];

    EXPECT_EQ (parameter.getName (100), "Time Signature");
    EXPECT_EQ (parameter.getName (4), "Time");
    EXPECT_EQ (parameter.getText (0.5f, 100), "");
    EXPECT_EQ (parameter.getLabel(), "");
    EXPECT_EQ (parameter.getDefaultValue(), 0.0f);
    EXPECT_EQ (parameter.getNumSteps(), 0x7fffffff);
    EXPECT_TRUE (parameter.isAutomatable());
    EXPECT_FALSE (parameter.isMetaParameter());
    EXPECT_FALSE (parameter.isOrientationInverted());
    EXPECT_EQ (parameter.getValue(), 0.2f);

    HostListener listener;
    processor->addListener (&listener);
    parameter.setValueNotifyingHost (1.0f);
    processor->removeListener (&listener);

    EXPECT_EQ (clock().getTimeSignatureState().getIndex(), 30);
    ASSERT_EQ (listener.changes.size(), 1u);
    EXPECT_EQ (listener.changes[0], std::make_pair (0, 1.0f));
}

TEST_F (ProcessorTest, StateIsOneByteWithoutAHeader)
{
    juce::MemoryBlock block ("previous contents", 17);
    processor->getStateInformation (block);
    EXPECT_EQ (block, juce::MemoryBlock ("\x06", 1));

    const uint8_t chunk[] = { 12, 255, 0 };
    processor->setStateInformation (chunk, sizeof (chunk));
    processor->getCurrentProgramStateInformation (block);
    EXPECT_EQ (block, juce::MemoryBlock ("\x0c", 1));
    EXPECT_TRUE (clock().getTimeSignatureState().takeChangedFlag());

    processor->setStateInformation (nullptr, 0);
    processor->setStateInformation (chunk, 0);
    processor->setStateInformation (chunk, -3);
    EXPECT_EQ (clock().getTimeSignatureState().getIndex(), 12);
    EXPECT_FALSE (clock().getTimeSignatureState().takeChangedFlag());
}

TEST_F (ProcessorTest, RendersTheClockOnEveryOutputChannel)
{
    playHead.play (120.0, 0.0);
    auto buffer = process (2, 4000);

    EXPECT_EQ (channel (buffer, 0), reference ({ true, 120.0, 0.0 }, 4000));
    EXPECT_EQ (channel (buffer, 1), channel (buffer, 0));
}

TEST_F (ProcessorTest, IgnoresMidi)
{
    playHead.play (120.0, 0.0);
    juce::AudioBuffer<float> buffer (2, 2000);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::noteOn (1, 60, 1.0f), 0);
    midi.addEvent (juce::MidiMessage::midiStop(), 1000);
    processor->processBlock (buffer, midi);

    EXPECT_EQ (midi.getNumEvents(), 2);
    EXPECT_EQ (channel (buffer, 0), reference ({ true, 120.0, 0.0 }, 2000));
}

TEST_F (ProcessorTest, ChannelsBeyondTheOutputsAreSilent)
{
    playHead.play (120.0, 0.0);
    juce::AudioBuffer<float> buffer (4, 256);
    for (int ch = 0; ch < 4; ++ch)
        juce::FloatVectorOperations::fill (buffer.getWritePointer (ch), 0.5f, 256);

    process (buffer);

    EXPECT_EQ (channel (buffer, 1), channel (buffer, 0));
    EXPECT_EQ (channel (buffer, 2), std::vector<float> (256, 0.0f));
    EXPECT_EQ (channel (buffer, 3), std::vector<float> (256, 0.0f));
}

TEST_F (ProcessorTest, MoreOutputChannelsAllCarryTheClock)
{
    auto layout = processor->getBusesLayout();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::create7point1();
    ASSERT_TRUE (processor->setBusesLayout (layout));

    playHead.play (120.0, 0.25);
    const auto buffer = process (8, 1000);
    for (int ch = 1; ch < 8; ++ch)
        EXPECT_EQ (channel (buffer, ch), channel (buffer, 0)) << "channel " << ch;
}

TEST_F (ProcessorTest, NullChannelsAreSkipped)
{
    // A wrapper may hand over null channels for buses the host gave no buffers.
    playHead.play (120.0, 0.0);
    std::vector<float> second (256, 0.5f), beyond (256, 0.5f);
    float* channels[] { nullptr, second.data(), nullptr, beyond.data() };
    juce::AudioBuffer<float> buffer (channels, 4, 256);
    process (buffer);

    float* none[] { nullptr, nullptr };
    juce::AudioBuffer<float> allNull (none, 2, 256);
    process (allNull);

    std::unique_ptr<juce::AudioProcessor> reference (createPluginFilter());
    reference->setPlayHead (&playHead);
    reference->setRateAndBufferSizeDetails (sampleRate, 512);
    reference->prepareToPlay (sampleRate, 512);
    juce::AudioBuffer<float> expected (2, 256);
    juce::MidiBuffer midi;
    reference->processBlock (expected, midi);

    EXPECT_EQ (second, channel (expected, 0));
    EXPECT_EQ (beyond, std::vector<float> (256, 0.0f));
}

TEST_F (ProcessorTest, NothingIsTouchedWithoutSamplesOrOutputs)
{
    auto layout = processor->getBusesLayout();
    layout.outputBuses.getReference (0) = juce::AudioChannelSet::disabled();
    ASSERT_TRUE (processor->setBusesLayout (layout));
    ASSERT_EQ (processor->getTotalNumOutputChannels(), 0);

    playHead.play (120.0, 0.0);
    juce::AudioBuffer<float> buffer (2, 64);
    juce::FloatVectorOperations::fill (buffer.getWritePointer (0), 0.5f, 64);
    process (buffer);
    EXPECT_EQ (buffer.getSample (0, 10), 0.5f);

    juce::AudioBuffer<float> empty (2, 0);
    process (empty);
}

struct PlayHeadCase
{
    const char* name;
    std::function<void (FakePlayHead&)> setUp;
    quaverline::TransportState expected;
};

void PrintTo (const PlayHeadCase& c, std::ostream* os)
{
    *os << c.name;
}

class PlayHeadMapping : public ProcessorTest, public testing::WithParamInterface<PlayHeadCase>
{
};

TEST_P (PlayHeadMapping, RendersWhatThePositionSays)
{
    GetParam().setUp (playHead);
    EXPECT_EQ (channel (process (2, 3000), 0), reference (GetParam().expected, 3000));
}

INSTANTIATE_TEST_SUITE_P (
    ProcessorTest,
    PlayHeadMapping,
    testing::Values (PlayHeadCase { "NoPositionIsStopped", [] (FakePlayHead&) {}, {} },
                     PlayHeadCase { "Playing", [] (FakePlayHead& p) { p.play (120.0, 0.25); }, { true, 120.0, 0.25 } },
                     PlayHeadCase { "RecordingAlone",
                                    [] (FakePlayHead& p)
                                    {
                                        p.play (90.0, 1.0);
                                        p.position->setIsPlaying (false);
                                        p.position->setIsRecording (true);
                                    },
                                    { true, 90.0, 1.0 } },
                     PlayHeadCase { "StoppedTransport",
                                    [] (FakePlayHead& p)
                                    {
                                        p.play (120.0, 0.0);
                                        p.position->setIsPlaying (false);
                                    },
                                    {} },
                     PlayHeadCase { "MissingTempoIsZero",
                                    [] (FakePlayHead& p)
                                    {
                                        p.play (120.0, 0.0);
                                        p.position->setBpm ({});
                                    },
                                    { true, 0.0, 0.0 } },
                     PlayHeadCase { "MissingPositionIsZero",
                                    [] (FakePlayHead& p)
                                    {
                                        p.play (120.0, 3.0);
                                        p.position->setPpqPosition ({});
                                    },
                                    { true, 120.0, 0.0 } }),
    caseName<PlayHeadCase>);

TEST_F (ProcessorTest, NoPlayHeadIsAStoppedBlock)
{
    processor->setPlayHead (nullptr);
    EXPECT_EQ (channel (process (1, 8), 0), reference ({}, 8));
}

TEST_F (ProcessorTest, PreparingAgainKeepsAPulseInProgress)
{
    playHead.play (120.0, 0.0);
    process (2, 50);

    prepare (sampleRate, 128);
    playHead.play (120.0, 50 * 120.0 / (60.0 * sampleRate));
    const auto buffer = process (2, 10);

    EXPECT_EQ (channel (buffer, 0),
               std::vector<float> (quaverline::pulseShape::samples.begin() + 50,
                                   quaverline::pulseShape::samples.begin() + 60));
}

TEST_F (ProcessorTest, PreparationTakesTheSampleRate)
{
    prepare (44100.0, 512);
    playHead.play (120.0, 0.0);
    EXPECT_EQ (channel (process (2, 5000), 0), reference ({ true, 120.0, 0.0 }, 5000, 44100.0));
}

TEST (Processor, RendersAtARateOfOneBeforePreparation)
{
    std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());
    FakePlayHead playHead;
    playHead.play (120.0, 0.0);
    processor->setPlayHead (&playHead);

    juce::AudioBuffer<float> buffer (2, 300);
    juce::MidiBuffer midi;
    processor->processBlock (buffer, midi);

    EXPECT_EQ (channel (buffer, 0), reference ({ true, 120.0, 0.0 }, 300, 1.0));
}

TEST_F (ProcessorTest, TheIndexSetsTheBarLength)
{
    // Waiting from bar tick 7: the next bar starts at 4 quarter notes with index 6,
    // at 1 quarter note with index 0.
    const uint8_t quarterNoteBars = 0;
    processor->setStateInformation (&quarterNoteBars, 1);
    playHead.play (120.0, 0.3);

    const auto signal = channel (process (2, 18000), 0);
    const auto firstPulse = std::find (signal.begin(), signal.end(), quaverline::pulseShape::samples[0]);
    EXPECT_EQ (firstPulse - signal.begin(), 16801);
}

TEST (Processor, AsAnLv2PluginItFollowsReportsThatComeNowAndThen)
{
    // A host that reports the frame and tempo on the first block only, as LV2
    // hosts do, without a beat.
    const auto processor = createAs (juce::AudioProcessor::wrapperType_LV2);

    FakePlayHead playHead;
    processor->setPlayHead (&playHead);
    processor->setRateAndBufferSizeDetails (48000.0, 512);
    processor->prepareToPlay (48000.0, 512);

    std::vector<float> signal;
    juce::MidiBuffer midi;

    for (int block = 0; block < 8; ++block)
    {
        if (block == 0)
        {
            playHead.play (120.0, 0.0);
            playHead.position->setPpqPosition ({});
            playHead.position->setTimeInSamples (0);
        }
        else
        {
            playHead.position.reset();
        }

        juce::AudioBuffer<float> buffer (2, 512);
        processor->processBlock (buffer, midi);
        signal.insert (signal.end(), buffer.getReadPointer (0), buffer.getReadPointer (0) + 512);
    }

    EXPECT_EQ (quaverline::findPulseStarts (signal.data(), signal.size()),
               (std::vector<int64_t> { 0, 1001, 2001, 3001, 4001 }));
}

struct WrapperCase
{
    const char* name;
    juce::AudioProcessor::WrapperType type;
    float reportedValue; // of the parameter object, for index 40
};

class ParameterRange : public testing::TestWithParam<WrapperCase>
{
};

// VST3 and LV2 hosts take values as normalised to 0..1 and write back what
// they clamp; a restored index above 30 must survive them.
TEST_P (ParameterRange, ARestoredIndexAbove30StaysAsItIs)
{
    const auto processor = createAs (GetParam().type);
    const uint8_t saved = 40;
    processor->setStateInformation (&saved, 1);

    auto& parameter = *processor->getParameters()[0];
    EXPECT_EQ (parameter.getValue(), GetParam().reportedValue);
    EXPECT_EQ (processor->getParameter (0), static_cast<float> (40 / 30.0));
    EXPECT_EQ (processor->getTimeSignatureState().getIndex(), 40);

    parameter.setValue (0.5f);
    EXPECT_EQ (processor->getTimeSignatureState().getIndex(), 15);
}

INSTANTIATE_TEST_SUITE_P (
    Processor,
    ParameterRange,
    testing::Values (
        WrapperCase { "Vst2", juce::AudioProcessor::wrapperType_VST, static_cast<float> (40 / 30.0) },
        WrapperCase { "Unknown", juce::AudioProcessor::wrapperType_Undefined, static_cast<float> (40 / 30.0) },
        WrapperCase { "Vst3", juce::AudioProcessor::wrapperType_VST3, 1.0f },
        WrapperCase { "Lv2", juce::AudioProcessor::wrapperType_LV2, 1.0f }),
    caseName<WrapperCase>);

} // namespace quaverline::test
