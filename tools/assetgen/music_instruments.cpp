// The 19 instruments, synthesised. Pitched sounds are built additively from
// harmonics of the period in music_tuning.hpp, so every note is in tune and
// every loop holds a whole number of cycles of every partial: the point at
// loopStart is exactly the one that would follow end - 1.
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/fatal_error.hpp"
#include "detmath.hpp"
#include "music_parts.hpp"
#include "music_tuning.hpp"

namespace korvale::gen::music {

using namespace korvale::region;

double engineStep(std::uint32_t baseRate, int note) {
    static constexpr std::uint32_t noteFrequencies[12] = {65406, 69295, 73416, 77718,  82406,  87307,
                                                          92499, 97998, 103820, 110000, 116540, 123470};
    const auto octave = static_cast<std::uint32_t>(note / 12);
    std::uint32_t f = baseRate * noteFrequencies[note % 12] / 2420022u;
    f = octave >= 3 ? f << (octave - 3) : f >> (3 - octave);
    return static_cast<double>(f) * 38587.5 * 0.0009765625 * 0.9676164547221004 / 48000.0;
}

namespace {

constexpr double twoPi = 2.0 * pi;

// One cycle of a sine, read with linear interpolation: the additive
// instruments need millions of partial values and detSin for each would make
// the generator slow.
class SineTable {
public:
    SineTable() : table_(size + 1) {
        for (int i = 0; i <= size; ++i) table_[static_cast<std::size_t>(i)] = detSin(twoPi * i / size);
    }
    // sin(2 pi cycles), any cycles >= 0.
    [[nodiscard]] double operator()(double cycles) const {
        const double x = (cycles - static_cast<double>(static_cast<std::int64_t>(cycles))) * size;
        const auto i = static_cast<std::size_t>(x);
        const double frac = x - static_cast<double>(i);
        return table_[i] + (table_[i + 1] - table_[i]) * frac;
    }

private:
    static constexpr int size = 8192;
    std::vector<double> table_;
};

const SineTable& sine() {
    static const SineTable table;
    return table;
}

double softClip(double x) {
    if (x > 3.0) return 1.0;
    if (x < -3.0) return -1.0;
    return x * (27.0 + x * x) / (27.0 + 9.0 * x * x);
}

// Resonant low-pass magnitude at harmonic h for a cutoff at harmonic c.
double lowPass(double h, double c, double q) {
    const double r = h / c;
    const double a = 1.0 - r * r;
    // sqrt is correctly rounded on every IEEE machine, unlike the library's exp and log
    return 1.0 / std::sqrt(a * a + r * r / (q * q));
}

// State-variable filter, for the noise-based drums. It runs twice per point:
// run once, it turns unstable for cutoffs above about a sixth of the rate.
class Svf {
public:
    Svf(double cutoffHz, double q, double sampleRate)
        : f_(2.0 * detSin(pi * cutoffHz / (2.0 * sampleRate))), damp_(1.0 / q) {}
    void run(double x) {
        for (int pass = 0; pass < 2; ++pass) {
            low_ += f_ * band_;
            high_ = x - low_ - damp_ * band_;
            band_ += f_ * high_;
        }
    }
    [[nodiscard]] double low() const { return low_; }
    [[nodiscard]] double band() const { return band_; }
    [[nodiscard]] double high() const { return high_; }

private:
    double f_;
    double damp_;
    double low_ = 0.0;
    double band_ = 0.0;
    double high_ = 0.0;
};

struct Sound {
    const char* name;
    std::vector<double> points;
    std::uint32_t loopStart = 0;  // looped sounds only
    bool looped = false;
};

// Linear fade to silence over the last `count` points of a one-shot.
void fadeOut(std::vector<double>& x, std::size_t count) {
    for (std::size_t i = 0; i < count && i < x.size(); ++i) {
        x[x.size() - 1 - i] *= static_cast<double>(i) / static_cast<double>(count);
    }
}

double drumRateHz(int note) { return 48000.0 * engineStep(drumRate, note); }

// ---- drums ---------------------------------------------------------------

Sound makeKick(std::size_t length) {
    const double sr = drumRateHz(drumNote24k);
    Random rng(0x4B1C);
    std::vector<double> x(length);
    double phase = 0.0;
    double click = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        const double f = 46.0 + 95.0 * detExp(-t / 0.045) + 260.0 * detExp(-t / 0.006);
        phase += f / sr;
        const double attack = t < 0.0015 ? t / 0.0015 : 1.0;
        const double body = sine()(phase) * (0.7 * detExp(-t / 0.11) + 0.3 * detExp(-t / 0.3));
        click = 0.6 * click + 0.4 * rng.bipolar();
        x[i] = softClip(2.2 * attack * (body + 0.35 * click * detExp(-t / 0.004)));
    }
    fadeOut(x, static_cast<std::size_t>(0.03 * sr));
    return {"kick", x};
}

Sound makeSnare(std::size_t length) {
    const double sr = drumRateHz(drumNote32k);
    Random rng(0x5A4E);
    Svf high(1800.0, 0.7, sr);
    Svf band(5200.0, 1.2, sr);
    std::vector<double> x(length);
    double phase1 = 0.0;
    double phase2 = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        phase1 += (178.0 + 40.0 * detExp(-t / 0.01)) / sr;
        phase2 += 331.0 / sr;
        const double tone = 0.75 * sine()(phase1) * detExp(-t / 0.045) + 0.35 * sine()(phase2) * detExp(-t / 0.025);
        const double n = rng.bipolar();
        high.run(n);
        band.run(n);
        const double attack = t < 0.001 ? t / 0.001 : 1.0;
        const double rattle = (0.8 * high.high() + 0.5 * band.band()) * (0.7 * detExp(-t / 0.06) + 0.3 * detExp(-t / 0.14));
        x[i] = softClip(1.6 * attack * (tone + rattle));
    }
    fadeOut(x, static_cast<std::size_t>(0.04 * sr));
    return {"snare", x};
}

