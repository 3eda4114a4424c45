#include "tools/song-service/catalogue/SongSynth.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace songservice {
namespace {

constexpr double kPi = 3.14159265358979323846;

class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) { next(); }
  std::uint32_t next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
  }
  int below(int n) { return static_cast<int>(next() % static_cast<std::uint32_t>(n)); }
  double unit() { return next() / 4294967296.0; }

 private:
  std::uint32_t state_;
};

// One cycle of a waveform in a table: the whole catalogue is rendered in every build folder,
// so a tone costs one lookup a sample instead of a sine per harmonic.
class WaveTable {
 public:
  WaveTable(double second, double third, double fourth) {
    for (int i = 0; i <= kSize; ++i) {
      double x = 2 * kPi * i / kSize;
      table_[i] = static_cast<float>(std::sin(x) + second * std::sin(2 * x) +
                                     third * std::sin(3 * x) + fourth * std::sin(4 * x));
    }
  }
  float operator()(double phase) const {  // phase in turns, 0 <= phase < 1
    double position = phase * kSize;
    int index = static_cast<int>(position);
    float fraction = static_cast<float>(position - index);
    return table_[index] + (table_[index + 1] - table_[index]) * fraction;
  }

 private:
  static constexpr int kSize = 4096;
  std::array<float, kSize + 1> table_{};
};

const WaveTable& sine() {
  static const WaveTable table(0, 0, 0);
  return table;
}

double midiToHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

struct Timbre {
  WaveTable wave;
  double attack, decay, sustain, release;
  double vibrato;  // depth in fractions of the frequency
};

struct Mix {
  std::vector<float> left, right;
  int rate;
};

// Adds one tone with an ADSR envelope; length is the held part in seconds.
void addTone(Mix& mix, double start, double length, double hz, double gain, double pan,
             const Timbre& timbre) {
  const int rate = mix.rate;
  long long first = std::llround(start * rate);
  long long count = std::llround((length + timbre.release) * rate);
  if (first >= static_cast<long long>(mix.left.size())) return;
  count = std::min<long long>(count, static_cast<long long>(mix.left.size()) - first);
  const double leftGain = gain * std::cos(pan * kPi / 2), rightGain = gain * std::sin(pan * kPi / 2);
  const WaveTable& s = sine();
  double phase = 0, wobble = 1;
  for (long long i = 0; i < count; ++i) {
    double t = double(i) / rate;
    double envelope;
    if (t < timbre.attack) envelope = t / timbre.attack;
    else if (t < timbre.attack + timbre.decay)
      envelope = 1 - (1 - timbre.sustain) * (t - timbre.attack) / timbre.decay;
    else envelope = timbre.sustain;
    if (t > length) envelope *= std::max(0.0, 1 - (t - length) / timbre.release);
    // The vibrato changes slowly enough to be worked out every 64 samples.
    if (timbre.vibrato > 0 && (i & 63) == 0 && t > 0.15) {
      double lfo = t * 5.2;
      wobble = 1 + timbre.vibrato * s(lfo - std::floor(lfo));
    }
    phase += hz * wobble / rate;
    if (phase >= 1) phase -= 1;
    float value = timbre.wave(phase) * static_cast<float>(envelope);
    mix.left[first + i] += static_cast<float>(value * leftGain);
    mix.right[first + i] += static_cast<float>(value * rightGain);
  }
}

enum class Drum { Kick, Snare, Hat };

void addDrum(Mix& mix, double start, Drum drum, double gain, Random& noise) {
  const int rate = mix.rate;
  long long first = std::llround(start * rate);
  double seconds = drum == Drum::Kick ? 0.35 : drum == Drum::Snare ? 0.22 : 0.06;
  long long count = std::min<long long>(std::llround(seconds * rate),
                                        static_cast<long long>(mix.left.size()) - first);
  double pan = drum == Drum::Hat ? 0.68 : 0.5;
  double leftGain = gain * std::cos(pan * kPi / 2), rightGain = gain * std::sin(pan * kPi / 2);
  const WaveTable& s = sine();
  double phase = 0, previousNoise = 0;
  for (long long i = 0; i < count; ++i) {
    double t = double(i) / rate;
    double white = noise.unit() * 2 - 1, value = 0;
    switch (drum) {
      case Drum::Kick:
        phase += (45 + 95 * std::exp(-t * 28)) / rate;
        if (phase >= 1) phase -= 1;
        value = s(phase) * std::exp(-t * 9);
        break;
      case Drum::Snare:
        phase += 185.0 / rate;
        if (phase >= 1) phase -= 1;
        value = (0.55 * white + 0.45 * s(phase)) * std::exp(-t * 18);
        break;
      case Drum::Hat:  // the difference of noise samples keeps the highs
        value = (white - previousNoise) * 0.5 * std::exp(-t * 60);
        break;
    }
    previousNoise = white;
    mix.left[first + i] += static_cast<float>(value * leftGain);
    mix.right[first + i] += static_cast<float>(value * rightGain);
  }
}

