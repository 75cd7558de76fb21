# The plug-in's identity and capabilities, defined once. CMake hands these to
# juce_add_plugin, and PluginIdentity.h.in turns them into the C++ constants
# that the processor and every host face read.

set (QUAVERLINE_PLUGIN_NAME        "Quaverline")
set (QUAVERLINE_DESCRIPTION        "Quaverline Audio Clock Generator")
set (QUAVERLINE_MANUFACTURER_NAME  "Kyvo")
set (QUAVERLINE_COMPANY_NAME       "Kyvo")
set (QUAVERLINE_MANUFACTURER_CODE  "Kyvo")
set (QUAVERLINE_PLUGIN_CODE        "QvLn")
set (QUAVERLINE_VERSION            "1.0.4")
set (QUAVERLINE_BUNDLE_ID          "com.kyvo.quaverline")
set (QUAVERLINE_AAX_IDENTIFIER     "com.kyvo.quaverline")
set (QUAVERLINE_LV2_URI            "http://kyvo.com/plugins/quaverline")

set (QUAVERLINE_IS_SYNTH           TRUE)
set (QUAVERLINE_WANTS_MIDI_INPUT   TRUE)
set (QUAVERLINE_PRODUCES_MIDI      FALSE)
set (QUAVERLINE_HAS_EDITOR         TRUE)

# VST 2.4 plug-in category: kPlugCategSynth, value 2 in the VST 2.4 list.
set (QUAVERLINE_VST_CATEGORY_NAME  "kPlugCategSynth")
set (QUAVERLINE_VST_CATEGORY       2)

# No input bus; one output bus.
set (QUAVERLINE_INPUT_CHANNELS     0)
set (QUAVERLINE_OUTPUT_BUS_NAME    "Output")
set (QUAVERLINE_OUTPUT_CHANNELS    2)

string (REPLACE "." ";" _quaverlineVersionParts "${QUAVERLINE_VERSION}")
list (GET _quaverlineVersionParts 0 QUAVERLINE_VERSION_MAJOR)
list (GET _quaverlineVersionParts 1 QUAVERLINE_VERSION_MINOR)
list (GET _quaverlineVersionParts 2 QUAVERLINE_VERSION_PATCH)
