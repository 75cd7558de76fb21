#include "plugin/ClockProcessor.h"

#include "plugin/identity/PluginIdentity.h"

namespace quaverline
{

double ClockProcessor::getTailLengthSeconds() const
{
    return 0.0;
}

bool ClockProcessor::acceptsMidi() const
{
    return identity::wantsMidiInput;
}

bool ClockProcessor::producesMidi() const
{
    return identity::producesMidi;
}

bool ClockProcessor::hasEditor() const
{
    return identity::hasEditor;
}

int ClockProcessor::getNumPrograms()
{
    return 1;
}

int ClockProcessor::getCurrentProgram()
{
    return 0;
}

void ClockProcessor::setCurrentProgram (int) {}

const juce::String ClockProcessor::getProgramName (int)
{
    return {};
}

void ClockProcessor::changeProgramName (int, const juce::String&) {}

} // namespace quaverline
