ardour {
	["type"]    = "dsp",
	name        = "Vozuv Test Signal",
	category    = "Utility",
	license     = "MIT",
	author      = "BroVane",
	description = [[Bursts of two sines that depend on the transport position alone, so every render is the same]]
}

function dsp_ioconfig ()
	return { { audio_in = 2, audio_out = 2 } }
end

function dsp_run (ins, outs, n_samples)
	local rolling = Session:transport_rolling ()
	local pos = Session:transport_sample ()
	for c = 1, 2 do
		local o = outs[c]:array ()
		for s = 1, n_samples do
			if rolling then
				local t = pos + s - 1
				local amp = ((t // 6000) % 2 == 0) and 0.9 or 0.05
				o[s] = amp * math.sin (t * (0.031 + 0.007 * c))
			else
				o[s] = 0
			end
		end
	end
end
