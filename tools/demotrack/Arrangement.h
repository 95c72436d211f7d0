#pragma once
// The demo track's song: a four-chord loop in A minor at 120 BPM with drums, bass, pad, arpeggio and lead.
#include <cstdint>

#include "tools/demotrack/Dsp.h"

namespace demotrack {

constexpr double TrackSeconds = 45.0;
constexpr double Bpm = 120.0;

// The unmastered mix; the same seed always gives the same samples.
StereoBuffer ComposeDemoTrack(uint64_t seed);

}  // namespace demotrack
