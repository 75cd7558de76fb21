# Corrects the Turtle files that JUCE 7.0.5's LV2 helper writes into the
# bundle, so that LV2 validators and hosts read what the plug-in is:
# - the plug-in is also a doap:Project, the domain of its maintainer and release;
# - no empty homepage and mail address (they resolve to the file itself);
# - the UI's options interface is extension data and no-user-resize a feature,
#   not the other way round;
# - no nameless preset for the one nameless program.
# Run after the helper with -D BUNDLE=<path to Quaverline.lv2>.

include ("${CMAKE_CURRENT_LIST_DIR}/CheckedReplace.cmake")

function (fix_file name)
    set (path "${BUNDLE}/${name}")
    file (READ "${path}" text)
    set (pairs ${ARGN})

    while (pairs)
        list (POP_FRONT pairs before after)
        quaverline_checked_replace (text "${name} (check ${CMAKE_CURRENT_LIST_FILE} against the LV2 helper's output)"
            "${before}" "${after}")
    endwhile()

    file (WRITE "${path}" "${text}")
endfunction()

set (tab "\t")

fix_file (dsp.ttl
    "${tab}a lv2:InstrumentPlugin ;" "${tab}a lv2:InstrumentPlugin , doap:Project ;"
    "${tab}${tab}foaf:homepage <> ;\n" ""
    "${tab}${tab}foaf:mbox <> ;\n" "")

fix_file (ui.ttl
    "${tab}${tab}opts:interface ,\n${tab}${tab}ui:noUserResize ,\n" "${tab}${tab}opts:interface ,\n"
    "${tab}${tab}ui:noUserResize ,\n${tab}${tab}opts:interface ,\n" "${tab}${tab}ui:noUserResize ,\n")

file (READ "${BUNDLE}/manifest.ttl" manifest)
string (REGEX REPLACE "<[^>\n]*:preset1>\n[^\n]*\n[^\n]*\n[^\n]*\n[^\n]*\\.\n\n?" "" fixedManifest "${manifest}")

if (fixedManifest STREQUAL manifest)
    message (FATAL_ERROR
        "manifest.ttl has no preset1 to remove: check ${CMAKE_CURRENT_LIST_FILE} against the LV2 helper's output")
endif()

file (WRITE "${BUNDLE}/manifest.ttl" "${fixedManifest}")
