// Activity levels of music channels 0-3 and the 64-bit snapshot word that
// carries them from the audio thread to the main thread.
#pragma once

#include <array>
#include <cstdint>

namespace korvale {

// Channel 0 first; the system's own values are 0-15.
using ChannelLevels = std::array<std::int32_t, 4>;

inline constexpr ChannelLevels initialChannelLevels{15, 15, 15, 15};

// LevelSnapshot: packed levels in bits 0-15 (channel c in bits 4c..4c+3),
// sequence number in bits 16-63. A word with sequence number 0 is empty.
using LevelSnapshot = std::uint64_t;

[[nodiscard]] constexpr LevelSnapshot makeSnapshot(std::uint64_t sequence, const ChannelLevels& levels) {
    std::uint64_t packed = 0;
    for (int c = 0; c < 4; ++c) {
        packed |= static_cast<std::uint64_t>(static_cast<std::uint32_t>(levels[c]) & 15u) << (4 * c);
    }
    return (sequence << 16) | packed;
}

[[nodiscard]] constexpr std::uint64_t snapshotSequence(LevelSnapshot word) { return word >> 16; }

[[nodiscard]] constexpr ChannelLevels snapshotLevels(LevelSnapshot word) {
    ChannelLevels levels{};
    for (int c = 0; c < 4; ++c) {
        levels[c] = static_cast<std::int32_t>((word >> (4 * c)) & 15u);
    }
    return levels;
}

}  // namespace korvale
