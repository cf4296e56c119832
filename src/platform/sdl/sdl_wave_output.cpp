// The wave output on an SDL audio device. SDL pulls sound from its own
// thread through a callback; the callback takes it from the queued headers in
// the order they were written, marks each one done as soon as it has been
// copied out whole and wakes the writer through the notify event. The played
// position is what the callback has taken, in frames: SDL hands that to the
// system right away, and the system plays it within a device buffer.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>
#include <new>

#include "platform/standard/threads.hpp"
#include "platform/wave_output.hpp"

namespace korvale::platform {

namespace {

constexpr std::uint32_t headerDone = 1;
constexpr std::uint32_t headerPrepared = 2;

// Room for every header the writer may have queued at once, with plenty to
// spare (the host queues eight).
constexpr std::uint32_t queueCapacity = 32;

// Frames that SDL asks for at a time: small enough that the played position
// moves in steps well under a video tick.
constexpr Uint16 deviceBufferFrames = 512;

std::atomic_ref<std::uint32_t> flagsOf(WaveHeader& header) {
    return std::atomic_ref<std::uint32_t>(*std::launder(reinterpret_cast<std::uint32_t*>(header.state)));
}

std::uint32_t loadFlags(const WaveHeader& header) {
    return flagsOf(const_cast<WaveHeader&>(header)).load(std::memory_order_acquire);
}

}  // namespace

// One writer (the audio thread: write) and one reader (SDL's callback) share
// the ring without a lock; head and tail count headers since the open.
struct WaveDeviceObject {
    SDL_AudioDeviceID id = 0;
    Event notify = nullptr;
    std::uint32_t frameBytes = 4;
    std::array<WaveHeader*, queueCapacity> ring{};
    std::atomic<std::uint32_t> head{0};  // next header the callback reads; callback's
    std::atomic<std::uint32_t> tail{0};  // next free slot; the writer's
    std::uint32_t offset = 0;            // bytes of the head header already taken; callback's
    std::atomic<std::uint64_t> takenBytes{0};
};

namespace {

void SDLCALL takeQueuedSound(void* userdata, Uint8* stream, int length) {
    auto& device = *static_cast<WaveDeviceObject*>(userdata);
    auto left = static_cast<std::uint32_t>(length);
    std::uint32_t head = device.head.load(std::memory_order_relaxed);
    std::uint64_t taken = 0;
    bool finished = false;
    while (left > 0 && head != device.tail.load(std::memory_order_acquire)) {
        WaveHeader& header = *device.ring[head % queueCapacity];
        const std::uint32_t take = std::min(header.length - device.offset, left);
        std::memcpy(stream, header.data + device.offset, take);
        stream += take;
        left -= take;
        taken += take;
        device.offset += take;
        if (device.offset == header.length) {
            device.offset = 0;
            ++head;
            device.head.store(head, std::memory_order_release);
            flagsOf(header).fetch_or(headerDone, std::memory_order_release);
            finished = true;
        }
    }
    // Starved: the system gets silence, and the position stands still as
    // nothing of the program's sound was played.
    std::memset(stream, 0, left);
    device.takenBytes.fetch_add(taken, std::memory_order_relaxed);
    if (finished) {
        standard::setEvent(device.notify);
    }
}

}  // namespace

WaveDevice openWaveOutput(const WaveFormat& format, Event notify) {
    if (format.bitsPerSample != 16 || format.channels == 0 || format.channels > 8 || notify == nullptr) {
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return nullptr;
    }
    auto* device = new (std::nothrow) WaveDeviceObject;
    if (device == nullptr) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    device->notify = notify;
    device->frameBytes = 2u * format.channels;

    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(format.framesPerSecond);
    wanted.format = AUDIO_S16LSB;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = deviceBufferFrames;
    wanted.callback = &takeQueuedSound;
    wanted.userdata = device;
    SDL_AudioSpec obtained{};
    // No changes allowed: where the system wants another format, SDL
    // converts, so the played frames stay frames of our format.
    device->id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device->id == 0) {
        delete device;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return nullptr;
    }
    return device;
}

bool pauseWaveOutput(WaveDevice device) {
    SDL_PauseAudioDevice(device->id, 1);
    return true;
}

bool restartWaveOutput(WaveDevice device) {
    SDL_PauseAudioDevice(device->id, 0);
    return SDL_GetAudioDeviceStatus(device->id) == SDL_AUDIO_PLAYING;
}

bool prepareWaveHeader(WaveDevice, WaveHeader& header) {
    if (header.data == nullptr && header.length != 0) {
        return false;
    }
    flagsOf(header).store(headerPrepared, std::memory_order_release);
    return true;
}

void unprepareWaveHeader(WaveDevice, WaveHeader& header) {
    flagsOf(header).fetch_and(~headerPrepared, std::memory_order_release);
}

bool writeWaveOutput(WaveDevice device, WaveHeader& header) {
    if ((loadFlags(header) & headerPrepared) == 0) {
        return false;
    }
    const std::uint32_t tail = device->tail.load(std::memory_order_relaxed);
    if (tail - device->head.load(std::memory_order_acquire) >= queueCapacity) {
        return false;
    }
    flagsOf(header).fetch_and(~headerDone, std::memory_order_relaxed);
    device->ring[tail % queueCapacity] = &header;
    device->tail.store(tail + 1, std::memory_order_release);
    return true;
}

bool waveHeaderDone(const WaveHeader& header) { return (loadFlags(header) & headerDone) != 0; }

bool waveHeaderPrepared(const WaveHeader& header) { return (loadFlags(header) & headerPrepared) != 0; }

void resetWaveOutput(WaveDevice device) {
    SDL_PauseAudioDevice(device->id, 1);
    // The callback does not run while the device is locked.
    SDL_LockAudioDevice(device->id);
    const std::uint32_t tail = device->tail.load(std::memory_order_relaxed);
    for (std::uint32_t i = device->head.load(std::memory_order_relaxed); i != tail; ++i) {
        flagsOf(*device->ring[i % queueCapacity]).fetch_or(headerDone, std::memory_order_release);
    }
    device->head.store(tail, std::memory_order_release);
    device->offset = 0;
    device->takenBytes.store(0, std::memory_order_relaxed);
    SDL_UnlockAudioDevice(device->id);
}

void closeWaveOutput(WaveDevice device) {
    SDL_CloseAudioDevice(device->id);
    delete device;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

WavePosition waveOutputPosition(WaveDevice device) {
    const std::uint64_t frames = device->takenBytes.load(std::memory_order_relaxed) / device->frameBytes;
    return {PositionUnit::frames, static_cast<std::uint32_t>(frames)};
}

}  // namespace korvale::platform
