-- Run by scripts/lv2-check.sh in ardour7-lua on a JACK dummy server: a session with a stereo track, a sine
-- generator feeding VozuvAzirOVA found by its LV2 URI, a port set through Ardour, the transport rolling,
-- and the plug-in's meter ports read back. Prints "RESULT ok" when all of it held.
local dir, rate = os.getenv("VOZUV_SESSION_DIR"), 48000
AudioEngine:set_backend("JACK", "", "")
local s = create_session(dir, "vozuv-lv2", rate)
assert(s, "no session")
local track = Session:new_audio_track(2, 2, nil, 1, "comp", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local sine = ARDOUR.LuaAPI.new_luaproc(Session, "SinGen")
assert(not sine:isnil(), "no sine generator")
assert(track:add_processor_by_index(sine, 0, nil, true), "sine not inserted")
ARDOUR.LuaAPI.set_processor_param(sine, 1, -6)
local plugin = ARDOUR.LuaAPI.new_plugin(Session, "urn:brovane:vozuvazirova", ARDOUR.PluginType.LV2, "")
assert(not plugin:isnil(), "the LV2 plug-in was not found")
assert(track:add_processor_by_index(plugin, 1, nil, true), "the plug-in was not inserted")
local insert = plugin:to_insert():plugin(0)
print("plugin", insert:name(), insert:unique_id())
ARDOUR.LuaAPI.set_processor_param(plugin, 7, -40) -- CompThreshold, dB
ARDOUR.LuaAPI.set_processor_param(plugin, 8, 8) -- CompRatio
print("CompThreshold", (ARDOUR.LuaAPI.get_processor_param(plugin, 7)))
Session:request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(2000000)
-- Output ports by their port index.
local pi = plugin:to_insert()
local input = ARDOUR.LuaAPI.get_plugin_insert_param(pi, 14)
local gain = ARDOUR.LuaAPI.get_plugin_insert_param(pi, 16)
print("MeterInput", input, "MeterGain", gain)
Session:request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
Session:save_state("", false, false, false, false, false)
close_session()
if input > 0.1 and gain < 0.9 then print("RESULT ok") else print("RESULT meters did not move") end
