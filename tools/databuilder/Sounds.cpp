// The sound effects (WAV) and the music (Ogg Vorbis, composed in Music.cpp) of the sample
// data, synthesised from tones, noise and envelopes. Every random stream has a fixed seed,
// so the bytes repeat.
#include "tools/catalogue/Sounds.h"
#include "tools/databuilder/Builder.h"
#include "tools/databuilder/Music.h"
#include "tools/databuilder/SoundEncoding.h"
#include "tools/databuilder/Synthesis.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {

using namespace synth;

// --- sound effects ---------------------------------------------------------------

constexpr double kEffectRate = 22050.0;

std::vector<float> Click(double freq, double seconds, uint32_t seed) {
    Noise noise(seed);
    Oscillator osc;
    return Render(seconds, kEffectRate, [&](double t, double) {
        return 0.6 * osc.Sine(freq, kEffectRate) * Envelope(t, 0.002, 0.035) +
               0.4 * noise.Next() * Envelope(t, 0.0005, 0.004);
    });
}

std::vector<float> Buzz(double freq, double seconds) {
    Oscillator osc;
    LowPass lp;
    return Render(seconds, kEffectRate, [&](double t, double len) {
        const double square = osc.Sine(freq, kEffectRate) > 0 ? 0.5 : -0.5;
        return lp(static_cast<float>(square), 0.04f) * Envelope(t, 0.01, 0.12) * Gate(t, 0.0, len, 0.05);
    });
}

std::vector<float> Whoosh(double seconds, double from, double to, uint32_t seed) {
    Noise noise(seed);
    LowPass lp1, lp2;
    return Render(seconds, kEffectRate, [&](double t, double len) {
        const double k = from + (to - from) * (t / len);
        const float x = lp2(lp1(noise.Next(), static_cast<float>(k)), static_cast<float>(k));
        return 2.5 * x * std::sin(kPi * t / len);
    });
}

std::vector<float> Sweep(double seconds, double from, double to, double vibrato, double attack, double decay) {
    Oscillator osc, lfo;
    return Render(seconds, kEffectRate, [&](double t, double len) {
        const double f = from * std::pow(to / from, t / len) * (1.0 + vibrato * lfo.Sine(7.0, kEffectRate));
        return (0.7 * osc.Sine(f, kEffectRate) + 0.3 * osc.Sine(2 * f, kEffectRate)) * Envelope(t, attack, decay);
    });
}

std::vector<float> Bell(const std::vector<double>& notes, double spacing, double seconds, double decay) {
    std::vector<float> out(static_cast<size_t>(seconds * kEffectRate));
    for (size_t n = 0; n < notes.size(); ++n) {
        Oscillator a, b, c;
        const double f = notes[n];
        const std::vector<float> note = Render(seconds - n * spacing, kEffectRate, [&](double t, double) {
            return (0.6 * a.Sine(f, kEffectRate) + 0.25 * b.Sine(2.76 * f, kEffectRate) +
                    0.15 * c.Sine(5.4 * f, kEffectRate)) *
                   Envelope(t, 0.003, decay);
        });
        Mix(out, note, static_cast<size_t>(n * spacing * kEffectRate), 0.6f);
    }
    return out;
}

std::vector<float> Horn(const std::vector<double>& notes, double noteLength, double seconds) {
    std::vector<float> out(static_cast<size_t>(seconds * kEffectRate));
    for (size_t n = 0; n < notes.size(); ++n) {
        Oscillator saw1, saw2;
        LowPass lp;
        const double f = notes[n];
        const std::vector<float> note = Render(noteLength, kEffectRate, [&](double t, double len) {
            const double s = 0.5 * saw1.Saw(f, kEffectRate) + 0.5 * saw2.Saw(f * 1.004, kEffectRate);
            return lp(static_cast<float>(s), 0.12f) * Gate(t, 0.04, len, 0.25);
        });
        Mix(out, note, static_cast<size_t>(n * noteLength * 0.8 * kEffectRate), 0.8f);
    }
    return out;
}

