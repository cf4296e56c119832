#include "host/program.hpp"

#include <atomic>

#include "common/fatal_error.hpp"
#include "host/frame_scheduler.hpp"
#include "host/main_window.hpp"
#include "platform/clock.hpp"

namespace korvale {

ProgramState::ProgramState(const AssetImage& image) : vga(image), audio(image), title_(vga) {}

int ProgramState::run(platform::Module module) {
    platform::declareDpiAware();
    window = createMainWindow(module, *this);
    if (window == nullptr) {
        return 1;
    }
    if (!audio.start()) {
        audio.close();
        platform::showMessageBox(window, audioStartFailedText, programCaption, platform::MessageBoxIcon::error);
        platform::destroyWindow(window);
        return 1;
    }
    platform::showWindowMaximised(window);
    platform::beginTimerResolution(1);

    int exitCode = 0;
    FrameScheduler scheduler(vga, audio.player);
    const std::int64_t frequency = platform::counterFrequency();
    scheduler.start(frequency, platform::counterNow());
    try {
        mainLoop(scheduler);
    } catch (const FatalError& error) {
        // The sound keeps playing until the box is closed.
        platform::showMessageBox(window, error.what(), programCaption, platform::MessageBoxIcon::error);
        exitCode = 1;
    }
    audio.close();
    platform::endTimerResolution(1);
    return exitCode;
}

void ProgramState::mainLoop(FrameScheduler& scheduler) {
    for (;;) {
        if (!running) {
            return;
        }
        // A quit message is pumped like any other: only the window's
        // destruction ends the loop.
        while (platform::pumpMessage()) {
        }
        if (!running) {
            return;
        }
        if (presenter.failed()) {
            throw FatalError(backBufferFailedText);
        }
        if (audio.failed.load(std::memory_order_acquire)) {
            throw FatalError(audio.failureMessage.data());
        }

        std::uint64_t limit = 0;
        const platform::WavePosition position = platform::waveOutputPosition(audio.device);
        if (position.unit == platform::PositionUnit::frames || position.unit == platform::PositionUnit::bytes) {
            const std::uint32_t frames =
                position.unit == platform::PositionUnit::frames ? position.value : position.value >> 2;
            scheduler.addDevicePosition(frames);
            limit = scheduler.catchUpLimit();
        }
        scheduler.runDueTicks(limit);
        if (scheduler.presentIfDue(platform::counterNow())) {
            platform::invalidateWindow(window);
            platform::updateWindow(window);
        }
        platform::waitForInput(static_cast<std::uint32_t>(scheduler.waitMilliseconds(platform::counterNow())));
    }
}

int korvaleMain(std::optional<ProgramState>& state, platform::Module module, const AssetImage& image) {
    try {
        state.emplace(image);
    } catch (const FatalError& error) {
        // Nothing is open yet; the box has no owner.
        platform::showMessageBox(nullptr, error.what(), programCaption, platform::MessageBoxIcon::error);
        return 1;
    }
    return state->run(module);
}

}  // namespace korvale
