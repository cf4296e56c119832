// Composition helper: patterns written as rows of events per channel and
// compiled to the engine's music command streams.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "assets/asset_image.hpp"

namespace korvale::gen::music {

inline constexpr int channelCount = 16;

// Who plays a melodic line.
struct LineVoice {
    int channel;
    int instrument;
    int volume;
    int pan;
};

struct LineOptions {
    // Stop every note one row before its end (notes of one row stay whole).
    bool staccato = false;
    int transpose = 0;
    // Drop what runs past the pattern's end (echoes of a line); otherwise
    // a line that does not fit is an error.
    bool dropPastEnd = false;
};

// Note number of a note name such as "A4", "C#5" or "Bb2" (A4 is 57).
// FatalError on a malformed name.
[[nodiscard]] int noteNumber(std::string_view name);

class Pattern {
public:
    explicit Pattern(int rows);

    [[nodiscard]] int rows() const { return rows_; }

    // Every method checks its operands and raises FatalError naming the
    // pattern row when one is out of range.
    void speed(int row, int ticks);
    void note(int row, int channel, int note, int instrument, int volume, int pan);
    void volume(int row, int channel, int volume);
    void pan(int row, int channel, int pan);
    // Stops the channel's voice (a volume command with 0).
    void stop(int row, int channel) { volume(row, channel, 0); }

    // A melodic line from `firstRow`: whitespace-separated tokens "NOTE:ROWS"
    // (e.g. "E5:4"), "r:ROWS" for a rest, and "|" where a 16-row bar must
    // end. A note is held until the next token starts; before a rest the
    // voice is stopped. Returns the row after the line.
    int line(int firstRow, const LineVoice& voice, std::string_view tokens, const LineOptions& options = {});

    // The command stream: each row's commands in the order they were added,
    // wait commands between rows with events, and the pattern end.
    [[nodiscard]] std::vector<std::uint8_t> compile() const;

private:
    struct Event {
        int row;
        std::vector<std::uint8_t> bytes;
    };
    void add(int row, std::vector<std::uint8_t> bytes);
    void check(bool ok, int row, const std::string& what) const;

    int rows_;
    std::vector<Event> events_;
};

// Writes the order list, the pattern offset table and the command streams.
// FatalError naming the pattern data region when the song does not fit.
void writeSong(AssetImageBuffer& image, const std::vector<Pattern>& patterns, const std::vector<int>& order);

}  // namespace korvale::gen::music
