# Corrections of JUCE's own sources, made at configure time into the build
# tree. Each replaced text must be found as it is; a JUCE whose files differ
# stops the configure step, so that the corrections are checked against it.
#
# What is corrected, and why:
#
# juce_gui_basics/native/x11/juce_linux_XWindowSystem.cpp
#   Without DISPLAY there is no X display. JUCE fell back to ":0.0": a plug-in
#   in a host without a display connected to whatever X server was there, and
#   when that server went away Xlib ended the host.
# juce_audio_plugin_client/VST3/juce_VST3_Wrapper.cpp
#   - process goes through quaverline::vst3::processInSlices: a block longer
#     than setupProcessing announced was written past JUCE's buffers; a block
#     while inactive, after a change of layout, handed the processor channels
#     that were not there; event lists that lie about their contents were read.
#   - setupProcessing prepares for at most 8192 samples a block (longer ones
#     are sliced): a host's maximum of 2^31 samples had JUCE allocate 34 GB.
#   - setBusArrangements refuses unsound arrangements: negative counts, null
#     arrays and the speaker sign bit overflowed JUCE's conversion.
#   - Parameter info and text calls check their index and pointers and throw
#     nothing: an index one past the end threw std::out_of_range into the host.
# juce_audio_processors/format_types/juce_LV2Common.h
#   - A missing atom is not stepped over: every time position without one of
#     the properties JUCE asks for did pointer arithmetic on null.
#   - A real number that an integer cannot hold reads as no number: a time
#     position's frame given as a float of -1.9e38 was converted to int64.
# juce_audio_plugin_client/LV2/juce_LV2_Client.cpp
#   Includes the corrected juce_LV2Common.h.

include ("${CMAKE_CURRENT_LIST_DIR}/CheckedReplace.cmake")

set (QUAVERLINE_JUCE_CORRECTIONS_DIR "${CMAKE_BINARY_DIR}/juce_corrections")

# Writes a corrected file only when its text changes, so that rebuilds stay quick.
function (quaverline_write_corrected path text)
    file (WRITE "${path}.new" "${text}")
    configure_file ("${path}.new" "${path}" COPYONLY)
endfunction()

# The X display: only the one DISPLAY names.
set (guiUnit "${JUCE_MODULES_DIR}/juce_gui_basics/juce_gui_basics.cpp")
set (xWindowSystem "${JUCE_MODULES_DIR}/juce_gui_basics/native/x11/juce_linux_XWindowSystem.cpp")
file (READ "${xWindowSystem}" xWindowSystemText)
quaverline_checked_replace (xWindowSystemText "${xWindowSystem}"
    "    if (displayName.isEmpty())\n        displayName = \":0.0\";\n"
    "    if (displayName.isEmpty())\n        return false;\n")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_linux_XWindowSystem.cpp" "${xWindowSystemText}")

