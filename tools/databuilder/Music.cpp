// The music is written as sections over a four-chord progression: pads hold the chords, a
// plucked arpeggio and a lead melody play over them, and the battle track adds drums. The
// theme returns between its variations (another progression, a varied or raised melody, a
// busier or thinner texture), and each track fades in and out so that its loop joins.
#include "tools/databuilder/Music.h"

#include <cstdint>

#include "tools/databuilder/Synthesis.h"

namespace music {

namespace {

using namespace synth;

struct Chord {
    double root;  // midi note
    bool minor;
};

enum class Melody { None, Theme, High, Varied };
enum class Fade { None, In, Out };

struct Section {
    std::vector<Chord> chords;
    int arpeggioSteps;  // plucks per chord; 0 for none
    bool descending;
    Melody melody;
    int drums;  // 0 none, 1 kick and snare, 2 with eighth-note hats
    float pad;  // level of the pads
    Fade fade;
};

// The melody over chord i of a section: four quarter notes, as indices into the chord's
// tones (0 root, 1 third, 2 fifth, 3 octave, 4 the third above it); -1 rests.
const int kTheme[4][4] = {{3, 2, 1, 2}, {2, 1, 0, 1}, {1, 2, 3, 4}, {3, 2, 2, -1}};
const int kVaried[4][4] = {{1, 2, 3, 2}, {4, 3, 2, 3}, {2, 3, 4, 3}, {2, 1, 0, -1}};

double ChordTone(const Chord& chord, int index) {
    const double third = chord.minor ? 3 : 4;
    const double tones[5] = {0, third, 7, 12, 12 + third};
    return chord.root + tones[index];
}

class Track {
public:
    Track(double chordSeconds, size_t sections, uint32_t seed)
        : chord_seconds_(chordSeconds),
          seed_(seed),
          left_(static_cast<size_t>(sections * 4 * chordSeconds * kMusicRate)),
          right_(left_.size()) {}

    void Add(size_t index, const Section& section) {
        const double start = index * 4 * chord_seconds_;
        for (size_t c = 0; c < section.chords.size(); ++c) {
            const double at = start + c * chord_seconds_;
            const uint32_t seed = seed_ + static_cast<uint32_t>(index * 997 + c * 31);
            Pads(section.chords[c], at, section.pad);
            Arpeggio(section, section.chords[c], at, seed);
            if (section.melody != Melody::None) Lead(section.melody, section.chords[c], c % 4, at);
            if (section.drums > 0) Drums(section.drums, at, seed);
        }
        if (section.fade != Fade::None) FadeSection(start, section.fade);
    }

    std::vector<float> Interleaved() const {
        std::vector<float> stereo(left_.size() * 2);
        for (size_t i = 0; i < left_.size(); ++i) {
            stereo[2 * i] = left_[i];
            stereo[2 * i + 1] = right_[i];
        }
        Normalise(stereo, 0.8f);
        return stereo;
    }

private:
    size_t At(double seconds) const { return static_cast<size_t>(seconds * kMusicRate); }

    void Both(const std::vector<float>& voice, double at, float left, float right) {
        Mix(left_, voice, At(at), left);
        Mix(right_, voice, At(at), right);
    }

    void Pads(const Chord& chord, double at, float level) {
        for (int v = 0; v < 3; ++v) {
            Oscillator a, b;
            LowPass lp;
            const double f = Midi(ChordTone(chord, v) - 12);
            const std::vector<float> pad = Render(chord_seconds_, kMusicRate, [&](double t, double len) {
                const double s = 0.5 * a.Saw(f, kMusicRate) + 0.5 * b.Saw(f * 1.003, kMusicRate);
                return lp(static_cast<float>(s), 0.05f) * Gate(t, 0.3, len, 0.3);
            });
            Both(pad, at, level * (v == 2 ? 0.1f : 0.16f), level * (v == 0 ? 0.1f : 0.16f));
        }
    }

    void Arpeggio(const Section& section, const Chord& chord, double at, uint32_t seed) {
        const int steps = section.arpeggioSteps;
        for (int step = 0; step < steps; ++step) {
            int index = step % 3 + 3 * ((step / 3) % 2);  // up through two octaves
            if (section.descending) index = 5 - index;
            const double note = ChordTone(chord, index % 3) + 12 * (index / 3);
            const double stepSeconds = chord_seconds_ / steps;
            const std::vector<float> pluck =
                Pluck(Midi(note), stepSeconds * 2.0, kMusicRate, seed + static_cast<uint32_t>(step), 0.997);
            const float pan = (step % 2) ? 0.35f : 0.25f;
            Both(pluck, at + step * stepSeconds, pan, 0.6f - pan);
        }
    }