// Six inharmonic square-ish partials and filtered noise: the metal of the hats.
std::vector<double> metal(std::size_t length, double sr, std::uint32_t seed) {
    static constexpr double partials[6] = {3170.0, 4480.0, 5290.0, 6710.0, 8130.0, 9870.0};
    Random rng(seed);
    Svf hp1(6500.0, 0.8, sr);
    Svf hp2(7500.0, 0.8, sr);
    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        double m = 0.0;
        for (const double p : partials) {
            // a square wave's first two odd partials, all below 30 kHz
            m += sine()(p * t) + 0.33 * (3.0 * p < 0.45 * sr ? sine()(3.0 * p * t) : 0.0);
        }
        hp1.run(0.12 * m + rng.bipolar());
        hp2.run(hp1.high());
        x[i] = hp2.high();
    }
    return x;
}

Sound makeHat(const char* name, std::size_t length, double decay, std::uint32_t seed) {
    const double sr = drumRateHz(drumNote48k);
    std::vector<double> x = metal(length, sr, seed);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        const double attack = t < 0.0008 ? t / 0.0008 : 1.0;
        x[i] *= attack * detExp(-t / decay);
    }
    fadeOut(x, length / 6);
    return {name, x};
}

Sound makeClap(std::size_t length) {
    const double sr = drumRateHz(drumNote32k);
    Random rng(0xC1A9);
    Svf band(1250.0, 1.4, sr);
    Svf air(3800.0, 1.0, sr);
    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        double env = 0.0;
        for (int b = 0; b < 3; ++b) {
            const double tb = t - 0.0105 * b;
            if (tb >= 0.0) env += (tb < 0.0005 ? tb / 0.0005 : 1.0) * detExp(-tb / 0.0045) * (b < 2 ? 1.0 : 0.0);
        }
        const double tail = t >= 0.021 ? detExp(-(t - 0.021) / 0.07) : (t >= 0.0205 ? 1.0 : 0.0);
        const double n = rng.bipolar();
        band.run(n);
        air.run(n);
        x[i] = softClip(2.0 * (env + tail) * (band.band() + 0.3 * air.band()));
    }
    fadeOut(x, length / 5);
    return {"clap", x};
}

Sound makeTom(std::size_t length) {
    const double sr = drumRateHz(drumNote24k);
    Random rng(0x7011);
    Svf band(900.0, 1.0, sr);
    std::vector<double> x(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        phase += (92.0 + 75.0 * detExp(-t / 0.05)) / sr;
        band.run(rng.bipolar());
        const double attack = t < 0.001 ? t / 0.001 : 1.0;
        x[i] = softClip(1.5 * attack *
                        (sine()(phase) * detExp(-t / 0.14) + 0.25 * sine()(1.5 * phase) * detExp(-t / 0.05) +
                         0.5 * band.band() * detExp(-t / 0.012)));
    }
    fadeOut(x, length / 5);
    return {"tom", x};
}

