// The simulated backend: every platform function, over one machine state
// that tests steer through sim_control.hpp. One lock guards the machine; it
// is never held while the program's own code (window procedure, idle hook)
// runs, since that code calls back in.
#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/clock.hpp"
#include "platform/drawing.hpp"
#include "platform/sim/sim_control.hpp"
#include "platform/software/pixels.hpp"
#include "platform/standard/threads.hpp"
#include "platform/sync.hpp"
#include "platform/wave_output.hpp"
#include "platform/window.hpp"

namespace korvale::platform {

struct WaveDeviceObject {
    Event notify = nullptr;
    bool paused = false;
    std::deque<WaveHeader*> queue;
    std::uint32_t offset = 0;  // frames of the front buffer already played
    std::uint64_t played = 0;  // since open or the last reset
};

struct BitmapObject {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
    bool stock = false;
    int selections = 0;  // memory contexts it is selected into
};

struct DrawingContextObject {
    bool memory = false;
    BitmapObject* selected = nullptr;
};

struct WindowObject {
    bool exists = false;
    bool visible = false;
    bool maximised = false;
    std::string title;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t requestedWidth = 0;
    std::int32_t requestedHeight = 0;
    void* context = nullptr;
    std::vector<std::uint32_t> pixels;
    Rect invalid{};
    DrawingContextObject drawing;
    bool iconsSet = false;
};

struct TaskSchedulerObject {};
struct TaskObject {};

namespace {

constexpr std::uintptr_t simKeyUp = 1;
constexpr std::uintptr_t simClose = 2;
constexpr std::uint32_t headerDone = 1;
constexpr std::uint32_t headerPrepared = 2;

struct Failure {
    bool armed = false;
    std::uint32_t successesLeft = 0;
    std::uint32_t calls = 0;
};

struct QueuedMessage {
    bool quit = false;
    std::int32_t quitCode = 0;
    WindowMessage message;
};

struct Machine {
    std::array<Failure, static_cast<std::size_t>(sim::Operation::count)> failures{};
    sim::TaskService taskService = sim::TaskService::available;

    std::int64_t frequency = 10000000;
    std::int64_t counter = 0;
    std::int64_t clockFrames = 0;  // frames of simulated time so far
    bool deviceFollowsClock = true;

    WaveDeviceObject* device = nullptr;
    PositionUnit positionUnit = PositionUnit::frames;
    bool notifications = true;
    sim::Snapshot stats{};

    bool classRegistered = false;
    std::string className;
    WindowProcedure procedure = nullptr;
    WindowObject window;
    std::int32_t screenWidth = 1280;
    std::int32_t screenHeight = 960;
    std::deque<QueuedMessage> queue;
    std::function<void(std::int64_t)> idleHook;

