-- Renders a few notes through Dunerow inside Ardour, headless, and exports
-- the master bus as a 32-bit float WAV file.
--
--   ardour7-lua ardour_render.lua OUTPUT.wav [SESSION_FOLDER]
--
-- The module must be on LXVST_PATH and indexed by Ardour's VST scanner.
-- OUTPUT may also come from DUNEROW_ARDOUR_WAV. The export preset goes into
-- Ardour's configuration folder, so point XDG_CONFIG_HOME at a scratch folder
-- (run_ardour_test.sh does). The notes are the ones compare_ardour_render.cpp
-- plays through our own test host.

local kSampleRate = 48000
local kBlockSize = 512
local kExportSeconds = 1.5
local kBypassFX = 103 -- param::BypassFX
local kNotes = { -- key, start and length in seconds, velocity
	{ 36, 0.0, 0.5, 127 },
	{ 48, 0.6, 0.3, 127 },
}

local function fail(message)
	io.stderr:write("ardour_render: " .. message .. "\n")
	os.exit(1)
end

local output = arg[1] or os.getenv("DUNEROW_ARDOUR_WAV")
if not output or output == "" then fail("usage: ardour7-lua ardour_render.lua OUTPUT.wav [SESSION_FOLDER]") end
local sessionFolder = arg[2] or (output .. ".session")

-- The dummy backend runs without audio hardware; Ardour hides it by default.
ARDOUR.config():set_hide_dummy_backend(false)
local backend = AudioEngine:set_backend("None (Dummy)", "", "")
if backend:isnil() then fail("no dummy audio backend") end
backend:set_sample_rate(kSampleRate)
backend:set_buffer_size(kBlockSize)

if not create_session(sessionFolder, "dunerow", kSampleRate) then fail("cannot create a session in " .. sessionFolder) end

local info = nil
for plugin in ARDOUR.LuaAPI.list_plugins():iter() do
	if plugin.type == ARDOUR.PluginType.LXVST and plugin.name:find("Dunerow", 1, true) then info = plugin end
end
if not info then fail("Ardour did not find the Dunerow VST on LXVST_PATH") end

local tracks = Session:new_midi_track(
	ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1), ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2),
	true, ARDOUR.LuaAPI.new_plugin_info(info.unique_id, ARDOUR.PluginType.LXVST), nil, nil, 1, "Dunerow",
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
if tracks:size() ~= 1 then fail("cannot add a MIDI track with the instrument") end
local track = tracks:front()
local instrument = track:the_instrument()
if instrument:isnil() then fail("the track has no instrument") end
if not ARDOUR.LuaAPI.set_processor_param(instrument, kBypassFX, 1.0) then fail("cannot switch the effects off") end

-- Lua cannot make a MIDI source directly; bouncing the empty track gives an
-- empty MIDI region of the right length to write the notes into.
local exportSamples = math.floor(kExportSeconds * kSampleRate)
local region = track:bounce_range(0, exportSamples, ARDOUR.InterThreadInfo(), ARDOUR.LuaAPI.nil_proc(), false, "notes", false)
if region:isnil() or region:to_midiregion():isnil() then fail("cannot make a MIDI region") end

local tempoMap = Temporal.TempoMap.read()
local function beatsAt(seconds) return tempoMap:quarters_at_sample(math.floor(seconds * kSampleRate + 0.5)) end
local model = region:to_midiregion():model()
local command = model:new_note_diff_command("Dunerow notes")
for _, note in ipairs(kNotes) do
	local key, start, length, velocity = table.unpack(note)
	local from = beatsAt(start)
	command:add(ARDOUR.LuaAPI.new_noteptr(1, from, beatsAt(start + length) - from, key, velocity))
end
model:apply_command(Session, command)
track:playlist():add_region(region, Temporal.timepos_t(0), 1, false)

-- Export through a preset of our own: Ardour's WAV presets are 16-bit and dithered.
local presetId = "4d756e65-726f-7700-8000-666c6f617431"
local presetFolder = ARDOUR.user_config_directory(-1) .. "/export"
os.execute("mkdir -p '" .. presetFolder .. "'")
local preset = io.open(presetFolder .. "/dunerow-float.preset", "w")
if not preset then fail("cannot write the export preset into " .. presetFolder) end
preset:write(([[<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="%s" name="Dunerow float WAV">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="1"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="0"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
]]):format(presetId))
preset:close()

local exportFolder = sessionFolder .. "/render"
os.execute("mkdir -p '" .. exportFolder .. "'")
local export = Session:simple_export()
export:set_name("dunerow")
export:set_folder(exportFolder)
export:set_range(0, exportSamples)
if not export:set_preset(presetId) then fail("Ardour did not accept the float WAV export preset") end
if not export:check_outputs() then fail("the master bus has no outputs to export") end
if not export:run_export() then fail("the export failed") end

-- Ardour picks the file name from the preset's fields; take whatever WAV it wrote.
local listing = io.popen("ls '" .. exportFolder .. "'/*.wav 2>/dev/null")
local exported = listing:read("l")
listing:close()
if not exported or not os.rename(exported, output) then fail("the export left no WAV file in " .. exportFolder) end
print("ardour_render: wrote " .. output)
close_session()