Sound makeCrash(std::size_t length) {
    const double sr = drumRateHz(drumNote24k);
    Random rng(0xC7A5);
    std::array<double, 24> freq{};
    std::array<double, 24> phase{};
    for (std::size_t k = 0; k < freq.size(); ++k) {
        freq[k] = 420.0 * detPow(24.0, rng.unit());  // 420 Hz to 10 kHz, spread evenly in pitch
        phase[k] = rng.unit();
    }
    Svf hp(900.0, 0.7, sr);
    Svf shimmer(7000.0, 0.9, sr);
    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        double m = 0.0;
        for (std::size_t k = 0; k < freq.size(); ++k) m += sine()(phase[k] + freq[k] * t);
        const double n = rng.bipolar();
        hp.run(0.08 * m + n);
        shimmer.run(n);
        const double attack = t < 0.002 ? t / 0.002 : 1.0;
        x[i] = attack * (hp.high() + 0.6 * shimmer.band()) * (0.5 * detExp(-t / 0.08) + 0.5 * detExp(-t / 0.45));
    }
    fadeOut(x, length / 3);
    return {"crash", x};
}

// ---- pitched, looped -------------------------------------------------------

// A looped sound whose loop is `tuning.cycleSamples` points long and starts
// after a head of `head` points. voice(point index in the loop, time in
// loop-periods since the start, point index) gives the value; whatever it
// does before `head`, from there on it must depend on the loop index alone.
template <typename Voice>
Sound makeLooped(const char* name, InstrumentId id, std::uint32_t head, Voice voice) {
    const std::uint32_t loop = tunings[id].cycleSamples;
    std::vector<double> x(head + loop);
    for (std::uint32_t i = 0; i < head + loop; ++i) {
        const std::uint32_t j = (i + loop - head % loop) % loop;
        x[i] = voice(j, i);
    }
    return {name, x, head, true};
}

// Partial frequency in cycles per point of a loop: `cycles` whole cycles in
// `loop` points. Reduced to an exact integer phase so that the loop repeats
// bit for bit.
double loopPhase(std::uint32_t j, std::uint32_t cycles, std::uint32_t loop) {
    return static_cast<double>((static_cast<std::uint64_t>(j) * cycles) % loop) / static_cast<double>(loop);
}

Sound makeBass() {
    const std::uint32_t loop = tunings[bass].cycleSamples;
    const std::uint32_t head = 10 * loop;
    return makeLooped("bass", bass, head, [&](std::uint32_t j, std::uint32_t i) {
        const double progress = i < head ? static_cast<double>(i) / head : 1.0;
        const double cutoff = 7.0 + 22.0 * (1.0 - progress) * (1.0 - progress);
        const double attack = i < 24 ? i / 24.0 : 1.0;
        double v = 0.0;
        for (std::uint32_t h = 1; h <= 60; ++h) {
            const double shape = (h % 2 == 1 ? 1.0 : 0.55) / h;
            v += shape * lowPass(h, cutoff, 1.8) * sine()(loopPhase(j, h, loop));
        }
        v += 0.5 * sine()(loopPhase(j, 1, loop));
        return attack * v;
    });
}

// Supersaw-style ensemble: detuned saws with whole cycle counts in the loop.
double ensemble(std::uint32_t j, std::uint32_t loop, const std::vector<std::uint32_t>& cycles,
                const std::vector<double>& gains, const std::vector<double>& phases, std::uint32_t harmonics) {
    double v = 0.0;
    for (std::size_t k = 0; k < cycles.size(); ++k) {
        for (std::uint32_t h = 1; h <= harmonics; ++h) {
            const double ph = phases[k * harmonics + h - 1];
            const double p = loopPhase(j, cycles[k] * h, loop) + ph;
            v += gains[h - 1] * sine()(p);
        }
    }
    return v;
}

std::vector<double> randomPhases(std::size_t count, std::uint32_t seed) {
    Random rng(seed);
    std::vector<double> p(count);
    for (double& v : p) v = rng.unit();
    return p;
}

// A sustained ensemble: three slightly detuned copies of one spectrum,
// faded in over its first 32 points so that the attack does not click.
constexpr std::uint32_t ensembleHarmonics = 40;

