-- Second process: open the saved session, let it run, report what Ardour's
-- controls show, and save again so the plug-in serialises what it actually
-- holds after the reload.
dofile (os.getenv ("ZP_LUA_DIR") .. "/common.lua")

local dir, name = os.getenv ("ZP_SESSION_DIR"), os.getenv ("ZP_SESSION_NAME")

AudioEngine:set_backend ("JACK", "", "")
if not load_session (dir, name) then
  ZP.fail ("Ardour could not open the saved session")
  os.exit (2)
end
ZP.emit ("ENGINE", tostring (AudioEngine:running ()))

local insert
for route in Session:get_routes ():iter () do
  if route:name () == "ZP" then insert = ZP.find_insert (route) end
end

if not insert then
  ZP.fail ("the reopened session has no working plug-in insert on track ZP")
else
  ZP.wait (500)
  local controls = ZP.controls (insert)
  for _, n in ipairs (ZP.names) do
    if controls[n] then
      ZP.emit ("RELOADED", n, string.format ("%.6f", controls[n]:get_value ()))
    else
      ZP.fail ("parameter " .. n .. " is missing after reopening")
    end
  end
  Session:save_state ("", false, false, false, false, false)
  if ZP.plugin_type () == ARDOUR.PluginType.LV2 then
    ZP.report_lv2_state (dir, name, "resaved")
  end
end

close_session ()
if ZP.failed then os.exit (1) end
ZP.emit ("DONE")
