#include <array>
#include <cmath>

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

// The same steps as mixFrame for one voice over `count` frames: writes the
// voice's signal x of frame k to signal[k] and returns it as pending shares.
// Meanwhile it adds the previous voice's pending shares to the sums: the two
// independent streams of work overlap, and since the voices are taken in
// index order, every frame's sums receive the same additions in the same
// order as in mixFrame. The voice's instrument has all its sample points
// inside the image.
PendingShares Player::mixVoiceRun(Voice& v, double* signal, StereoSum* sums, int count,
                                  const PendingShares& previous) {
    const Instrument& ins = instruments[v.instrument];
    const double end = static_cast<double>(ins.end);
    const double gain = mixGain(v.volume);
    const double step = v.step;
    // While the position lies in [2, plainLimit) both points are plain bytes:
    // past the silent head, before a one-shot sound's silent tail, and short
    // of the end (so no loop seam and no end test). Other frames take the
    // general path of mixFrame.
    const std::uint32_t plainEnd = ins.looped ? ins.end : (ins.end >= 2 ? ins.end - 2 : 0);
    const bool anyPlain = plainEnd >= 4;
    const std::uint8_t* points = anyPlain ? image_.span(ins.sampleStart + 2, plainEnd - 2).data() : nullptr;
    const double plainLimit = anyPlain ? static_cast<double>(plainEnd) - 1.0 : 0.0;

    double position = v.position;
    int k = 0;
    while (k < count) {
        if (position >= 2.0 && position < plainLimit) {
            do {
                // The position is below 2^31 here, so a signed conversion
                // truncates exactly as the unsigned one does.
                const auto i0 = static_cast<std::int32_t>(position);
                const double frac = position - static_cast<double>(i0);
                signal[k] = gain * interpolate(pointValue[points[i0 - 2]], pointValue[points[i0 - 1]], frac);
                previous.addTo(sums, k);
                position = position + step;
                ++k;
            } while (k < count && position < plainLimit);
            continue;
        }
        if (position >= end) {
            if (!ins.looped) {
                v.active = false;
                break;
            }
            position = wrapLoopPosition(position, ins);
        }
        const auto i0 = static_cast<std::uint32_t>(position);
        const double frac = position - static_cast<double>(i0);
        signal[k] = gain * interpolate(sampleAt(ins, i0), sampleAt(ins, i0 + 1), frac);
        previous.addTo(sums, k);
        position = position + step;
        ++k;
    }
    v.position = position;
    for (int j = k; j < previous.count; ++j) previous.addTo(sums, j);
    return {signal, StereoSum{static_cast<double>(15 - v.pan), static_cast<double>(v.pan)}, k};
}

}  // namespace korvale
