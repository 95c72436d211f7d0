#pragma once
// Small signal-processing building blocks for the demo track; everything is deterministic.
#include <cmath>
#include <cstdint>
#include <vector>

namespace demotrack {

constexpr double SampleRate = 44100.0;
constexpr double Pi = 3.14159265358979323846;

// xorshift64*: the same sequence on every platform and compiler, unlike <random>'s distributions.
class Rng {
 public:
  explicit Rng(uint64_t seed) : State(seed ? seed : 0x9E3779B97F4A7C15ull) {}
  uint64_t Next() {
    State ^= State >> 12;
    State ^= State << 25;
    State ^= State >> 27;
    return State * 0x2545F4914F6CDD1Dull;
  }
  // Uniform in [-1, 1).
  double Bipolar() { return static_cast<double>(Next() >> 11) * (2.0 / 9007199254740992.0) - 1.0; }

 private:
  uint64_t State;
};

inline double MidiToHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Band-limited step correction, so the saw and pulse oscillators do not alias into harsh whistles.
inline double PolyBlep(double phase, double dt) {
  if (phase < dt) {
    double t = phase / dt;
    return t + t - t * t - 1.0;
  }
  if (phase > 1.0 - dt) {
    double t = (phase - 1.0) / dt;
    return t * t + t + t + 1.0;
  }
  return 0.0;
}

class SawOsc {
 public:
  explicit SawOsc(double startPhase = 0.0) : Phase(startPhase) {}
  double Next(double hz) {
    double dt = hz / SampleRate;
    double v = 2.0 * Phase - 1.0 - PolyBlep(Phase, dt);
    Phase += dt;
    if (Phase >= 1.0) Phase -= 1.0;
    return v;
  }

 private:
  double Phase;
};

class PulseOsc {
 public:
  double Next(double hz, double width) {
    double dt = hz / SampleRate;
    double v = (Phase < width ? 1.0 : -1.0) + PolyBlep(Phase, dt);
    double shifted = Phase - width;
    if (shifted < 0.0) shifted += 1.0;
    v -= PolyBlep(shifted, dt);
    Phase += dt;
    if (Phase >= 1.0) Phase -= 1.0;
    return v;
  }

 private:
  double Phase = 0.0;
};

// Two cascaded one-pole sections: a gentle 12 dB/oct low-pass that cannot ring or blow up.
class Lowpass {
 public:
  double Next(double x, double cutoffHz) {
    double a = 1.0 - std::exp(-2.0 * Pi * cutoffHz / SampleRate);
    S1 += a * (x - S1);
    S2 += a * (S1 - S2);
    return S2;
  }

 private:
  double S1 = 0.0, S2 = 0.0;
};

class Highpass {
 public:
  double Next(double x, double cutoffHz) {
    double a = 1.0 - std::exp(-2.0 * Pi * cutoffHz / SampleRate);
    Low += a * (x - Low);
    return x - Low;
  }

 private:
  double Low = 0.0;
};

// Attack, hold at full level, exponential decay to the sustain level; then a release after gateTime.
inline double Envelope(double t, double attack, double decay, double sustain, double gateTime, double release) {
  auto held = [&](double u) {
    if (u < attack) return u / attack;
    return sustain + (1.0 - sustain) * std::exp(-(u - attack) / decay);
  };
  if (t < gateTime) return held(t);
  double r = t - gateTime;
  if (r >= release * 6.0) return 0.0;
  return held(gateTime) * std::exp(-r / release);
}

struct StereoBuffer {
  explicit StereoBuffer(size_t frames) : L(frames, 0.0), R(frames, 0.0) {}
  size_t Frames() const { return L.size(); }
  void Add(size_t i, double left, double right) {
    if (i < L.size()) {
      L[i] += left;
      R[i] += right;
    }
  }
  std::vector<double> L, R;
};

// Equal-power pan: -1 left, 0 centre, +1 right.
inline void PanGains(double pan, double& left, double& right) {
  double angle = (pan + 1.0) * Pi / 4.0;
  left = std::cos(angle) * std::sqrt(2.0);
  right = std::sin(angle) * std::sqrt(2.0);
}

}  // namespace demotrack
