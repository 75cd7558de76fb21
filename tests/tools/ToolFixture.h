#pragma once

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace quaverline::test
{

/** What a tool printed and how it ended. */
struct ToolRun
{
    int exitStatus = -1;
    std::string output;
};

/** A scratch folder to run the command-line tools in, as a user does. */
class ToolFixture : public testing::Test
{
protected:
    /** Runs a tool with the arguments in the scratch folder; its standard
        error goes with its output unless withErrors is false.
    */
    ToolRun runTool (const std::string& tool, const std::string& arguments, bool withErrors = true) const
    {
        const auto command = "cd '" + folder.getFullPathName().toStdString() + "' && '" + tool + "' " + arguments +
                             (withErrors ? " 2>&1" : " 2>/dev/null");
        ToolRun result;

        if (auto* pipe = popen (command.c_str(), "r"))
        {
            char chunk[256];
            while (const auto length = std::fread (chunk, 1, sizeof (chunk), pipe))
                result.output.append (chunk, length);

            const auto status = pclose (pipe);
            result.exitStatus = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
        }

        return result;
    }

    juce::File file (const char* name) const { return folder.getChildFile (name); }

    juce::TemporaryFile scratch;
    juce::File folder = [this]
    {
        scratch.getFile().createDirectory();
        return scratch.getFile();
    }();

    ~ToolFixture() override { folder.deleteRecursively(); }
};

} // namespace quaverline::test