constexpr std::array<int, 7> kMajor{0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor{0, 2, 3, 5, 7, 8, 10};
constexpr int kProgressions[][4] = {{0, 4, 5, 3}, {0, 5, 3, 4}, {5, 3, 0, 4}, {0, 3, 4, 3},
                                    {1, 4, 0, 5}, {0, 2, 3, 4}, {0, 6, 5, 6}, {3, 4, 2, 5}};
// Eighth-note lengths of one bar; a negative length is a rest.
constexpr std::array<std::array<int, 6>, 8> kRhythms{{{2, 2, 2, 2, 0, 0},
                                                      {1, 1, 2, 2, 2, 0},
                                                      {3, 1, 2, 2, 0, 0},
                                                      {2, 1, 1, 2, 2, 0},
                                                      {4, 2, 2, 0, 0, 0},
                                                      {1, 1, 1, 1, 2, 2},
                                                      {2, -1, 1, 2, 2, 0},
                                                      {3, 3, 2, 0, 0, 0}}};

struct Piece {
  const std::array<int, 7>* scale;
  int root;  // MIDI note of the key's tonic in the melody's octave
  const int* progression;
  double beat;  // seconds

  // MIDI note of scale step (may be negative or beyond an octave).
  int note(int step) const {
    int octave = step >= 0 ? step / 7 : -((6 - step) / 7);
    return root + 12 * octave + (*scale)[step - 7 * octave];
  }
};

struct MelodyNote {
  int eighths;  // negative: rest
  int step;
};

// One bar of melody over a chord whose root is chordStep; strong notes land on chord tones.
std::vector<MelodyNote> makeBar(Random& random, int chordStep, int& step) {
  std::vector<MelodyNote> bar;
  const auto& rhythm = kRhythms[random.below(static_cast<int>(kRhythms.size()))];
  int position = 0;
  for (int length : rhythm) {
    if (length == 0) break;
    if (length > 0) {
      step += random.below(5) - 2;
      step = std::clamp(step, -2, 9);
      if (position % 4 == 0) {  // on the beat: nearest chord tone
        int best = step, bestDistance = 99;
        for (int candidate = step - 2; candidate <= step + 2; ++candidate) {
          int relative = ((candidate - chordStep) % 7 + 7) % 7;
          if ((relative == 0 || relative == 2 || relative == 4) && std::abs(candidate - step) < bestDistance) {
            best = candidate;
            bestDistance = std::abs(candidate - step);
          }
        }
        step = best;
      }
    }
    bar.push_back({length, step});
    position += std::abs(length);
  }
  return bar;
}

void renderPiece(Mix& mix, Random& random, double totalSeconds) {
  Piece piece;
  piece.scale = random.below(2) ? &kMajor : &kMinor;
  piece.root = 60 + random.below(8);
  piece.progression = kProgressions[random.below(8)];
  piece.beat = 60.0 / (78 + random.below(46));
  const double bar = 4 * piece.beat, eighth = piece.beat / 2;

  double second = 0.1 + 0.4 * random.unit(), third = 0.05 + 0.25 * random.unit();
  Timbre lead{WaveTable(second, third, 0.1 * random.unit()), 0.01, 0.12,
              0.55 + 0.3 * random.unit(), 0.09, 0.002 + 0.004 * random.unit()};
  bool plucked = random.below(3) == 0;
  if (plucked) { lead.decay = 0.45; lead.sustain = 0.12; }
  const Timbre pad{WaveTable(0.3, 0.1, 0.05), 0.35, 0.3, 0.8, 0.4, 0.003};
  const Timbre bass{WaveTable(0.25, 0.12, 0.0), 0.008, 0.2, 0.6, 0.06, 0.0};
  const Timbre bell{WaveTable(0.0, 0.2, 0.35), 0.004, 0.25, 0.0, 0.05, 0.0};
  const bool arpeggio = random.below(2) == 0;
  const bool busyBass = random.below(2) == 0;

  // Two phrases of four bars; the form alternates them with a quiet intro.
  std::vector<std::vector<MelodyNote>> phrases[2];
  for (auto& phrase : phrases) {
    int step = random.below(5);
    for (int b = 0; b < 4; ++b) phrase.push_back(makeBar(random, piece.progression[b], step));
  }
  // The phrase's last note resolves on the tonic.
  for (auto& phrase : phrases) phrase[3].back().step = phrase[3].back().step >= 4 ? 7 : 0;

  const int bars = static_cast<int>(totalSeconds / bar) + 1;
  for (int b = 0; b < bars; ++b) {
    const double start = b * bar;
    const int chord = piece.progression[b % 4];
    const bool intro = b < 2;

    for (int tone = 0; tone < 3; ++tone)
      addTone(mix, start, bar - 0.05, midiToHz(piece.note(chord + 2 * tone) - 12), 0.055,
              0.2 + 0.3 * tone, pad);
    for (int beat = 0; beat < 4; ++beat) {
      int note = piece.note(chord) - 24 + (beat == 3 && busyBass ? 7 : 0);
      if (busyBass) {
        addTone(mix, start + beat * piece.beat, eighth * 0.8, midiToHz(note), 0.17, 0.5, bass);
        addTone(mix, start + beat * piece.beat + eighth, eighth * 0.6, midiToHz(note + 12), 0.1, 0.5, bass);
      } else {
        addTone(mix, start + beat * piece.beat, piece.beat * 0.9, midiToHz(note), 0.2, 0.5, bass);
      }
    }
    if (arpeggio && !intro)
      for (int i = 0; i < 8; ++i)
        addTone(mix, start + i * eighth, eighth * 0.5,
                midiToHz(piece.note(chord + 2 * (i % 4 == 3 ? 1 : i % 4)) + 12), 0.04, 0.25, bell);
    for (int beat = 0; beat < 4; ++beat) {
      double at = start + beat * piece.beat;
      if (beat % 2 == 0) addDrum(mix, at, Drum::Kick, 0.5, random);
      else if (!intro) addDrum(mix, at, Drum::Snare, 0.22, random);
      addDrum(mix, at, Drum::Hat, 0.16, random);
      addDrum(mix, at + eighth, Drum::Hat, 0.08, random);
    }
    if (!intro) {
      int section = ((b - 2) / 4) % 4;  // A A B A
      const auto& phrase = phrases[section == 2 ? 1 : 0][(b - 2) % 4];
      double at = start;
      for (const MelodyNote& note : phrase) {
        double length = std::abs(note.eighths) * eighth;
        if (note.eighths > 0)
          addTone(mix, at, length * 0.92, midiToHz(piece.note(note.step)), 0.24, 0.45, lead);
        at += length;
      }
    }
  }
}

}  // namespace

