#include "tools/demotrack/Arrangement.h"

#include <array>
#include <vector>

#include "tools/demotrack/Instruments.h"

namespace demotrack {

namespace {

constexpr double Beat = 60.0 / Bpm;
constexpr double Bar = 4.0 * Beat;
constexpr double Step = Beat / 4.0;  // a sixteenth
constexpr int Bars = 22;             // 44 s of song, then the last chord rings out

struct Chord {
  double Root;                  // bass note
  std::array<double, 4> Voicing;  // pad notes, voice-led so the pad moves smoothly
};

// Am - F - C - G.
const std::array<Chord, 4> Progression{{
    {45, {57, 60, 64, 69}},
    {41, {57, 60, 65, 69}},
    {48, {55, 60, 64, 67}},
    {43, {55, 59, 62, 67}},
}};

struct Note {
  int Step8;   // start, in eighths from the start of the bar
  double Pitch;
  int Length8;
};

// One melody bar per chord; the last bar has a second ending that climbs back to the tonic.
const std::array<std::vector<Note>, 4> Melody{{
    {{0, 76, 2}, {2, 81, 2}, {4, 79, 1}, {5, 76, 1}, {6, 74, 2}},
    {{0, 72, 3}, {3, 69, 1}, {4, 72, 1}, {5, 74, 1}, {6, 72, 2}},
    {{0, 76, 2}, {2, 79, 2}, {4, 76, 1}, {5, 74, 1}, {6, 72, 2}},
    {{0, 74, 3}, {3, 71, 1}, {4, 67, 2}, {6, 74, 2}},
}};
const std::vector<Note> MelodyTurnaround{{0, 74, 2}, {2, 79, 2}, {4, 81, 4}};

struct BassHit {
  int Step16;
  double Interval;
  int Length16;
};
const std::vector<BassHit> BassGroove{{0, 0, 3}, {3, 0, 1}, {6, 12, 2}, {8, 0, 3}, {11, 0, 1}, {12, 7, 2}, {14, 12, 2}};

const std::array<int, 8> ArpOrder{0, 1, 2, 3, 2, 1, 2, 3};

enum Section { Intro, Groove, Full, Breakdown, Finale };

Section SectionOf(int bar) {
  if (bar < 2) return Intro;
  if (bar < 6) return Groove;
  if (bar < 14) return Full;
  if (bar < 16) return Breakdown;
  return Finale;
}

struct Buses {
  explicit Buses(size_t frames) : Drums(frames), Music(frames), Lead(frames), Send(frames) {}
  StereoBuffer Drums, Music, Lead, Send;
};

void AddDrums(Buses& b, int bar, Section section, Rng& rng) {
  double t0 = bar * Bar;
  bool kick = section == Groove || section == Full || section == Finale;
  bool backbeat = section == Full || section == Finale;
  for (int beat = 0; beat < 4 && kick; ++beat) AddKick(b.Drums, t0 + beat * Beat, 0.85);
  if (backbeat) {
    for (int beat : {1, 3}) {
      AddSnare(b.Drums, t0 + beat * Beat, 0.95, rng);
      AddSnare(b.Send, t0 + beat * Beat, 0.3, rng);
      if (section == Finale) AddClap(b.Drums, t0 + beat * Beat + 0.004, 0.55, rng);
    }
  }
  if (section == Breakdown && bar == 15) {
    // A snare roll that swells into the finale.
    for (int s = 8; s < 16; ++s) AddSnare(b.Drums, t0 + s * Step, 0.2 + 0.09 * (s - 8), rng);
  }
  if (section == Breakdown) return;
  for (int s = 0; s < 16; ++s) {
    bool offbeat8 = s % 4 == 2;
    bool eighth = s % 2 == 0;
    bool sixteenths = backbeat;
    if (!eighth && !sixteenths) continue;
    bool open = offbeat8 && s == 14 && bar % 2 == 1 && section != Intro;
    double velocity = offbeat8 ? 0.75 : (eighth ? 0.48 : 0.3);
    velocity *= 1.0 + 0.08 * rng.Bipolar();
    if (section == Intro) velocity *= 0.7;
    AddHat(b.Drums, t0 + s * Step, velocity, open, (s % 4 < 2) ? -0.35 : 0.35, rng);
  }
}

void AddHarmony(Buses& b, int bar, Section section) {
  const Chord& chord = Progression[bar % 4];
  double t0 = bar * Bar;
  std::vector<double> voicing(chord.Voicing.begin(), chord.Voicing.end());
  AddPad(b.Music, t0, Bar - 0.05, voicing, section == Breakdown ? 0.5 : 0.38);
  AddPad(b.Send, t0, Bar - 0.05, voicing, 0.2);
  for (int s = 0; s < 16; ++s) {
    double note = chord.Voicing[ArpOrder[s % 8]] + 12.0;
    double gain = (s % 4 == 0 ? 0.16 : 0.11) * (section == Intro ? 0.8 : 1.0);
    double pan = s % 2 == 0 ? -0.5 : 0.5;
    AddPluck(b.Music, t0 + s * Step, note, gain, pan);
    AddPluck(b.Send, t0 + s * Step, note, gain * 0.5, pan);
  }
  if (section == Intro) return;
  if (section == Breakdown) {
    AddBass(b.Music, t0, Bar * 0.9, chord.Root, 0.35);
    return;
  }
  for (const BassHit& hit : BassGroove) {
    AddBass(b.Music, t0 + hit.Step16 * Step, hit.Length16 * Step * 0.9, chord.Root + hit.Interval, 0.42);
  }
}

void AddMelody(Buses& b, int bar, Section section) {
  if (section != Full && section != Breakdown && section != Finale) return;
  double t0 = bar * Bar;
  // The finale lifts the melody an octave; every second cycle ends on the turnaround.
  double lift = section == Finale ? 12.0 : 0.0;
  const std::vector<Note>& notes = (bar % 8 == 7) ? MelodyTurnaround : Melody[bar % 4];
  for (const Note& n : notes) {
    double length = n.Length8 * 2.0 * Step * 0.92;
    AddLead(b.Lead, t0 + n.Step8 * 2.0 * Step, length, n.Pitch + lift, section == Finale ? 0.16 : 0.2);
  }
}

void AddEnding(Buses& b, Rng& rng) {
  double t = Bars * Bar;
  AddKick(b.Drums, t, 1.0);
  AddHat(b.Drums, t, 0.8, true, 0.0, rng);
  std::vector<double> tonic(Progression[0].Voicing.begin(), Progression[0].Voicing.end());
  AddPad(b.Music, t, TrackSeconds - t - 0.3, tonic, 0.45);
  AddPad(b.Send, t, TrackSeconds - t - 0.3, tonic, 0.3);
  AddBass(b.Music, t, 0.6, Progression[0].Root, 0.45);
}

}  // namespace

StereoBuffer ComposeDemoTrack(uint64_t seed) {
  size_t frames = static_cast<size_t>(TrackSeconds * SampleRate);
  Rng rng(seed);
  Buses b(frames);
  for (int bar = 0; bar < Bars; ++bar) {
    Section section = SectionOf(bar);
    AddDrums(b, bar, section, rng);
    AddHarmony(b, bar, section);
    AddMelody(b, bar, section);
  }
  AddEnding(b, rng);

  StereoBuffer mix(frames);
  for (size_t i = 0; i < frames; ++i) {
    mix.L[i] = b.Drums.L[i] + b.Music.L[i] + b.Lead.L[i];
    mix.R[i] = b.Drums.R[i] + b.Music.R[i] + b.Lead.R[i];
  }
  AddPingPongDelay(b.Lead, mix, 3.0 * Step, 0.38, 0.35);
  for (size_t i = 0; i < frames; ++i) b.Send.Add(i, b.Lead.L[i] * 0.4, b.Lead.R[i] * 0.4);
  AddReverb(b.Send, mix, 0.22);
  return mix;
}

}  // namespace demotrack
