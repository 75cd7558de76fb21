# Replaces text that must be there. Several build steps patch files they do not
# own (Debian's VST 2.4 header, JUCE's graphics unit, the LV2 helper's Turtle
# output); if a new version of such a file no longer holds the text, the build
# stops, so that the replacement is checked against it.
function (quaverline_checked_replace variable source before after)
    string (FIND "${${variable}}" "${before}" position)

    if (position EQUAL -1)
        message (FATAL_ERROR "${source} no longer contains \"${before}\"")
    endif()

    string (REPLACE "${before}" "${after}" replaced "${${variable}}")
    set (${variable} "${replaced}" PARENT_SCOPE)
endfunction()
