-- Makes an Ardour session with one MIDI track that carries Quaverline. Ardour
-- passes its time position to an LV2 plug-in only through a MIDI input, so the
-- clock sits on a MIDI track, where users put instrument plug-ins.
-- Arguments: session folder, session name, plug-in type (LV2, LXVST, VST3), plug-in ID.
local folder, name, kind, id = arg[1], arg[2], arg[3], arg[4]

AudioEngine:set_backend ("None (Dummy)", "", "")
local session = create_session (folder, name, 48000)
assert (session, "could not create the session")

local midi = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
local tracks = session:new_midi_track (midi, midi, true, ARDOUR.PluginInfo (), nil, nil, 1, "clock", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
local plugin = ARDOUR.LuaAPI.new_plugin (session, id, ARDOUR.PluginType[kind], "")
assert (not plugin:isnil (), "Quaverline not found as " .. kind)
assert (tracks:front ():add_processor_by_index (plugin, 0, nil, true), "could not add Quaverline")

session:save_state ("", false, false, false, false, false)
close_session ()
print ("session made")
