#pragma once
// Final loudness stage: normalise, limit peaks smoothly, normalise again to the target peak.
#include "tools/demotrack/Dsp.h"

namespace demotrack {

struct MasterSettings {
  double Drive = 1.5;          // gain into the limiter after normalising the mix to 1.0
  double Ceiling = 0.9;        // the limiter holds peaks below this
  double TargetPeak = 0.93;    // final absolute peak; leaves room for the lossy codec's overshoot
  double LookAheadSeconds = 0.0015;
  double ReleaseSeconds = 0.06;
};

void Master(StereoBuffer& mix, const MasterSettings& settings = {});

// Largest absolute sample over both channels.
double PeakLevel(const StereoBuffer& mix);

}  // namespace demotrack