    void Lead(Melody melody, const Chord& chord, size_t position, double at) {
        const int(&notes)[4] = melody == Melody::Varied ? kVaried[position] : kTheme[position];
        const double octave = melody == Melody::High ? 24 : 12;
        const double beat = chord_seconds_ / 4;
        for (int n = 0; n < 4; ++n) {
            if (notes[n] < 0) continue;
            // The last note of a phrase is held into the rest.
            const double length = (n == 2 && notes[3] < 0 ? 2 : 1) * beat * 0.95;
            const double f = Midi(ChordTone(chord, notes[n]) + octave);
            Oscillator tone, overtone, vibrato;
            const std::vector<float> note = Render(length, kMusicRate, [&](double t, double len) {
                const double wobble = 1.0 + 0.004 * std::min(1.0, t / 0.2) * vibrato.Sine(5.0, kMusicRate);
                return (0.8 * tone.Sine(f * wobble, kMusicRate) + 0.2 * overtone.Sine(2 * f * wobble, kMusicRate)) *
                       Gate(t, 0.03, len, 0.12);
            });
            Both(note, at + n * beat, 0.22f, 0.26f);
        }
    }

    void Drums(int level, double at, uint32_t seed) {
        const double beat = chord_seconds_ / 4;
        for (int b = 0; b < 4; ++b) {
            Oscillator kick;
            const std::vector<float> k = Render(0.3, kMusicRate, [&](double t, double) {
                return kick.Sine(50.0 * (1.0 + 2.0 * std::exp(-t / 0.03)), kMusicRate) * Envelope(t, 0.001, 0.12);
            });
            Both(k, at + b * beat, 0.5f, 0.5f);
            if (b % 2 == 1) Hiss(0.2, 0.05, 0.2f, at + b * beat, seed + 1000 + b, 0.3f);
            if (level < 2) continue;
            for (int half = 0; half < 2; ++half)
                Hiss(0.06, 0.012, 0.6f, at + (b + 0.5 * half) * beat, seed + 2000 + 2 * b + half, half ? 0.1f : 0.07f);
        }
    }

    // Noise with its low part taken off: a snare (slow filter), a hat (fast one).
    void Hiss(double seconds, double decay, float filter, double at, uint32_t seed, float gain) {
        Noise noise(seed);
        LowPass lp;
        const std::vector<float> hiss = Render(seconds, kMusicRate, [&](double t, double) {
            const float n = noise.Next();
            return (n - lp(n, filter)) * Envelope(t, 0.001, decay);
        });
        Both(hiss, at, gain, gain);
    }

    void FadeSection(double start, Fade fade) {
        const size_t from = At(start), to = std::min(left_.size(), At(start + 4 * chord_seconds_));
        for (size_t i = from; i < to; ++i) {
            const float x = static_cast<float>(i - from) / static_cast<float>(to - from);
            const float gain = fade == Fade::In ? x : 1.0f - x;
            left_[i] *= gain;
            right_[i] *= gain;
        }
    }

    double chord_seconds_;
    uint32_t seed_;
    std::vector<float> left_, right_;
};

std::vector<float> Compose(double chordSeconds, const std::vector<Section>& sections, uint32_t seed) {
    Track track(chordSeconds, sections.size(), seed);
    for (size_t i = 0; i < sections.size(); ++i) track.Add(i, sections[i]);
    return track.Interleaved();
}

}  // namespace

std::vector<float> MenuTrack() {
    const std::vector<Chord> theme = {{57, true}, {53, false}, {48, false}, {55, false}};  // Am F C G
    const std::vector<Chord> turn = {{53, false}, {55, false}, {52, true}, {57, true}};    // F G Em Am
    const std::vector<Chord> shade = {{50, true}, {57, true}, {52, false}, {57, true}};    // Dm Am E Am
    return Compose(2.0,
                   {
                       {theme, 0, false, Melody::None, 0, 1.0f, Fade::In},
                       {theme, 8, false, Melody::None, 0, 1.0f, Fade::None},
                       {theme, 8, false, Melody::Theme, 0, 1.0f, Fade::None},
                       {turn, 12, true, Melody::Varied, 0, 0.8f, Fade::None},
                       {theme, 8, false, Melody::High, 0, 1.0f, Fade::None},
                       {shade, 16, false, Melody::None, 0, 1.3f, Fade::None},
                       {theme, 8, false, Melody::Theme, 0, 1.0f, Fade::None},
                       {theme, 4, true, Melody::None, 0, 1.0f, Fade::Out},
                   },
                   500);
}

std::vector<float> BattleTrack() {
    const std::vector<Chord> theme = {{50, true}, {46, false}, {48, false}, {45, false}};  // Dm Bb C A
    const std::vector<Chord> turn = {{55, true}, {50, true}, {46, false}, {45, false}};    // Gm Dm Bb A
    return Compose(1.5,
                   {
                       {theme, 0, false, Melody::None, 1, 0.5f, Fade::In},
                       {theme, 12, false, Melody::None, 1, 1.0f, Fade::None},
                       {theme, 12, false, Melody::Theme, 2, 1.0f, Fade::None},
                       {theme, 12, false, Melody::Varied, 2, 1.0f, Fade::None},
                       {turn, 8, true, Melody::None, 1, 1.0f, Fade::None},
                       {turn, 8, true, Melody::Varied, 2, 1.0f, Fade::None},
                       {theme, 6, false, Melody::None, 0, 1.3f, Fade::None},
                       {theme, 12, false, Melody::None, 1, 1.0f, Fade::None},
                       {theme, 12, false, Melody::High, 2, 1.0f, Fade::None},
                       {theme, 16, false, Melody::Theme, 2, 1.0f, Fade::None},
                       {theme, 6, true, Melody::None, 1, 0.8f, Fade::Out},
                   },
                   700);
}

}  // namespace music
