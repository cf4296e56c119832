#include <array>

#include "audio/player.hpp"

namespace korvale {

namespace {

// Thousandths of a hertz, semitone 0 (C) first.
constexpr std::array<std::uint32_t, 12> noteFrequencies{65406, 69295, 73416, 77718, 82406,  87307,
                                                        92499, 97998, 103820, 110000, 116540, 123470};

constexpr std::uint32_t highestNote = 83;
constexpr std::uint32_t highestInstrument = region::instrumentCount - 1;
constexpr std::uint32_t commandLimit = 4096;

enum : std::uint8_t { waitCommand = 0x00, speedCommand = 0x01, patternEnd = 0x02 };
enum : std::uint8_t { controlClass = 0, noteOnClass = 1, volumeClass = 2, panClass = 3 };

}  // namespace

double Player::pitchStep(std::uint32_t note, std::uint32_t instrument) const {
    const std::uint32_t rate = image_.read16(region::instrumentRecords.first + region::instrumentBaseRateOffset +
                                             region::instrumentRecordSize * instrument);
    const std::uint32_t octave = note / 12;
    const std::uint32_t semitone = note % 12;
    std::uint32_t f = rate * noteFrequencies[semitone];  // wraps modulo 2^32 for high rates
    f /= 2420022;
    if (octave >= 3) {
        f <<= octave - 3;
    } else {
        f >>= 3 - octave;
    }
    return static_cast<double>(f) * 38587.5 * 0.0009765625 * 0.9676164547221004 / 48000.0;
}

void Player::advanceOrder() {
    ++orderIndex;
    if (orderIndex >= region::orderLength) orderIndex = region::orderLoopStart;
    const std::uint32_t pattern = image_.read8(region::orderList.first + static_cast<std::uint32_t>(orderIndex));
    commandPointer = image_.read32(region::patternOffsets.first + 4 * pattern) + region::patternData.first;
}

void Player::runMusicTick() {
    if (--tickCountdown != 0) return;
    tickCountdown = speed;
    if (--rowWait != 0) return;
    if (commandPointer == 0) advanceOrder();

    // A failed read leaves commandPointer at the byte that could not be read.
    const auto next = [this] {
        const std::uint8_t byte = image_.read8(commandPointer);
        ++commandPointer;
        return byte;
    };
    for (std::uint32_t executed = 0;;) {
        const std::uint8_t command = next();
        const std::uint8_t kind = command >> 6;
        const std::uint32_t channel = command & 63u;
        if (kind == controlClass) {
            if (channel == waitCommand) {
                rowWait = next();
                return;
            }
            if (channel == speedCommand) {
                speed = next();
                tickCountdown = speed;
            } else if (channel == patternEnd) {
                advanceOrder();
            } else {
                throw FatalError("Unknown music command");
            }
        } else {
            if (channel >= voiceCount) throw FatalError("Invalid music channel");
            Voice& voice = voices[channel];
            if (kind == noteOnClass) {
                const std::uint32_t note = next();
                const std::uint32_t volumeAndPan = next();
                const std::uint32_t instrument = next();
                if (instrument > highestInstrument || note > highestNote) throw FatalError("Invalid music note");
                voice.active = false;
                const auto volume = static_cast<std::int32_t>(volumeAndPan & 15);
                if (volume != 0) {
                    voice.volume = volume;
                    voice.instrument = instrument;
                    voice.pan = static_cast<std::int32_t>(volumeAndPan >> 4);
                    voice.position = 0.0;
                    voice.active = true;
                    voice.step = pitchStep(note, instrument);
                    if (channel < channelLevels.size()) channelLevels[channel] = volume;
                }
            } else if (kind == volumeClass) {
                const std::int32_t volume = next();
                // The stored value stays behind when the command fails.
                voice.volume = volume;
                if (volume > 15) throw FatalError("Invalid volume");
                if (volume == 0) {
                    voice.active = false;
                } else if (channel < channelLevels.size()) {
                    channelLevels[channel] = volume;
                }
            } else {
                // Any pan byte is kept; the mixer's formula takes values above 15 as they are.
                voice.pan = next();
            }
        }
        if (++executed == commandLimit) throw FatalError("Music command loop");
    }
}

}  // namespace korvale
