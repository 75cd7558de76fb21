#include "tools/analyze/ReportText.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace quaverline
{

namespace
{
std::string format (const char* pattern, double value)
{
    char text[64];
    std::snprintf (text, sizeof (text), pattern, value);
    return text;
}

/** A number for JSON: finite, or null. */
std::string number (double value)
{
    return std::isfinite (value) ? format ("%.10g", value) : "null";
}

template <typename T>
std::string optionalNumber (const std::optional<T>& value)
{
    return value ? number (double (*value)) : "null";
}

std::string numbers (const std::vector<double>& values)
{
    std::string text = "[";

    for (std::size_t k = 0; k < values.size(); ++k)
        text += (k == 0 ? "" : ", ") + number (values[k]);

    return text + "]";
}

/** A JSON string: quotes, backslashes and control characters escaped. */
std::string quoted (const std::string& text)
{
    std::string result = "\"";

    for (const char c : text)
    {
        if (c == '"' || c == '\\')
            result += std::string ("\\") + c;
        else if (static_cast<unsigned char> (c) < 0x20)
        {
            char escaped[8];
            std::snprintf (escaped, sizeof (escaped), "\\u%04x", unsigned (static_cast<unsigned char> (c)));
            result += escaped;
        }
        else
            result += c;
    }

    return result + "\"";
}

std::string times (const std::vector<double>& seconds)
{
    std::string text;

    for (std::size_t k = 0; k < seconds.size() && k < 10; ++k)
        text += (k == 0 ? "" : ", ") + format ("%.4f s", seconds[k]);

    if (seconds.size() > 10)
        text += ", ...";

    return text;
}
} // namespace

std::string summaryOf (const ClockReport& report, const std::string& recordingName)
{
    const double msPerSample = 1000.0 / report.sampleRate;
    std::string text = recordingName + ": " + std::to_string (report.pulses) + " pulses on channel " +
                       std::to_string (report.channel + 1) + " (" +
                       (report.polarity == Polarity::positive ? "positive" : "negative") + "), " +
                       format ("%.0f Hz", report.sampleRate) + "\n";

    if (report.pulses < 2)
        return text;

    if (report.ppqn && report.tempoBpm)
        text += "Clock: " + std::to_string (*report.ppqn) + " PPQN at " + format ("%.3f bpm", *report.tempoBpm);
    else if (report.pulseRateHz)
        text += "Clock: " + format ("%.4f pulses a second", *report.pulseRateHz) +
                " (give --tempo or --ppqn for the tempo and resolution)";

    if (report.driftPpm)
        text += format (", drift %+.1f ppm against the stated tempo", *report.driftPpm);

    const auto samplesAndMs = [&] (double samples)
    { return format ("%.2f samples", samples) + " (" + format ("%.3f ms", samples * msPerSample) + ")"; };
    text += "\nSpacing: " + samplesAndMs (report.spacingMean) + ", min " + samplesAndMs (report.spacingMin) + ", max " +
            samplesAndMs (report.spacingMax) + "\n";
    text += "Jitter against a straight line: " + format ("%.4f ms", report.jitterRmsMs) + " RMS, " +
            format ("%.4f ms", report.jitterMaxMs) + " at worst\n";
    text += "Missing pulses: " + std::to_string (report.missing.size()) +
            (report.missing.empty() ? "" : " (" + times (report.missing) + ")") +
            "; extra pulses: " + std::to_string (report.extra.size()) +
            (report.extra.empty() ? "" : " (" + times (report.extra) + ")") + "\n";
    text += "Pulse width " + format ("%.2f ms", report.widthMs) + " at half height, peak " +
            format ("%.1f dBFS", report.peakDbfs) + "\n";

    if (report.latencyMeanMs)
        text += "Latency behind the reference: " + format ("%.3f ms", *report.latencyMeanMs) + " (" +
                format ("%.1f samples", *report.latencyMeanSamples) + "), min " +
                format ("%.3f ms", *report.latencyMinMs) + ", max " + format ("%.3f ms", *report.latencyMaxMs) +
                "; without a partner: " + std::to_string (report.unpartnered.size()) +
                (report.unpartnered.empty() ? "" : " (" + times (report.unpartnered) + ")") + "\n";

    for (const auto& warning : report.warnings)
        text += "Warning: " + warning + "\n";

    return text;
}

std::string jsonOf (const ClockReport& report)
{
    std::string json = "{\n";
    json += "  \"pulses\": " + std::to_string (report.pulses) + ",\n";
    json += "  \"sample_rate\": " + number (report.sampleRate) + ",\n";
    json += "  \"channel\": " + std::to_string (report.channel + 1) + ",\n";
    json += std::string ("  \"polarity\": \"") + (report.polarity == Polarity::positive ? "positive" : "negative") +
            "\",\n";
    json += "  \"tempo_bpm\": " + optionalNumber (report.tempoBpm) + ",\n";
    json += "  \"ppqn\": " + optionalNumber (report.ppqn) + ",\n";
    json += "  \"spacing_samples\": {\"mean\": " + number (report.spacingMean) +
            ", \"min\": " + number (report.spacingMin) + ", \"max\": " + number (report.spacingMax) + "},\n";
    json += "  \"jitter_ms\": {\"rms\": " + number (report.jitterRmsMs) + ", \"max\": " + number (report.jitterMaxMs) +
            "},\n";
    json += "  \"drift_ppm\": " + optionalNumber (report.driftPpm) + ",\n";
    json += "  \"missing\": " + numbers (report.missing) + ",\n";
    json += "  \"extra\": " + numbers (report.extra) + ",\n";
    json += "  \"width_ms\": " + number (report.widthMs) + ",\n";
    json += "  \"peak_dbfs\": " + number (report.peakDbfs) + ",\n";

    if (report.latencyMeanMs)
        json += "  \"latency_ms\": {\"mean\": " + number (*report.latencyMeanMs) +
                ", \"min\": " + number (*report.latencyMinMs) + ", \"max\": " + number (*report.latencyMaxMs) + "},\n";

    json += "  \"warnings\": [";

    for (std::size_t k = 0; k < report.warnings.size(); ++k)
        json += (k == 0 ? "" : ", ") + quoted (report.warnings[k]);

    return json + "]\n}\n";
}

} // namespace quaverline
