// The simulated platform, seen from a test. Nothing moves by itself: the
// clock advances when the test says so or when the program sleeps in
// waitForInput; the sound device plays only what the clock (or the test)
// lets it play, and only what was queued; any operation fails on demand.
// Events and threads are real, so a real audio thread runs against it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/window.hpp"
#include "platform/wave_output.hpp"

namespace korvale::platform::sim {

enum class Operation : std::uint8_t {
    registerWindowClass,
    createWindow,
    createEvent,
    startThread,
    openWaveOutput,
    pauseWaveOutput,
    restartWaveOutput,
    prepareWaveHeader,
    writeWaveOutput,
    waitForAnyEvent,
    waveOutputPosition,
    loadTaskScheduler,
    joinTask,
    createMemoryContext,
    createCompatibleBitmap,
    selectBitmap,
    fillBlack,
    stretchImage,
    copyPixels,
    count,
};

// A fresh machine: no window, no device, clock at 0, nothing failing, the
// task scheduler available. Call before each test; no program may run.
void reset();

// After `successes` more successful calls, every call of `operation` fails
// until succeedAlways.
void failAfter(Operation operation, std::uint32_t successes);
void succeedAlways(Operation operation);
// Calls of `operation` since reset, failed ones included.
[[nodiscard]] std::uint32_t callCount(Operation operation);

// The system's multimedia task scheduler.
enum class TaskService : std::uint8_t { available, missing, lacksFunctions };
void setTaskService(TaskService service);

// The clock: counter units per second (default 10 000 000) and the counter.
void setCounterFrequency(std::int64_t frequency);
// Moves the clock forward; while the device follows the clock it plays the
// frames of that time (see playDevice).
void advanceClock(std::int64_t counts);
// True (default): waitForInput and advanceClock play 48 frames per simulated
// millisecond. When the queue runs dry while the audio thread is expected to
// refill it, the clock waits (in real time, up to a second) for it; if
// nothing comes, the time passes unplayed, as on a starved device.
void setDeviceFollowsClock(bool follows);

// Plays up to `frames` queued frames at once, whatever the clock. Returns how
// many were played (fewer when the queue runs dry or the device is paused).
std::uint64_t playDevice(std::uint64_t frames);
// How the device answers position queries (default: frames).
void setPositionUnit(PositionUnit unit);
// Whether a finished buffer sets the device's event (default: yes). Without
// notifications the audio thread must find done buffers by polling.
void setNotifications(bool on);

// Called from waitForInput on the main thread before the clock moves, with
// the counter value: the place for a test to press keys at chosen times.
void setIdleHook(std::function<void(std::int64_t counter)> hook);

// Messages as the system would deliver them.
void postKeyDown(std::uint32_t virtualKey);
void postKeyUp(std::uint32_t virtualKey);
// The close box or Alt+F4: reaches the procedure as `other`, and the default
// procedure destroys the window.
void postCloseRequest();
void postQuit(std::int32_t exitCode);
// The user resizes the window: the procedure gets `size` at once.
void resizeClient(std::int32_t width, std::int32_t height);
// The size a maximised window's client area gets (default 1280 x 960).
void setScreenSize(std::int32_t width, std::int32_t height);
// Sends one message straight to the window procedure; returns its result.
std::intptr_t sendToWindow(const WindowMessage& message);

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    MessageBoxIcon icon;
    bool ownerExists;        // the owner window still existed
    bool deviceOpen;         // the sound device was open at that moment
    bool threadRunning;      // a started thread had not been joined yet
};

struct Snapshot {
    // Window.
    bool classRegistered;
    bool windowExists;
    bool windowVisible;
    bool windowMaximised;
    std::string windowTitle;
    std::int32_t clientWidth;
    std::int32_t clientHeight;
    std::int32_t requestedClientWidth;  // as created
    std::int32_t requestedClientHeight;
    bool iconsSet;
    bool dpiAware;
    std::vector<std::uint32_t> windowPixels;  // client area, rows top to bottom
    std::uint32_t paints;                      // paint messages delivered
    std::uint32_t quitMessages;                // quit messages taken from the queue
    std::int32_t quitCode;
    std::vector<MessageBoxRecord> messageBoxes;
    // Clock and timer.
    std::int64_t counter;
    std::int32_t timerResolutionDepth;  // begin minus end
    std::uint32_t timerResolutionBegins;
    // Threads and events.
    std::int32_t liveThreads;
    std::int32_t liveEvents;
    std::uint32_t tasksJoined;
    std::uint32_t tasksLeft;
    std::uint32_t schedulersLoaded;
    std::uint32_t schedulersUnloaded;
    std::uint32_t priorityRaises;
    // Sound device.
    bool deviceOpen;
    bool devicePaused;
    std::uint32_t deviceOpens;
    std::uint32_t deviceCloses;
    std::uint32_t deviceResets;
    std::uint32_t preparedHeaders;  // prepared now
    std::uint32_t unprepares;
    std::uint32_t queuedBuffers;
    std::uint32_t formatRate;
    std::uint32_t formatChannels;
    std::uint32_t formatBits;
    std::uint64_t framesPlayed;
    std::uint64_t silentFramesPlayed;
    std::uint32_t misuses;  // calls that break a contract (e.g. close with headers still prepared)
    // Drawing.
    std::int32_t liveMemoryContexts;
    std::int32_t liveBitmaps;
    std::uint32_t bitmapsCreated;
    std::uint32_t stretches;
};

[[nodiscard]] Snapshot snapshot();

}  // namespace korvale::platform::sim
