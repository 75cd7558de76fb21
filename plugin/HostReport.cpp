#include "plugin/HostReport.h"

namespace quaverline
{

HostInfo askPlayHead (const juce::AudioPlayHead* playHead)
{
    return playHead != nullptr ? playHead->getPosition() : HostInfo();
}

std::optional<HostPosition> hostPositionOf (const HostInfo& info)
{
    if (! info.hasValue())
        return std::nullopt;

    HostPosition position;
    position.isPlaying = info->getIsPlaying() || info->getIsRecording();

    if (const auto bpm = info->getBpm())
        position.bpm = *bpm;

    if (const auto ppq = info->getPpqPosition())
        position.ppqPosition = *ppq;

    if (const auto samples = info->getTimeInSamples())
        position.timeInSamples = *samples;

    return position;
}

HostBar hostBarOf (const HostInfo& info)
{
    HostBar bar;

    if (! info.hasValue())
        return bar;

    if (const auto start = info->getPpqPositionOfLastBarStart())
        bar.startPosition = *start;

    if (const auto timeSignature = info->getTimeSignature())
    {
        bar.numerator = timeSignature->numerator;
        bar.denominator = timeSignature->denominator;
    }

    return bar;
}

} // namespace quaverline