    BitmapObject stockBitmap{1, 1, std::vector<std::uint32_t>(1, 0), true, 0};
};

std::mutex machineLock;
std::condition_variable queueRefilled;
Machine machine;

bool shouldFail(sim::Operation operation) {
    Failure& failure = machine.failures[static_cast<std::size_t>(operation)];
    ++failure.calls;
    if (!failure.armed) {
        return false;
    }
    if (failure.successesLeft > 0) {
        --failure.successesLeft;
        return false;
    }
    return true;
}

bool failsNow(sim::Operation operation) {
    std::lock_guard guard(machineLock);
    return shouldFail(operation);
}

std::uint32_t headerFlags(const WaveHeader& header) {
    std::uint32_t flags = 0;
    std::memcpy(&flags, header.state, sizeof flags);
    return flags;
}

void setHeaderFlags(WaveHeader& header, std::uint32_t flags) { std::memcpy(header.state, &flags, sizeof flags); }

std::uint64_t playLocked(std::uint64_t frames) {
    WaveDeviceObject* device = machine.device;
    if (device == nullptr || device->paused) {
        return 0;
    }
    std::uint64_t played = 0;
    while (played < frames && !device->queue.empty()) {
        WaveHeader* header = device->queue.front();
        const std::uint32_t total = header->length / 4;
        const std::uint64_t take = std::min<std::uint64_t>(total - device->offset, frames - played);
        for (std::uint64_t i = 0; i < take; ++i) {
            std::uint32_t frame = 0;
            std::memcpy(&frame, header->data + (device->offset + i) * 4, 4);
            if (frame == 0) {
                ++machine.stats.silentFramesPlayed;
            }
        }
        device->offset += static_cast<std::uint32_t>(take);
        device->played += take;
        machine.stats.framesPlayed += take;
        played += take;
        if (device->offset == total) {
            setHeaderFlags(*header, headerFlags(*header) | headerDone);
            device->queue.pop_front();
            device->offset = 0;
            if (machine.notifications) {
                standard::setEvent(device->notify);
            }
        }
    }
    return played;
}

bool deviceStarving() {
    return machine.device != nullptr && !machine.device->paused && machine.device->queue.empty() &&
           machine.stats.liveThreads > 0;
}

void advanceClockLocked(std::unique_lock<std::mutex>& guard, std::int64_t counts) {
    machine.counter += counts;
    const std::int64_t target = machine.counter * 48000 / machine.frequency;
    std::int64_t owed = target - machine.clockFrames;
    machine.clockFrames = target;
    if (!machine.deviceFollowsClock) {
        return;
    }
    while (owed > 0) {
        owed -= static_cast<std::int64_t>(playLocked(static_cast<std::uint64_t>(owed)));
        if (owed == 0 || !deviceStarving()) {
            return;
        }
        // The audio thread is real and may lag simulated time; give it the
        // chance a real device's buffer gives it. If it sends nothing, the
        // time passes unplayed.
        if (!queueRefilled.wait_for(guard, std::chrono::seconds(1), [] { return !deviceStarving(); })) {
            return;
        }
    }
}

std::intptr_t deliver(Window window, const WindowMessage& message) {
    WindowProcedure procedure = nullptr;
    void* context = nullptr;
    {
        std::lock_guard guard(machineLock);
        if (!window->exists) {
            return 0;
        }
        procedure = machine.procedure;
        context = window->context;
        if (message.kind == MessageKind::paint) {
            ++machine.stats.paints;
        }
    }
    return procedure(context, window, message);
}

void resizeLocked(WindowObject& window, std::int32_t width, std::int32_t height) {
    window.width = width;
    window.height = height;
    window.pixels.assign(static_cast<std::size_t>(std::max(width, 0)) * static_cast<std::size_t>(std::max(height, 0)),
                         0);
}

software::PixelBuffer pixelsOf(DrawingContext context) {
    if (!context->memory) {
        WindowObject& window = machine.window;
        return {window.pixels.data(), window.width, window.height};
    }
    BitmapObject* bitmap = context->selected;
    return {bitmap->pixels.data(), bitmap->width, bitmap->height};
}

}  // namespace

// ---- sync.hpp ----

Event createEvent(EventReset reset) {
    if (failsNow(sim::Operation::createEvent)) {
        return nullptr;
    }
    Event event = standard::createEvent(reset);
    std::lock_guard guard(machineLock);
    ++machine.stats.liveEvents;
    return event;
}

void setEvent(Event event) { standard::setEvent(event); }

void closeEvent(Event event) {
    standard::closeEvent(event);
    std::lock_guard guard(machineLock);
    --machine.stats.liveEvents;
}

WaitResult waitForAnyEvent(std::span<const Event> events, std::uint32_t timeoutMs) {
    if (failsNow(sim::Operation::waitForAnyEvent)) {
        return {WaitOutcome::failed, 0};
    }
    return standard::waitForAnyEvent(events, timeoutMs);
}

Thread startThread(ThreadEntry entry, void* argument) {
    {
        std::lock_guard guard(machineLock);
        if (shouldFail(sim::Operation::startThread)) {
            return nullptr;
        }
        ++machine.stats.liveThreads;
    }
    Thread thread = standard::startThread(entry, argument);
    if (thread == nullptr) {
        std::lock_guard guard(machineLock);
        --machine.stats.liveThreads;
    }
    return thread;
}

void joinThread(Thread thread) {
    standard::joinThread(thread);
    std::lock_guard guard(machineLock);
    --machine.stats.liveThreads;
}

void raiseCurrentThreadPriority() {
    std::lock_guard guard(machineLock);
    ++machine.stats.priorityRaises;
}

TaskScheduler loadTaskScheduler() {
    static TaskSchedulerObject service;
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::loadTaskScheduler) || machine.taskService == sim::TaskService::missing) {
        return nullptr;
    }
    ++machine.stats.schedulersLoaded;
    return &service;
}

