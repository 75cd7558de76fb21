# The warnings every target of ours compiles with, tests included.
set (QUAVERLINE_WARNING_FLAGS -Wall -Wextra -Wshadow -Wconversion -Wno-sign-conversion)

# A target of our code only.
function (quaverline_warnings target)
    target_compile_options (${target} PRIVATE ${QUAVERLINE_WARNING_FLAGS})
endfunction()

# Our sources added to a target that also compiles JUCE's module units (the
# plug-in's targets): the warnings go on our files, not on JUCE's.
function (quaverline_add_sources target)
    target_sources (${target} PRIVATE ${ARGN})
    set_source_files_properties (${ARGN} TARGET_DIRECTORY ${target}
        PROPERTIES COMPILE_OPTIONS "${QUAVERLINE_WARNING_FLAGS}")
endfunction()
