#include <atomic>
#include <new>

#include "platform/wave_output.hpp"
#include "platform/win32/win32_api.hpp"

namespace korvale::platform {

using win32::as;

namespace {

static_assert(sizeof(WAVEHDR) <= sizeof(WaveHeader::state) && alignof(WAVEHDR) <= alignof(WaveHeader),
              "the device's header record must fit the state bytes of WaveHeader");

// The device's record lives in the header's state bytes; all zero there is a
// WAVEHDR that was never prepared.
WAVEHDR& systemHeader(WaveHeader& header) {
    return *std::launder(reinterpret_cast<WAVEHDR*>(header.state));
}

// The device sets the flags from its own thread while ours polls them.
DWORD currentFlags(const WaveHeader& header) {
    const auto* record = std::launder(reinterpret_cast<const WAVEHDR*>(header.state));
    const DWORD flags = *static_cast<const volatile DWORD*>(&record->dwFlags);
    std::atomic_thread_fence(std::memory_order_acquire);
    return flags;
}

}  // namespace

WaveDevice openWaveOutput(const WaveFormat& format, Event notify) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = format.channels;
    wave.nSamplesPerSec = format.framesPerSecond;
    wave.wBitsPerSample = format.bitsPerSample;
    wave.nBlockAlign = static_cast<WORD>(format.channels * format.bitsPerSample / 8);
    wave.nAvgBytesPerSec = format.framesPerSecond * wave.nBlockAlign;
    wave.cbSize = 0;
    HWAVEOUT device = nullptr;
    const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &wave, as<DWORD_PTR>(notify), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        return nullptr;
    }
    return as<WaveDevice>(device);
}

bool pauseWaveOutput(WaveDevice device) { return waveOutPause(as<HWAVEOUT>(device)) == MMSYSERR_NOERROR; }

bool restartWaveOutput(WaveDevice device) { return waveOutRestart(as<HWAVEOUT>(device)) == MMSYSERR_NOERROR; }

bool prepareWaveHeader(WaveDevice device, WaveHeader& header) {
    WAVEHDR& record = systemHeader(header);
    record = WAVEHDR{};
    record.lpData = reinterpret_cast<LPSTR>(header.data);
    record.dwBufferLength = header.length;
    return waveOutPrepareHeader(as<HWAVEOUT>(device), &record, sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

void unprepareWaveHeader(WaveDevice device, WaveHeader& header) {
    waveOutUnprepareHeader(as<HWAVEOUT>(device), &systemHeader(header), sizeof(WAVEHDR));
}

bool writeWaveOutput(WaveDevice device, WaveHeader& header) {
    return waveOutWrite(as<HWAVEOUT>(device), &systemHeader(header), sizeof(WAVEHDR)) == MMSYSERR_NOERROR;
}

bool waveHeaderDone(const WaveHeader& header) { return (currentFlags(header) & WHDR_DONE) != 0; }

bool waveHeaderPrepared(const WaveHeader& header) { return (currentFlags(header) & WHDR_PREPARED) != 0; }

void resetWaveOutput(WaveDevice device) { waveOutReset(as<HWAVEOUT>(device)); }

void closeWaveOutput(WaveDevice device) { waveOutClose(as<HWAVEOUT>(device)); }

WavePosition waveOutputPosition(WaveDevice device) {
    MMTIME time{};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(as<HWAVEOUT>(device), &time, sizeof(MMTIME)) != MMSYSERR_NOERROR) {
        return {PositionUnit::failed, 0};
    }
    // The device may ignore the unit asked for and pick its own.
    switch (time.wType) {
    case TIME_SAMPLES:
        return {PositionUnit::frames, time.u.sample};
    case TIME_BYTES:
        return {PositionUnit::bytes, time.u.cb};
    default:
        return {PositionUnit::other, time.u.sample};
    }
}

}  // namespace korvale::platform