Task joinTask(TaskScheduler, const char* taskName) {
    static TaskObject task;
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::joinTask) || machine.taskService == sim::TaskService::lacksFunctions ||
        std::strcmp(taskName, "Audio") != 0) {
        return nullptr;
    }
    ++machine.stats.tasksJoined;
    return &task;
}

void leaveTask(TaskScheduler, Task) {
    std::lock_guard guard(machineLock);
    ++machine.stats.tasksLeft;
}

void unloadTaskScheduler(TaskScheduler) {
    std::lock_guard guard(machineLock);
    ++machine.stats.schedulersUnloaded;
}

// ---- clock.hpp ----

std::int64_t counterFrequency() {
    std::lock_guard guard(machineLock);
    return machine.frequency;
}

std::int64_t counterNow() {
    std::lock_guard guard(machineLock);
    return machine.counter;
}

void beginTimerResolution(std::uint32_t) {
    std::lock_guard guard(machineLock);
    ++machine.stats.timerResolutionDepth;
    ++machine.stats.timerResolutionBegins;
}

void endTimerResolution(std::uint32_t) {
    std::lock_guard guard(machineLock);
    --machine.stats.timerResolutionDepth;
}

// ---- wave_output.hpp ----

WaveDevice openWaveOutput(const WaveFormat& format, Event notify) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::openWaveOutput) || machine.device != nullptr || notify == nullptr) {
        return nullptr;
    }
    machine.device = new WaveDeviceObject;
    machine.device->notify = notify;
    machine.stats.deviceOpen = true;
    ++machine.stats.deviceOpens;
    machine.stats.formatRate = format.framesPerSecond;
    machine.stats.formatChannels = format.channels;
    machine.stats.formatBits = format.bitsPerSample;
    return machine.device;
}

bool pauseWaveOutput(WaveDevice device) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::pauseWaveOutput)) {
        return false;
    }
    device->paused = true;
    return true;
}

bool restartWaveOutput(WaveDevice device) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::restartWaveOutput)) {
        return false;
    }
    device->paused = false;
    queueRefilled.notify_all();
    return true;
}

bool prepareWaveHeader(WaveDevice, WaveHeader& header) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::prepareWaveHeader)) {
        return false;
    }
    if ((headerFlags(header) & headerPrepared) != 0 || header.data == nullptr || header.length % 4 != 0) {
        ++machine.stats.misuses;
    }
    setHeaderFlags(header, headerPrepared);
    ++machine.stats.preparedHeaders;
    return true;
}

void unprepareWaveHeader(WaveDevice device, WaveHeader& header) {
    std::lock_guard guard(machineLock);
    if (std::find(device->queue.begin(), device->queue.end(), &header) != device->queue.end() ||
        (headerFlags(header) & headerPrepared) == 0) {
        ++machine.stats.misuses;
        return;
    }
    setHeaderFlags(header, headerFlags(header) & ~headerPrepared);
    --machine.stats.preparedHeaders;
    ++machine.stats.unprepares;
}

bool writeWaveOutput(WaveDevice device, WaveHeader& header) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::writeWaveOutput)) {
        return false;
    }
    if ((headerFlags(header) & headerPrepared) == 0) {
        ++machine.stats.misuses;
        return false;
    }
    setHeaderFlags(header, headerFlags(header) & ~headerDone);
    device->queue.push_back(&header);
    queueRefilled.notify_all();
    return true;
}

bool waveHeaderDone(const WaveHeader& header) {
    std::lock_guard guard(machineLock);
    return (headerFlags(header) & headerDone) != 0;
}

bool waveHeaderPrepared(const WaveHeader& header) {
    std::lock_guard guard(machineLock);
    return (headerFlags(header) & headerPrepared) != 0;
}

void resetWaveOutput(WaveDevice device) {
    std::lock_guard guard(machineLock);
    ++machine.stats.deviceResets;
    for (WaveHeader* header : device->queue) {
        setHeaderFlags(*header, headerFlags(*header) | headerDone);
    }
    device->queue.clear();
    device->offset = 0;
    device->played = 0;
}

void closeWaveOutput(WaveDevice device) {
    std::lock_guard guard(machineLock);
    if (machine.stats.preparedHeaders != 0 || !device->queue.empty()) {
        ++machine.stats.misuses;
    }
    delete device;
    machine.device = nullptr;
    machine.stats.deviceOpen = false;
    ++machine.stats.deviceCloses;
}

