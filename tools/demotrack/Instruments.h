#pragma once
// The demo track's voices. Each renders one note into a buffer starting at a time in seconds.
#include <vector>

#include "tools/demotrack/Dsp.h"

namespace demotrack {

void AddKick(StereoBuffer& out, double time, double gain);
void AddSnare(StereoBuffer& out, double time, double gain, Rng& rng);
void AddClap(StereoBuffer& out, double time, double gain, Rng& rng);
void AddHat(StereoBuffer& out, double time, double gain, bool open, double pan, Rng& rng);
// A plucked saw bass with a sine sub one octave below.
void AddBass(StereoBuffer& out, double time, double length, double note, double gain);
// A warm, wide pad: two detuned saws per channel and note.
void AddPad(StereoBuffer& out, double time, double length, const std::vector<double>& notes, double gain);
// A soft pulse lead with delayed vibrato; the mix adds echoes to it.
void AddLead(StereoBuffer& out, double time, double length, double note, double gain);
// A bell-like arpeggio pluck (two sine partials).
void AddPluck(StereoBuffer& out, double time, double note, double gain, double pan);

// Ping-pong echo of a bus, mixed into out.
void AddPingPongDelay(const StereoBuffer& in, StereoBuffer& out, double delaySeconds, double feedback, double wet);
// A small Schroeder room on a send bus, mixed into out.
void AddReverb(const StereoBuffer& in, StereoBuffer& out, double wet);

}  // namespace demotrack
