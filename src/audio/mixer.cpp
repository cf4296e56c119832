#include <array>
#include <cmath>
#include <cstddef>

#include "audio/mix_arithmetic.hpp"
#include "audio/player.hpp"

namespace korvale {

namespace {

// Sample byte b as the signed point value b - 128.
constexpr std::array<double, 256> pointValue = [] {
    std::array<double, 256> values{};
    for (int b = 0; b < 256; ++b) values[static_cast<std::size_t>(b)] = b - 128;
    return values;
}();

}  // namespace

std::int32_t Player::sampleAt(const Instrument& ins, std::uint32_t index) const {
    if (index >= ins.end) {
        if (!ins.looped) return 0;
        index = ins.loopStart + (index - ins.loopStart) % (ins.end - ins.loopStart);
    }
    // The first two points of every sound, and the last two of a one-shot
    // sound, are silent: they hold the click of the cut.
    if (index < 2) return 0;
    if (!ins.looped && index + 2 >= ins.end) return 0;
    return static_cast<std::int32_t>(image_.read8(ins.sampleStart + index)) - 128;
}

void Player::mixFrame(StereoFrame& frame) {
    double left = 0.0;
    double right = 0.0;
    for (Voice& v : voices) {
        if (!v.active) continue;
        const Instrument& ins = instruments[v.instrument];
        if (v.position >= static_cast<double>(ins.end)) {
            if (!ins.looped) {
                v.active = false;
                continue;
            }
            v.position = wrapLoopPosition(v.position, ins);
        }
        const auto i0 = static_cast<std::uint32_t>(v.position);
        const double frac = v.position - static_cast<double>(i0);
        const std::int32_t s0 = sampleAt(ins, i0);
        const std::int32_t s1 = sampleAt(ins, i0 + 1);
        const double x = mixGain(v.volume) * interpolate(s0, s1, frac);
        left = left + (static_cast<double>(15 - v.pan) * x) / 15.0;
        right = right + (x * static_cast<double>(v.pan)) / 15.0;
        v.position = v.position + v.step;
    }
    frame.left = toOutputSample(left);
    frame.right = toOutputSample(right);
}

bool Player::activeSamplesInImage() const {
    for (const Voice& v : voices) {
        if (v.active && !samplesInImage(instruments[v.instrument])) return false;
    }
    return true;
}

namespace {

// One voice's walk through its sample points over a run.
struct VoiceCursor {
    Voice* voice = nullptr;
    const Instrument* ins = nullptr;
    double gain = 0.0;
    double step = 0.0;
    double position = 0.0;
    // While the position lies in [2, plainLimit) both points are plain bytes:
    // past the silent head, before a one-shot sound's silent tail, and short
    // of the end (so no loop seam and no end test). Other frames take the
    // general path of mixFrame.
    double plainLimit = 0.0;
    const std::uint8_t* points = nullptr;
    double* signal = nullptr;
    // Frames mixed so far; stays below the run length once the voice ended.
    int done = 0;
    bool live = false;

