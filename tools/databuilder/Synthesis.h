#pragma once
// The synthesis primitives of the sample sounds, the music and the intro video's sting:
// oscillators, filters, envelopes and mixing. Every random stream has a fixed seed, so the
// same calls give the same samples on every run.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace synth {

inline constexpr double kPi = 3.14159265358979323846;

// xorshift32: the same numbers on every run.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1) {}
    float Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(state_ / 2147483648.0 - 1.0);
    }

private:
    uint32_t state_;
};

// One-pole low-pass filter; cutoff as a fraction (0 ... 1) of the way to the input per sample.
struct LowPass {
    float y = 0.0f;
    float operator()(float x, float k) { return y += k * (x - y); }
};

// Attack, then exponential decay with the given time constant.
inline double Envelope(double t, double attack, double decay) {
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / decay);
}

// Attack, hold, linear release to the end.
inline double Gate(double t, double attack, double length, double release) {
    if (t < attack) return t / attack;
    if (t > length - release) return std::max(0.0, (length - t) / release);
    return 1.0;
}

// An oscillator whose frequency may change per sample.
struct Oscillator {
    double phase = 0.0;
    double Sine(double freq, double rate) {
        phase += freq / rate;
        phase -= std::floor(phase);
        return std::sin(2.0 * kPi * phase);
    }
    double Saw(double freq, double rate) {
        phase += freq / rate;
        phase -= std::floor(phase);
        return 2.0 * phase - 1.0;
    }
};

using Voice = std::function<double(double t, double length)>;

inline std::vector<float> Render(double seconds, double rate, const Voice& voice) {
    const size_t n = static_cast<size_t>(seconds * rate);
    std::vector<float> out(n);
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<float>(voice(i / rate, seconds));
    return out;
}

inline std::vector<float> ToStereo(const std::vector<float>& mono, float spread, double rate) {
    // a short delay on the right channel widens the sound
    const size_t delay = static_cast<size_t>(0.012 * rate);
    std::vector<float> out(mono.size() * 2);
    for (size_t i = 0; i < mono.size(); ++i) {
        out[2 * i] = mono[i];
        out[2 * i + 1] = (1.0f - spread) * mono[i] + spread * (i >= delay ? mono[i - delay] : 0.0f);
    }
    return out;
}

inline double Midi(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// A plucked string (Karplus-Strong), for bows and the music's arpeggios.
inline std::vector<float> Pluck(double freq, double seconds, double rate, uint32_t seed, double damping) {
    Noise noise(seed);
    std::vector<float> line(static_cast<size_t>(rate / freq));
    for (float& v : line) v = noise.Next();
    std::vector<float> out(static_cast<size_t>(seconds * rate));
    size_t pos = 0;
    for (float& v : out) {
        const size_t next = (pos + 1) % line.size();
        v = line[pos];
        line[pos] = static_cast<float>(damping * 0.5 * (line[pos] + line[next]));
        pos = next;
    }
    return out;
}

inline void Mix(std::vector<float>& into, const std::vector<float>& add, size_t at, float gain) {
    for (size_t i = 0; i < add.size() && at + i < into.size(); ++i) into[at + i] += gain * add[i];
}

inline void Normalise(std::vector<float>& samples, float peak) {
    float max = 0.0f;
    for (float s : samples) max = std::max(max, std::fabs(s));
    if (max > 0.0f) {
        for (float& s : samples) s *= peak / max;
    }
}

}  // namespace synth