WavePosition waveOutputPosition(WaveDevice device) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::waveOutputPosition)) {
        return {PositionUnit::failed, 0};
    }
    switch (machine.positionUnit) {
    case PositionUnit::frames:
        return {PositionUnit::frames, static_cast<std::uint32_t>(device->played)};
    case PositionUnit::bytes:
        return {PositionUnit::bytes, static_cast<std::uint32_t>(device->played * 4)};
    case PositionUnit::other:
        return {PositionUnit::other, static_cast<std::uint32_t>(device->played / 48)};
    case PositionUnit::failed:
        break;
    }
    return {PositionUnit::failed, 0};
}

// ---- window.hpp ----

std::intptr_t defaultWindowProcedure(Window window, const WindowMessage& message) {
    if (message.kind == MessageKind::other && message.backend[0] == simClose) {
        destroyWindow(window);
    }
    return 0;
}

void declareDpiAware() {
    std::lock_guard guard(machineLock);
    machine.stats.dpiAware = true;
}

bool registerWindowClass(Module, const char* className, WindowProcedure procedure) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::registerWindowClass) || machine.classRegistered) {
        return false;
    }
    machine.classRegistered = true;
    machine.className = className;
    machine.procedure = procedure;
    return true;
}

Window createWindow(const WindowDescription& description) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::createWindow) || !machine.classRegistered || machine.className != description.className ||
        machine.window.exists) {
        return nullptr;
    }
    WindowObject& window = machine.window;
    window = WindowObject{};
    window.exists = true;
    window.title = description.title;
    window.context = description.context;
    window.requestedWidth = description.clientWidth;
    window.requestedHeight = description.clientHeight;
    resizeLocked(window, description.clientWidth, description.clientHeight);
    return &window;
}

void setWindowIcons(Module, Window window) {
    std::lock_guard guard(machineLock);
    window->iconsSet = true;
}

void showWindowMaximised(Window window) {
    {
        std::lock_guard guard(machineLock);
        window->visible = true;
        window->maximised = true;
        resizeLocked(*window, machine.screenWidth, machine.screenHeight);
        window->invalid = {0, 0, window->width, window->height};
    }
    deliver(window, WindowMessage{MessageKind::size, 0, {}});
}

void destroyWindow(Window window) {
    deliver(window, WindowMessage{MessageKind::destroy, 0, {}});
    std::lock_guard guard(machineLock);
    window->exists = false;
    window->visible = false;
}

void invalidateWindow(Window window) {
    std::lock_guard guard(machineLock);
    window->invalid = {0, 0, window->width, window->height};
}

void updateWindow(Window window) {
    bool due = false;
    {
        std::lock_guard guard(machineLock);
        due = window->exists && window->invalid.right > window->invalid.left &&
              window->invalid.bottom > window->invalid.top;
    }
    if (due) {
        deliver(window, WindowMessage{MessageKind::paint, 0, {}});
    }
}

Rect clientRect(Window window) {
    std::lock_guard guard(machineLock);
    return {0, 0, std::max(window->width, 0), std::max(window->height, 0)};
}

PaintSession beginPaint(Window window) {
    std::lock_guard guard(machineLock);
    PaintSession session;
    session.context = &window->drawing;
    session.update = window->invalid;
    window->invalid = {};
    return session;
}

void endPaint(Window, PaintSession&) {}

bool pumpMessage() {
    QueuedMessage next;
    Window window = nullptr;
    {
        std::lock_guard guard(machineLock);
        if (machine.queue.empty()) {
            // As on a real system, a pending repaint is delivered once the
            // queue is otherwise empty.
            WindowObject& w = machine.window;
            if (w.exists && w.visible && w.invalid.right > w.invalid.left && w.invalid.bottom > w.invalid.top) {
                next.message.kind = MessageKind::paint;
                window = &w;
            } else {
                return false;
            }
        } else {
            next = machine.queue.front();
            machine.queue.pop_front();
            if (next.quit) {
                ++machine.stats.quitMessages;
                machine.stats.quitCode = next.quitCode;
                return true;
            }
            window = &machine.window;
        }
    }
    deliver(window, next.message);
    return true;
}

void postQuitMessage(std::int32_t exitCode) {
    std::lock_guard guard(machineLock);
    machine.queue.push_back(QueuedMessage{true, exitCode, {}});
}

