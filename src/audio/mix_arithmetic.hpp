// The mixer's arithmetic, shared by the frame-by-frame and the voice-by-voice
// paths so that both produce the same doubles.
#pragma once

#include <cmath>
#include <cstdint>

#include "assets/regions.hpp"
#include "audio/player.hpp"

namespace korvale {

// G(volume) / 511 * 256 * 4. G is a quarter-octave step curve: the code
// (volume + 34) * 64 carries a 4-bit exponent over an 8-bit mantissa.
[[nodiscard]] inline double mixGain(std::int32_t volume) {
    const std::int32_t code = (volume + 34) * 64;
    const double g = std::ldexp(static_cast<double>(256 + code % 256), (code >> 8) - 15);
    return g / 511.0 * 256.0 * 4.0;
}

[[nodiscard]] inline double interpolate(double s0, double s1, double frac) {
    const double a = (1.0 - frac) * s0;
    const double b = s1 * frac;
    return a + b;
}

// A looped voice that ran past its end continues from loopStart by the
// distance it overran.
[[nodiscard]] inline double wrapLoopPosition(double position, const Instrument& ins) {
    const double loopStart = static_cast<double>(ins.loopStart);
    return std::fmod(position - loopStart, static_cast<double>(ins.end - ins.loopStart)) + loopStart;
}

[[nodiscard]] inline std::int16_t toOutputSample(double y) {
    if (y > 32767.0) return 32767;
    if (y < -32768.0) return -32768;
    return static_cast<std::int16_t>(y);
}

// Every point the mixer can read from this instrument, indices 2 to end - 1,
// lies inside the image; the mixer cannot fail on it.
[[nodiscard]] inline bool samplesInImage(const Instrument& ins) {
    if (ins.end <= 2) return true;
    const std::uint32_t first = ins.sampleStart + 2 - region::imageFirst;
    return first < region::imageSize &&
           static_cast<std::uint64_t>(first) + (ins.end - 2) <= region::imageSize;
}

}  // namespace korvale
