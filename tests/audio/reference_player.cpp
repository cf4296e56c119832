#include "reference_player.hpp"

#include <cmath>
#include <cstring>

namespace korvale::test {

namespace {

// The volume curve as a table of its values rather than its formula.
constexpr double curve[16] = {3, 3.5, 4, 5, 6, 7, 8, 10, 12, 14, 16, 20, 24, 28, 32, 40};

double gainOf(std::int32_t volume) {
    double g;
    if (volume >= 0 && volume < 16) {
        g = curve[volume];
    } else {
        // Only a failed volume command leaves a voice active above 15.
        const std::int32_t n = volume + 34;
        g = (4 + n % 4) * std::pow(2.0, n / 4 - 9);
    }
    return g / 511 * 256 * 4;
}

std::int32_t pointAt(const AssetImage& image, const Instrument& ins, std::uint32_t i) {
    if (i >= ins.end) {
        if (!ins.looped) return 0;
        i = ins.loopStart + (i - ins.loopStart) % (ins.end - ins.loopStart);
    }
    if (i < 2) return 0;
    if (!ins.looped && i + 2 >= ins.end) return 0;
    return image.read8(ins.sampleStart + i) - 128;
}

std::int16_t clampTo16(double y) {
    if (y > 32767) return 32767;
    if (y < -32768) return -32768;
    return static_cast<std::int16_t>(std::trunc(y));
}

void mix(Player& p, const AssetImage& image, StereoFrame& frame) {
    double left = 0.0;
    double right = 0.0;
    for (Voice& v : p.voices) {
        if (!v.active) continue;
        const Instrument& ins = p.instruments[v.instrument];
        if (v.position >= ins.end) {
            if (!ins.looped) {
                v.active = false;
                continue;
            }
            const double divisor = static_cast<double>(ins.end - ins.loopStart);
            v.position = std::fmod(v.position - ins.loopStart, divisor) + ins.loopStart;
        }
        const auto i0 = static_cast<std::uint32_t>(v.position);
        const double frac = v.position - i0;
        const std::int32_t s0 = pointAt(image, ins, i0);
        const std::int32_t s1 = pointAt(image, ins, i0 + 1);
        const double g = gainOf(v.volume);
        const double x = g * ((1 - frac) * s0 + s1 * frac);
        const std::int32_t leftShare = 15 - v.pan;
        left = left + (leftShare * x) / 15;
        right = right + (x * v.pan) / 15;
        v.position = v.position + v.step;
    }
    frame = {clampTo16(left), clampTo16(right)};
}

std::uint64_t pack(std::uint64_t sequence, const ChannelLevels& levels) {
    return sequence << 16 | static_cast<std::uint64_t>(levels[0] & 15) | static_cast<std::uint64_t>(levels[1] & 15) << 4 |
           static_cast<std::uint64_t>(levels[2] & 15) << 8 | static_cast<std::uint64_t>(levels[3] & 15) << 12;
}

}  // namespace

void referenceRender(Player& p, const AssetImage& image, StereoFrame* frames, std::int32_t count) {
    const bool silent = p.muted.load();
    for (std::int32_t k = 0; k < count; ++k) {
        if (static_cast<double>(p.sampleCount) >= p.nextMusicTick) {
            p.runMusicTick();
            double r = p.tickRate.load();
            r = r > 100 ? 100 : r < 25 ? 25 : r;
            p.nextMusicTick = 48000 / r + p.nextMusicTick;
        }
        if (static_cast<double>(p.sampleCount) >= p.nextVideoTick) {
            const std::uint64_t n = ++p.videoTickCount;
            p.tickRing[n % 4096].store(pack(n, p.channelLevels));
            p.latestVideoTick.store(n);
            for (auto& level : p.channelLevels) {
                if (level > 0) level -= 1;
            }
            p.nextVideoTick = p.nextVideoTick + 1369.7398212512412;
        }
        if (p.sampleCount % 400 == 0) {
            const std::uint64_t q = p.sampleCount / 400;
            p.levelRing[q % 4096].store(pack(q + 1, p.channelLevels));
        }
        mix(p, image, frames[k]);
        if (silent) frames[k] = {0, 0};
        ++p.sampleCount;
    }
}

namespace {
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

void expectSameState(const Player& e, const Player& a) {
    for (std::size_t v = 0; v < e.voices.size(); ++v) {
        const Voice& x = e.voices[v];
        const Voice& y = a.voices[v];
        EXPECT_EQ(x.active, y.active) << "voice " << v;
        EXPECT_EQ(x.instrument, y.instrument) << "voice " << v;
        EXPECT_EQ(x.volume, y.volume) << "voice " << v;
        EXPECT_EQ(x.pan, y.pan) << "voice " << v;
        EXPECT_TRUE(sameBits(x.position, y.position)) << "voice " << v << ": " << x.position << " vs " << y.position;
        EXPECT_TRUE(sameBits(x.step, y.step)) << "voice " << v;
    }
    EXPECT_EQ(e.channelLevels, a.channelLevels);
    EXPECT_EQ(e.commandPointer, a.commandPointer);
    EXPECT_EQ(e.orderIndex, a.orderIndex);
    EXPECT_EQ(e.rowWait, a.rowWait);
    EXPECT_EQ(e.tickCountdown, a.tickCountdown);
    EXPECT_EQ(e.speed, a.speed);
    EXPECT_TRUE(sameBits(e.nextMusicTick, a.nextMusicTick));
    EXPECT_TRUE(sameBits(e.nextVideoTick, a.nextVideoTick));
    EXPECT_EQ(e.sampleCount, a.sampleCount);
    EXPECT_EQ(e.videoTickCount, a.videoTickCount);
    EXPECT_EQ(e.latestVideoTick.load(), a.latestVideoTick.load());
    for (std::size_t i = 0; i < e.tickRing.size(); ++i) {
        if (e.tickRing[i].load() != a.tickRing[i].load()) {
            ADD_FAILURE() << "tickRing[" << i << "] differs";
            break;
        }
    }
    for (std::size_t i = 0; i < e.levelRing.size(); ++i) {
        if (e.levelRing[i].load() != a.levelRing[i].load()) {
            ADD_FAILURE() << "levelRing[" << i << "] differs";
            break;
        }
    }
}

}  // namespace korvale::test