std::vector<float> Thud(double freq, double seconds, double noiseAmount, uint32_t seed) {
    Noise noise(seed);
    Oscillator osc;
    LowPass lp;
    return Render(seconds, kEffectRate, [&](double t, double) {
        const double body = osc.Sine(freq * (1.0 + 1.5 * std::exp(-t / 0.02)), kEffectRate) * Envelope(t, 0.001, 0.08);
        const double crack = lp(noise.Next(), 0.5f) * Envelope(t, 0.0005, 0.03);
        return body + noiseAmount * crack;
    });
}

std::vector<float> Clang(double freq, double seconds, uint32_t seed) {
    Noise noise(seed);
    Oscillator a, b, c;
    return Render(seconds, kEffectRate, [&](double t, double) {
        const double ring = 0.5 * a.Sine(freq, kEffectRate) + 0.3 * b.Sine(freq * 2.41, kEffectRate) +
                            0.2 * c.Sine(freq * 3.93, kEffectRate);
        return ring * Envelope(t, 0.001, 0.12) + 0.5 * noise.Next() * Envelope(t, 0.0005, 0.01);
    });
}

std::vector<float> Rumble(double seconds, double crackle, uint32_t seed) {
    Noise noise(seed), sparks(seed * 7 + 1);
    LowPass lp1, lp2, hp;
    return Render(seconds, kEffectRate, [&](double t, double len) {
        const float low = lp2(lp1(noise.Next(), 0.03f), 0.03f) * 6.0f;
        const float s = sparks.Next();
        const float high = std::fabs(s) > 0.995f - static_cast<float>(crackle) ? s - hp(s, 0.3f) : 0.0f;
        return (low + high) * Gate(t, 0.05, len, len * 0.5);
    });
}

std::vector<float> Boom(double seconds, uint32_t seed) {
    Noise noise(seed);
    LowPass lp;
    Oscillator osc;
    return Render(seconds, kEffectRate, [&](double t, double) {
        const float k = static_cast<float>(0.4 * std::exp(-t / 0.15) + 0.02);
        return lp(noise.Next(), k) * 1.5 * Envelope(t, 0.002, 0.35) +
               0.6 * osc.Sine(55.0 * (1.0 + std::exp(-t / 0.05)), kEffectRate) * Envelope(t, 0.002, 0.25);
    });
}

std::vector<float> Groan(double from, double to, double seconds, uint32_t seed) {
    Noise noise(seed);
    Oscillator saw, lfo;
    LowPass f1, f2;
    return Render(seconds, kEffectRate, [&](double t, double len) {
        const double f = from * std::pow(to / from, t / len) * (1.0 + 0.02 * lfo.Sine(5.5, kEffectRate));
        const float voice = static_cast<float>(saw.Saw(f, kEffectRate) + 0.15 * noise.Next());
        return (f2(f1(voice, 0.18f), 0.25f)) * Gate(t, 0.03, len, len * 0.6);
    });
}

std::vector<float> Sparkle(double seconds, double base, uint32_t seed) {
    std::vector<float> out(static_cast<size_t>(seconds * kEffectRate));
    Noise pick(seed);
    for (int i = 0; i < 12; ++i) {
        const double at = (i / 12.0) * seconds * 0.7;
        const double f = base * std::pow(2.0, (std::fabs(pick.Next()) * 24.0) / 12.0);
        Oscillator osc;
        const std::vector<float> tone = Render(
            0.25, kEffectRate, [&](double t, double) { return osc.Sine(f, kEffectRate) * Envelope(t, 0.002, 0.06); });
        Mix(out, tone, static_cast<size_t>(at * kEffectRate), 0.4f);
    }
    return out;
}

std::vector<float> Sum(std::initializer_list<std::vector<float>> parts) {
    std::vector<float> out;
    for (const auto& p : parts) {
        if (p.size() > out.size()) out.resize(p.size(), 0.0f);
        Mix(out, p, 0, 1.0f);
    }
    return out;
}

struct SoundEffect {
    const char* file;
    int channels;
    int bits;
    double rate;
    std::function<std::vector<float>()> make;
};

