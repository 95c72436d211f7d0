#include "tools/demotrack/Master.h"

#include <algorithm>
#include <deque>

namespace demotrack {

double PeakLevel(const StereoBuffer& mix) {
  double peak = 0.0;
  for (size_t i = 0; i < mix.Frames(); ++i) peak = std::max({peak, std::abs(mix.L[i]), std::abs(mix.R[i])});
  return peak;
}

namespace {

void Scale(StereoBuffer& mix, double gain) {
  for (size_t i = 0; i < mix.Frames(); ++i) {
    mix.L[i] *= gain;
    mix.R[i] *= gain;
  }
}

// Minimum of values[i .. i + window - 1] for every i (monotonic deque, linear time).
std::vector<double> ForwardMinimum(const std::vector<double>& values, size_t window) {
  std::vector<double> out(values.size());
  std::deque<size_t> candidates;
  size_t n = values.size();
  for (size_t k = n; k-- > 0;) {
    while (!candidates.empty() && values[candidates.back()] >= values[k]) candidates.pop_back();
    candidates.push_back(k);
    while (candidates.front() >= k + window) candidates.pop_front();
    out[k] = values[candidates.front()];
  }
  return out;
}

}  // namespace

void Master(StereoBuffer& mix, const MasterSettings& s) {
  size_t n = mix.Frames();
  if (n == 0) return;
  // Drums and sub bass leave a slow offset; remove everything below hearing first.
  Highpass dcL, dcR;
  for (size_t i = 0; i < n; ++i) {
    mix.L[i] = dcL.Next(mix.L[i], 18.0);
    mix.R[i] = dcR.Next(mix.R[i], 18.0);
  }
  double peak = PeakLevel(mix);
  if (peak <= 0.0) return;
  Scale(mix, s.Drive / peak);

  // Gain each frame needs to stay under the ceiling, seen ahead of time and released slowly.
  std::vector<double> needed(n);
  for (size_t i = 0; i < n; ++i) {
    double level = std::max(std::abs(mix.L[i]), std::abs(mix.R[i]));
    needed[i] = level > s.Ceiling ? s.Ceiling / level : 1.0;
  }
  size_t window = std::max<size_t>(1, static_cast<size_t>(s.LookAheadSeconds * SampleRate));
  std::vector<double> ahead = ForwardMinimum(needed, window);
  double release = 1.0 - std::exp(-1.0 / (s.ReleaseSeconds * SampleRate));
  double held = 1.0;
  for (size_t i = 0; i < n; ++i) {
    held = std::min(ahead[i], held + (1.0 - held) * release);
    ahead[i] = held;
  }
  // Averaging over the look-ahead window turns gain steps into ramps; every frame of the average
  // window already saw the peak ahead, so the ramp never lets a peak through.
  double sum = 0.0;
  for (size_t i = 0; i < n; ++i) {
    sum += ahead[i];
    if (i >= window) sum -= ahead[i - window];
    double gain = sum / static_cast<double>(std::min(i + 1, window));
    if (i < window) gain = std::min(gain, ahead[i]);
    mix.L[i] *= gain;
    mix.R[i] *= gain;
  }

  // Short fades so the first and last sample do not click.
  size_t fadeIn = static_cast<size_t>(0.005 * SampleRate);
  size_t fadeOut = static_cast<size_t>(0.6 * SampleRate);
  for (size_t i = 0; i < std::min(fadeIn, n); ++i) {
    double g = static_cast<double>(i) / fadeIn;
    mix.L[i] *= g;
    mix.R[i] *= g;
  }
  for (size_t i = 0; i < std::min(fadeOut, n); ++i) {
    double g = static_cast<double>(i) / fadeOut;
    mix.L[n - 1 - i] *= g;
    mix.R[n - 1 - i] *= g;
  }
  Scale(mix, s.TargetPeak / PeakLevel(mix));
}

}  // namespace demotrack
