#include "tools/demotrack/Instruments.h"

#include <algorithm>
#include <array>

namespace demotrack {

namespace {

size_t StartFrame(double time) { return static_cast<size_t>(std::lround(time * SampleRate)); }

size_t FrameCount(double seconds) { return static_cast<size_t>(seconds * SampleRate); }

// Fades the last few milliseconds of a voice, so cutting its tail never clicks.
double TailFade(double t, double total, double fade = 0.03) { return std::clamp((total - t) / fade, 0.0, 1.0); }

}  // namespace

void AddKick(StereoBuffer& out, double time, double gain) {
  size_t start = StartFrame(time);
  double phase = 0.0;
  Lowpass click;
  for (size_t i = 0; i < FrameCount(0.45); ++i) {
    double t = i / SampleRate;
    // Pitch drops fast from a punchy 160 Hz to a round 48 Hz body.
    double hz = 48.0 + 112.0 * std::exp(-t * 30.0);
    phase += hz / SampleRate;
    double body = std::sin(2.0 * Pi * phase) * std::exp(-t * 5.5) * std::min(1.0, t * 2000.0);
    double snap = click.Next(std::sin(2.0 * Pi * 1200.0 * t), 3000.0) * std::exp(-t * 180.0) * 0.25;
    double v = std::tanh((body + snap) * 1.6) * gain * TailFade(t, 0.45, 0.08);
    out.Add(start + i, v, v);
  }
}

void AddSnare(StereoBuffer& out, double time, double gain, Rng& rng) {
  size_t start = StartFrame(time);
  Highpass hpL, hpR;
  Lowpass lpL, lpR;
  double phase = 0.0;
  for (size_t i = 0; i < FrameCount(0.35); ++i) {
    double t = i / SampleRate;
    double hz = 190.0 + 60.0 * std::exp(-t * 40.0);
    phase += hz / SampleRate;
    double tone = std::sin(2.0 * Pi * phase) * std::exp(-t * 22.0) * 0.55;
    double noiseEnv = std::exp(-t * 13.0) * std::min(1.0, t * 3000.0);
    double nl = lpL.Next(hpL.Next(rng.Bipolar(), 900.0), 7000.0) * noiseEnv;
    double nr = lpR.Next(hpR.Next(rng.Bipolar(), 900.0), 7000.0) * noiseEnv;
    out.Add(start + i, (tone + nl) * gain, (tone + nr) * gain);
  }
}

void AddClap(StereoBuffer& out, double time, double gain, Rng& rng) {
  size_t start = StartFrame(time);
  Highpass hp;
  Lowpass lp;
  for (size_t i = 0; i < FrameCount(0.3); ++i) {
    double t = i / SampleRate;
    // Three quick bursts then a tail, the way several hands never clap at once.
    double env = 0.0;
    for (double onset : {0.0, 0.011, 0.023}) {
      if (t >= onset) env = std::max(env, std::exp(-(t - onset) * 90.0));
    }
    if (t >= 0.023) env = std::max(env, 0.6 * std::exp(-(t - 0.023) * 16.0));
    double v = lp.Next(hp.Next(rng.Bipolar(), 1100.0), 5000.0) * env * gain;
    out.Add(start + i, v * 0.9, v);
  }
}

void AddHat(StereoBuffer& out, double time, double gain, bool open, double pan, Rng& rng) {
  size_t start = StartFrame(time);
  Highpass hp1, hp2;
  double decay = open ? 9.0 : 55.0;
  double gl, gr;
  PanGains(pan, gl, gr);
  for (size_t i = 0; i < FrameCount(open ? 0.4 : 0.09); ++i) {
    double t = i / SampleRate;
    // Noise plus a few inharmonic square partials: a metallic but not harsh shimmer.
    double metal = 0.0;
    for (double f : {3150.0, 4270.0, 5400.0, 6800.0}) metal += (std::sin(2.0 * Pi * f * t) > 0.0 ? 1.0 : -1.0);
    double v = hp2.Next(hp1.Next(rng.Bipolar() * 0.8 + metal * 0.08, 6000.0), 6000.0);
    v *= std::exp(-t * decay) * gain * TailFade(t, open ? 0.4 : 0.09);
    out.Add(start + i, v * gl, v * gr);
  }
}

void AddBass(StereoBuffer& out, double time, double length, double note, double gain) {
  size_t start = StartFrame(time);
  double hz = MidiToHz(note);
  SawOsc saw;
  Lowpass lp;
  double subPhase = 0.0;
  for (size_t i = 0; i < FrameCount(length + 0.1); ++i) {
    double t = i / SampleRate;
    double env = Envelope(t, 0.004, 0.25, 0.65, length, 0.03) * TailFade(t, length + 0.1);
    double cutoff = 220.0 + 1300.0 * std::exp(-t * 14.0);
    subPhase += hz * 0.5 / SampleRate;
    double v = lp.Next(saw.Next(hz), cutoff) * 0.75 + std::sin(2.0 * Pi * subPhase) * 0.6;
    v *= env * gain;
    out.Add(start + i, v, v);
  }
}

void AddPad(StereoBuffer& out, double time, double length, const std::vector<double>& notes, double gain) {
  size_t start = StartFrame(time);
  double perNote = gain / static_cast<double>(notes.size());
  for (size_t n = 0; n < notes.size(); ++n) {
    double hz = MidiToHz(notes[n]);
    std::array<SawOsc, 4> osc{SawOsc(0.1 * n), SawOsc(0.37 + 0.1 * n), SawOsc(0.61), SawOsc(0.83)};
    Lowpass lpL, lpR;
    for (size_t i = 0; i < FrameCount(length + 0.8); ++i) {
      double t = i / SampleRate;
      double env = Envelope(t, 0.18, 0.9, 0.7, length, 0.25) * TailFade(t, length + 0.8, 0.1);
      if (env <= 0.0 && t > length) break;
      double cutoff = 900.0 + 700.0 * std::sin(Pi * std::min(1.0, t / (length + 0.8)));
      double l = osc[0].Next(hz * 0.9966) + osc[1].Next(hz * 1.0051);
      double r = osc[2].Next(hz * 1.0034) + osc[3].Next(hz * 0.9949);
      out.Add(start + i, lpL.Next(l, cutoff) * env * perNote, lpR.Next(r, cutoff) * env * perNote);
    }
  }
}

void AddLead(StereoBuffer& out, double time, double length, double note, double gain) {
  size_t start = StartFrame(time);
  double hz = MidiToHz(note);
  PulseOsc pulse;
  Lowpass lp;
  for (size_t i = 0; i < FrameCount(length + 0.3); ++i) {
    double t = i / SampleRate;
    double env = Envelope(t, 0.012, 0.35, 0.55, length, 0.08) * TailFade(t, length + 0.3);
    double vibrato = 1.0 + 0.004 * std::sin(2.0 * Pi * 5.5 * t) * std::min(1.0, std::max(0.0, t - 0.15) * 4.0);
    double width = 0.32 + 0.1 * std::sin(2.0 * Pi * 0.7 * t);
    double v = lp.Next(pulse.Next(hz * vibrato, width), 2600.0 + 2000.0 * std::exp(-t * 6.0));
    v += std::sin(2.0 * Pi * hz * vibrato * t) * 0.4;
    v *= env * gain;
    out.Add(start + i, v, v);
  }
}

void AddPluck(StereoBuffer& out, double time, double note, double gain, double pan) {
  size_t start = StartFrame(time);
  double hz = MidiToHz(note);
  double gl, gr;
  PanGains(pan, gl, gr);
  for (size_t i = 0; i < FrameCount(0.7); ++i) {
    double t = i / SampleRate;
    double env = std::exp(-t * 7.0) * std::min(1.0, t * 800.0);
    double v = (std::sin(2.0 * Pi * hz * t) + 0.35 * std::sin(2.0 * Pi * hz * 3.0 * t) * std::exp(-t * 12.0));
    v *= env * gain;
    out.Add(start + i, v * gl, v * gr);
  }
}

void AddPingPongDelay(const StereoBuffer& in, StereoBuffer& out, double delaySeconds, double feedback, double wet) {
  size_t d = FrameCount(delaySeconds);
  StereoBuffer echo(in.Frames());
  Lowpass dampL, dampR;
  // Left echoes first, right one step later; each repeat loses some treble so the tail sits back.
  for (size_t i = d; i < in.Frames(); ++i) {
    double mono = (in.L[i - d] + in.R[i - d]) * 0.5;
    echo.L[i] = dampL.Next(mono + echo.R[i - d] * feedback, 3500.0);
    echo.R[i] = dampR.Next(echo.L[i - d], 3500.0);
  }
  for (size_t i = 0; i < in.Frames(); ++i) out.Add(i, echo.L[i] * wet, echo.R[i] * wet);
}

void AddReverb(const StereoBuffer& in, StereoBuffer& out, double wet) {
  // Mutually prime comb lengths per channel decorrelate left and right.
  static const std::array<size_t, 4> combL{1116, 1188, 1277, 1356};
  static const std::array<size_t, 4> combR{1139, 1211, 1300, 1379};
  static const std::array<size_t, 2> allpassL{556, 441};
  static const std::array<size_t, 2> allpassR{579, 464};
  auto channel = [&](const std::vector<double>& x, const std::array<size_t, 4>& combs,
                     const std::array<size_t, 2>& allpasses) {
    std::vector<double> y(x.size(), 0.0);
    for (size_t len : combs) {
      std::vector<double> line(len, 0.0);
      double damp = 0.0;
      size_t pos = 0;
      for (size_t i = 0; i < x.size(); ++i) {
        double delayed = line[pos];
        damp = delayed * 0.6 + damp * 0.4;
        line[pos] = x[i] + damp * 0.82;
        y[i] += delayed * 0.25;
        pos = (pos + 1) % len;
      }
    }
    for (size_t len : allpasses) {
      std::vector<double> line(len, 0.0);
      size_t pos = 0;
      for (size_t i = 0; i < y.size(); ++i) {
        double delayed = line[pos];
        double v = y[i];
        line[pos] = v + delayed * 0.5;
        y[i] = delayed - v;
        pos = (pos + 1) % len;
      }
    }
    return y;
  };
  std::vector<double> l = channel(in.L, combL, allpassL);
  std::vector<double> r = channel(in.R, combR, allpassR);
  for (size_t i = 0; i < in.Frames(); ++i) out.Add(i, l[i] * wet, r[i] * wet);
}

}  // namespace demotrack