    [[nodiscard]] bool plain() const { return position >= 2.0 && position < plainLimit; }
};

// The signal of a plain frame. The position is below 2^31 there, so a signed
// conversion truncates exactly as the unsigned one does; a pointer-sized one
// needs no widening for the indexing.
inline double plainSignal(const std::uint8_t* points, double gain, double position) {
    const auto i0 = static_cast<std::ptrdiff_t>(position);
    const double frac = position - static_cast<double>(i0);
    return gain * interpolate(pointValue[points[i0 - 2]], pointValue[points[i0 - 1]], frac);
}

}  // namespace

// The same steps as mixFrame for voices a and b (b may be null) over `count`
// frames: writes each voice's signal x of frame k to its signal[k] and
// returns them as pending shares, a's first. Meanwhile it adds the previous
// pair's pending shares to the sums. The two position chains and the
// additions are independent streams of work that overlap, and since the
// voices are taken in index order, every frame's sums receive the same
// additions in the same order as in mixFrame. The voices' instruments have
// all their sample points inside the image.
std::array<PendingShares, 2> Player::mixVoicePairRun(Voice* a, Voice* b, double* signalA, double* signalB,
                                                     StereoSum* sums, int count,
                                                     const std::array<PendingShares, 2>& previous) {
    const auto start = [this](Voice* v, double* signal) {
        VoiceCursor c;
        if (v == nullptr) return c;
        c.voice = v;
        c.ins = &instruments[v->instrument];
        c.gain = mixGain(v->volume);
        c.step = v->step;
        c.position = v->position;
        c.signal = signal;
        c.live = true;
        const Instrument& ins = *c.ins;
        const std::uint32_t plainEnd = ins.looped ? ins.end : (ins.end >= 2 ? ins.end - 2 : 0);
        if (plainEnd >= 4) {
            c.points = image_.span(ins.sampleStart + 2, plainEnd - 2).data();
            c.plainLimit = static_cast<double>(plainEnd) - 1.0;
        }
        return c;
    };
    const auto generalFrame = [this](VoiceCursor& c, int k) {
        const Instrument& ins = *c.ins;
        if (c.position >= static_cast<double>(ins.end)) {
            if (!ins.looped) {
                c.live = false;
                c.voice->active = false;
                return;
            }
            c.position = wrapLoopPosition(c.position, ins);
        }
        const auto i0 = static_cast<std::uint32_t>(c.position);
        const double frac = c.position - static_cast<double>(i0);
        c.signal[k] = c.gain * interpolate(sampleAt(ins, i0), sampleAt(ins, i0 + 1), frac);
        c.position = c.position + c.step;
        c.done = k + 1;
    };
    // The previous pair's shares in locals, and both added in one pass over
    // frame k's sums: the same two additions in the same order as addTo, but
    // with no reload of the pair through memory after every store to the sums.
    const double* const signal0 = previous[0].signal;
    const double* const signal1 = previous[1].signal;
    const StereoSum shares0 = previous[0].shares;
    const StereoSum shares1 = previous[1].shares;
    const int count0 = previous[0].count;
    const int count1 = previous[1].count;
    const auto addPrevious = [=](int j) {
        StereoSum sum = sums[j];
        if (j < count0) sum = sum + (shares0 * StereoSum{signal0[j], signal0[j]}) / StereoSum{15.0, 15.0};
        if (j < count1) sum = sum + (shares1 * StereoSum{signal1[j], signal1[j]}) / StereoSum{15.0, 15.0};
        sums[j] = sum;
    };

    VoiceCursor ca = start(a, signalA);
    VoiceCursor cb = start(b, signalB);
    int k = 0;
    while (k < count && (ca.live || cb.live)) {
        const bool aPlain = ca.live && ca.plain();
        const bool bPlain = cb.live && cb.plain();
        // The hot loops keep the cursors in locals: stores to the signals
        // must not force the positions through memory.
        if (aPlain && bPlain) {
            const std::uint8_t* const pointsA = ca.points;
            const std::uint8_t* const pointsB = cb.points;
            const double gainA = ca.gain, gainB = cb.gain, stepA = ca.step, stepB = cb.step;
            const double limitA = ca.plainLimit, limitB = cb.plainLimit;
            double positionA = ca.position, positionB = cb.position;
            do {
                signalA[k] = plainSignal(pointsA, gainA, positionA);
                signalB[k] = plainSignal(pointsB, gainB, positionB);
                positionA = positionA + stepA;
                positionB = positionB + stepB;
                addPrevious(k);
                ++k;
            } while (k < count && positionA < limitA && positionB < limitB);
            ca.position = positionA;
            cb.position = positionB;
            ca.done = k;
            cb.done = k;
            continue;
        }
        if (aPlain != bPlain && !(aPlain ? cb.live : ca.live)) {
            VoiceCursor& c = aPlain ? ca : cb;
            const std::uint8_t* const points = c.points;
            double* const signal = c.signal;
            const double gain = c.gain, step = c.step, limit = c.plainLimit;
            double position = c.position;
            do {
                signal[k] = plainSignal(points, gain, position);
                position = position + step;
                addPrevious(k);
                ++k;
            } while (k < count && position < limit);
            c.position = position;
            c.done = k;
            continue;
        }
        if (ca.live) generalFrame(ca, k);
        if (cb.live) generalFrame(cb, k);
        addPrevious(k);
        ++k;
    }
    for (int j = k; j < count; ++j) {
        addPrevious(j);
    }
    const auto pending = [](const VoiceCursor& c) {
        if (c.voice == nullptr) return PendingShares{};
        c.voice->position = c.position;
        const std::int32_t pan = c.voice->pan;
        return PendingShares{c.signal, StereoSum{static_cast<double>(15 - pan), static_cast<double>(pan)}, c.done};
    };
    return {pending(ca), pending(cb)};
}

}  // namespace korvale
