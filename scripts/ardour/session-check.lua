-- Run by scripts/ardour-session-check through ardour7-lua (see there); one session step per run.
--   create DIR NAME TYPE PLUGIN DEMO OUT FXP|- [NAME=VALUE ...]
--     a session with one stereo track holding DEMO, the plug-in on it, the settings; render, save
--   reopen DIR NAME OUT
--     load the saved session and render it again
--   presets DIR NAME TYPE PLUGIN DEMO OUTDIR [URI]
--     a session as create makes it; without URI, every preset Ardour lists for the plug-in, and
--     for VST 3 the program of the plug-in's program list of each one's label too, printed as
--     'listed "LABEL" (URI)'; with URI, that preset loaded and rendered to OUTDIR/LABEL.wav
--     (a program to OUTDIR/LABEL (program).wav)
io.stdout:setvbuf ("no")
local mode, dir, name = arg[1], arg[2], arg[3]

local function fail (message)
	print ("ERROR: " .. message)
	os.exit (1)
end

AudioEngine:set_backend ("None (Dummy)", "", "")
if AudioEngine:start (false) ~= 0 then fail ("the Dummy engine did not start") end

-- The parameters Ardour lists for the plug-in, by the name it shows.
local function parameters (proc)
	local plugin = proc:to_insert ():plugin (0)
	local list = {}
	for n = 0, plugin:parameter_count () - 1 do
		local id, ok = plugin:nth_parameter (n, false)
		if ok[2] and plugin:parameter_is_input (id) then
			local _, pd = plugin:get_parameter_descriptor (id, ARDOUR.ParameterDescriptor ())
			local d = pd[2]
			local choices = {}
			for text, value in pairs (ARDOUR.LuaAPI.desc_scale_points (d)) do choices[text] = value end
			list[plugin:parameter_label (id)] = { index = n, desc = d, choices = choices }
		end
	end
	return list
end

