#include "audio/audio_output.hpp"

#include <algorithm>
#include <cstring>

#include "common/fatal_error.hpp"

namespace korvale {

namespace {

constexpr platform::WaveFormat outputFormat{static_cast<std::uint32_t>(outputRate), 2, 16};

}  // namespace

bool AudioOutput::start() {
    bufferEvent = platform::createEvent(platform::EventReset::automatic);
    stopEvent = platform::createEvent(platform::EventReset::manual);
    if (bufferEvent == nullptr || stopEvent == nullptr) {
        return false;
    }
    device = platform::openWaveOutput(outputFormat, bufferEvent);
    if (device == nullptr) {
        return false;
    }
    thread = platform::startThread(&audioThreadMain, this);
    return thread != nullptr;
}

void AudioOutput::run() {
    // Scheduling help is welcome but never required.
    platform::TaskScheduler scheduler = platform::loadTaskScheduler();
    platform::Task task = scheduler != nullptr ? platform::joinTask(scheduler, "Audio") : nullptr;
    if (task == nullptr) {
        platform::raiseCurrentThreadPriority();
    }
    try {
        play();
    } catch (const FatalError& error) {
        recordFailure(error.what());
    }
    if (task != nullptr) {
        platform::leaveTask(scheduler, task);
    }
    if (scheduler != nullptr) {
        platform::unloadTaskScheduler(scheduler);
    }
}

void AudioOutput::play() {
    if (!platform::pauseWaveOutput(device)) {
        throw FatalError("Audio pause failed");
    }
    for (int i = 0; i < outputBufferCount; ++i) {
        platform::WaveHeader& header = headers[i];
        header.data = reinterpret_cast<std::uint8_t*>(buffers[i].data());
        header.length = outputBufferBytes;
        if (!platform::prepareWaveHeader(device, header)) {
            throw FatalError("Audio header preparation failed");
        }
        fill(i);
    }
    if (!platform::restartWaveOutput(device)) {
        throw FatalError("Audio start failed");
    }

    // The device hands buffers back in the order they were queued, so only
    // the next one in line needs looking at.
    int next = 0;
    const platform::Event waitList[] = {stopEvent, bufferEvent};
    for (;;) {
        if (stopRequested()) {
            return;
        }
        while (platform::waveHeaderDone(headers[next])) {
            if (stopRequested()) {
                break;
            }
            fill(next);
            next = (next + 1) % outputBufferCount;
        }
        // The time-out bounds the delay should a notification be lost.
        const platform::WaitResult result = platform::waitForAnyEvent(waitList, audioWaitMs);
        if (result.outcome == platform::WaitOutcome::signalled && result.index == 0) {
            return;
        }
        if (result.outcome == platform::WaitOutcome::failed) {
            throw FatalError("Audio event wait failed");
        }
    }
}

void AudioOutput::fill(int index) {
    player.render(buffers[index].data(), outputBufferFrames);
    if (!platform::writeWaveOutput(device, headers[index])) {
        throw FatalError("Audio queue failed");
    }
}

bool AudioOutput::stopRequested() const {
    const platform::Event stop[] = {stopEvent};
    const platform::WaitResult result = platform::waitForAnyEvent(stop, 0);
    return result.outcome == platform::WaitOutcome::signalled;
}

void AudioOutput::recordFailure(const char* message) noexcept {
    const std::size_t length = std::min(std::strlen(message), failureMessageSize - 1);
    std::memcpy(failureMessage.data(), message, length);
    failureMessage[length] = '\0';
    failed.store(true, std::memory_order_release);
}

void AudioOutput::close() {
    if (stopEvent != nullptr) {
        platform::setEvent(stopEvent);
    }
    if (thread != nullptr) {
        platform::joinThread(thread);
        thread = nullptr;
    }
    if (device != nullptr) {
        platform::resetWaveOutput(device);
        for (platform::WaveHeader& header : headers) {
            if (platform::waveHeaderPrepared(header)) {
                platform::unprepareWaveHeader(device, header);
            }
        }
        platform::closeWaveOutput(device);
        device = nullptr;
    }
    if (bufferEvent != nullptr) {
        platform::closeEvent(bufferEvent);
        bufferEvent = nullptr;
    }
    if (stopEvent != nullptr) {
        platform::closeEvent(stopEvent);
        stopEvent = nullptr;
    }
}

std::uint32_t audioThreadMain(void* output) {
    static_cast<AudioOutput*>(output)->run();
    return 0;
}

}  // namespace korvale
