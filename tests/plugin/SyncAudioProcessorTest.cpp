// Quaverline Sync's processor as the format wrappers drive it: its parameters
// and their texts, the signal (the engine's, for the host's transport and
// bar), and its state through round trips, newer versions and bad bytes.

#include "plugin/sync/SyncAudioProcessor.h"
#include "engine/SyncClockRenderer.h"
#include "tests/plugin/ProcessorFixture.h"
#include "tests/support/HostileBytes.h"

#include <cstring>

namespace quaverline::test
{

namespace
{
class SyncProcessorTest : public ProcessorTest
{
protected:
    SyncAudioProcessor& sync() { return dynamic_cast<SyncAudioProcessor&> (*processor); }

    void set (int index, float plainValue)
    {
        auto& parameter = sync().getSyncParameter (index);
        parameter.setValueNotifyingHost (parameter.convertTo0to1 (plainValue));
    }

    float plainValue (int index) { return plainValueOf (sync(), index); }

    static float plainValueOf (SyncAudioProcessor& processor, int index)
    {
        const auto& parameter = processor.getSyncParameter (index);
        return parameter.convertFrom0to1 (parameter.getValue());
    }

    juce::MemoryBlock state()
    {
        juce::MemoryBlock block;
        processor->getStateInformation (block);
        return block;
    }
};
} // namespace

TEST_F (SyncProcessorTest, ParametersHaveTheirNamesDefaultsAndTexts)
{
    using namespace syncParameters;
    ASSERT_EQ (processor->getParameters().size(), count);

    const struct
    {
        int index;
        const char* id;
        const char* name;
        const char* defaultText;
    } cases[] = {
        { resolution, "resolution", "Resolution", "24 PPQN" },
        { bar, "bar", "Bar", "Host" },
        { start, "start", "Start", "Next bar" },
        { shape, "shape", "Shape", "Classic" },
        { width, "width", "Pulse width", "5.0 ms" },
        { level, "level", "Level", "-0.4 dB" },
        { polarity, "polarity", "Polarity", "Positive" },
        { offset, "offset", "Offset", "0.0 ms" },
        { right, "right", "Right output", "Clock" },
        { idle, "idle", "Idle signal", "Classic" },
    };

    for (const auto& c : cases)
    {
        const auto& parameter = sync().getSyncParameter (c.index);
        EXPECT_EQ (parameter.getParameterID(), c.id);
        EXPECT_EQ (parameter.getName (64), c.name);
        EXPECT_EQ (parameter.getCurrentValueAsText(), c.defaultText) << c.id;
        EXPECT_TRUE (parameter.isAutomatable());
    }

    // Texts typed by a user come back as values.
    auto& offsetParameter = sync().getSyncParameter (offset);
    EXPECT_EQ (offsetParameter.convertFrom0to1 (offsetParameter.getValueForText ("-12.5 ms")), -12.5f);
    EXPECT_EQ (offsetParameter.getText (offsetParameter.convertTo0to1 (30.0f), 32), "+30.0 ms");
}

TEST_F (SyncProcessorTest, RendersTheEngineSignalForTheHostsTransportAndBar)
{
    set (syncParameters::resolution, 2.0f); // 4 PPQN
    set (syncParameters::shape, 1.0f);      // square
    set (syncParameters::right, 2.0f);      // bar

    juce::AudioPlayHead::PositionInfo info;
    info.setIsPlaying (true);
    info.setBpm (120.0);
    info.setPpqPosition (0.0);
    info.setPpqPositionOfLastBarStart (0.0);
    info.setTimeSignature (juce::AudioPlayHead::TimeSignature { 3, 4 });
    playHead.position = info;

    SyncClockRenderer engine;
    engine.setSampleRate (sampleRate);
    SyncTransport host;
    host.transport = { true, 120.0, 0.0 };
    host.hasBarStart = true;
    host.numerator = 3;
    host.denominator = 4;
    std::vector<float> left (4096), right (4096);
    engine.render (left.data(), right.data(), 4096, host, sync().getSettings());

    const auto buffer = process (2, 4096);
    EXPECT_EQ (std::memcmp (buffer.getReadPointer (0), left.data(), left.size() * sizeof (float)), 0);
    EXPECT_EQ (std::memcmp (buffer.getReadPointer (1), right.data(), right.size() * sizeof (float)), 0);
    EXPECT_EQ (sync().getStatus(), SyncClockRenderer::Status::running);
}

TEST_F (SyncProcessorTest, StateRoundTripsEveryParameter)
{
    const float changed[] = { 2.0f, 7.0f, 1.0f, 1.0f, 12.5f, -6.0f, 1.0f, -20.0f, 1.0f, 1.0f };

    for (int index = 0; index < syncParameters::count; ++index)
        set (index, changed[index]);

    const auto saved = state();
    std::unique_ptr<juce::AudioProcessor> restored (createPluginFilter());
    restored->setStateInformation (saved.getData(), static_cast<int> (saved.getSize()));

    for (int index = 0; index < syncParameters::count; ++index)
        EXPECT_FLOAT_EQ (plainValueOf (dynamic_cast<SyncAudioProcessor&> (*restored), index), changed[index])
            << syncParameters::rule (index).id;
}

TEST_F (SyncProcessorTest, StateFromANewerVersionKeepsWhatItKnows)
{
    juce::XmlElement newer (SyncAudioProcessor::stateTag);
    newer.setAttribute ("version", 7);
    auto* known = newer.createNewChildElement ("PARAM");
    known->setAttribute ("id", "width");
    known->setAttribute ("value", 20.0);
    auto* unknown = newer.createNewChildElement ("PARAM");
    unknown->setAttribute ("id", "swing");
    unknown->setAttribute ("value", 3.0);

    juce::MemoryBlock block;
    juce::AudioProcessor::copyXmlToBinary (newer, block);
    processor->setStateInformation (block.getData(), static_cast<int> (block.getSize()));

    EXPECT_FLOAT_EQ (plainValue (syncParameters::width), 20.0f);
    EXPECT_FLOAT_EQ (plainValue (syncParameters::resolution), 5.0f);
}

TEST_F (SyncProcessorTest, BadStateChangesNothing)
{
    set (syncParameters::resolution, 1.0f);
    const auto good = state();

    juce::XmlElement otherTag ("SomethingElse");
    juce::MemoryBlock otherBlock;
    juce::AudioProcessor::copyXmlToBinary (otherTag, otherBlock);

    juce::XmlElement notANumber (SyncAudioProcessor::stateTag);
    auto* entry = notANumber.createNewChildElement ("PARAM");
    entry->setAttribute ("id", "resolution");
    entry->setAttribute ("value", "nan");
    juce::MemoryBlock notANumberBlock;
    juce::AudioProcessor::copyXmlToBinary (notANumber, notANumberBlock);

    const juce::MemoryBlock cases[] = {
        {},
        juce::MemoryBlock (good.getData(), good.getSize() / 2),
        juce::MemoryBlock (good.getData(), 9),
        juce::MemoryBlock ("\x01", 1),
        juce::MemoryBlock (std::string (300, '\xff').data(), 300),
        otherBlock,
        notANumberBlock,
    };

    for (const auto& bad : cases)
    {
        processor->setStateInformation (bad.getData(), static_cast<int> (bad.getSize()));
        EXPECT_EQ (plainValue (syncParameters::resolution), 1.0f);
        EXPECT_EQ (state(), good);
    }

    processor->setStateInformation (nullptr, 100);
    EXPECT_EQ (state(), good);

    // Texts JUCE's XML parser reads past the end of, each in a block of its
    // own size.
    for (const auto& bytes : hostileBytes::brokenXmlStates())
    {
        const std::vector<char> bad (bytes.begin(), bytes.end());
        processor->setStateInformation (bad.data(), static_cast<int> (bad.size()));
        EXPECT_EQ (state(), good);
    }
}

} // namespace quaverline::test
