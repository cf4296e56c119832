// The program from set-up to exit: the long-lived records in their set-up
// order, the start-up sequence, the main loop and its one failure handler.
// Every backend's entry point ends up in korvaleMain.
#pragma once

#include <optional>

#include "assets/asset_image.hpp"
#include "audio/audio_output.hpp"
#include "host/presenter.hpp"
#include "platform/window.hpp"
#include "vga/vga_state.hpp"

namespace korvale {

class FrameScheduler;

inline constexpr char programCaption[] = "Korvale";
inline constexpr char audioStartFailedText[] = "Could not start 48 kHz stereo audio output.";
inline constexpr char backBufferFailedText[] = "Could not render the window back buffer";

// The long-lived records. Construction is the static set-up, in order: the
// AudioOutput with its Player, the title picture, the Presenter;
// destruction is the end-of-program actions in reverse (Presenter release,
// then AudioOutput::close).
class ProgramState {
public:
    explicit ProgramState(const AssetImage& image);
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;

    // The entry function's body: window, audio, main loop. Returns the exit
    // code: 0 after a normal close, 1 after any failure.
    int run(platform::Module module);

    VgaState vga;
    AudioOutput audio;

private:
    struct TitlePicture {
        explicit TitlePicture(VgaState& vga) { vga.drawTitlePicture(); }
    };
    TitlePicture title_;

public:
    Presenter presenter;
    bool running = true;  // cleared when the window is destroyed
    platform::Window window = nullptr;

private:
    void mainLoop(FrameScheduler& scheduler);
};

// Sets the records up in `state` and runs the program. A FatalError during
// the set-up is shown like any other failure (message box captioned
// "Korvale", exit code 1). `state` outlives the call; destroying it runs the
// end-of-program actions.
int korvaleMain(std::optional<ProgramState>& state, platform::Module module, const AssetImage& image);

// For the backends' entry points: the program with its records in static
// storage and the embedded content. Returns the process exit code.
int korvaleEntry(platform::Module module);

}  // namespace korvale
