# The Windows DLL, quaverline_win_64.dll: its exports with their ordinals, the
# version resource and manifest, a runtime linked in statically, and JUCE's
# needs that Debian's MinGW sysroot does not meet on its own. Included from the
# top-level CMakeLists.txt, where the plug-in's targets are made.

set (windowsDir "${PROJECT_SOURCE_DIR}/windows")

configure_file ("${windowsDir}/quaverline_win_64.rc.in" "${CMAKE_CURRENT_BINARY_DIR}/quaverline_win_64.rc" @ONLY)
target_sources (Quaverline_VST PRIVATE
    "${windowsDir}/quaverline_win_64.def" "${CMAKE_CURRENT_BINARY_DIR}/quaverline_win_64.rc")
set_property (TARGET Quaverline_VST APPEND PROPERTY LINK_DEPENDS "${windowsDir}/quaverline_win_64.manifest")
target_link_options (Quaverline_VST PRIVATE -static -static-libgcc -static-libstdc++)

# JUCE's VST wrapper marks its own entry point (renamed juceVstPluginMain) for
# export with __declspec (dllexport). The export directive this leaves in the
# object's .drectve section is removed before linking, so that the DLL
# exports the .def file's eight names and nothing else.
set (vst2WrapperObject "${CMAKE_BINARY_DIR}/CMakeFiles/Quaverline_VST.dir${JUCE_MODULES_DIR}")
string (APPEND vst2WrapperObject "/juce_audio_plugin_client/juce_audio_plugin_client_VST2.cpp.obj")
add_custom_command (TARGET Quaverline_VST PRE_LINK
    COMMAND "${CMAKE_OBJCOPY}" --remove-section .drectve "${vst2WrapperObject}"
    VERBATIM)

# Debian's JUCE uses the system zlib; for MinGW that is libz-mingw-w64-dev.
target_link_libraries (Quaverline PUBLIC z)

# JUCE's juce_graphics unit, made anew without its libjpeg and libpng loaders
# and with WicImageFormats.cpp in their place. Any other version of the unit
# stops the configure step.
set (graphicsUnit "${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp")
file (READ "${graphicsUnit}" graphicsText)

include ("${PROJECT_SOURCE_DIR}/cmake/CheckedReplace.cmake")

foreach (loader juce_JPEGLoader juce_PNGLoader)
    quaverline_checked_replace (graphicsText "${graphicsUnit}" "#include \"image_formats/${loader}.cpp\"\n" "")
endforeach()

set (windowsGraphicsUnit "${CMAKE_CURRENT_BINARY_DIR}/juce_graphics_windows.cpp")
file (WRITE "${windowsGraphicsUnit}.in" "${graphicsText}#include \"${windowsDir}/WicImageFormats.cpp\"\n")
configure_file ("${windowsGraphicsUnit}.in" "${windowsGraphicsUnit}" COPYONLY)

set_source_files_properties ("${graphicsUnit}" PROPERTIES HEADER_FILE_ONLY TRUE)
target_sources (Quaverline PRIVATE "${windowsGraphicsUnit}")
# The unit's own includes are relative to JUCE's juce_graphics folder.
set_source_files_properties ("${windowsGraphicsUnit}" PROPERTIES
    INCLUDE_DIRECTORIES "${JUCE_MODULES_DIR}/juce_graphics")
target_link_libraries (Quaverline PUBLIC windowscodecs)

# Tests: the DLL's identity read from the file, and the test hosts, built for
# Windows and run under Wine in a prefix of the build's own.
if (BUILD_TESTING)
    # GoogleTest for Windows, from Debian's sources of it.
    set (gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory (/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
    add_subdirectory (tools/analysis)

    add_executable (quaverline_windows_host_tests
        "${windowsDir}/WindowsDllTest.cpp"
        "${windowsDir}/WindowsEditorTest.cpp"
        tests/AaxHostTest.cpp
        tests/AaxThreadTest.cpp
        tests/Vst2HostTest.cpp
        tests/Vst2ThreadTest.cpp)
    target_include_directories (quaverline_windows_host_tests PRIVATE tests aax/sdk "${QUAVERLINE_VST2_SDK_DIR}")
    target_link_libraries (quaverline_windows_host_tests PRIVATE
        quaverline_identity quaverline_engine quaverline_analysis gtest_main)
    target_link_options (quaverline_windows_host_tests PRIVATE -static)
    target_compile_definitions (quaverline_windows_host_tests PRIVATE
        QUAVERLINE_VST2_PATH="quaverline_win_64.dll"
        QUAVERLINE_PLUGIN_PATH="quaverline_win_64.dll")
    add_dependencies (quaverline_windows_host_tests Quaverline_VST)

    # On a private X display: JUCE's windows (the editor's, and the hidden one
    # its messages go through) need one under Wine.
    set (winePrefix "${CMAKE_BINARY_DIR}/wine-prefix")
    add_test (NAME WindowsDll.HostTestsUnderWine
        COMMAND xvfb-run -a -s "-screen 0 800x600x24"
            "${PROJECT_SOURCE_DIR}/scripts/wine-run" "$<TARGET_FILE:quaverline_windows_host_tests>"
        WORKING_DIRECTORY "$<TARGET_FILE_DIR:Quaverline_VST>")
    set_tests_properties (WindowsDll.HostTestsUnderWine PROPERTIES
        ENVIRONMENT "QUAVERLINE_WINE_PREFIX=${winePrefix}" TIMEOUT 600)

    find_program (DEBIAN_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH REQUIRED)
    add_test (NAME WindowsDll.Identity
        COMMAND "${DEBIAN_PYTHON}" "${windowsDir}/CheckDll.py" "$<TARGET_FILE:Quaverline_VST>"
            "${QUAVERLINE_COMPANY_NAME}" "${QUAVERLINE_PLUGIN_NAME}" "${QUAVERLINE_VERSION}")
    set_tests_properties (WindowsDll.Identity PROPERTIES PASS_REGULAR_EXPRESSION "DLL identity OK")
endif()
