// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cue player on Windows: the waveOut interface of winmm.
//
// Why waveOut and not WASAPI: a cue is one short clip that must start at
// once and cut off the one before it. waveOut does exactly that with three
// calls (waveOutReset stops the device and drops what it holds, then the
// new clip is prepared and written), it plays the clip straight from the
// caller's memory (the header points at the embedded bytes, nothing is
// copied), and it needs no COM, no feeding thread and no event loop. On
// Windows 10 and 11 it runs on WASAPI's shared mode underneath, so the
// latency is the shared engine's (a few tens of milliseconds), which a
// pupil does not hear apart from a keystroke. WASAPI itself would only pay
// off for continuous, latency-critical streams.
//
// The device is opened on the first cue with that cue's format and kept
// for the whole run; a clip of another format reopens it. Without an audio
// device (or when it goes away) the open fails and nothing is heard or
// said; the next cue tries again, at most once a second.
#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <memory>

#include "app/cue_player.h"

namespace kob {

namespace {

class WaveOutPlayer : public CuePlayer {
public:
    ~WaveOutPlayer() override { close(); }

    void play(std::string_view, const std::uint8_t* wave, std::size_t size) override {
        PcmView pcm;
        if (!findPcm(wave, size, pcm) || pcm.channels == 0 || pcm.bitsPerSample == 0) return;
        if (!openFor(pcm)) return;
        stop();
        header_ = WAVEHDR{};
        // waveOut only reads the buffer; the clip stays valid for the run.
        header_.lpData = reinterpret_cast<LPSTR>(const_cast<std::uint8_t*>(pcm.data));
        header_.dwBufferLength = DWORD(pcm.size);
        if (waveOutPrepareHeader(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) return;
        prepared_ = true;
        if (waveOutWrite(device_, &header_, sizeof header_) != MMSYSERR_NOERROR) close();
    }

private:
    bool openFor(const PcmView& pcm) {
        WAVEFORMATEX f{};
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = pcm.channels;
        f.nSamplesPerSec = pcm.sampleRate;
        f.wBitsPerSample = pcm.bitsPerSample;
        f.nBlockAlign = WORD(pcm.channels * pcm.bitsPerSample / 8);
        f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
        if (device_ && sameFormat(f, format_)) return true;
        close();
        const auto now = std::chrono::steady_clock::now();
        if (triedOnce_ && now - lastTry_ < std::chrono::seconds(1)) return false;
        triedOnce_ = true;
        lastTry_ = now;
        if (waveOutOpen(&device_, WAVE_MAPPER, &f, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
            device_ = nullptr;
            return false;
        }
        format_ = f;
        return true;
    }

    static bool sameFormat(const WAVEFORMATEX& a, const WAVEFORMATEX& b) {
        return a.nChannels == b.nChannels && a.nSamplesPerSec == b.nSamplesPerSec &&
               a.wBitsPerSample == b.wBitsPerSample;
    }

    // Cuts off the clip playing (if any) and gives its header back.
    void stop() {
        if (!prepared_) return;
        waveOutReset(device_);
        waveOutUnprepareHeader(device_, &header_, sizeof header_);
        prepared_ = false;
    }

    void close() {
        if (!device_) return;
        stop();
        waveOutClose(device_);
        device_ = nullptr;
    }

    HWAVEOUT device_ = nullptr;
    WAVEFORMATEX format_{};
    WAVEHDR header_{};
    bool prepared_ = false;
    bool triedOnce_ = false;
    std::chrono::steady_clock::time_point lastTry_;
};

}  // namespace

std::unique_ptr<CuePlayer> makeSystemCuePlayer() { return std::make_unique<WaveOutPlayer>(); }

}  // namespace kob
