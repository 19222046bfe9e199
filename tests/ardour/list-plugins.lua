-- Prints Ardour's plug-in index. The index needs a session (and, for VST3,
-- the scanner's cache entries), so a throw-away one is created.
AudioEngine:set_backend ("JACK", "", "")
if not create_session (os.getenv ("ZP_SESSION_DIR"), "index", 48000) then
  print ("ZP FAIL Ardour could not create a session (is the JACK server reachable?)")
  os.exit (2)
end
for info in ARDOUR.LuaAPI.list_plugins ():iter () do
  print ("ZP PLUGIN", info.type, info.unique_id, info.name)
end
close_session ()
print ("ZP DONE")
