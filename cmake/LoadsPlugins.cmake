# For test programs and fuzz harnesses that load a built plug-in as a host
# does: each format named (VST, VST3, LV2, AAX) gives the program the path to
# load, the interfaces to speak to it, and a dependency on its build. The
# product is Quaverline unless PRODUCT names another (QuaverlineSync).
function (quaverline_loads_plugins target)
    cmake_parse_arguments (LOADS "" "PRODUCT" "" ${ARGN})
    set (product Quaverline)
    set (lv2Uri "${QUAVERLINE_LV2_URI}")
    if (LOADS_PRODUCT)
        set (product ${LOADS_PRODUCT})
        set (lv2Uri "${QUAVERLINE_SYNC_LV2_URI}")
    endif()

    foreach (format ${LOADS_UNPARSED_ARGUMENTS})
        if (format STREQUAL "VST")
            target_compile_definitions (${target} PRIVATE QUAVERLINE_VST2_PATH="$<TARGET_FILE:${product}_VST>")
            target_link_libraries (${target} PRIVATE quaverline_vst2_sdk)
            add_dependencies (${target} ${product}_VST)
        elseif (format STREQUAL "AAX")
            target_compile_definitions (${target} PRIVATE QUAVERLINE_PLUGIN_PATH="$<TARGET_FILE:${product}_VST>")
            target_link_libraries (${target} PRIVATE aax_sdk_standin_interfaces)
            add_dependencies (${target} ${product}_VST)
        elseif (format STREQUAL "VST3")
            target_compile_definitions (${target} PRIVATE QUAVERLINE_VST3_PATH="$<TARGET_FILE:${product}_VST3>")
            target_link_libraries (${target} PRIVATE quaverline_vst3_interfaces)
            add_dependencies (${target} ${product}_VST3)
        elseif (format STREQUAL "LV2")
            target_compile_definitions (${target} PRIVATE
                QUAVERLINE_LV2_BUNDLE="$<TARGET_FILE_DIR:${product}_LV2>"
                QUAVERLINE_LV2_LIBRARY="$<TARGET_FILE:${product}_LV2>"
                QUAVERLINE_LV2_URI="${lv2Uri}")
            add_dependencies (${target} ${product}_LV2)
        else()
            message (FATAL_ERROR "quaverline_loads_plugins: no format ${format}")
        endif()
    endforeach()
    target_link_libraries (${target} PRIVATE ${CMAKE_DL_LIBS})
endfunction()
