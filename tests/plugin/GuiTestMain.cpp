// The entry point of the editor tests: JUCE's message manager for the
// components and their posted messages, and fonts pinned to DejaVu so that
// snapshots do not depend on what else is installed. No display is needed.

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>

int main (int argc, char** argv)
{
    setenv ("JUCE_FONT_PATH", "/usr/share/fonts/truetype/dejavu", 1);
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI juceInitialiser;
    return RUN_ALL_TESTS();
}
