#pragma once

#include "plugin/AudioClockAudioProcessor.h"
#include "plugin/PluginFactory.h"
#include "plugin/editor/AudioClockEditor.h"
#include "tests/plugin/HostListener.h"

#include <gtest/gtest.h>

namespace juce
{
// JUCE's own step of its message loop: delivers one posted message, or returns
// false when none is waiting.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace quaverline::test
{

/** A processor as a host has it, and an editor opened as the wrappers open it.
    The editor's timer is stopped once checked: ticks are delivered by the test.
*/
class EditorTest : public testing::Test
{
protected:
    EditorTest()
        : processor (dynamic_cast<AudioClockAudioProcessor*> (createPluginFilter()))
    {
        processor->addListener (&host);
    }

    ~EditorTest() override
    {
        closeEditor();
        processor->removeListener (&host);
    }

    AudioClockEditor& openEditor()
    {
        editor.reset (dynamic_cast<AudioClockEditor*> (processor->createEditorIfNeeded()));
        editor->stopTimer();
        return *editor;
    }

    void closeEditor() { editor.reset(); }

    static void deliverMessages()
    {
        while (juce::dispatchNextMessageOnSystemQueue (true))
        {
        }
    }

    /** One timer tick, then whatever it posted. */
    void tick()
    {
        editor->timerCallback();
        deliverMessages();
    }

    juce::ComboBox& list() const { return dynamic_cast<juce::ComboBox&> (*editor->getChildComponent (0)); }
    juce::Label& caption() const { return dynamic_cast<juce::Label&> (*editor->getChildComponent (1)); }

    void setIndexFromHost (uint8_t index) { processor->getTimeSignatureParameter().setValue (float (index / 30.0)); }

    void restoreIndex (uint8_t index) { processor->setStateInformation (&index, 1); }

    uint8_t index() { return processor->getTimeSignatureState().getIndex(); }

    std::vector<std::pair<int, float>> takeHostChanges() { return std::exchange (host.changes, {}); }

    static std::pair<int, float> told (int itemId) { return { 0, float (itemId) / 30.0f }; }

    HostListener host;
    std::unique_ptr<AudioClockAudioProcessor> processor;
    std::unique_ptr<AudioClockEditor> editor;
};

} // namespace quaverline::test
