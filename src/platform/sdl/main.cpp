// The native program's entry point: SDL first, then the portable program.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "host/program.hpp"

namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Run from a text console or over a plain remote shell: say what is missing
// and what works without it.
int noDisplay(const char* reason) {
    std::fprintf(stderr,
                 "Korvale needs a graphical display, and none could be opened (%s).\n"
                 "Without one, korvale-capture renders the demo to sound, picture and video files.\n",
                 reason);
    return 1;
}

}  // namespace

int main(int, char**) {
    // With no display named, SDL would try the display :0 on its own, which
    // may be another user's session or, with none there, a long wait.
    if (!set("DISPLAY") && !set("WAYLAND_DISPLAY") && !set("SDL_VIDEODRIVER")) {
        return noDisplay("neither DISPLAY nor WAYLAND_DISPLAY is set");
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        return noDisplay(SDL_GetError());
    }
    const int exitCode = korvale::korvaleEntry(nullptr);
    SDL_Quit();
    return exitCode;
}