file (READ "${guiUnit}" guiUnitText)
quaverline_checked_replace (guiUnitText "${guiUnit}"
    "#include \"native/x11/juce_linux_XWindowSystem.cpp\""
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_linux_XWindowSystem.cpp\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_gui_basics.cpp" "${guiUnitText}")

set_source_files_properties ("${guiUnit}" PROPERTIES HEADER_FILE_ONLY TRUE)
target_sources (Quaverline PRIVATE "${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_gui_basics.cpp")
# The unit's own includes are relative to JUCE's juce_gui_basics folder.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_gui_basics.cpp"
    PROPERTIES INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_gui_basics")

# The VST3 wrapper, behind the guards in vst3/Vst3Guards.h.
set (vst3Unit "${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_VST3.cpp")
set (vst3Wrapper "${JUCE_MODULES_DIR}/juce_audio_plugin_client/VST3/juce_VST3_Wrapper.cpp")
file (READ "${vst3Wrapper}" vst3Text)

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "#include <juce_audio_processors/format_types/juce_VST3Common.h>\n"
    "#include <juce_audio_processors/format_types/juce_VST3Common.h>\n#include \"Vst3Guards.h\"\n")

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "    tresult PLUGIN_API process (Vst::ProcessData& data) override
    {
        if (pluginInstance == nullptr)"
    "    tresult PLUGIN_API process (Vst::ProcessData& data) override
    {
        return quaverline::vst3::processInSlices (data, processSetup.maxSamplesPerBlock, active,
                                                  [this] (Vst::ProcessData& slice) { return processSlice (slice); });
    }

    tresult processSlice (Vst::ProcessData& data)
    {
        if (pluginInstance == nullptr)")

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "        processSetup = newSetup;\n"
    "        processSetup = newSetup;
        processSetup.maxSamplesPerBlock = quaverline::vst3::sliceLengthFor (newSetup.maxSamplesPerBlock);\n")

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "                                           Vst::SpeakerArrangement* outputs, Steinberg::int32 numOuts) override
    {
        if (active)"
    "                                           Vst::SpeakerArrangement* outputs, Steinberg::int32 numOuts) override
    {
        if (! quaverline::vst3::areArrangementsSound (inputs, numIns, outputs, numOuts))
            return kResultFalse;

        if (active)")

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "    //==============================================================================
    tresult PLUGIN_API getMidiControllerAssignment ("
    "    //==============================================================================
    tresult PLUGIN_API getParameterInfo (Steinberg::int32 index, Vst::ParameterInfo& info) override
    {
        if (! isPositiveAndBelow (index, getParameterCount()))
            return kInvalidArgument;

        return EditController::getParameterInfo (index, info);
    }

    tresult PLUGIN_API getParamStringByValue (Vst::ParamID tag, Vst::ParamValue value, Vst::String128 text) override
    {
        if (text == nullptr)
            return kInvalidArgument;

        try { return EditController::getParamStringByValue (tag, value, text); }
        catch (...) { return kResultFalse; }
    }

    tresult PLUGIN_API getParamValueByString (Vst::ParamID tag, Vst::TChar* text, Vst::ParamValue& value) override
    {
        if (text == nullptr)
            return kInvalidArgument;

        try { return EditController::getParamValueByString (tag, text, value); }
        catch (...) { return kResultFalse; }
    }

    //==============================================================================
    tresult PLUGIN_API getMidiControllerAssignment (")

quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_VST3_Wrapper.cpp" "${vst3Text}")

file (READ "${vst3Unit}" vst3UnitText)
quaverline_checked_replace (vst3UnitText "${vst3Unit}"
    "#include \"VST3/juce_VST3_Wrapper.cpp\""
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_VST3_Wrapper.cpp\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_VST3.cpp" "${vst3UnitText}")

set_source_files_properties ("${vst3Unit}" PROPERTIES HEADER_FILE_ONLY TRUE)
target_sources (Quaverline_VST3 PRIVATE "${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_VST3.cpp")
# The wrapper's own includes are relative to JUCE's VST3 client folder.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_VST3.cpp"
    PROPERTIES INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_audio_plugin_client/VST3;${PROJECT_SOURCE_DIR}/vst3")

# The LV2 wrapper, with the corrected atom parser.
set (lv2Unit "${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_LV2.cpp")
set (lv2Client "${JUCE_MODULES_DIR}/juce_audio_plugin_client/LV2/juce_LV2_Client.cpp")
set (lv2Common "${JUCE_MODULES_DIR}/juce_audio_processors/format_types/juce_LV2Common.h")

file (READ "${lv2Common}" lv2CommonText)
quaverline_checked_replace (lv2CommonText "${lv2Common}"
    "return parseNumericAtom<Target> (atom, atom + 1);"
    "return parseNumericAtom<Target> (atom, atom != nullptr ? atom + 1 : nullptr);")
quaverline_checked_replace (lv2CommonText "${lv2Common}"
    "        if (atom.type == head.urid && atom.size == sizeof (Head))
            return static_cast<Target> (*reinterpret_cast<const Head*> (data));"
    "        if (atom.type == head.urid && atom.size == sizeof (Head))
        {
            const auto value = *reinterpret_cast<const Head*> (data);

            // A real number that the integer type cannot hold is no number.
            if constexpr (std::is_floating_point_v<Head> && std::is_integral_v<Target>)
            {
                const auto lowest = static_cast<Head> (std::numeric_limits<Target>::lowest());

                if (! (value >= lowest && value < -lowest))
                    return {};
            }

            return static_cast<Target> (value);
        }")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2Common.h" "${lv2CommonText}")

file (READ "${lv2Client}" lv2ClientText)
quaverline_checked_replace (lv2ClientText "${lv2Client}"
    "#include <juce_audio_processors/format_types/juce_LV2Common.h>"
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2Common.h\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2_Client.cpp" "${lv2ClientText}")

file (READ "${lv2Unit}" lv2UnitText)
quaverline_checked_replace (lv2UnitText "${lv2Unit}"
    "#include \"LV2/juce_LV2_Client.cpp\""
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2_Client.cpp\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_LV2.cpp" "${lv2UnitText}")

set_source_files_properties ("${lv2Unit}" PROPERTIES HEADER_FILE_ONLY TRUE)
target_sources (Quaverline_LV2 PRIVATE "${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_LV2.cpp")
# Includes relative to JUCE's LV2 client and format folders; JUCE's LV2 entry
# point is renamed: ours, in lv2/, is the one hosts call.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_LV2.cpp" PROPERTIES
    INCLUDE_DIRECTORIES
        "${JUCE_MODULES_DIR}/juce_audio_plugin_client/LV2;${JUCE_MODULES_DIR}/juce_audio_processors/format_types"
    COMPILE_DEFINITIONS "lv2_descriptor=juceLv2Descriptor")