Sound makeEnsembleSound(const char* name, InstrumentId id, const std::vector<std::uint32_t>& cycles,
                        const std::vector<double>& gains, std::uint32_t phaseSeed) {
    const std::uint32_t loop = tunings[id].cycleSamples;
    const auto phases = randomPhases(cycles.size() * ensembleHarmonics, phaseSeed);
    return makeLooped(name, id, 64, [&](std::uint32_t j, std::uint32_t i) {
        return (i < 32 ? i / 32.0 : 1.0) * ensemble(j, loop, cycles, gains, phases, ensembleHarmonics);
    });
}

Sound makePad() {
    std::vector<double> gains(ensembleHarmonics);
    for (std::uint32_t h = 1; h <= ensembleHarmonics; ++h) gains[h - 1] = lowPass(h, 9.0, 0.8) / h;
    return makeEnsembleSound("pad", pad, {95, 96, 97}, gains, 0x9AD);
}

Sound makeStrings() {
    std::vector<double> gains(ensembleHarmonics);
    for (std::uint32_t h = 1; h <= ensembleHarmonics; ++h) {
        // a body resonance a little above the fifth harmonic, as bowed strings have
        const double body = 1.0 + 1.2 * detExp(-(h - 5.5) * (h - 5.5) / 6.0);
        gains[h - 1] = body * lowPass(h, 16.0, 0.8) / h;
    }
    return makeEnsembleSound("strings", strings, {63, 64, 65}, gains, 0x57A1);
}

Sound makeChoir() {
    // Vowel "ah" at the instrument's middle, A3: formants near 750, 1150, 2600 Hz.
    std::vector<double> gains(ensembleHarmonics);
    for (std::uint32_t h = 1; h <= ensembleHarmonics; ++h) {
        const double hz = 220.0 * h;
        const auto peak = [&](double centre, double width, double level) {
            const double d = (hz - centre) / width;
            return level / (1.0 + d * d);
        };
        gains[h - 1] = (peak(750.0, 130.0, 1.0) + peak(1150.0, 150.0, 0.6) + peak(2600.0, 250.0, 0.25) + 0.15 / h) /
                       std::sqrt(static_cast<double>(h));
    }
    return makeEnsembleSound("choir", choir, {63, 64, 65}, gains, 0xC401);
}

Sound makeLead() {
    const std::uint32_t loop = tunings[lead].cycleSamples;
    const std::uint32_t head = 1200;
    return makeLooped("lead", lead, head, [&](std::uint32_t j, std::uint32_t i) {
        const double progress = i < head ? static_cast<double>(i) / head : 1.0;
        const double cutoff = 9.0 + 14.0 * (1.0 - progress) * (1.0 - progress);
        const double attack = i < 40 ? i / 40.0 : 1.0;
        double v = 0.0;
        for (std::uint32_t h = 1; h <= 22; ++h) {
            // saw and square together: hollow, but with the saw's edge
            const double shape = (h % 2 == 1 ? 1.0 : 0.5) / h;
            const double g = shape * lowPass(h, cutoff, 1.3);
            v += g * sine()(loopPhase(j, 64 * h, loop));
            v += 0.45 * g * sine()(loopPhase(j, 65 * h, loop) + 0.25);
        }
        for (std::uint32_t h = 1; h <= 11; ++h) {
            v += 0.25 / h * sine()(loopPhase(j, 129 * h, loop) + 0.5);
        }
        return attack * v;
    });
}

Sound makeChip() {
    const std::uint32_t loop = tunings[chip].cycleSamples;
    return makeLooped("chip", chip, 64, [&](std::uint32_t j, std::uint32_t i) {
        // pulse width swept once round the loop
        const double width = 0.5 + 0.32 * sine()(static_cast<double>(j) / loop);
        double v = 0.0;
        for (std::uint32_t h = 1; h <= 20; ++h) {
            const double p = loopPhase(j, 32 * h, loop);
            v += (sine()(p) - sine()(p + h * width + 64.0)) / h;
        }
        return (i < 16 ? i / 16.0 : 1.0) * v;
    });
}

Sound makeNoise() {
    constexpr std::uint32_t loop = 4096;
    constexpr std::uint32_t head = 64;
    Random rng(0x2015E);
    std::vector<double> white(loop);
    for (double& v : white) v = rng.bipolar();
    // Filter three rounds of the same noise and keep the last, so the filter
    // has settled into the loop's own steady state and the seam is smooth.
    Svf band(2400.0, 0.9, 48000.0);
    std::vector<double> looped(loop);
    for (int round = 0; round < 3; ++round) {
        for (std::uint32_t j = 0; j < loop; ++j) {
            band.run(white[j]);
            looped[j] = band.band() + 0.25 * band.high();
        }
    }
    std::vector<double> x(head + loop);
    for (std::uint32_t i = 0; i < head + loop; ++i) {
        x[i] = (i < 32 ? i / 32.0 : 1.0) * looped[(i + loop - head) % loop];
    }
    return {"noise", x, head, true};
}

