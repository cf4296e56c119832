#include "song_builder.hpp"

#include <algorithm>
#include <cctype>

#include "common/fatal_error.hpp"
#include "music_tuning.hpp"

namespace korvale::gen::music {

using namespace korvale::region;

int noteNumber(std::string_view name) {
    static constexpr int semitoneOfLetter[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const auto fail = [&]() { throw FatalError("song: bad note name \"" + std::string(name) + "\""); };
    if (name.size() < 2 || name.front() < 'A' || name.front() > 'G') fail();
    int semitone = semitoneOfLetter[name.front() - 'A'];
    std::size_t i = 1;
    if (name[i] == '#') {
        ++semitone;
        ++i;
    } else if (name[i] == 'b') {
        --semitone;
        ++i;
    }
    if (i + 1 != name.size() || !std::isdigit(static_cast<unsigned char>(name[i]))) fail();
    const int note = 12 * (name[i] - '0') + semitone;
    if (note < 0 || note > 83) fail();
    return note;
}

Pattern::Pattern(int rows) : rows_(rows) {
    if (rows < 1) throw FatalError("song: a pattern needs at least one row");
}

void Pattern::check(bool ok, int row, const std::string& what) const {
    if (!ok) throw FatalError("song: row " + std::to_string(row) + ": " + what);
}

void Pattern::add(int row, std::vector<std::uint8_t> bytes) {
    check(row >= 0 && row < rows_, row, "outside the pattern");
    events_.push_back({row, std::move(bytes)});
}

void Pattern::speed(int row, int ticks) {
    check(ticks >= 1 && ticks <= 255, row, "speed out of range");
    add(row, {0x01, static_cast<std::uint8_t>(ticks)});
}

void Pattern::note(int row, int channel, int note, int instrument, int volume, int pan) {
    check(channel >= 0 && channel < channelCount, row, "channel out of range");
    check(note >= 0 && note <= 83, row, "note out of range");
    check(instrument >= 0 && instrument < instrumentTotal, row, "instrument out of range");
    check(volume >= 1 && volume <= 15, row, "note volume out of range");
    check(pan >= 0 && pan <= 15, row, "pan out of range");
    const Tuning& t = tunings[static_cast<std::size_t>(instrument)];
    check(note >= t.lowNote && note <= t.highNote, row, "note outside the instrument's tuned range");
    add(row, {static_cast<std::uint8_t>(0x40 + channel), static_cast<std::uint8_t>(note),
              static_cast<std::uint8_t>(volume | (pan << 4)), static_cast<std::uint8_t>(instrument)});
}

void Pattern::volume(int row, int channel, int volume) {
    check(channel >= 0 && channel < channelCount, row, "channel out of range");
    check(volume >= 0 && volume <= 15, row, "volume out of range");
    add(row, {static_cast<std::uint8_t>(0x80 + channel), static_cast<std::uint8_t>(volume)});
}

void Pattern::pan(int row, int channel, int pan) {
    check(channel >= 0 && channel < channelCount, row, "channel out of range");
    check(pan >= 0 && pan <= 15, row, "pan out of range");
    add(row, {static_cast<std::uint8_t>(0xC0 + channel), static_cast<std::uint8_t>(pan)});
}

int Pattern::line(int firstRow, const LineVoice& voice, std::string_view tokens, const LineOptions& options) {
    int row = firstRow;
    bool sounding = false;
    std::size_t i = 0;
    const auto inside = [&](int r) {
        check(r < rows_ || options.dropPastEnd, r, "line runs past the pattern end");
        return r < rows_;
    };
    while (i < tokens.size()) {
        if (std::isspace(static_cast<unsigned char>(tokens[i]))) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < tokens.size() && !std::isspace(static_cast<unsigned char>(tokens[j]))) ++j;
        const std::string_view token = tokens.substr(i, j - i);
        i = j;
        if (token == "|") {
            check((row - firstRow) % 16 == 0, row, "bar line inside a bar");
            continue;
        }
        const std::size_t colon = token.find(':');
        check(colon != std::string_view::npos && colon + 1 < token.size(), row,
              "token \"" + std::string(token) + "\" is not NOTE:ROWS");
        int length = 0;
        for (const char c : token.substr(colon + 1)) {
            check(std::isdigit(static_cast<unsigned char>(c)) != 0, row, "bad length in \"" + std::string(token) + "\"");
            length = length * 10 + (c - '0');
        }
        check(length >= 1, row, "zero length in \"" + std::string(token) + "\"");
        const std::string_view name = token.substr(0, colon);
        if (name == "r") {
            if (sounding && inside(row)) stop(row, voice.channel);
            sounding = false;
        } else if (inside(row)) {
            note(row, voice.channel, noteNumber(name) + options.transpose, voice.instrument, voice.volume, voice.pan);
            sounding = true;
            if (options.staccato && length > 1) {
                if (inside(row + length - 1)) stop(row + length - 1, voice.channel);
                sounding = false;
            }
        }
        row += length;
    }
    check(row <= rows_ || options.dropPastEnd, row, "line runs past the pattern end");
    return row;
}

std::vector<std::uint8_t> Pattern::compile() const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) { return a.row < b.row; });
    std::vector<std::uint8_t> stream;
    const auto wait = [&](int rows) {
        while (rows > 0) {
            const int n = std::min(rows, 255);
            stream.push_back(0x00);
            stream.push_back(static_cast<std::uint8_t>(n));
            rows -= n;
        }
    };
    int row = 0;
    for (const Event& e : sorted) {
        wait(e.row - row);
        row = e.row;
        stream.insert(stream.end(), e.bytes.begin(), e.bytes.end());
    }
    wait(rows_ - row);
    stream.push_back(0x02);
    return stream;
}

void writeSong(AssetImageBuffer& image, const std::vector<Pattern>& patterns, const std::vector<int>& order) {
    if (patterns.size() != static_cast<std::size_t>(patternCount)) {
        throw FatalError("song: " + std::to_string(patterns.size()) + " patterns, the engine plays " +
                         std::to_string(patternCount));
    }
    if (order.size() != orderList.size()) throw FatalError("order list: wrong number of positions");
    for (std::size_t k = 0; k < order.size(); ++k) {
        if (order[k] < 0 || order[k] >= patternCount) throw FatalError("order list: position " + std::to_string(k) + " names no pattern");
        image.put8(orderList.first + static_cast<std::uint32_t>(k), static_cast<std::uint8_t>(order[k]));
    }
    std::vector<std::uint8_t> data;
    for (std::size_t p = 0; p < patterns.size(); ++p) {
        image.put32(patternOffsets.first + 4 * static_cast<std::uint32_t>(p), static_cast<std::uint32_t>(data.size()));
        const auto stream = patterns[p].compile();
        data.insert(data.end(), stream.begin(), stream.end());
    }
    if (data.size() > patternData.size()) {
        throw FatalError("pattern data: the song needs " + std::to_string(data.size()) + " bytes, the region holds " +
                         std::to_string(patternData.size()));
    }
    image.putBytes(patternData.first, data);
}

}  // namespace korvale::gen::music
