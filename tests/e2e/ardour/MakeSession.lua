-- Makes an Ardour session with one MIDI track that carries Quaverline. Ardour
-- passes its time position to an LV2 plug-in only through a MIDI input, so the
-- clock sits on a MIDI track, where users put instrument plug-ins.
-- Arguments: session folder, session name, plug-in type (LV2, LXVST, VST3), plug-in ID,
-- and optionally a parameter to set, as its index and value (VST and VST3 only).
local folder, name, kind, id, parameter, value = arg[1], arg[2], arg[3], arg[4], arg[5], arg[6]

AudioEngine:set_backend ("None (Dummy)", "", "")
local session = create_session (folder, name, 48000)
assert (session, "could not create the session")

local midi = ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1)
local tracks = session:new_midi_track (midi, midi, true, ARDOUR.PluginInfo (), nil, nil, 1, "clock",
                                      ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
local track = tracks:front ()
local plugin = ARDOUR.LuaAPI.new_plugin (session, id, ARDOUR.PluginType[kind], "")
assert (not plugin:isnil (), "Quaverline not found as " .. kind)
assert (track:add_processor_by_index (plugin, 0, nil, true), "could not add Quaverline")

if parameter then
    assert (ARDOUR.LuaAPI.set_processor_param (plugin, tonumber (parameter), tonumber (value)),
            "could not set parameter " .. parameter)
end

-- The plug-in gives the MIDI track its audio outputs. Ardour connects new
-- outputs to the master bus from a thread of its own, which may not have run
-- before the session is saved: connect them here.
local master = session:master_out ():input ()
for channel = 0, 1 do
    local output = track:output ():audio (channel)
    assert (not output:isnil (), "the track has no audio output " .. channel)
    local input = master:audio (channel):name ()
    if not output:connected_to (input) then
        assert (output:connect (input) == 0, "could not connect the track to the master bus")
    end
end

session:save_state ("", false, false, false, false, false)
close_session ()
print ("session made")
