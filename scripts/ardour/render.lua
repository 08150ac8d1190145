-- Run by scripts/lv2-check.sh in ardour7-lua: a session whose stereo track carries the test signal (it
-- depends on the transport position alone) into VozuvAzirOVA, as the LV2 plug-in (VOZUV_KIND=lv2, settings
-- in the ports' units) or the VST 2 library (VOZUV_KIND=vst, the same settings from 0 to 1), exported as
-- three seconds of 32-bit float WAV into the session folder. Prints "RESULT ok" when the export ran.
local dir, kind = os.getenv("VOZUV_SESSION_DIR"), os.getenv("VOZUV_KIND")
AudioEngine:set_backend("JACK", "", "")
assert(create_session(dir, "vozuv-" .. kind, 48000), "no session")
local track = Session:new_audio_track(2, 2, nil, 1, "comp", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local signal = ARDOUR.LuaAPI.new_luaproc(Session, "Vozuv Test Signal")
assert(not signal:isnil(), "no test signal")
assert(track:add_processor_by_index(signal, 0, nil, true), "test signal not inserted")
local plugin
if kind == "lv2" then
  plugin = ARDOUR.LuaAPI.new_plugin(Session, "urn:brovane:vozuvazirova", ARDOUR.PluginType.LV2, "")
else
  -- Listing the plug-ins reads the VST scanner's cache first.
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LXVST then print("found", p.name) end
  end
  plugin = ARDOUR.LuaAPI.new_plugin(Session, "VozuvAzirOVA", ARDOUR.PluginType.LXVST, "")
end
assert(not plugin:isnil(), "the plug-in was not found: " .. kind)
assert(track:add_processor_by_index(plugin, 1, nil, true), "the plug-in was not inserted")
print("plugin", kind, plugin:to_insert():plugin(0):name())
-- CompThreshold -40 dB, CompRatio 8, CompMakeup +6 dB, InputGain +3 dB, and the 0..1 values they map onto.
local settings = { {7, -40, 0.3333333432674408}, {8, 8, 0.24137930572032928}, {11, 6, 0.6499999761581421},
                   {1, 3, 0.574999988079071} }
for _, s in ipairs(settings) do
  ARDOUR.LuaAPI.set_processor_param(plugin, s[1], kind == "lv2" and s[2] or s[3])
end
local export = Session:simple_export()
export:set_name(kind)
export:set_folder(dir)
export:set_range(0, 48000 * 3)
assert(export:set_preset("6b1f3c52-5a0e-4f1e-9a55-0e0c0a7d2f11"), "no export preset")
assert(export:check_outputs(), "nothing to export")
local done = export:run_export()
close_session()
print(done and "RESULT ok" or "RESULT export failed")
