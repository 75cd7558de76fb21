# Quaverline Sync: the configurable sibling, from the same engine, with an
# identity of its own. Included from plugin/CMakeLists.txt (see there why).

function (quaverline_add_sync_product)
    set (QUAVERLINE_PLUGIN_NAME "Quaverline Sync")
    set (QUAVERLINE_DESCRIPTION "Quaverline Sync Audio Clock Generator")
    set (QUAVERLINE_PLUGIN_CODE "QvSy")
    set (QUAVERLINE_VERSION "1.0.0")
    set (QUAVERLINE_VERSION_MAJOR 1)
    set (QUAVERLINE_VERSION_MINOR 0)
    set (QUAVERLINE_VERSION_PATCH 0)
    set (QUAVERLINE_BUNDLE_ID "com.kyvo.quaverline-sync")
    set (QUAVERLINE_AAX_IDENTIFIER "com.kyvo.quaverline-sync")
    set (QUAVERLINE_LV2_URI "http://kyvo.com/plugins/quaverline-sync")

    quaverline_add_plugin_product (QuaverlineSync
        IDENTITY quaverline_sync_identity
        SHARED_CODE quaverline_sync_shared_code
        VST2_NAME QuaverlineSync
        SOURCES
            ClockProcessor.cpp
            HostReport.cpp
            sync/SyncAudioProcessor.cpp
            sync/SyncParameterObjects.cpp
            sync/SyncPluginFactory.cpp
            sync/editor/PulseView.cpp
            sync/editor/SyncEditor.cpp)

    # For the Windows DLL, and the tests and tools that load it.
    set (QUAVERLINE_SYNC_PLUGIN_NAME "${QUAVERLINE_PLUGIN_NAME}" CACHE INTERNAL "")
    set (QUAVERLINE_SYNC_VERSION "${QUAVERLINE_VERSION}" CACHE INTERNAL "")
    set (QUAVERLINE_SYNC_LV2_URI "${QUAVERLINE_LV2_URI}" CACHE INTERNAL "")
endfunction()

quaverline_add_sync_product()
