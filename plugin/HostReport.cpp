#include "plugin/HostReport.h"

namespace quaverline
{

HostReport readHostReport (const juce::AudioPlayHead* playHead)
{
    HostReport report;

    if (playHead == nullptr)
        return report;

    const auto info = playHead->getPosition();

    if (! info.hasValue())
        return report;

    HostPosition position;
    position.isPlaying = info->getIsPlaying() || info->getIsRecording();

    if (const auto bpm = info->getBpm())
        position.bpm = *bpm;

    if (const auto ppq = info->getPpqPosition())
        position.ppqPosition = *ppq;

    if (const auto samples = info->getTimeInSamples())
        position.timeInSamples = *samples;

    report.position = position;

    if (const auto barStart = info->getPpqPositionOfLastBarStart())
        report.barStartPosition = *barStart;

    if (const auto timeSignature = info->getTimeSignature())
    {
        report.numerator = timeSignature->numerator;
        report.denominator = timeSignature->denominator;
    }

    return report;
}

} // namespace quaverline
