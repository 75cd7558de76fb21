#pragma once

#include "tests/support/RunCommand.h"

#include <juce_core/juce_core.h>

#include <gtest/gtest.h>

#include <string>

namespace quaverline::test
{

/** A scratch folder to run the command-line tools in, as a user does. */
class ToolFixture : public testing::Test
{
protected:
    /** Runs a tool with the arguments in the scratch folder; its standard
        error goes with its output unless withErrors is false.
    */
    ToolRun runTool (const std::string& tool, const std::string& arguments, bool withErrors = true) const
    {
        return runCommand ("cd '" + folder.getFullPathName().toStdString() + "' && '" + tool + "' " + arguments +
                           (withErrors ? " 2>&1" : " 2>/dev/null"));
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
