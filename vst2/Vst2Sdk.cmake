# The VST 2.4 binary interface for JUCE's VST wrapper: a copy of Debian's
# fst-dev header with the values and layouts it leaves open put in. Without
# them JUCE's wrapper listens for bypass, tail size and the MIDI channel counts
# on dummy numbers, calls the host with wrong numbers, reports pins without
# flags, and writes past the end of speaker arrangements.
#
# The copy is made from one known version of the header; any other version
# stops the configure step, so that the replacements below are re-checked.

set (fstHeaderDir "/usr/include/pluginterfaces/fst")
set (fstKnownHash "12c6fd9a01e2de89ce54dc7f96410308199735642d70014bdcede7551a379fe7")

if (NOT EXISTS "${fstHeaderDir}/fst.h")
    message (FATAL_ERROR "fst.h not found in ${fstHeaderDir}: run scripts/setup (package fst-dev)")
endif()

file (SHA256 "${fstHeaderDir}/fst.h" fstHash)
if (NOT fstHash STREQUAL fstKnownHash)
    message (FATAL_ERROR "${fstHeaderDir}/fst.h is not the version vst2/Vst2Sdk.cmake was written for "
                         "(SHA-256 ${fstHash}); check its replacements against the new header and update the hash")
endif()

file (READ "${fstHeaderDir}/fst.h" fstText)

include ("${CMAKE_CURRENT_LIST_DIR}/../cmake/CheckedReplace.cmake")

# Host callbacks.
quaverline_checked_replace (fstText fst.h "FST_HOST_OPCODE_UNKNOWN(IOChanged)," "FST_HOST_OPCODE(IOChanged, 13),")
quaverline_checked_replace (fstText fst.h "FST_HOST_OPCODE_UNKNOWN(VendorSpecific)," "FST_HOST_OPCODE(VendorSpecific, 35),")
quaverline_checked_replace (fstText fst.h "FST_HOST_OPCODE_UNKNOWN(UpdateDisplay)," "FST_HOST_OPCODE(UpdateDisplay, 42),")

# Effect requests.
quaverline_checked_replace (fstText fst.h "FST_EFFECT_OPCODE_UNKNOWN(SetBypass)," "FST_EFFECT_OPCODE(SetBypass, 44),")
quaverline_checked_replace (fstText fst.h "FST_EFFECT_OPCODE_UNKNOWN(GetTailSize)," "FST_EFFECT_OPCODE(GetTailSize, 52),")
quaverline_checked_replace (fstText fst.h "FST_EFFECT_OPCODE_UNKNOWN(KeysRequired)," "FST_EFFECT_OPCODE(KeysRequired, 57),")
quaverline_checked_replace (fstText fst.h "FST_EFFECT_OPCODE_UNKNOWN(GetNumMidiInputChannels)," "FST_EFFECT_OPCODE(GetNumMidiInputChannels, 78),")
quaverline_checked_replace (fstText fst.h "FST_EFFECT_OPCODE_UNKNOWN(GetNumMidiOutputChannels)," "FST_EFFECT_OPCODE(GetNumMidiOutputChannels, 79),")

# Pin flags: active 1, stereo 2, use speaker 4.
quaverline_checked_replace (fstText fst.h "FST_FLAG_UNKNOWN(PinIsActive)," "FST_FLAG(PinIsActive, 0),")
quaverline_checked_replace (fstText fst.h "FST_FLAG_UNKNOWN(PinUseSpeaker)," "FST_FLAG(PinUseSpeaker, 2),")
quaverline_checked_replace (fstText fst.h "FST_FLAG_UNKNOWN(PinIsStereo)," "FST_FLAG(PinIsStereo, 1),")

# Layouts: eight speakers in an arrangement, and the 128-byte pin record hosts pass.
quaverline_checked_replace (fstText fst.h "t_fstSpeakerProperties speakers[];" "t_fstSpeakerProperties speakers[8];")
quaverline_checked_replace (fstText fst.h "  char shortLabel[8];\n} FST_UNKNOWN(t_fstPinProperties);"
                           "  char shortLabel[8];\n  char future[48];\n} FST_UNKNOWN(t_fstPinProperties);")

# The header's reminders to its own authors (#warning) would show in every build.
string (REGEX REPLACE "# warning [^\n]*" "" fstText "${fstText}")

set (QUAVERLINE_VST2_SDK_DIR "${CMAKE_BINARY_DIR}/vst2_sdk")
set (vst2HeaderDir "${QUAVERLINE_VST2_SDK_DIR}/pluginterfaces/vst2.x")
file (WRITE "${vst2HeaderDir}/fst.h.new" "${fstText}")
configure_file ("${vst2HeaderDir}/fst.h.new" "${vst2HeaderDir}/fst.h" COPYONLY)
configure_file ("${fstHeaderDir}/aeffect.h" "${vst2HeaderDir}/aeffect.h" COPYONLY)
configure_file ("${fstHeaderDir}/aeffectx.h" "${vst2HeaderDir}/aeffectx.h" COPYONLY)
set_property (DIRECTORY "${PROJECT_SOURCE_DIR}" APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${fstHeaderDir}/fst.h")

juce_set_vst2_sdk_path ("${QUAVERLINE_VST2_SDK_DIR}")
