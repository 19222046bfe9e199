-- Shared helpers for the Ardour session round-trip scripts. Everything the
-- shell driver reads is printed on lines starting with "ZP ".

ZP = {}

ZP.names = { "wetDry", "rate", "depth", "feedback", "manual", "Mode" }

function ZP.emit (...)
  print ("ZP " .. table.concat ({ ... }, " "))
  io.stdout:flush ()
end

function ZP.fail (msg)
  ZP.emit ("FAIL", msg)
  ZP.failed = true
end

-- Ardour names LV2 property controls "property-<plugin URI>:<name>" and VST3
-- controls by the bare parameter name; both end in the name we look for.
function ZP.controls (insert)
  local found = {}
  local aut = insert:to_automatable ()
  for prm in aut:all_automatable_params ():iter () do
    local ac = aut:automation_control (prm, false)
    if ac and not ac:isnil () then
      local short = ac:name ():match ("([^:]+)$")
      for _, n in ipairs (ZP.names) do
        if short == n then found[n] = ac end
      end
    end
  end
  return found
end

function ZP.find_insert (route)
  local i = 0
  while true do
    local proc = route:nth_plugin (i)
    if proc:isnil () then return nil end
    if proc:name ():find ("ZelkoraPelorin", 1, true) then return proc:to_insert () end
    i = i + 1
  end
end

-- JUCE writes the LV2 state chunk as "<byteCount>." followed by its own
-- 6-bit alphabet, bits packed least-significant first.
local alphabet = ".ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+"

local function juce_base64_decode (text)
  local count, body = text:match ("^(%d+)%.(.*)$")
  if not count then return nil end
  count = tonumber (count)
  local lookup = {}
  for i = 1, #alphabet do lookup[alphabet:byte (i)] = i - 1 end
  local bytes = {}
  for i = 1, count do bytes[i] = 0 end
  local bit = 0
  for i = 1, #body do
    local v = lookup[body:byte (i)]
    if v == nil then return nil end
    for b = 0, 5 do
      if (v >> b) & 1 == 1 then
        local idx = ((bit + b) >> 3) + 1
        if idx <= count then bytes[idx] = bytes[idx] | (1 << ((bit + b) & 7)) end
      end
    end
    bit = bit + 6
  end
  local chars = {}
  for i = 1, count do chars[i] = string.char (bytes[i]) end
  return table.concat (chars)
end

local function read_file (path)
  local f = io.open (path, "rb")
  if not f then return nil end
  local s = f:read ("a")
  f:close ()
  return s
end

-- Reads the plug-in state Ardour wrote for our LV2 insert on the last save
-- and prints the six values found in it. Returns false when it cannot.
function ZP.report_lv2_state (session_dir, session_name, tag)
  local xml = read_file (session_dir .. "/" .. session_name .. ".ardour")
  if not xml then ZP.fail ("cannot read the session file") return false end
  local pid, body = xml:match ('<Processor id="(%d+)"[^>]-type="lv2"[^>]-unique%-id="https://zelkoradsp%.com/plugins/ZelkoraPelorin"[^>]->(.-)</Processor>')
  if not pid then ZP.fail ("no LV2 insert of the plug-in in the saved session") return false end
  local sdir = body:match ('<lv2 [^>]-state%-dir="([^"]+)"')
  if not sdir then ZP.fail ("the saved session has no plug-in state directory") return false end
  local ttl = read_file (session_dir .. "/plugins/" .. pid .. "/" .. sdir .. "/state.ttl")
  if not ttl then ZP.fail ("cannot read plugins/" .. pid .. "/" .. sdir .. "/state.ttl") return false end
  local encoded = ttl:match ('ZelkoraPelorin:StateString>%s*"([^"]*)"')
  if not encoded then ZP.fail ("the LV2 state holds no StateString") return false end
  local chunk = juce_base64_decode (encoded)
  if not chunk then ZP.fail ("the LV2 StateString does not decode") return false end
  ZP.emit ("STATEBYTES", tag, tostring (#chunk))
  for _, n in ipairs (ZP.names) do
    local v = chunk:match ('[%s<]' .. n .. '="([^"]*)"')
    ZP.emit ("STATE", tag, n, v or "missing")
  end
  return true
end

function ZP.wait (ms)
  -- Let the engine run a few cycles so queued parameter messages reach the
  -- plug-in before we save or read anything.
  ARDOUR.LuaAPI.usleep (ms * 1000)
end

function ZP.plugin_type ()
  return os.getenv ("ZP_PLUGIN_TYPE") == "VST3" and ARDOUR.PluginType.VST3 or ARDOUR.PluginType.LV2
end
