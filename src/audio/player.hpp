// The music side: instruments, voices, sequencer state, the sample clock and
// the snapshot rings through which the main thread follows the music.
// One fixed-size record; nothing in it allocates.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "assets/asset_image.hpp"
#include "audio/stereo_sum.hpp"
#include "common/channel_levels.hpp"

namespace korvale {

inline constexpr int outputRate = 48000;
inline constexpr int voiceCount = 16;
inline constexpr int ringSize = 4096;
inline constexpr int levelBlockFrames = 400;
inline constexpr double videoTickFrames = 1369.7398212512412;
inline constexpr double firstVideoTickDeadline = 684.8699106256206;
inline constexpr double initialTickRate = 50.34920818916488;

struct Instrument {
    std::uint32_t sampleStart = 0;  // asset address of sample 0
    std::uint32_t length = 0;
    std::uint32_t loopStart = 0;
    std::uint32_t end = 0;
    bool looped = false;
};

struct Voice {
    std::uint32_t instrument = 0;
    std::int32_t volume = 0;
    std::int32_t pan = 8;
    double position = 0.0;
    double step = 0.0;
    bool active = false;
};

// One output frame: left, then right.
struct StereoFrame {
    std::int16_t left;
    std::int16_t right;
};

using SnapshotRing = std::array<std::atomic<std::uint64_t>, ringSize>;

class Player {
public:
    // Builds and validates the instrument table; FatalError "Invalid sample
    // bounds" or "Asset address out of range" on bad content.
    explicit Player(const AssetImage& image);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // Renders `count` frames into `frames` (count <= 0 renders nothing).
    void render(StereoFrame* frames, std::int32_t count);

    void runMusicTick();
    void advanceOrder();
    void mixFrame(StereoFrame& frame);
    [[nodiscard]] std::int32_t sampleAt(const Instrument& instrument, std::uint32_t index) const;
    // Samples per output frame for note 0-83 on instrument 0-18.
    [[nodiscard]] double pitchStep(std::uint32_t note, std::uint32_t instrument) const;

    std::array<Instrument, 19> instruments{};
    std::array<Voice, voiceCount> voices{};
    ChannelLevels channelLevels = initialChannelLevels;
    std::uint32_t commandPointer = 0;
    std::int32_t orderIndex = -1;
    std::uint32_t rowWait = 1;
    std::uint32_t tickCountdown = 1;
    std::uint32_t speed = 102;
    double nextMusicTick = 0.0;
    double nextVideoTick = firstVideoTickDeadline;
    std::uint64_t sampleCount = 0;
    std::uint64_t videoTickCount = 0;
    std::atomic<double> tickRate{initialTickRate};
    SnapshotRing tickRing{};
    std::atomic<std::uint64_t> latestVideoTick{0};
    SnapshotRing levelRing{};
    // Written by the main thread, read once per render call by the audio thread.
    std::atomic<bool> muted{false};

private:
    // Frames mixed voice by voice between two music ticks; bounds the
    // accumulators that render keeps on its stack (48 KiB). A whole output
    // block fits, so a block is one or two runs and the per-run set-up of
    // every voice is paid less often.
    static constexpr int runFrames = 1024;

    void runDueMusicTick();
    void publishDueTicks();
    void publishTicksUntil(std::uint64_t end);
    void renderFrameByFrame(StereoFrame& frame, bool silent);
    [[nodiscard]] bool activeSamplesInImage() const;
    std::array<PendingShares, 2> mixVoicePairRun(Voice* a, Voice* b, double* signalA, double* signalB,
                                                 StereoSum* sums, int count,
                                                 const std::array<PendingShares, 2>& previous);

    AssetImage image_;
};

}  // namespace korvale