// ---- pitched, one-shot -----------------------------------------------------

// `cycles` of the instrument's period, partial by partial.
template <typename Partials>
Sound makeOneShot(const char* name, InstrumentId id, std::size_t length, Partials partials) {
    const double period = tunings[id].samplesPerCycle();
    std::vector<double> x(length);
    for (std::size_t i = 0; i < length; ++i) {
        const double cycle = static_cast<double>(i) / period;
        x[i] = partials(cycle, i);
    }
    fadeOut(x, length / 8);
    return {name, x};
}

Sound makeAcidBass(std::size_t length) {
    return makeOneShot("acid bass", acidBass, length, [](double cycle, std::size_t i) {
        const double cutoff = 3.5 + 26.0 * detExp(-cycle / 4.0);
        const double attack = i < 24 ? i / 24.0 : 1.0;
        double v = 0.0;
        for (std::uint32_t h = 1; h <= 60; ++h) v += lowPass(h, cutoff, 4.0) / h * sine()(h * cycle);
        return attack * detExp(-cycle / 14.0) * softClip(1.5 * v);
    });
}

Sound makePluck(std::size_t length) {
    return makeOneShot("pluck", pluck, length, [](double cycle, std::size_t i) {
        const double attack = i < 12 ? i / 12.0 : 1.0;
        double v = 0.0;
        for (std::uint32_t h = 1; h <= 30; ++h) {
            const double decay = 0.012 + 0.0011 * h * h;
            v += ((h % 2 == 1 ? 1.0 : 0.7) / h) * detExp(-cycle * decay) * sine()(h * cycle);
        }
        return attack * v;
    });
}

Sound makeBell(std::size_t length) {
    struct Partial {
        double ratio;
        double level;
        double decayCycles;
    };
    static constexpr Partial partials[] = {{0.5, 0.35, 260.0}, {1.0, 1.0, 180.0}, {2.0, 0.55, 110.0},
                                           {2.76, 0.5, 70.0},  {4.07, 0.3, 45.0}, {5.43, 0.22, 30.0},
                                           {6.8, 0.14, 22.0},  {8.93, 0.1, 14.0}};
    return makeOneShot("bell", bell, length, [](double cycle, std::size_t i) {
        const double attack = i < 10 ? i / 10.0 : 1.0;
        double v = 0.0;
        for (const auto& p : partials) v += p.level * detExp(-cycle / p.decayCycles) * sine()(p.ratio * cycle);
        return attack * v;
    });
}

Sound makeStab(std::size_t length) {
    // A minor chord in one sound: root, minor third, fifth and octave.
    static constexpr double chord[] = {1.0, 1.189207115002721, 1.4983070768766815, 2.0};
    return makeOneShot("stab", stab, length, [](double cycle, std::size_t i) {
        const double attack = i < 16 ? i / 16.0 : 1.0;
        const double cutoff = 5.0 + 20.0 * detExp(-cycle / 6.0);
        double v = 0.0;
        for (const double r : chord) {
            for (std::uint32_t h = 1; h * r <= 40.0; ++h) v += lowPass(h * r, cutoff, 1.2) / h * sine()(h * r * cycle);
        }
        return attack * detExp(-cycle / 22.0) * v;
    });
}

Sound makeZap(std::size_t length) {
    const double sr = drumRateHz(drumNote48k);
    std::vector<double> x(length);
    double phase = 0.0;
    for (std::size_t i = 0; i < length; ++i) {
        const double t = static_cast<double>(i) / sr;
        phase += (140.0 + 3200.0 * detExp(-t / 0.018)) / sr;
        const double attack = t < 0.001 ? t / 0.001 : 1.0;
        x[i] = softClip(1.4 * attack * detExp(-t / 0.05) * (sine()(phase) + 0.3 * sine()(2.0 * phase)));
    }
    fadeOut(x, length / 6);
    return {"zap", x};
}

