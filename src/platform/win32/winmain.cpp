// The Windows program's entry point: a GUI program with no console, handing
// its module to the portable program.
#include "host/program.hpp"
#include "platform/win32/win32_api.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return korvale::korvaleEntry(korvale::platform::win32::as<korvale::platform::Module>(instance));
}