void waitForInput(std::uint32_t timeoutMs) {
    std::function<void(std::int64_t)> hook;
    std::int64_t now = 0;
    {
        std::lock_guard guard(machineLock);
        hook = machine.idleHook;
        now = machine.counter;
    }
    if (hook) {
        hook(now);
    }
    std::unique_lock guard(machineLock);
    if (!machine.queue.empty()) {
        return;
    }
    advanceClockLocked(guard, static_cast<std::int64_t>(timeoutMs) * machine.frequency / 1000);
}

void showMessageBox(Window owner, const char* text, const char* caption, MessageBoxIcon icon) {
    std::lock_guard guard(machineLock);
    machine.stats.messageBoxes.push_back(sim::MessageBoxRecord{text, caption, icon,
                                                               owner != nullptr && owner->exists,
                                                               machine.device != nullptr,
                                                               machine.stats.liveThreads > 0});
}

// ---- drawing.hpp ----

DrawingContext createMemoryContext(DrawingContext) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::createMemoryContext)) {
        return nullptr;
    }
    auto* context = new DrawingContextObject{true, &machine.stockBitmap};
    ++machine.stockBitmap.selections;
    ++machine.stats.liveMemoryContexts;
    return context;
}

void deleteMemoryContext(DrawingContext context) {
    std::lock_guard guard(machineLock);
    if (!context->memory) {
        ++machine.stats.misuses;
        return;
    }
    --context->selected->selections;
    delete context;
    --machine.stats.liveMemoryContexts;
}

Bitmap createCompatibleBitmap(DrawingContext like, std::int32_t width, std::int32_t height) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::createCompatibleBitmap)) {
        return nullptr;
    }
    if (like->memory || width <= 0 || height <= 0) {
        // A memory context would give a one-bit bitmap: a fault of the caller.
        ++machine.stats.misuses;
    }
    auto* bitmap = new BitmapObject;
    bitmap->width = std::max(width, 1);
    bitmap->height = std::max(height, 1);
    bitmap->pixels.assign(static_cast<std::size_t>(bitmap->width) * static_cast<std::size_t>(bitmap->height),
                          0x00FF00FFu);  // undefined content shows up loudly
    ++machine.stats.liveBitmaps;
    ++machine.stats.bitmapsCreated;
    return bitmap;
}

Bitmap selectBitmap(DrawingContext context, Bitmap bitmap) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::selectBitmap)) {
        return nullptr;
    }
    if (!context->memory || (bitmap->selections > 0 && !bitmap->stock)) {
        ++machine.stats.misuses;
        return nullptr;
    }
    Bitmap previous = context->selected;
    --previous->selections;
    context->selected = bitmap;
    ++bitmap->selections;
    return previous;
}

void deleteBitmap(Bitmap bitmap) {
    std::lock_guard guard(machineLock);
    if (bitmap->stock) {
        return;
    }
    if (bitmap->selections > 0) {
        ++machine.stats.misuses;  // the system refuses to delete a selected bitmap
        return;
    }
    delete bitmap;
    --machine.stats.liveBitmaps;
}

void setNearestNeighbourStretch(DrawingContext) {}

bool fillBlack(DrawingContext context, const Rect& area) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::fillBlack)) {
        return false;
    }
    software::fillRect(pixelsOf(context), area, 0);
    return true;
}

bool stretchImage(DrawingContext context, const Rect& destination, const ImageView& image) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::stretchImage)) {
        return false;
    }
    ++machine.stats.stretches;
    software::stretchNearest(pixelsOf(context), destination, image);
    return true;
}

bool copyPixels(DrawingContext target, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                DrawingContext source, std::int32_t sourceX, std::int32_t sourceY) {
    std::lock_guard guard(machineLock);
    if (shouldFail(sim::Operation::copyPixels)) {
        return false;
    }
    software::copyRect(pixelsOf(target), x, y, width, height, pixelsOf(source), sourceX, sourceY);
    return true;
}

// ---- sim_control.hpp ----