std::vector<SoundEffect> Effects() {
    namespace s = catalogue::sounds;
    return {
        {s::kBtnPress, 1, 16, kEffectRate, [] { return Click(1400.0, 0.25, 11); }},
        {s::kBtnUnactive, 1, 8, kEffectRate, [] { return Buzz(150.0, 0.45); }},
        {s::kTransition, 1, 16, kEffectRate,
         [] {
             return Sum({Whoosh(0.5, 0.02, 0.4, 12), Sweep(0.5, 300, 900, 0, 0.2, 0.1)});
         }},
        {s::kWaveBegin, 1, 16, kEffectRate,
         [] {
             return Horn({Midi(57), Midi(64), Midi(69)}, 0.5, 1.3);
         }},
        {s::kWaveOver, 1, 16, kEffectRate,
         [] {
             return Bell({Midi(79), Midi(74), Midi(72)}, 0.18, 1.2, 0.35);
         }},
        {s::kGameVictory, 2, 16, 44100.0,
         [] {
             return Horn({Midi(60), Midi(64), Midi(67), Midi(72), Midi(72)}, 0.45, 2.4);
         }},
        {s::kGameOver, 2, 16, 44100.0,
         [] {
             return Horn({Midi(57), Midi(56), Midi(55), Midi(50)}, 0.6, 2.4);
         }},
        {s::kSpawn, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(0.6, 200, 800, 0.01, 0.05, 0.25), Sparkle(0.6, 1200, 21)});
         }},
        {s::kHeal, 1, 16, kEffectRate,
         [] {
             return Bell({Midi(76), Midi(81), Midi(88)}, 0.1, 0.9, 0.3);
         }},
        {s::kResurrect, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(1.2, 180, 720, 0.02, 0.6, 0.4), Bell({Midi(72), Midi(79)}, 0.4, 1.2, 0.4)});
         }},
        {s::kTeleport, 1, 16, kEffectRate, [] { return Sweep(0.7, 300, 1800, 0.15, 0.02, 0.3); }},
        {s::kHide, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(0.5, 900, 200, 0.0, 0.01, 0.2), Whoosh(0.5, 0.3, 0.02, 31)});
         }},
        {s::kUnhide, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(0.5, 200, 900, 0.0, 0.05, 0.2), Whoosh(0.5, 0.02, 0.3, 32)});
         }},
        {s::kUpgrade, 1, 16, kEffectRate,
         [] {
             return Bell({Midi(67), Midi(71), Midi(74), Midi(79)}, 0.12, 0.8, 0.2);
         }},
        {s::kSell, 1, 16, kEffectRate,
         [] {
             return Sum({Clang(2500, 0.5, 41), Clang(3200, 0.5, 42)});
         }},
        {s::kFireStorm, 1, 16, kEffectRate, [] { return Rumble(1.5, 0.02, 51); }},
        {s::kSlow, 1, 16, kEffectRate, [] { return Sweep(0.9, 600, 200, 0.08, 0.02, 0.5); }},
        {s::kLightningBolt2, 1, 16, kEffectRate,
         [] {
             return Sum({Boom(1.2, 61), Click(3000, 0.3, 62)});
         }},
        {s::kSwordSwing, 1, 16, kEffectRate, [] { return Whoosh(0.3, 0.05, 0.5, 71); }},
        {s::kBowDraw, 1, 16, kEffectRate, [] { return Sweep(0.35, 400, 650, 0.0, 0.3, 0.05); }},
        {s::kSpellCharge, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(0.6, 220, 660, 0.05, 0.5, 0.1), Sparkle(0.6, 900, 72)});
         }},
        {s::kSwordHit, 1, 16, kEffectRate, [] { return Clang(1100, 0.4, 81); }},
        {s::kAxeHit, 1, 16, kEffectRate,
         [] {
             return Sum({Thud(120, 0.4, 0.8, 82), Clang(700, 0.3, 83)});
         }},
        {s::kClubHit, 1, 16, kEffectRate, [] { return Thud(90, 0.4, 0.4, 84); }},
        {s::kBowShot, 1, 16, kEffectRate,
         [] {
             return Sum({Pluck(110, 0.4, kEffectRate, 85, 0.996), Whoosh(0.4, 0.3, 0.1, 86)});
         }},
        {s::kCrossbowShot, 1, 16, kEffectRate,
         [] {
             return Sum({Pluck(165, 0.35, kEffectRate, 87, 0.99), Click(800, 0.35, 88)});
         }},
        {s::kSpellCast, 1, 16, kEffectRate,
         [] {
             return Sum({Sweep(0.5, 800, 2400, 0.1, 0.01, 0.2), Sparkle(0.5, 1500, 89)});
         }},
        {s::kArrowHit, 1, 16, kEffectRate, [] { return Thud(180, 0.3, 0.9, 91); }},
        {s::kFireballHit, 1, 16, kEffectRate,
         [] {
             return Sum({Boom(0.8, 92), Rumble(0.8, 0.03, 93)});
         }},
        {s::kMagicHit, 1, 16, kEffectRate,
         [] {
             return Sum({Bell({Midi(84), Midi(91)}, 0.05, 0.6, 0.15), Thud(200, 0.6, 0.3, 94)});
         }},
        {s::kExplosion, 1, 16, kEffectRate, [] { return Boom(1.3, 95); }},
        {s::kDeath1, 1, 16, kEffectRate, [] { return Groan(220, 140, 0.8, 101); }},
        {s::kDeath2, 1, 16, kEffectRate, [] { return Groan(300, 170, 0.7, 102); }},
        {s::kDeath3, 1, 16, kEffectRate, [] { return Groan(180, 90, 0.9, 103); }},
        {s::kOrcDeath, 1, 16, kEffectRate, [] { return Groan(120, 70, 1.0, 104); }},
        {s::kMonsterDeath, 1, 16, kEffectRate,
         [] {
             return Sum({Groan(90, 45, 1.2, 105), Rumble(1.2, 0.0, 106)});
         }},
    };
}

