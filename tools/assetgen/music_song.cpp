// The song, "Korvale Pulse": A minor, 4 rows to the beat at speed 6 (about
// 126 beats a minute), 64-row patterns of four bars.
//
// Order: intro (0 pad and arpeggio, 1 beat and bass come in, 2 build) heard
// once, then the loop: A1 A2 breakdown build chorus1 chorus2 bridge A3 A2
// chorus1 chorus2 turnaround, which leads back into A1.
#include <array>
#include <initializer_list>
#include <vector>

#include "music_parts.hpp"
#include "music_tuning.hpp"
#include "song_builder.hpp"

namespace korvale::gen::music {

namespace {

constexpr int rowsPerPattern = 64;
constexpr int rowsPerBar = 16;
constexpr int bars = rowsPerPattern / rowsPerBar;
constexpr int rowSpeed = 6;

// Channels 0-3 drive the four lights, so they carry the rhythm section.
enum Channel : int {
    chKick,
    chSnare,
    chBass,
    chHats,
    chLead,
    chEcho,
    chArpA,
    chArpB,
    chPadLow,
    chPadMid,
    chPadHigh,
    chLayer,
    chPerc,
    chFx,
    chBell,
    chRiser
};

struct Chord {
    int root;                  // bass note
    std::array<int, 3> voicing;  // pad notes, lowest first
};

// Voicings kept close together so that pads move by step between chords.
constexpr Chord Am{21, {45, 48, 52}};
constexpr Chord F{17, {45, 48, 53}};
constexpr Chord C{24, {43, 48, 52}};
constexpr Chord G{19, {43, 47, 50}};
constexpr Chord Em{16, {43, 47, 52}};
constexpr Chord Dm{26, {45, 50, 53}};
constexpr Chord E{16, {44, 47, 52}};

using Progression = std::array<Chord, bars>;
constexpr Progression verse{Am, F, C, G};
constexpr Progression lift{F, G, Em, Am};
constexpr Progression chorusOne{F, G, Am, Am};
constexpr Progression chorusTwo{F, G, C, E};
constexpr Progression bridgeChords{Dm, Am, Dm, E};

constexpr int barRow(int bar) { return bar * rowsPerBar; }

Pattern begin() {
    Pattern p(rowsPerPattern);
    p.speed(0, rowSpeed);
    return p;
}

// ---- rhythm section -------------------------------------------------------

void kicks(Pattern& p, int fromBar, int toBar, int volume) {
    for (int bar = fromBar; bar < toBar; ++bar) {
        for (int beat = 0; beat < 4; ++beat) p.note(barRow(bar) + 4 * beat, chKick, drumNote24k, kick, volume, 8);
    }
}

void backbeat(Pattern& p, int fromBar, int toBar, int instrument, int volume) {
    for (int bar = fromBar; bar < toBar; ++bar) {
        p.note(barRow(bar) + 4, chSnare, drumNote32k, instrument, volume, 7);
        p.note(barRow(bar) + 12, chSnare, drumNote32k, instrument, volume, 7);
    }
}

// Snare roll over one bar: eighths, then sixteenths for the last two beats,
// rising in level.
void snareRoll(Pattern& p, int bar, int fromVolume) {
    for (int r = 0; r < rowsPerBar; ++r) {
        if (r < 8 && r % 2 == 1) continue;
        const int volume = fromVolume + (15 - fromVolume) * r / (rowsPerBar - 1);
        p.note(barRow(bar) + r, chSnare, drumNote32k, snare, volume, 7);
    }
}

enum class HatStyle { eighths, sixteenths, offbeatOpen };

void hats(Pattern& p, int fromBar, int toBar, HatStyle style, int volume) {
    for (int row = barRow(fromBar); row < barRow(toBar); ++row) {
        const int inBeat = row % 4;
        if (style == HatStyle::offbeatOpen) {
            if (inBeat == 2) p.note(row, chHats, drumNote48k, openHat, volume, 10);
            else if (inBeat == 0) p.note(row, chHats, drumNote48k, closedHat, volume - 2, 10);
            else p.note(row, chHats, drumNote48k, closedHat, volume - 4, 10);
        } else if (style == HatStyle::sixteenths) {
            p.note(row, chHats, drumNote48k, closedHat, inBeat == 2 ? volume : volume - 3, 10);
        } else if (inBeat % 2 == 0) {
            p.note(row, chHats, drumNote48k, closedHat, inBeat == 2 ? volume : volume - 2, 10);
        }
    }
}

// The rolling bass: three sixteenths after every kick, root, root, octave,
// with the kick's sixteenth left free so the two do not smear together.
void rollingBass(Pattern& p, const Progression& chords, int fromBar, int toBar, int volume) {
    for (int bar = fromBar; bar < toBar; ++bar) {
        const int root = chords[static_cast<std::size_t>(bar)].root;
        for (int beat = 0; beat < 4; ++beat) {
            const int row = barRow(bar) + 4 * beat;
            p.stop(row, chBass);
            p.note(row + 1, chBass, root, bass, volume - 2, 7);
            p.note(row + 2, chBass, root, bass, volume, 7);
            p.note(row + 3, chBass, root + 12, bass, volume - 1, 7);
        }
    }
}

// One long bass note per bar, released before the next.
void droneBass(Pattern& p, const Progression& chords, int fromBar, int toBar, int volume) {
    for (int bar = fromBar; bar < toBar; ++bar) {
        p.note(barRow(bar), chBass, chords[static_cast<std::size_t>(bar)].root + 12, bass, volume, 7);
        p.note(barRow(bar) + 10, chBass, chords[static_cast<std::size_t>(bar)].root, bass, volume - 2, 7);
        p.stop(barRow(bar) + 15, chBass);
    }
}

// ---- harmony ----------------------------------------------------------------

// Pad chords on three channels spread across the stereo field; a voice whose
// note stays from one chord to the next keeps sounding instead of restarting.
void padChords(Pattern& p, const Progression& chords, int instrument, int volume, int fromBar = 0,
               int toBar = bars) {
    static constexpr int channels[3] = {chPadLow, chPadMid, chPadHigh};
    static constexpr int pans[3] = {3, 8, 12};
    for (int bar = fromBar; bar < toBar; ++bar) {
        const Chord& chord = chords[static_cast<std::size_t>(bar)];
        for (std::size_t v = 0; v < 3; ++v) {
            const bool held = bar > fromBar && chords[static_cast<std::size_t>(bar - 1)].voicing[v] == chord.voicing[v];
            if (!held) p.note(barRow(bar), channels[v], chord.voicing[v], instrument, volume, pans[v]);
        }
    }
}

void padVolume(Pattern& p, int row, int volume) {
    p.volume(row, chPadLow, volume);
    p.volume(row, chPadMid, volume);
    p.volume(row, chPadHigh, volume);
}

// A held layer (strings or choir) on the chord's middle note an octave up.
void layer(Pattern& p, const Progression& chords, int instrument, int volume, int pan) {
    for (int bar = 0; bar < bars; ++bar) {
        const Chord& chord = chords[static_cast<std::size_t>(bar)];
        p.note(barRow(bar), chLayer, chord.voicing[2] + 12, instrument, volume, pan);
    }
}

// Swings a held channel slowly across the stereo field and back, once per pattern.
void panSweep(Pattern& p, int channel, int from, int to) {
    for (int step = 1; step < rowsPerPattern / 4; ++step) {
        const int half = rowsPerPattern / 8;
        const int distance = step <= half ? step : rowsPerPattern / 4 - step;
        p.pan(4 * step, channel, from + (to - from) * distance / half);
    }
}

// Sixteenth-note arpeggio, bouncing between two channels panned apart.
void arpeggio(Pattern& p, const Progression& chords, int instrument, int fromBar, int toBar, int volume) {
    constexpr int octave = 12;
    static constexpr int order[8] = {0, 1, 2, 3, 1, 2, 3, 2};
    for (int bar = fromBar; bar < toBar; ++bar) {
        const Chord& chord = chords[static_cast<std::size_t>(bar)];
        const int tones[4] = {chord.voicing[0] + octave, chord.voicing[1] + octave, chord.voicing[2] + octave,
                              chord.voicing[0] + octave + 12};
        for (int r = 0; r < rowsPerBar; ++r) {
            const bool left = r % 2 == 0;
            const int accent = r % 4 == 0 ? 0 : -1;
            p.note(barRow(bar) + r, left ? chArpA : chArpB, tones[order[r % 8]], instrument, volume + accent,
                   left ? 2 : 13);
        }
    }
}

// ---- melody -----------------------------------------------------------------

// The lead and its echo: the same line a dotted eighth later, softer, on the
// other side.
void leadWithEcho(Pattern& p, int instrument, int volume, const char* tokens, int transpose = 0) {
    p.line(0, {chLead, instrument, volume, 5}, tokens, {.transpose = transpose});
    p.stop(0, chEcho);
    p.line(3, {chEcho, instrument, volume - 4, 11}, tokens, {.transpose = transpose, .dropPastEnd = true});
}

constexpr const char* melodyA =
    "E5:6 D5:2 C5:4 B4:2 C5:2 | A4:6 C5:2 F5:4 E5:2 C5:2 | G4:6 C5:2 E5:4 G5:2 E5:2 | D5:8 B4:4 G4:2 r:2";
constexpr const char* melodyAnswer =
    "E5:6 D5:2 C5:4 E5:2 A5:2 | A5:6 G5:2 F5:4 E5:2 C5:2 | E5:4 G5:4 C6:6 B5:2 | B5:6 A5:2 G5:4 D5:2 r:2";
constexpr const char* chorusMelodyOne =
    "A5:6 G5:2 F5:2 E5:2 F5:4 | G5:6 F5:2 E5:2 D5:2 B4:4 | C5:4 E5:4 A5:8 | G5:2 A5:2 B5:4 C6:4 B5:2 r:2";
constexpr const char* chorusMelodyTwo =
    "A5:6 G5:2 F5:2 E5:2 F5:4 | G5:6 F5:2 E5:2 D5:2 G5:4 | E5:4 G5:4 C6:6 B5:2 | B5:8 G#5:4 E5:2 r:2";
constexpr const char* bellAnswer =
    "r:8 A5:2 C6:2 E6:4 | r:8 F5:2 A5:2 C6:4 | r:8 E5:2 G5:2 C6:4 | r:8 D6:2 B5:2 G5:4";
constexpr const char* bellLift =
    "C6:8 A5:4 F5:4 | D6:8 B5:4 G5:4 | B5:8 G5:4 E5:4 | A5:8 C6:4 E6:4";
constexpr const char* acidLine =
    "D2:2 D2:1 D3:1 D2:2 F2:2 D2:1 D2:1 A2:2 D3:2 C3:2 | A1:2 A1:1 A2:1 A1:2 C2:2 A1:1 A1:1 E2:2 A2:2 G2:2 | "
    "D2:2 D2:1 D3:1 D2:2 F2:2 D2:1 D2:1 A2:2 D3:2 C3:2 | E1:2 E1:1 E2:1 E1:2 G#1:2 E1:1 E1:1 B1:2 E2:2 D2:2";

// ---- effects ----------------------------------------------------------------

// Noise riser over the last `barCount` bars: the looped noise restarted a
// little higher and louder every other row, cut at the pattern's end.
void riser(Pattern& p, int barCount, int topVolume) {
    const int first = rowsPerPattern - barCount * rowsPerBar;
    const int steps = barCount * rowsPerBar / 2;
    for (int s = 0; s < steps; ++s) {
        const int note = 36 + 30 * s / (steps - 1);
        const int volume = 2 + (topVolume - 2) * s / (steps - 1);
        p.note(first + 2 * s, chRiser, note, noise, volume, s % 2 == 0 ? 6 : 9);
    }
}

void crashAt(Pattern& p, int row, int volume) { p.note(row, chFx, drumNote24k, crash, volume, 9); }

// Tom fill on the last beat: three toms falling in pitch.
void tomFill(Pattern& p) {
    const int row = rowsPerPattern - 4;
    p.note(row, chPerc, 48, tom, 12, 11);
    p.note(row + 1, chPerc, 45, tom, 13, 9);
    p.note(row + 2, chPerc, 41, tom, 14, 6);
    p.note(row + 3, chPerc, 38, tom, 15, 4);
}

// Patterns that enter with their own harmony silence whatever the previous
// one may have left sounding on the channels they do not use.
void silence(Pattern& p, std::initializer_list<int> channels) {
    for (const int c : channels) p.stop(0, c);
}

// ---- the patterns -----------------------------------------------------------

Pattern introPads() {
    Pattern p = begin();
    padChords(p, verse, pad, 4);
    for (int step = 1; step < 8; ++step) padVolume(p, 8 * step, 4 + step);
    arpeggio(p, verse, pluck, 1, bars, 8);
    droneBass(p, verse, 2, bars, 12);
    // a soft heartbeat and a ticking hat keep the lights breathing
    for (int bar = 0; bar < bars; ++bar) p.note(barRow(bar), chKick, drumNote24k, kick, 7 + bar, 8);
    for (int bar = 1; bar < bars; ++bar) p.note(barRow(bar) + 8, chSnare, drumNote24k, tom, 5 + bar, 6);
    hats(p, 2, bars, HatStyle::eighths, 11);
    return p;
}

Pattern introBeat() {
    Pattern p = begin();
    padChords(p, verse, pad, 11);
    layer(p, verse, choir, 9, 5);
    kicks(p, 0, bars, 14);
    hats(p, 0, bars, HatStyle::eighths, 13);
    rollingBass(p, verse, 0, bars, 13);
    arpeggio(p, verse, pluck, 0, bars, 10);
    backbeat(p, 2, bars, clap, 13);
    return p;
}

Pattern introBuild() {
    Pattern p = begin();
    padChords(p, verse, strings, 10);
    layer(p, verse, choir, 10, 5);
    kicks(p, 0, 3, 14);
    for (int r = 0; r < rowsPerBar; r += 2) p.note(barRow(3) + r, chKick, drumNote24k, kick, 11 + r / 4, 8);
    hats(p, 0, 2, HatStyle::eighths, 13);
    hats(p, 2, bars, HatStyle::sixteenths, 14);
    rollingBass(p, verse, 0, 2, 13);
    droneBass(p, verse, 2, bars, 13);
    backbeat(p, 0, 2, clap, 13);
    snareRoll(p, 2, 5);
    snareRoll(p, 3, 9);
    arpeggio(p, verse, pluck, 0, bars, 10);
    p.line(32, {chLead, lead, 11, 5}, "E5:6 D5:2 C5:4 B4:2 C5:2 | A4:8 B4:6 r:2");
    riser(p, 2, 13);
    return p;
}

// The full groove under a lead melody.
Pattern groove(const char* melody, bool bellCounter, bool chipLead) {
    Pattern p = begin();
    silence(p, {chRiser, chLayer});
    crashAt(p, 0, 13);
    padChords(p, verse, pad, 11);
    kicks(p, 0, bars, 15);
    backbeat(p, 0, bars, clap, 14);
    hats(p, 0, bars, HatStyle::offbeatOpen, 14);
    rollingBass(p, verse, 0, bars, 14);
    arpeggio(p, verse, pluck, 0, bars, 10);
    if (chipLead) {
        p.line(0, {chLead, chip, 11, 5}, melody);
        p.stop(0, chEcho);
        p.line(0, {chBell, bell, 12, 10}, melody);
    } else {
        leadWithEcho(p, lead, 13, melody);
    }
    if (bellCounter) p.line(0, {chBell, bell, 11, 10}, bellAnswer);
    return p;
}

Pattern breakdown() {
    Pattern p = begin();
    silence(p, {chLead, chEcho, chRiser});
    crashAt(p, 0, 12);
    padChords(p, lift, strings, 11);
    layer(p, lift, choir, 11, 4);
    panSweep(p, chLayer, 4, 11);
    droneBass(p, lift, 0, bars, 13);
    for (int bar = 0; bar < bars; ++bar) p.note(barRow(bar), chKick, drumNote24k, kick, 14, 8);
    for (int bar = 0; bar < bars; ++bar) p.note(barRow(bar) + 12, chSnare, drumNote32k, clap, 12, 7);
    hats(p, 0, bars, HatStyle::eighths, 12);
    arpeggio(p, lift, pluck, 0, bars, 9);
    p.line(0, {chBell, bell, 13, 10}, bellLift);
    return p;
}

Pattern build() {
    Pattern p = begin();
    silence(p, {chLayer});
    padChords(p, lift, strings, 11);
    kicks(p, 0, 2, 15);
    for (int r = 0; r < 2 * rowsPerBar; r += 2) p.note(barRow(2) + r, chKick, drumNote24k, kick, 13 + r / 16, 8);
    rollingBass(p, lift, 0, bars, 14);
    hats(p, 0, bars, HatStyle::sixteenths, 13);
    backbeat(p, 0, 2, clap, 13);
    snareRoll(p, 2, 4);
    snareRoll(p, 3, 8);
    arpeggio(p, lift, pluck, 0, bars, 10);
    p.line(0, {chLead, lead, 12, 5}, "C5:8 A4:8 | D5:8 B4:8 | E5:8 G5:8 | A5:4 B5:4 C6:4 E6:2 r:2");
    p.stop(0, chEcho);
    riser(p, 2, 14);
    p.note(rowsPerPattern - 2, chPerc, 48, zap, 12, 4);
    return p;
}

Pattern chorus(const Progression& chords, const char* melody, bool fill) {
    Pattern p = begin();
    silence(p, {chRiser});
    crashAt(p, 0, 14);
    padChords(p, chords, pad, 11);
    layer(p, chords, strings, 11, 10);
    kicks(p, 0, bars, 15);
    backbeat(p, 0, bars, snare, 14);
    hats(p, 0, bars, HatStyle::offbeatOpen, 14);
    rollingBass(p, chords, 0, bars, 14);
    arpeggio(p, chords, pluck, 0, bars, 10);
    leadWithEcho(p, lead, 14, melody);
    if (fill) tomFill(p);
    return p;
}

Pattern bridge() {
    Pattern p = begin();
    silence(p, {chLead, chEcho, chLayer, chPadLow, chPadMid, chPadHigh});
    crashAt(p, 0, 13);
    kicks(p, 0, bars, 15);
    backbeat(p, 0, bars, clap, 14);
    hats(p, 0, bars, HatStyle::sixteenths, 14);
    p.line(0, {chBass, acidBass, 14, 7}, acidLine);
    // chip arpeggio an octave above the chord, and choir holding it
    arpeggio(p, bridgeChords, chip, 0, bars, 9);
    layer(p, bridgeChords, choir, 12, 3);
    panSweep(p, chLayer, 3, 12);
    for (int bar = 0; bar < bars; ++bar) {
        const Chord& chord = bridgeChords[static_cast<std::size_t>(bar)];
        // the stab is a minor chord, so it sits out the E major bar
        if (bar < bars - 1) {
            p.note(barRow(bar) + 6, chBell, chord.root + 24, stab, 12, 11);
            p.note(barRow(bar) + 14, chBell, chord.root + 24, stab, 11, 4);
        }
        p.note(barRow(bar) + 10, chPerc, 48 + (bar % 2) * 5, zap, 10, bar % 2 == 0 ? 3 : 12);
    }
    tomFill(p);
    return p;
}

Pattern turnaround() {
    Pattern p = groove(melodyAnswer, false, false);
    riser(p, 1, 13);
    tomFill(p);
    return p;
}

}  // namespace

void writeSongData(AssetImageBuffer& image) {
    std::vector<Pattern> patterns;
    patterns.push_back(introPads());                                  // 0
    patterns.push_back(introBeat());                                  // 1
    patterns.push_back(introBuild());                                 // 2
    patterns.push_back(groove(melodyA, false, false));                // 3 A1
    patterns.push_back(groove(melodyAnswer, true, false));            // 4 A2
    patterns.push_back(breakdown());                                  // 5
    patterns.push_back(build());                                      // 6
    patterns.push_back(chorus(chorusOne, chorusMelodyOne, false));    // 7
    patterns.push_back(chorus(chorusTwo, chorusMelodyTwo, true));     // 8
    patterns.push_back(bridge());                                     // 9
    patterns.push_back(groove(melodyA, false, true));                 // 10 A3
    patterns.push_back(turnaround());                                 // 11
    writeSong(image, patterns, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 4, 7, 8, 11});
}

}  // namespace korvale::gen::music