namespace sim {

void reset() {
    std::lock_guard guard(machineLock);
    delete machine.device;
    machine.device = nullptr;
    machine.failures = {};
    machine.taskService = TaskService::available;
    machine.frequency = 10000000;
    machine.counter = 0;
    machine.clockFrames = 0;
    machine.deviceFollowsClock = true;
    machine.positionUnit = PositionUnit::frames;
    machine.notifications = true;
    machine.stats = Snapshot{};
    machine.classRegistered = false;
    machine.className.clear();
    machine.procedure = nullptr;
    machine.window = WindowObject{};
    machine.screenWidth = 1280;
    machine.screenHeight = 960;
    machine.queue.clear();
    machine.idleHook = nullptr;
    machine.stockBitmap.selections = 0;
}

void failAfter(Operation operation, std::uint32_t successes) {
    std::lock_guard guard(machineLock);
    Failure& failure = machine.failures[static_cast<std::size_t>(operation)];
    failure.armed = true;
    failure.successesLeft = successes;
}

void succeedAlways(Operation operation) {
    std::lock_guard guard(machineLock);
    machine.failures[static_cast<std::size_t>(operation)].armed = false;
}

std::uint32_t callCount(Operation operation) {
    std::lock_guard guard(machineLock);
    return machine.failures[static_cast<std::size_t>(operation)].calls;
}

void setTaskService(TaskService service) {
    std::lock_guard guard(machineLock);
    machine.taskService = service;
}

void setCounterFrequency(std::int64_t frequency) {
    std::lock_guard guard(machineLock);
    machine.frequency = frequency;
    machine.clockFrames = machine.counter * 48000 / frequency;
}

void advanceClock(std::int64_t counts) {
    std::unique_lock guard(machineLock);
    advanceClockLocked(guard, counts);
}

void setDeviceFollowsClock(bool follows) {
    std::lock_guard guard(machineLock);
    machine.deviceFollowsClock = follows;
}

std::uint64_t playDevice(std::uint64_t frames) {
    std::lock_guard guard(machineLock);
    return playLocked(frames);
}

void setPositionUnit(PositionUnit unit) {
    std::lock_guard guard(machineLock);
    machine.positionUnit = unit;
}

void setNotifications(bool on) {
    std::lock_guard guard(machineLock);
    machine.notifications = on;
}

void setIdleHook(std::function<void(std::int64_t)> hook) {
    std::lock_guard guard(machineLock);
    machine.idleHook = std::move(hook);
}

void postKeyDown(std::uint32_t virtualKey) {
    std::lock_guard guard(machineLock);
    machine.queue.push_back(QueuedMessage{false, 0, WindowMessage{MessageKind::keyDown, virtualKey, {}}});
}

void postKeyUp(std::uint32_t virtualKey) {
    std::lock_guard guard(machineLock);
    machine.queue.push_back(QueuedMessage{false, 0, WindowMessage{MessageKind::other, virtualKey, {simKeyUp}}});
}

void postCloseRequest() {
    std::lock_guard guard(machineLock);
    machine.queue.push_back(QueuedMessage{false, 0, WindowMessage{MessageKind::other, 0, {simClose}}});
}

void postQuit(std::int32_t exitCode) { postQuitMessage(exitCode); }

void resizeClient(std::int32_t width, std::int32_t height) {
    {
        std::lock_guard guard(machineLock);
        resizeLocked(machine.window, width, height);
        machine.window.maximised = false;
    }
    deliver(&machine.window, WindowMessage{MessageKind::size, 0, {}});
}

void setScreenSize(std::int32_t width, std::int32_t height) {
    std::lock_guard guard(machineLock);
    machine.screenWidth = width;
    machine.screenHeight = height;
}

std::intptr_t sendToWindow(const WindowMessage& message) { return deliver(&machine.window, message); }

Snapshot snapshot() {
    std::lock_guard guard(machineLock);
    Snapshot result = machine.stats;
    const WindowObject& window = machine.window;
    result.classRegistered = machine.classRegistered;
    result.windowExists = window.exists;
    result.windowVisible = window.visible;
    result.windowMaximised = window.maximised;
    result.windowTitle = window.title;
    result.clientWidth = window.width;
    result.clientHeight = window.height;
    result.requestedClientWidth = window.requestedWidth;
    result.requestedClientHeight = window.requestedHeight;
    result.iconsSet = window.iconsSet;
    result.windowPixels = window.pixels;
    result.counter = machine.counter;
    result.devicePaused = machine.device != nullptr && machine.device->paused;
    result.queuedBuffers =
        machine.device != nullptr ? static_cast<std::uint32_t>(machine.device->queue.size()) : 0u;
    return result;
}

}  // namespace sim

}  // namespace korvale::platform
