#pragma once

#include "tools/analysis/RecordingAnalysis.h"

#include <string>

namespace quaverline
{

/** The readable summary of a report, as quaverline-analyze prints it. */
std::string summaryOf (const ClockReport& report, const std::string& recordingName);

/** The report as JSON, with the keys pulses, sample_rate, channel (from 1),
    polarity, tempo_bpm, ppqn, spacing_samples {mean, min, max}, jitter_ms
    {rms, max}, drift_ppm, missing, extra (seconds), width_ms, peak_dbfs,
    latency_ms {mean, min, max} (only with a reference) and warnings. What is
    not known is null.
*/
std::string jsonOf (const ClockReport& report);

} // namespace quaverline
