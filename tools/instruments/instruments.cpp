// Synthesises the demo's 13 instrument sounds and writes them as 16-bit PCM WAV files, mono,
// 44100 Hz: the first 22050 values long, the others 11024.
//
// Notes land anywhere in a looping bar on top of each other, so every pitched sound sits on
// one A minor pentatonic scale (A C D E G): any two of them sound well together.
//
// The output is the same on every machine: noise comes from a fixed linear congruential
// generator and the sine and exponential are computed here from + - * / alone, which IEEE
// arithmetic rounds identically everywhere (the platform's libm may differ in the last bit).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {
constexpr double kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr int kLongLength = 22050;
constexpr int kShortLength = 11024;

double Sin(double x) {
    x -= 2 * kPi * std::floor(x / (2 * kPi)); // 0 .. 2pi
    if (x > kPi) return -Sin(x - kPi);
    if (x > kPi / 2) x = kPi - x; // 0 .. pi/2
    const double x2 = x * x;
    double term = x, sum = x;
    for (int n = 1; n < 12; ++n) {
        term *= -x2 / ((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double Exp(double x) {
    int halvings = 0;
    while (x < -0.5 || x > 0.5) {
        x /= 2;
        ++halvings;
    }
    double term = 1, sum = 1;
    for (int n = 1; n < 14; ++n) {
        term *= x / n;
        sum += term;
    }
    while (halvings-- > 0) sum *= sum;
    return sum;
}

// Deterministic white noise in -1 .. 1.
struct Noise {
    uint32_t state;
    double operator()() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

double Time(int i) { return i / kRate; }

// Partials of a struck bar or bell: frequency ratio, strength, decay time in seconds.
struct Partial {
    double ratio, amplitude, decay;
};

std::vector<double> Struck(int length, double frequency, std::initializer_list<Partial> partials) {
    std::vector<double> out(length);
    for (int i = 0; i < length; ++i) {
        const double t = Time(i);
        double v = 0;
        for (const Partial& p : partials) v += p.amplitude * Exp(-t / p.decay) * Sin(2 * kPi * frequency * p.ratio * t);
        out[i] = v;
    }
    return out;
}

// Karplus-Strong plucked string: a burst of softened noise circulating in a delay line one
// period long, averaged on each pass so the high partials die first.
std::vector<double> Pluck(int length, double frequency, uint32_t seed, double decay) {
    const int period = static_cast<int>(std::floor(kRate / frequency + 0.5));
    Noise noise{seed};
    std::vector<double> line(period);
    double soft = 0;
    for (double& v : line) v = soft = 0.75 * soft + 0.25 * noise();
    std::vector<double> out(length);
    for (int i = 0; i < length; ++i) {
        const int at = i % period;
        const double next = line[(at + 1) % period];
        out[i] = line[at];
        line[at] = 0.998 * 0.5 * (line[at] + next);
        out[i] *= Exp(-Time(i) / decay);
    }
    return out;
}

std::vector<double> Bass(int length) {
    // A2 with a little second-harmonic body; upper harmonics fade first, like a picked string.
    const double f = 110.0;
    std::vector<double> out(length);
    for (int i = 0; i < length; ++i) {
        const double t = Time(i);
        double v = 0;
        for (int k = 1; k <= 6; ++k) v += Exp(-t * (3.0 + 9.0 * k)) / k * Sin(2 * kPi * f * k * t);
        out[i] = v * Exp(-t / 0.22);
    }
    return out;
}

std::vector<double> Kick(int length) {
    Noise noise{7};
    std::vector<double> out(length);
    double phase = 0;
    for (int i = 0; i < length; ++i) {
        const double t = Time(i);
        phase += 2 * kPi * (44.0 + 120.0 * Exp(-t / 0.03)) / kRate; // the pitch falls as it sounds
        out[i] = Sin(phase) * Exp(-t / 0.09) + 0.3 * noise() * Exp(-t / 0.002);
    }
    return out;
}

std::vector<double> Snare(int length) {
    Noise noise{11};
    std::vector<double> out(length);
    double low = 0;
    for (int i = 0; i < length; ++i) {
        const double t = Time(i);
        const double n = noise();
        low = 0.7 * low + 0.3 * n;
        const double body = 0.6 * Sin(2 * kPi * 185 * t) + 0.3 * Sin(2 * kPi * 330 * t);
        out[i] = body * Exp(-t / 0.035) + (n - 0.5 * low) * Exp(-t / 0.055);
    }
    return out;
}

std::vector<double> Hat(int length) {
    Noise noise{23};
    std::vector<double> out(length);
    double previous = 0, edge = 0;
    for (int i = 0; i < length; ++i) {
        const double n = noise();
        const double high = n - previous; // twice differenced: only the hiss is left
        previous = n;
        out[i] = (high - edge) * Exp(-Time(i) / 0.022);
        edge = high;
    }
    return out;
}

// A short ramp in, so the first value does not click, and a soft release over the second
// half, so every sound has died away by its end instead of being cut off while it rings;
// then scaled to the wanted peak and rounded.
std::vector<int16_t> Finish(std::vector<double> wave, double peak) {
    const int length = static_cast<int>(wave.size());
    const int ramp = 44; // 1 ms
    const int release = length / 2;
    for (int i = 0; i < ramp; ++i) wave[i] *= static_cast<double>(i) / ramp;
    for (int i = 0; i < release; ++i) {
        const double x = static_cast<double>(i) / release; // 0 .. 1 towards the end
        wave[length - release + i] *= 0.5 + 0.5 * Sin(kPi * x + kPi / 2);
    }
    wave[length - 1] = 0;
    double loudest = 0;
    for (double v : wave) loudest = std::fmax(loudest, std::fabs(v));
    std::vector<int16_t> out(length);
    for (int i = 0; i < length; ++i) {
        const double v = std::floor(wave[i] * peak / loudest + 0.5);
        out[i] = static_cast<int16_t>(std::fmin(32767, std::fmax(-32768, v)));
    }
    return out;
}

void Put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

bool WriteWav(const std::string& name, const std::vector<int16_t>& values) {
    const uint32_t bytes = static_cast<uint32_t>(values.size() * 2);
    std::string out = "RIFF";
    Put32(out, 36 + bytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, 44100);
    Put32(out, 44100 * 2);
    Put16(out, 2);
    Put16(out, 16);
    out += "data";
    Put32(out, bytes);
    for (int16_t v : values) Put16(out, static_cast<uint16_t>(v));
    std::FILE* file = std::fopen(name.c_str(), "wb");
    const bool ok = file && std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (file && std::fclose(file) != 0) return false;
    return ok;
}

struct Instrument {
    const char* name;
    double peak;
    std::function<std::vector<double>(int)> make;
};
} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : KELP_INSTRUMENTS_DIR;
    const Instrument instruments[] = {
        {"00-bass-a2", 30000, Bass},
        {"01-kick", 30000, Kick},
        {"02-snare", 22000, Snare},
        {"03-hat", 12000, Hat},
        {"04-pluck-a3", 28000, [](int n) { return Pluck(n, 220.00, 101, 0.10); }},
        {"05-pluck-c4", 28000, [](int n) { return Pluck(n, 261.63, 202, 0.10); }},
        {"06-pluck-e4", 28000, [](int n) { return Pluck(n, 329.63, 303, 0.09); }},
        {"07-marimba-d4", 28000, [](int n) { return Struck(n, 293.66, {{1, 1, 0.12}, {4, 0.3, 0.035}, {10, 0.1, 0.012}}); }},
        {"08-marimba-g4", 28000, [](int n) { return Struck(n, 392.00, {{1, 1, 0.11}, {4, 0.3, 0.03}, {10, 0.1, 0.01}}); }},
        {"09-marimba-a4", 28000, [](int n) { return Struck(n, 440.00, {{1, 1, 0.10}, {4, 0.3, 0.03}, {10, 0.1, 0.01}}); }},
        {"10-glock-c5", 20000, [](int n) { return Struck(n, 523.25, {{1, 1, 0.16}, {2.76, 0.4, 0.06}, {5.40, 0.2, 0.03}, {8.93, 0.1, 0.015}}); }},
        {"11-glock-e5", 20000, [](int n) { return Struck(n, 659.26, {{1, 1, 0.15}, {2.76, 0.4, 0.05}, {5.40, 0.2, 0.025}, {8.93, 0.1, 0.012}}); }},
        {"12-glock-g5", 20000, [](int n) { return Struck(n, 783.99, {{1, 1, 0.14}, {2.76, 0.4, 0.05}, {5.40, 0.2, 0.02}, {8.93, 0.1, 0.01}}); }},
    };
    bool first = true;
    for (const Instrument& instrument : instruments) {
        const int length = first ? kLongLength : kShortLength;
        first = false;
        const std::string name = folder + "/" + instrument.name + ".wav";
        if (!WriteWav(name, Finish(instrument.make(length), instrument.peak))) {
            std::fprintf(stderr, "instruments: cannot write %s\n", name.c_str());
            return 1;
        }
        std::printf("%s\n", name.c_str());
    }
    return 0;
}
