# The plug-in library's entry points, the only symbols it exports: VST 2.4's
# and AAX's. In the Windows DLL each has the ordinal of its place in this list.
set (QUAVERLINE_ENTRY_POINTS
    ACFCanUnloadNow
    ACFGetClassFactory
    ACFGetSDKVersion
    ACFRegisterComponent
    ACFRegisterPlugin
    ACFShutdown
    ACFStartup
    VSTPluginMain)

# Quaverline Sync's library is a VST 2.4 plug-in only.
set (QUAVERLINE_SYNC_ENTRY_POINTS VSTPluginMain)
