// The native program's entry point: SDL first, then the portable program.
#include <SDL.h>

#include <cstdio>

#include "host/program.hpp"

int main(int, char**) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        // Run from a text console or over a plain remote shell: say what is
        // missing and what works without it.
        std::fprintf(stderr,
                     "Korvale needs a graphical display, and none could be opened (%s).\n"
                     "Without one, korvale-capture renders the demo to sound, picture and video files.\n",
                     SDL_GetError());
        return 1;
    }
    const int exitCode = korvale::korvaleEntry(nullptr);
    SDL_Quit();
    return exitCode;
}
