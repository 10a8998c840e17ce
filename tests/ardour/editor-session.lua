-- usage: env VSTID=.. SESSDIR=.. ardour7-lua editor-session.lua
-- Makes a session (Dummy backend, 48 kHz) with the VST plug-in on a stereo bus and saves it; prints
-- the bus's and the plug-in's ids, by which Ardour's window state names the plug-in's window.
AudioEngine:set_backend("None (Dummy)", "", "")
assert(create_session(os.getenv("SESSDIR"), "editor", 48000))
local bus = Session:new_audio_route(2, 2, nil, 1, "FX", ARDOUR.PresentationInfo.Flag.AudioBus, ARDOUR.PresentationInfo.max_order):front()
local vst = ARDOUR.LuaAPI.new_plugin(Session, os.getenv("VSTID"), ARDOUR.PluginType.LXVST, "")
assert(not vst:isnil(), "VST not found (scan it into the cache first)")
bus:add_processor_by_index(vst, 0, nil, true)
print("route:", bus:to_stateful():id():to_s())
print("processor:", vst:to_stateful():id():to_s())
Session:save_state("", false, false, false, false, false)
-- The script's references must be gone before the session that owns them is destroyed.
bus = nil
vst = nil
collectgarbage()
close_session()
quit()