// Stores one instrument; returns its length.
std::uint32_t store(AssetImageBuffer& image, int index, const Sound& sound, std::uint32_t start) {
    const auto u = static_cast<std::uint32_t>(index);
    const auto length = static_cast<std::uint32_t>(sound.points.size());
    double peak = 0.0;
    for (const double v : sound.points) peak = v > peak ? v : (-v > peak ? -v : peak);
    if (peak <= 0.0) throw FatalError(std::string("sample data: instrument ") + sound.name + " is silent");
    // Full scale on the 8-bit grid; the song's volumes do the balancing.
    const double scale = 126.5 / peak;
    for (std::uint32_t i = 0; i < length; ++i) {
        const double y = sound.points[i] * scale;
        const int q = static_cast<int>(y >= 0.0 ? y + 0.5 : y - 0.5);
        image.put8(start + i, static_cast<std::uint8_t>(128 + q));
    }

    const std::uint32_t header = sampleHeaders.first + sampleHeaderSize * u;
    image.put32(header, length);
    for (std::uint32_t k = 0; k < 12 && sound.name[k] != '\0'; ++k) {
        image.put8(header + 4 + k, static_cast<std::uint8_t>(sound.name[k]));
    }

    const std::uint32_t record = instrumentRecords.first + instrumentRecordSize * u;
    image.put8(record + instrumentFlagsOffset, sound.looped ? instrumentLoopedFlag : 0);
    image.put16(record + instrumentBaseRateOffset, tunings[u].baseRate);
    image.put32(record + instrumentLoopStartOffset, sound.looped ? sound.loopStart : 0);
    image.put32(record + instrumentLoopEndOffset, length);
    return length;
}

}  // namespace

void writeInstruments(AssetImageBuffer& image) {
    image.putBytes(moduleHeader.first, std::vector<std::uint8_t>{'K', 'V', 'S', 'O', 'N', 'G'});
    image.put32(sampleDataDistance, sampleData.first - moduleHeader.first);
    const std::string title = "Glimmerwake - Korvale Pulse";
    image.putBytes(sampleDataDistance + 4, std::vector<std::uint8_t>(title.begin(), title.end()));

    // Fixed lengths for all but the crash, which takes the rest of the region.
    std::array<std::size_t, instrumentTotal> lengths = {
        8400,   // kick: 0.35 s at 24 kHz
        8000,   // snare: 0.25 s at 32 kHz
        3400,   // closed hat: 0.07 s at 48 kHz
        9600,   // open hat: 0.2 s at 48 kHz
        7040,   // clap: 0.22 s at 32 kHz
        7200,   // tom: 0.3 s at 24 kHz
        0,      // crash: the rest
        0,      // bass: head and loop
        5200,   // acid bass: 20 cycles
        0, 0, 0,
        9000,   // pluck: 138 cycles
        9000,   // bell
        0, 0, 0,
        5000,   // zap: 0.1 s at 48 kHz
        5000,   // stab: 38 cycles
    };
    std::array<Sound, instrumentTotal> sounds{};
    sounds[kick] = makeKick(lengths[kick]);
    sounds[snare] = makeSnare(lengths[snare]);
    sounds[closedHat] = makeHat("closed hat", lengths[closedHat], 0.018, 0x4A7);
    sounds[openHat] = makeHat("open hat", lengths[openHat], 0.075, 0x4A8);
    sounds[clap] = makeClap(lengths[clap]);
    sounds[tom] = makeTom(lengths[tom]);
    sounds[bass] = makeBass();
    sounds[acidBass] = makeAcidBass(lengths[acidBass]);
    sounds[pad] = makePad();
    sounds[strings] = makeStrings();
    sounds[lead] = makeLead();
    sounds[pluck] = makePluck(lengths[pluck]);
    sounds[bell] = makeBell(lengths[bell]);
    sounds[chip] = makeChip();
    sounds[choir] = makeChoir();
    sounds[noise] = makeNoise();
    sounds[zap] = makeZap(lengths[zap]);
    sounds[stab] = makeStab(lengths[stab]);

    std::size_t used = 0;
    for (int i = 0; i < instrumentTotal; ++i) used += sounds[static_cast<std::size_t>(i)].points.size();
    if (used + 8000 > sampleData.size()) {
        throw FatalError("sample data: the instruments need " + std::to_string(used) + " bytes, too many for " +
                         std::to_string(sampleData.size()));
    }
    sounds[crash] = makeCrash(sampleData.size() - used);

    std::uint32_t start = sampleData.first;
    for (int i = 0; i < instrumentTotal; ++i) start += store(image, i, sounds[static_cast<std::size_t>(i)], start);
}

}  // namespace korvale::gen::music
