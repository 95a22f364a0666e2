-- Prints where Ardour, headless, finds Dunerow among its VST2 (LXVST)
-- plug-ins, with nothing but its own default search path.
--
--   ardour7-lua ardour_finds_dunerow.lua SESSION_FOLDER
--
-- Prints "found PATH" for each Dunerow module Ardour lists; exits 1 when it
-- lists none.

local function fail(message)
	io.stderr:write("ardour_finds_dunerow: " .. message .. "\n")
	os.exit(1)
end

local sessionFolder = arg[1]
if not sessionFolder or sessionFolder == "" then fail("usage: ardour7-lua ardour_finds_dunerow.lua SESSION_FOLDER") end

-- Ardour lists its plug-ins once an engine runs a session: the dummy backend
-- needs no audio hardware.
ARDOUR.config():set_hide_dummy_backend(false)
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
if backend:isnil() then fail("no dummy audio backend") end
if not create_session(sessionFolder, "dunerow", 48000) then fail("cannot create a session in " .. sessionFolder) end

local found = 0
for plugin in ARDOUR.LuaAPI.list_plugins():iter() do
	if plugin.type == ARDOUR.PluginType.LXVST and plugin.name:find("Dunerow", 1, true) then
		print("found " .. plugin.path)
		found = found + 1
	end
end
close_session()
if found == 0 then fail("Ardour lists no Dunerow VST2 plug-in") end
