#pragma once

#include "tools/analysis/RecordingAnalysis.h"

#include <optional>
#include <string>
#include <vector>

namespace quaverline
{

/** What quaverline-analyze is asked to do. */
struct AnalyzeOptions
{
    std::string recording;
    PulseSearch search; // the channel counts from 1 on the command line, from 0 here
    ClockKnowledge knowledge;
    std::string reference; // empty: none
    std::string jsonFile;  // empty: none; "-": standard output
    std::string plotFile;  // empty: none
    bool showHelp = false;
};

/** Either the options or a message that says what is wrong with the arguments. */
struct ParsedAnalyzeOptions
{
    std::optional<AnalyzeOptions> options;
    std::string error;
};

ParsedAnalyzeOptions parseAnalyzeOptions (const std::vector<std::string>& arguments);

/** The usage text printed by --help and after an argument error. */
std::string analyzeUsage();

} // namespace quaverline
