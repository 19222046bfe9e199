-- First process: new session, one stereo track with the plug-in, distinctive
-- settings, save, close.
dofile (os.getenv ("ZP_LUA_DIR") .. "/common.lua")

local dir, name = os.getenv ("ZP_SESSION_DIR"), os.getenv ("ZP_SESSION_NAME")
local target = {
  wetDry = 0.25, rate = 0.8, depth = 0.3, feedback = 0.7, manual = 0.6, Mode = 6 / 11
}

AudioEngine:set_backend ("JACK", "", "")
if not create_session (dir, name, 48000) then
  ZP.fail ("Ardour could not create a session (is the JACK server reachable?)")
  os.exit (2)
end
ZP.emit ("ENGINE", tostring (AudioEngine:running ()))

local tracks = Session:new_audio_track (2, 2, nil, 1, "ZP", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
local track = tracks:front ()
local plugin = ARDOUR.LuaAPI.new_plugin (Session, os.getenv ("ZP_PLUGIN_ID"), ZP.plugin_type (), "")

if plugin:isnil () then
  ZP.fail ("Ardour did not find the plug-in " .. os.getenv ("ZP_PLUGIN_ID"))
else
  track:add_processor_by_index (plugin, 0, nil, true)
  local controls = ZP.controls (plugin:to_insert ())
  for _, n in ipairs (ZP.names) do
    local ac = controls[n]
    if ac then
      ZP.emit ("INITIAL", n, string.format ("%.6f", ac:get_value ()))
    else
      ZP.fail ("parameter " .. n .. " is not exposed to Ardour")
    end
  end
  ZP.wait (300)
  for _, n in ipairs (ZP.names) do
    if controls[n] then controls[n]:set_value (target[n], PBD.GroupControlDisposition.NoGroup) end
  end
  ZP.wait (500)
  for _, n in ipairs (ZP.names) do
    if controls[n] then ZP.emit ("SET", n, string.format ("%.6f", controls[n]:get_value ())) end
  end
  Session:save_state ("", false, false, false, false, false)
  if ZP.plugin_type () == ARDOUR.PluginType.LV2 then
    ZP.report_lv2_state (dir, name, "saved")
  end
end

close_session ()
if ZP.failed then os.exit (1) end
ZP.emit ("DONE")
