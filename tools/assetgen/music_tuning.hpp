// The instrument set and its pitch data, shared by the generator (which
// synthesises each waveform with exactly this period) and the content tests
// (which check that every note of the song sounds in tune).
#pragma once

#include <array>
#include <cstdint>

namespace korvale::gen::music {

enum InstrumentId : int {
    kick,
    snare,
    closedHat,
    openHat,
    clap,
    tom,
    crash,
    bass,
    acidBass,
    pad,
    strings,
    lead,
    pluck,
    bell,
    chip,
    choir,
    noise,
    zap,
    stab,
    instrumentTotal
};

// A note n sounds at 440 * 2^((n - 57) / 12) Hz when the instrument's waveform
// repeats every samplesPerCycle() sample points and its base rate is the one
// below. The rates were searched so that the engine's truncating integer
// pitch arithmetic stays within about 2 cents over each instrument's range;
// the 32-bit product rate * noteFrequency must not overflow, so no rate may
// exceed 34785.
struct Tuning {
    std::uint16_t baseRate;
    // The waveform repeats `cycles` times in `cycleSamples` points; for a
    // looped instrument that is exactly its loop. 0 cycles: unpitched.
    std::uint32_t cycleSamples;
    std::uint32_t cycles;
    // Lowest and highest note the instrument is tuned for.
    int lowNote;
    int highNote;

    [[nodiscard]] constexpr bool pitched() const { return cycles != 0; }
    [[nodiscard]] constexpr double samplesPerCycle() const {
        return static_cast<double>(cycleSamples) / static_cast<double>(cycles);
    }
};

// Drums play at note 48 at one source point per output frame (note 36 at
// half that), so a drum made at 48 kHz, 32 kHz or 24 kHz is played at note
// 48, 41 or 36.
inline constexpr std::uint16_t drumRate = 24354;
inline constexpr int drumNote48k = 48;
inline constexpr int drumNote32k = 41;
inline constexpr int drumNote24k = 36;

inline constexpr std::uint16_t lowRate = 34546;    // notes 12-47, 259.97 points per cycle
inline constexpr std::uint16_t midRate = 17273;    // notes 24-71, 129.98 points per cycle
inline constexpr std::uint16_t highRate = 16255;   // notes 36-83, 122.37 points per cycle
inline constexpr std::uint16_t shortRate = 8637;   // notes 36-83, 64.99 points per cycle

inline constexpr std::array<Tuning, instrumentTotal> tunings = {{
    {drumRate, 0, 0, 0, 83},         // kick
    {drumRate, 0, 0, 0, 83},         // snare
    {drumRate, 0, 0, 0, 83},         // closedHat
    {drumRate, 0, 0, 0, 83},         // openHat
    {drumRate, 0, 0, 0, 83},         // clap
    {drumRate, 0, 0, 0, 83},         // tom
    {drumRate, 0, 0, 0, 83},         // crash
    {lowRate, 260, 1, 12, 47},       // bass
    {lowRate, 25997, 100, 12, 47},   // acidBass
    {midRate, 12478, 96, 24, 71},    // pad
    {midRate, 8319, 64, 24, 71},     // strings
    {highRate, 7832, 64, 36, 83},    // lead
    {shortRate, 6499, 100, 36, 83},  // pluck
    {shortRate, 6499, 100, 36, 83},  // bell
    {highRate, 3916, 32, 36, 83},    // chip
    {midRate, 8319, 64, 24, 71},     // choir
    {drumRate, 0, 0, 0, 83},         // noise
    {drumRate, 0, 0, 0, 83},         // zap
    {midRate, 12998, 100, 24, 71},   // stab
}};

}  // namespace korvale::gen::music
