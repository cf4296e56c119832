#include <cmath>

#include "audio/mix_arithmetic.hpp"
#include "audio/player.hpp"

namespace korvale {

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

// The same steps as mixFrame for one voice over `count` frames, adding its
// share of each frame to left[k] and right[k]. Called voice by voice in index
// order, so every frame's sums see the same additions in the same order.
// The voice's instrument has all its sample points inside the image.
void Player::mixVoiceRun(Voice& v, double* left, double* right, int count) {
    const Instrument& ins = instruments[v.instrument];
    const double end = static_cast<double>(ins.end);
    const double gain = mixGain(v.volume);
    const double leftShare = static_cast<double>(15 - v.pan);
    const double rightShare = static_cast<double>(v.pan);
    const double step = v.step;
    // Frames whose two points lie in [2, plainEnd) read the bytes directly;
    // the others (the silent head, a one-shot tail, the loop seam) go
    // through sampleAt.
    const std::uint32_t plainEnd = ins.looped ? ins.end : (ins.end >= 2 ? ins.end - 2 : 0);
    const std::uint32_t plainFrames = plainEnd >= 3 ? plainEnd - 3 : 0;
    const std::uint8_t* points = plainFrames > 0 ? image_.span(ins.sampleStart + 2, plainEnd - 2).data() : nullptr;

    double position = v.position;
    for (int k = 0; k < count; ++k) {
        if (position >= end) {
            if (!ins.looped) {
                v.active = false;
                break;
            }
            position = wrapLoopPosition(position, ins);
        }
        const auto i0 = static_cast<std::uint32_t>(position);
        const double frac = position - static_cast<double>(i0);
        std::int32_t s0;
        std::int32_t s1;
        if (i0 - 2 < plainFrames) {
            s0 = static_cast<std::int32_t>(points[i0 - 2]) - 128;
            s1 = static_cast<std::int32_t>(points[i0 - 1]) - 128;
        } else {
            s0 = sampleAt(ins, i0);
            s1 = sampleAt(ins, i0 + 1);
        }
        const double x = gain * interpolate(s0, s1, frac);
        left[k] = left[k] + (leftShare * x) / 15.0;
        right[k] = right[k] + (x * rightShare) / 15.0;
        position = position + step;
    }
    v.position = position;
}

}  // namespace korvale