// --- music -----------------------------------------------------------------------

std::vector<uint8_t> EncodeMusic(const std::vector<float>& stereo, const char* title) {
    const size_t frames = stereo.size() / 2;
    const long rate = static_cast<long>(music::kMusicRate);
    return soundenc::EncodeOggVorbis(stereo, 2, rate, 0.4f,
                                     {std::string("TITLE=") + title, soundenc::SizeComment(frames, rate)});
}

void Check(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.size() < catalogue::sounds::kMinimumFileSize) {
        std::fprintf(stderr, "databuilder: %s has only %zu bytes\n", path.c_str(), bytes.size());
        std::exit(1);
    }
}

}  // namespace

DATABUILDER_WRITER(sounds, 20) {
    const std::string folder = catalogue::sounds::FolderPath();
    for (const SoundEffect& effect : Effects()) {
        std::vector<float> samples = effect.make();
        if (effect.rate != kEffectRate) {
            // made at the effect rate: stretch to the file's rate by repeating samples
            const size_t factor = static_cast<size_t>(effect.rate / kEffectRate);
            std::vector<float> resampled;
            resampled.reserve(samples.size() * factor);
            LowPass smooth;
            for (float s : samples) {
                for (size_t i = 0; i < factor; ++i) resampled.push_back(smooth(s, 0.5f));
            }
            samples.swap(resampled);
        }
        Normalise(samples, 0.85f);
        if (effect.channels == 2) samples = ToStereo(samples, 0.4f, effect.rate);
        const std::vector<uint8_t> wav = soundenc::MakeWav(soundenc::QuantisePcm(samples, effect.bits), effect.channels,
                                                           static_cast<uint32_t>(effect.rate), effect.bits);
        Check(folder + effect.file, wav);
        out.Write(folder + effect.file, wav);
    }

    const std::vector<uint8_t> menu = EncodeMusic(music::MenuTrack(), "Main menu");
    Check(folder + catalogue::sounds::kMainMenuMusic, menu);
    out.Write(folder + catalogue::sounds::kMainMenuMusic, menu);

    const std::vector<uint8_t> battle = EncodeMusic(music::BattleTrack(), "Harrowmere");
    Check(folder + catalogue::sounds::kMapMusic, battle);
    out.Write(folder + catalogue::sounds::kMapMusic, battle);
}