local function print_parameters (proc, list)
	local lines = {}
	for label, p in pairs (list) do
		local texts = {}
		for text, value in pairs (p.choices) do texts[#texts + 1] = string.format ("%s=%g", text, value) end
		table.sort (texts)
		lines[#lines + 1] = { p.index, string.format ("param %2d %-22s %10g .. %-10g = %.9g%s",
			p.index, '"' .. label .. '"',
			p.desc.lower, p.desc.upper, ARDOUR.LuaAPI.get_processor_param (proc, p.index, false),
			#texts > 0 and ("  {" .. table.concat (texts, ", ") .. "}") or "") }
	end
	table.sort (lines, function (a, b) return a[1] < b[1] end)
	for _, line in ipairs (lines) do print (line[2]) end
end

-- VST 2 positions for the settings, read from a program file (.fxp) of the plug-in.
local function program_positions (path)
	local f = io.open (path, "rb")
	if not f then fail ("cannot read " .. path) end
	local data = f:read ("a")
	f:close ()
	if data:sub (1, 4) ~= "CcnK" or data:sub (9, 12) ~= "FxCk" then fail (path .. " is no program file") end
	local positions = {}
	for i = 0, string.unpack (">i4", data, 25) - 1 do
		positions[i] = string.unpack (">f", data, 57 + 4 * i)
	end
	return positions
end

local function base64_decode (text)
	local alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"
	local bits = text:gsub ("[^%w%+/]", ""):gsub (".", function (c)
		local v = alphabet:find (c, 1, true) - 1
		local s = ""
		for i = 5, 0, -1 do s = s .. ((v >> i) & 1) end
		return s
	end)
	return (bits:gsub ("%d%d?%d?%d?%d?%d?%d?%d?", function (byte)
		return #byte == 8 and string.char (tonumber (byte, 2)) or ""
	end))
end

-- The positions our VST 3 plug-in keeps in its state (a record tagged TCv3, version 1 or 2,
-- inside Ardour's saved chunk), written as a VST 2 program file for the VST 2 twin's check;
-- others have none.
local function write_vst3_positions (session_file, path)
	local f = io.open (session_file, "rb")
	local xml = f:read ("a")
	f:close ()
	local chunk = base64_decode (xml:match ("<chunk>([^<]*)</chunk>") or "")
	local at = chunk:find ("TCv3", 1, true)
	if not at then return end
	local id = tonumber (xml:match ('type="vst3" unique%-id="565354(%x%x%x%x%x%x%x%x)') or "0", 16)
	local count = 20
	local program = { "CcnK", string.pack (">i4", 48 + 4 * count), "FxCk",
		string.pack (">i4>i4>i4>i4", 1, id, 1, count), string.rep ("\0", 28) }
	local version = string.unpack ("<I4", chunk, at + 4)
	if version == 1 then
		for i = 0, count - 1 do
			program[#program + 1] = string.pack (">f", string.unpack ("<f", chunk, at + 8 + 4 * i))
		end
	else
		-- Version 2: entries of symbol length, symbol and position, the parameters in index order first.
		local entry = at + 12
		for _ = 1, count do
			local length = string.byte (chunk, entry)
			program[#program + 1] = string.pack (">f", string.unpack ("<f", chunk, entry + 1 + length))
			entry = entry + 1 + length + 4
		end
	end
	f = io.open (path, "wb")
	f:write (table.concat (program))
	f:close ()
	print ("positions saved by the VST 3 plug-in written to " .. path)
end

local function apply_settings (proc, list, program, settings)
	for _, setting in ipairs (settings) do
		local label, text = setting:match ("^(.-)=(.*)$")
		local p = label and list[label]
		if not p then fail ("no parameter named \"" .. tostring (label) .. "\" (see the list above)") end
		local value = program and program[p.index] or p.choices[text] or tonumber (text)
		if not value then fail ("\"" .. text .. "\" is neither a number nor a choice of \"" .. label .. "\"") end
		if not ARDOUR.LuaAPI.set_processor_param (proc, p.index, value) then
			fail (string.format ("Ardour refused \"%s\" = %.9g", label, value))
		end
		print (string.format ("set \"%s\" = %.9g (%s)", label, value, text))
		ARDOUR.LuaAPI.usleep (100000)
	end
end

-- Frames where a mono readable and one channel of another differ, over their first `length` frames.
local function differing_frames (a, b, channel, length)
	local chunk = 8192
	local shm = ARDOUR.DSP.DspShm (2 * chunk)
	local x, y = shm:to_float (0), shm:to_float (chunk)
	local count = 0
	for position = 0, length - 1, chunk do
		local n = math.min (chunk, length - position)
		a:read (x, position, n, 0)
		b:read (y, position, n, channel)
		local xs, ys = x:array (), y:array ()
		for i = 1, n do
			if xs[i] ~= ys[i] then count = count + 1 end
		end
	end
	return count
end

-- Exports the demo region's extent (a session made this way has no session range) to OUT.
local function render (track, out)
	local region
	for r in track:playlist ():region_list ():iter () do region = r end
	if not region then fail ("the track holds no region") end
	local first = region:position ():samples ()
	local export = Session:simple_export ()
	-- Float WAV at the session's rate: scripts/ardour-session-check installs this preset.
	if not export:set_preset ("6f0bd1d8-5c1e-4a53-9a44-3d2a4c0e9e51") then fail ("export preset missing") end
	export:set_folder (out:match ("^(.*)/"))
	export:set_name (out:match ("([^/]+)%.wav$"))
	export:set_range (first, first + region:length ():samples ())
	if not export:check_outputs () then fail ("the master bus has no outputs to export") end
	if not export:run_export () then fail ("the export failed") end
	print ("rendered", out)
end

-- A new session with one stereo track holding the demo.
local function new_session (demo)
	if not create_session (dir, name, 48000) then fail ("cannot create the session") end
	local track = Session:new_audio_track (2, 2, nil, 1, "Demo", -1, ARDOUR.TrackMode.Normal, true):front ()

	-- Bounce the player's output once: the track then holds the demo as a region of its own.
	-- The track rests meanwhile: the player counts every block it runs from its start.
	track:set_active (false, nil)
	local player = ARDOUR.LuaAPI.new_luaproc (Session, "Session check demo player")
	if player:isnil () then fail ("the demo player script is not installed") end
	track:add_processor_by_index (player, 0, nil, true)
	local file = ARDOUR.Readable.load (Session, demo)
	local length = file:at (0):readable_length ()
	local region = track:bounce_range (0, length, ARDOUR.InterThreadInfo (), player, true, "demo", false)
	if region:isnil () then fail ("bouncing the demo failed") end
	track:remove_processor (player, nil, true)
	track:set_active (true, nil)
	for c = 0, 1 do
		local wrong = differing_frames (file:at (c), region:to_audioregion ():to_readable (), c, length)
		if wrong > 0 then fail (string.format ("the bounced demo differs in %d frames of channel %d", wrong, c)) end
	end
	-- Ardour fades a region's first and last 64 samples by default: the demo plays as it is.
	region:to_audioregion ():set_fade_in_active (false)
	region:to_audioregion ():set_fade_out_active (false)
	track:playlist ():add_region (region, Temporal.timepos_t (0), 1, false)
	return track
end

-- A new instance of the plug-in, first on the track.
local function add_plugin (track, ptype, plugin_name)
	local types = { vst2 = ARDOUR.PluginType.LXVST, vst3 = ARDOUR.PluginType.VST3, lv2 = ARDOUR.PluginType.LV2 }
	local proc = ARDOUR.LuaAPI.new_plugin (Session, plugin_name, types[ptype], "")
	if proc:isnil () then fail ("Ardour found no " .. ptype .. " plug-in \"" .. plugin_name .. "\"") end
	track:add_processor_by_index (proc, 0, nil, true)
	return proc
end

-- Loads a preset as Ardour's preset menu does, the instance reading its program list first,
-- lets the process thread hand it over and renders.
local function render_preset (track, proc, uri, outdir)
	local plugin = proc:to_insert ():plugin (0)
	local preset = plugin:preset_by_uri (uri)
	if not preset then fail ("Ardour lists no preset " .. uri) end
	print (string.format ("load \"%s\" (%s)", preset.label, preset.uri))
	if not plugin:load_preset (preset) then fail ("Ardour could not load " .. preset.uri) end
	ARDOUR.LuaAPI.usleep (200000)
	print_parameters (proc, parameters (proc))
	local kind = preset.uri:find ("^VST3%-P:") and " (program)" or ""
	render (track, outdir .. "/" .. preset.label .. kind .. ".wav")
end

if mode == "create" then
	local ptype, plugin_name, demo, out, fxp = arg[4], arg[5], arg[6], arg[7], arg[8]
	local settings = {}
	for i = 9, #arg do settings[#settings + 1] = arg[i] end
	local track = new_session (demo)
	local proc = add_plugin (track, ptype, plugin_name)
	local list = parameters (proc)
	apply_settings (proc, list, fxp ~= "-" and program_positions (fxp), settings)
	ARDOUR.LuaAPI.usleep (200000) -- let the process thread hand the values to the plug-in
	print_parameters (proc, list)
	render (track, out)
	Session:save_state ("", false, false, false, false, false)
	if ptype == "vst3" then write_vst3_positions (dir .. "/" .. name .. ".ardour", (out:gsub ("%.wav$", ".fxp"))) end
elseif mode == "reopen" then
	local out = arg[4]
	if not load_session (dir, name) then fail ("cannot load the session") end
	local track
	for t in Session:get_tracks ():iter () do track = t:to_track () end
	if not track then fail ("the reopened session has no track") end
	local proc = track:nth_plugin (0)
	if proc:isnil () then fail ("the reopened track holds no plug-in") end
	print_parameters (proc, parameters (proc))
	render (track, out)
elseif mode == "presets" then
	local ptype, plugin_name, demo, outdir, uri = arg[4], arg[5], arg[6], arg[7], arg[8]
	local track = new_session (demo)
	local proc = add_plugin (track, ptype, plugin_name)
	if uri then
		render_preset (track, proc, uri, outdir)
	else
		local plugin = proc:to_insert ():plugin (0)
		local listed = 0
		for preset in plugin:get_info ():get_presets (false):iter () do
			listed = listed + 1
			print (string.format ("listed \"%s\" (%s)", preset.label, preset.uri))
			-- A VST 3 program of the same label comes first in Ardour's own lookup.
			local program = plugin:preset_by_label (preset.label)
			if ptype == "vst3" then
				if not program or not program.uri:find ("^VST3%-P:") then fail ("no program \"" .. preset.label .. "\"") end
				print (string.format ("listed \"%s\" (%s)", program.label, program.uri))
			end
		end
		if listed == 0 then fail ("Ardour lists no preset of the plug-in") end
	end
else
	fail ("usage: create|reopen|presets DIR NAME ...")
end
close_session ()
os.exit (0)
