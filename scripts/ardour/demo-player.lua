ardour { ["type"] = "dsp", name = "Session check demo player", category = "Utility",
	description = "Plays one stereo file from its start; bounced once into a region." }

-- scripts/ardour-session-check puts the file's path in place of the marker.
local file = "@DEMO@"
local channels
local position = 0

function dsp_ioconfig () return { { audio_in = 2, audio_out = 2 } } end

function dsp_init (rate)
	channels = ARDOUR.Readable.load (Session, file)
end

function dsp_run (ins, outs, n_samples)
	for c = 1, 2 do
		channels:at (c - 1):read (outs[c], position, n_samples, 0)
	end
	position = position + n_samples
end
