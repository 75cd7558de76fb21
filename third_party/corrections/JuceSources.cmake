# Corrections of JUCE's own sources and build steps for the plug-ins' targets:
# included from plugin/CMakeLists.txt, where juce_add_plugin makes them (source
# properties hold in the folder that makes a target); each product's targets
# then call quaverline_correct_juce_targets. Corrected copies go into the build tree; each replaced text must be
# found as it is, and any JUCE but 7.0.5 stops the configure step, so that the
# corrections are checked against it. README.md says what each one does and why.

include ("${CMAKE_CURRENT_LIST_DIR}/CheckedReplace.cmake")

if (NOT JUCE_VERSION VERSION_EQUAL 7.0.5)
    message (FATAL_ERROR "JUCE ${JUCE_VERSION}: third_party/corrections/JuceSources.cmake was written for 7.0.5; "
                         "check each correction against the new sources")
endif()

set (correctionsDir "${CMAKE_CURRENT_LIST_DIR}")
set (QUAVERLINE_CORRECTIONS_DIR "${correctionsDir}")

set (QUAVERLINE_JUCE_CORRECTIONS_DIR "${CMAKE_BINARY_DIR}/juce_corrections")

# Writes a corrected file only when its text changes, so that rebuilds stay quick.
function (quaverline_write_corrected path text)
    file (WRITE "${path}.new" "${text}")
    configure_file ("${path}.new" "${path}" COPYONLY)
endfunction()

# JUCE's VST 2.4 entry point is renamed: ours, in formats/vst2/, is the one
# hosts call.
set_source_files_properties ("${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_VST2.cpp"
    PROPERTIES COMPILE_DEFINITIONS "VSTPluginMain=juceVstPluginMain")

if (WIN32)
    # JUCE's juce_graphics unit, made anew without its libjpeg and libpng
    # loaders (Debian's MinGW sysroot has neither library) and with
    # WicImageFormats.cpp in their place.
    set (graphicsUnit "${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp")
    file (READ "${graphicsUnit}" graphicsText)

    foreach (loader juce_JPEGLoader juce_PNGLoader)
        quaverline_checked_replace (graphicsText "${graphicsUnit}" "#include \"image_formats/${loader}.cpp\"\n" "")
    endforeach()

    string (APPEND graphicsText "#include \"${correctionsDir}/WicImageFormats.cpp\"\n")
    quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_graphics_windows.cpp" "${graphicsText}")

    set_source_files_properties ("${graphicsUnit}" PROPERTIES HEADER_FILE_ONLY TRUE)
    # The unit's own includes are relative to JUCE's juce_graphics folder.
    set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_graphics_windows.cpp" PROPERTIES
        INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_graphics")
endif()

# The rest is for Linux, where the plug-ins have an X display, VST3 and LV2.
# (Left unindented: the replaced texts are JUCE's, to the last blank.)
if (NOT WIN32)

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
# The unit's own includes are relative to JUCE's juce_gui_basics folder.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_gui_basics.cpp"
    PROPERTIES INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_gui_basics")

# The VST3 wrapper, behind the guards in formats/vst3/Vst3Guards.h.
set (vst3Unit "${JUCE_MODULES_DIR}/juce_audio_plugin_client/juce_audio_plugin_client_VST3.cpp")
set (vst3Wrapper "${JUCE_MODULES_DIR}/juce_audio_plugin_client/VST3/juce_VST3_Wrapper.cpp")
file (READ "${vst3Wrapper}" vst3Text)

quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "#include <juce_audio_processors/format_types/juce_VST3Common.h>\n"
    "#include <juce_audio_processors/format_types/juce_VST3Common.h>\n#include \"formats/vst3/Vst3Guards.h\"\n")

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
        if (! quaverline::vst3::isSoundText (text))
            return kInvalidArgument;

        try { return EditController::getParamValueByString (tag, text, value); }
        catch (...) { return kResultFalse; }
    }

    //==============================================================================
    tresult PLUGIN_API getMidiControllerAssignment (")

# Texts and state bytes from the host, checked before JUCE reads them.
quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "                    if (list->getString (Vst::ChannelContext::kChannelNameKey, channelName, \
sizeof (channelName)) == kResultTrue)"
    "                    if (list->getString (Vst::ChannelContext::kChannelNameKey, channelName, \
sizeof (channelName)) == kResultTrue
                        && quaverline::vst3::isSoundText (channelName))")
quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "        if (host->getName (name) != kResultOk)\n            return false;"
    "        if (host->getName (name) != kResultOk || ! quaverline::vst3::isSoundText (name))
            return false;")
quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "                auto privateData = ValueTree::readFromData (data, static_cast<size_t> (sizeInBytes));
                setBypassed (static_cast<bool> (privateData.getProperty (\"Bypass\", var (false))));"
    "                if (const auto bypassed =
                        quaverline::vst3::privateBypassOf (data, sizeInBytes, kJucePrivateDataIdentifier))
                    setBypassed (*bypassed);")
quaverline_checked_replace (vst3Text "${vst3Wrapper}"
    "            String magic (CharPointer_UTF8 (buffer + size - jucePrivDataIdentifierSize),
                          CharPointer_UTF8 (buffer + size));

            if (magic == kJucePrivateDataIdentifier)
            {
                // found a JUCE private data section
                uint64 privateDataSize;

                std::memcpy (&privateDataSize,
                             buffer + ((size_t) size - jucePrivDataIdentifierSize - sizeof (uint64)),
                             sizeof (uint64));

                privateDataSize = ByteOrder::swapIfBigEndian (privateDataSize);"
    "            if (const auto found = quaverline::vst3::privateDataSizeOf (buffer, size, kJucePrivateDataIdentifier))
            {
                const auto privateDataSize = *found;")

quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_VST3_Wrapper.cpp" "${vst3Text}")

file (READ "${vst3Unit}" vst3UnitText)
quaverline_checked_replace (vst3UnitText "${vst3Unit}"
    "#include \"VST3/juce_VST3_Wrapper.cpp\""
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_VST3_Wrapper.cpp\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_VST3.cpp" "${vst3UnitText}")

set_source_files_properties ("${vst3Unit}" PROPERTIES HEADER_FILE_ONLY TRUE)
# The wrapper's own includes are relative to JUCE's VST3 client folder.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_VST3.cpp"
    PROPERTIES INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_audio_plugin_client/VST3")

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
# A choice's scale points in the plug-in's Turtle are given in the parameter's
# own range, as its minimum, maximum and default are and as the plug-in reads
# what hosts send.
quaverline_checked_replace (lv2ClientText "${lv2Client}"
    "                          \"\\t\\trdf:value \" << value << \" ;\\n\""
    "                          \"\\t\\trdf:value \" << plainValueOf (param, value) << \" ;\\n\"")
quaverline_checked_replace (lv2ClientText "${lv2Client}"
    "            // Avoid writing out loads of scale points for parameters with lots of steps\n"
    "            const auto plainValueOf = [] (const AudioProcessorParameter& p, float normalised)
            {
                if (const auto* ranged = dynamic_cast<const RangedAudioParameter*> (&p))
                    return ranged->convertFrom0to1 (normalised);

                return normalised;
            };

            // Avoid writing out loads of scale points for parameters with lots of steps\n")
# A choice parameter is no port: it gets no lv2:portProperty, which LV2's
# validator rejects on anything but a port.
quaverline_checked_replace (lv2ClientText "${lv2Client}"
    "\"\\tlv2:portProperty lv2:enumeration \" << (param.isBoolean() ? \", lv2:toggled \" : \"\") << \";\\n\""
    "// (no lv2:portProperty: a parameter is no port)")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2_Client.cpp" "${lv2ClientText}")

file (READ "${lv2Unit}" lv2UnitText)
quaverline_checked_replace (lv2UnitText "${lv2Unit}"
    "#include \"LV2/juce_LV2_Client.cpp\""
    "#include \"${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_LV2_Client.cpp\"")
quaverline_write_corrected ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_LV2.cpp" "${lv2UnitText}")

set_source_files_properties ("${lv2Unit}" PROPERTIES HEADER_FILE_ONLY TRUE)
# Includes relative to JUCE's LV2 client and format folders; JUCE's LV2 entry
# points, the plug-in's and the UI's, are renamed: ours, in formats/lv2/, are
# the ones hosts call.
set_source_files_properties ("${QUAVERLINE_JUCE_CORRECTIONS_DIR}/juce_audio_plugin_client_LV2.cpp" PROPERTIES
    INCLUDE_DIRECTORIES
        "${JUCE_MODULES_DIR}/juce_audio_plugin_client/LV2;${JUCE_MODULES_DIR}/juce_audio_processors/format_types"
    COMPILE_DEFINITIONS "lv2_descriptor=juceLv2Descriptor;lv2ui_descriptor=juceLv2UiDescriptor")

endif()

# Gives one product's targets (made by juce_add_plugin in this folder) the
# corrected units in place of JUCE's, and their post-build corrections.
function (quaverline_correct_juce_targets product)
    set (corrected "${QUAVERLINE_JUCE_CORRECTIONS_DIR}")

    if (WIN32)
        target_sources (${product} PRIVATE "${corrected}/juce_graphics_windows.cpp")

        # JUCE's VST wrapper marks its own entry point (renamed juceVstPluginMain)
        # for export with __declspec (dllexport). The export directive this leaves
        # in the object's .drectve section is removed before linking, so that the
        # DLL exports the .def file's names and nothing else.
        set (vst2WrapperObject "${CMAKE_CURRENT_BINARY_DIR}/CMakeFiles/${product}_VST.dir${JUCE_MODULES_DIR}")
        string (APPEND vst2WrapperObject "/juce_audio_plugin_client/juce_audio_plugin_client_VST2.cpp.obj")
        add_custom_command (TARGET ${product}_VST PRE_LINK
            COMMAND "${CMAKE_OBJCOPY}" --remove-section .drectve "${vst2WrapperObject}"
            VERBATIM)
        return()
    endif()

    target_sources (${product} PRIVATE "${corrected}/juce_gui_basics.cpp")
    target_sources (${product}_VST3 PRIVATE "${corrected}/juce_audio_plugin_client_VST3.cpp")
    target_sources (${product}_LV2 PRIVATE "${corrected}/juce_audio_plugin_client_LV2.cpp")

    # The LV2 bundle's Turtle files, corrected once JUCE's helper has written them
    # (post-build steps run in the order they are added).
    add_custom_command (TARGET ${product}_LV2 POST_BUILD
        COMMAND "${CMAKE_COMMAND}" "-DBUNDLE=$<TARGET_FILE_DIR:${product}_LV2>"
            -P "${QUAVERLINE_CORRECTIONS_DIR}/Lv2Turtle.cmake"
        VERBATIM)
endfunction()
