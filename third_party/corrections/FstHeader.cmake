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
    message (FATAL_ERROR "${fstHeaderDir}/fst.h is not the version ${CMAKE_CURRENT_LIST_FILE} was written for "
                         "(SHA-256 ${fstHash}); check its replacements against the new header and update the hash")
endif()

file (READ "${fstHeaderDir}/fst.h" fstText)

include ("${CMAKE_CURRENT_LIST_DIR}/CheckedReplace.cmake")

# Gives a value to a name the header leaves unknown: kind is HOST_OPCODE,
# EFFECT_OPCODE or FLAG, as in the header's FST_<kind>_UNKNOWN(name).
macro (fst_known kind name value)
    quaverline_checked_replace (fstText fst.h "FST_${kind}_UNKNOWN(${name})," "FST_${kind}(${name}, ${value}),")
endmacro()

# Host callbacks.
fst_known (HOST_OPCODE IOChanged 13)
fst_known (HOST_OPCODE VendorSpecific 35)
fst_known (HOST_OPCODE UpdateDisplay 42)

# Effect requests.
fst_known (EFFECT_OPCODE SetBypass 44)
fst_known (EFFECT_OPCODE GetTailSize 52)
fst_known (EFFECT_OPCODE KeysRequired 57)
fst_known (EFFECT_OPCODE GetNumMidiInputChannels 78)
fst_known (EFFECT_OPCODE GetNumMidiOutputChannels 79)

# Pin flags, as bit numbers: active 1, stereo 2, use speaker 4.
fst_known (FLAG PinIsActive 0)
fst_known (FLAG PinUseSpeaker 2)
fst_known (FLAG PinIsStereo 1)

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

# For the test hosts and harnesses that speak VST 2.4 to the plug-in.
add_library (quaverline_vst2_sdk INTERFACE)
target_include_directories (quaverline_vst2_sdk SYSTEM INTERFACE "${QUAVERLINE_VST2_SDK_DIR}")
