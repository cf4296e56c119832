// The scroll text. It must fill its region exactly, so the text is written to
// length: a change of wording has to be balanced within the text rather than
// cut or padded by the generator. It ends with the same gap of four spaces
// that separates its paragraphs, so the restart reads as one more paragraph.
// There is no glyph for "Z" (code 90) and no lower case: words with a Z are
// avoided.
#include "scroll_text.hpp"

#include <string>

#include "common/fatal_error.hpp"
#include "content.hpp"

namespace korvale::gen {

using namespace korvale::region;

namespace {

constexpr std::string_view message =
    "WELCOME TO KORVALE, A ONE-SCREEN INTRO BY GLIMMERWAKE.    PRESS M TO MUTE OR UNMUTE THE MUSIC, "
    "AND ESC WHEN YOU WANT TO LEAVE.    SIT BACK FOR A WHILE: THE AURORA IS DRIFTING OVER THE "
    "MOUNTAINS, FOUR LANTERNS ARE FLOATING ON THE LAKE, AND THIS RIBBON OF LETTERS RIDES A SLOW "
    "SWELL FROM ONE EDGE OF THE SCREEN TO THE OTHER.    HOW DOES IT WORK? EVERYTHING YOU SEE IS ONE "
    "STILL PICTURE OF 320 BY 200 PIXELS IN 256 COLOURS, AND NOTHING IN IT IS EVER PAINTED AGAIN. THE "
    "AURORA MOVES BECAUSE FORTY OF ITS COLOURS ARE REPLACED FROM A TABLE ON EVERY FRAME. THE RIPPLES "
    "ROLL TOWARDS YOU BECAUSE THIRTY-TWO COLOURS OF THE WATER TURN ONE STEP AT A TIME. EACH LANTERN "
    "OWNS SIX COLOURS OF ITS OWN AND GLOWS WITH ONE OF THE FIRST FOUR CHANNELS OF THE MUSIC: THE "
    "LOUDER THE CHANNEL, THE BRIGHTER THE LIGHT.    THE SCROLLER IS AN OLD TRICK AS WELL. ON EVERY "
    "FRAME FOUR PIXEL COLUMNS OF THE NEXT LETTER ARE COPIED INTO A RING, AND EACH COLUMN OF THE RING "
    "IS DRAWN AT ITS OWN HEIGHT, TAKEN FROM A TABLE OF ONE HUNDRED WAVES. BEFORE THE RIBBON IS "
    "DRAWN, THE PICTURE UNDER IT IS SAVED, AND TWO FRAMES LATER IT IS PUT BACK, SO THE LANDSCAPE "
    "NEVER GETS A SCRATCH.    THE SCREEN LIVES IN FOUR PLANES OF VIDEO MEMORY THAT HOLD TWO PAGES: "
    "ONE IS SHOWN WHILE THE OTHER IS DRAWN, AND THEN THEY CHANGE PLACES.    THE TUNE IS PLAYED BY "
    "NINETEEN SMALL SAMPLED INSTRUMENTS ON SIXTEEN VOICES, MIXED IN SOFTWARE AT 48000 FRAMES A "
    "SECOND. THE SOUND IS THE MASTER CLOCK: THE PICTURE FOLLOWS WHAT YOU HEAR, TICK BY TICK, SO THE "
    "LANTERNS NEVER RUN AHEAD OF THE BEAT.    ALL OF IT, THE PICTURE, THE LETTERS, THE TUNE AND EVEN "
    "THIS TEXT, IS MADE BY A SMALL PROGRAM OF OUR OWN OUT OF A FEW PAGES OF NUMBERS. NOTHING WAS "
    "BORROWED, EVERY PIXEL WAS COUNTED.    GREETINGS GO OUT TO EVERYONE WHO STILL WRITES TINY "
    "PROGRAMS FOR THE JOY OF IT, TO THE MUSICIANS WHO COUNT IN HEXADECIMAL, TO THE PIXEL ARTISTS WHO "
    "KNOW EVERY COLOUR BY ITS NUMBER, TO THE HOSTS OF EVERY PARTY IN A COLD HALL WITH TOO FEW "
    "SOCKETS, TO THE PATIENT ONES WHO READ EVERY SCROLLER TO THE END, AND TO YOU, FOR WATCHING THIS "
    "FAR.    THE TEXT IS NEARLY OVER NOW. IT WILL TURN AROUND AND BEGIN AGAIN, THE WAY THE RIPPLES "
    "DO...    ";

}  // namespace

std::string_view scrollMessage() { return message; }

void checkScrollText(std::string_view text) {
    const std::size_t room = scrollText.size() - 1;  // the last byte is the 0
    if (text.size() != room) {
        throw FatalError("scroll text: " + std::to_string(text.size()) + " characters, the region holds exactly " +
                         std::to_string(room));
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int c = static_cast<unsigned char>(text[i]);
        if (c < firstGlyphCode || c > lastGlyphCode) {
            throw FatalError("scroll text: character " + std::to_string(c) + " at position " + std::to_string(i) +
                             " has no glyph");
        }
    }
}

void writeScrollText(AssetImageBuffer& image) {
    checkScrollText(message);
    for (std::size_t i = 0; i < message.size(); ++i) {
        image.put8(scrollText.first + static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(message[i]));
    }
    image.put8(scrollTextEnd, 0);
}

}  // namespace korvale::gen