std::vector<std::int16_t> synthesiseSong(std::uint32_t seed, int sampleRate, int channels,
                                         long long frames) {
  Mix mix{std::vector<float>(frames), std::vector<float>(frames), sampleRate};
  Random random(seed);
  renderPiece(mix, random, double(frames) / sampleRate);

  // Short fade in, longer fade out, then scale to a little under full range.
  const long long fadeIn = sampleRate / 50, fadeOut = std::min<long long>(frames / 4, sampleRate * 5 / 2);
  float peak = 1e-6f;
  for (long long i = 0; i < frames; ++i) {
    float gain = 1;
    if (i < fadeIn) gain = float(i) / fadeIn;
    if (frames - i < fadeOut) gain *= float(frames - i) / fadeOut;
    mix.left[i] *= gain;
    mix.right[i] *= gain;
    peak = std::max({peak, std::abs(mix.left[i]), std::abs(mix.right[i])});
  }
  const float scale = 0.89f * 32767 / peak;
  std::vector<std::int16_t> samples(static_cast<std::size_t>(frames * channels));
  for (long long i = 0; i < frames; ++i) {
    if (channels == 1) {
      samples[i] = static_cast<std::int16_t>(std::lround((mix.left[i] + mix.right[i]) * 0.5f * scale));
    } else {
      samples[2 * i] = static_cast<std::int16_t>(std::lround(mix.left[i] * scale));
      samples[2 * i + 1] = static_cast<std::int16_t>(std::lround(mix.right[i] * scale));
    }
  }
  return samples;
}

}  // namespace songservice
