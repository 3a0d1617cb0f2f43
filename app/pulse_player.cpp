// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The cue player on libpulse.
//
// Everything runs on a pa_threaded_mainloop. The UI thread only ever takes
// the loop lock for a few calls (writes) and never waits for the
// server: connecting, reconnecting and feeding the stream all happen in
// callbacks on the loop thread.
//
// Life of the connection: the context connects without autospawn. When it
// fails, or a working connection is lost, a one-shot timer on the loop tears
// everything down and tries again a second later, so cues start sounding
// as soon as a server shows up. Once the context is ready one playback
// stream is opened and kept for the whole run.
//
// Playback: the stream asks for a target of about 20 ms of audio and starts
// as soon as one frame has arrived, so a cue is heard at once. The clip
// goes to the stream straight from the caller's memory: pa_stream_write
// gets the clip's own pointer and a free callback that does nothing, so
// libpulse never makes a private copy of the bytes. play() writes the start
// of the new clip at the server's read index (PA_SEEK_RELATIVE_ON_READ), a
// whole target length of it, so whatever is still queued of the previous
// cue is overwritten by the same request that brings the new one: the sink
// never sees an empty queue in between, as it could after a separate flush.
// The rest of the clip follows from the write callback as the server asks
// for more.
//
// A cue asked for before the stream is ready (the first moments after
// start, or while reconnecting) waits: the newest one is kept and starts as
// soon as the stream becomes ready, unless it would start more than a second
// after it was asked for; then it is dropped, as it is without a server.
#include "app/pulse_player.h"

#include <pulse/pulseaudio.h>
#include <sys/time.h>

#include <algorithm>
#include <atomic>
#include <chrono>

namespace kob {

namespace {
constexpr std::uint32_t kRate = 44100;
constexpr pa_usec_t kTargetLatency = 20 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRequestSize = 5 * PA_USEC_PER_MSEC;
constexpr pa_usec_t kRetryDelay = 1 * PA_USEC_PER_SEC;
// How late a cue that waited for the stream may still start.
constexpr std::chrono::milliseconds kLatestStart{1000};

// The clip's bytes belong to the caller and outlive the stream.
void keepBytes(void*) {}

// Silence that pads a clip shorter than the queue it replaces.
constexpr std::size_t kZeroBytes = 4096;
constexpr std::uint8_t kZeros[kZeroBytes] = {};
}  // namespace

struct PulsePlayer::Impl {
    pa_threaded_mainloop* loop = nullptr;
    pa_mainloop_api* api = nullptr;
    // Everything below is touched only with the loop lock held (or from
    // the loop thread, which holds it while running callbacks).
    pa_context* context = nullptr;
    pa_stream* stream = nullptr;
    pa_time_event* reconnect = nullptr;  // pending (re)connection, if any
    bool closing = false;
    const std::uint8_t* clip = nullptr;  // the cue being fed, null when done
    std::size_t clipSize = 0;
    std::size_t clipPos = 0;
    // The newest cue asked for before the stream was ready, null if none.
    const std::uint8_t* waiting = nullptr;
    std::size_t waitingSize = 0;
    std::chrono::steady_clock::time_point waitingSince;
    // Readable without the lock.
    std::atomic<bool> streamReady{false};

    void connect();
    void teardown();
    void scheduleConnect(pa_usec_t delay);
    void scheduleRetry() { scheduleConnect(kRetryDelay); }
    void openStream();
    void feed();
    void replace(const std::uint8_t* data, std::size_t size);
    void startWaiting();

    static void contextState(pa_context* c, void* self);
    static void streamState(pa_stream* s, void* self);
    static void streamWrite(pa_stream* s, std::size_t bytes, void* self);
    static void connectTimer(pa_mainloop_api* api, pa_time_event* e, const struct timeval*, void* self);
};

void PulsePlayer::Impl::connect() {
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Kobaltfa");
    pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "kobaltfa");
    context = pa_context_new_with_proplist(api, "Kobaltfa", props);
    pa_proplist_free(props);
    if (!context) {
        scheduleRetry();
        return;
    }
    pa_context_set_state_callback(context, &Impl::contextState, this);
    // A refused connection may report FAILED from inside this call; the
    // state callback then arranges the retry.
    if (pa_context_connect(context, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) scheduleRetry();
}

// Drops the stream and the context without letting their callbacks run
// again. The current clip is forgotten with them.
void PulsePlayer::Impl::teardown() {
    streamReady = false;
    clip = nullptr;
    if (stream) {
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        if (pa_stream_get_state(stream) == PA_STREAM_READY || pa_stream_get_state(stream) == PA_STREAM_CREATING)
            pa_stream_disconnect(stream);
        pa_stream_unref(stream);
        stream = nullptr;
    }
    if (context) {
        pa_context_set_state_callback(context, nullptr, nullptr);
        if (PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) pa_context_disconnect(context);
        pa_context_unref(context);
        context = nullptr;
    }
}

void PulsePlayer::Impl::scheduleConnect(pa_usec_t delay) {
    streamReady = false;
    if (closing || reconnect) return;
    struct timeval when;
    pa_timeval_add(pa_gettimeofday(&when), delay);
    reconnect = api->time_new(api, &when, &Impl::connectTimer, this);
}

// Runs on the loop thread, away from any libpulse callback of the objects
// it frees.
void PulsePlayer::Impl::connectTimer(pa_mainloop_api* api, pa_time_event* e, const struct timeval*, void* self) {
    auto* d = static_cast<Impl*>(self);
    api->time_free(e);
    d->reconnect = nullptr;
    if (d->closing) return;
    d->teardown();
    d->connect();
}

void PulsePlayer::Impl::contextState(pa_context* c, void* self) {
    auto* d = static_cast<Impl*>(self);
    switch (pa_context_get_state(c)) {
    case PA_CONTEXT_READY:
        d->openStream();
        break;
    case PA_CONTEXT_FAILED:
    case PA_CONTEXT_TERMINATED:
        d->scheduleRetry();
        break;
    default:
        break;
    }
}

void PulsePlayer::Impl::openStream() {
    const pa_sample_spec format{PA_SAMPLE_S16LE, kRate, 1};
    pa_proplist* props = pa_proplist_new();
    pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
    stream = pa_stream_new_with_proplist(context, "Kobaltfa cue", &format, nullptr, props);
    pa_proplist_free(props);
    if (!stream) {
        scheduleRetry();
        return;
    }
    pa_stream_set_state_callback(stream, &Impl::streamState, this);
    pa_stream_set_write_callback(stream, &Impl::streamWrite, this);

    pa_buffer_attr attr;
    attr.maxlength = std::uint32_t(-1);
    attr.tlength = std::uint32_t(pa_usec_to_bytes(kTargetLatency, &format));
    attr.prebuf = std::uint32_t(pa_frame_size(&format));  // start on the first frame
    attr.minreq = std::uint32_t(pa_usec_to_bytes(kRequestSize, &format));
    attr.fragsize = std::uint32_t(-1);
    const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_START_UNMUTED);
    if (pa_stream_connect_playback(stream, nullptr, &attr, flags, nullptr, nullptr) < 0) scheduleRetry();
}

void PulsePlayer::Impl::streamState(pa_stream* s, void* self) {
    auto* d = static_cast<Impl*>(self);
    switch (pa_stream_get_state(s)) {
    case PA_STREAM_READY:
        d->streamReady = true;
        d->startWaiting();
        break;
    case PA_STREAM_FAILED:
    case PA_STREAM_TERMINATED:
        // The sink went away or the server dropped us: start over.
        d->clip = nullptr;
        d->scheduleRetry();
        break;
    default:
        break;
    }
}

void PulsePlayer::Impl::streamWrite(pa_stream*, std::size_t, void* self) { static_cast<Impl*>(self)->feed(); }

// Hands the stream as much of the current clip as it will take now.
void PulsePlayer::Impl::feed() {
    if (!clip || !stream || pa_stream_get_state(stream) != PA_STREAM_READY) return;
    const std::size_t room = pa_stream_writable_size(stream);
    if (room == std::size_t(-1)) return;
    std::size_t n = clipSize - clipPos;
    if (n > room) n = room;
    n &= ~std::size_t(1);  // whole frames only
    if (n == 0) return;
    if (pa_stream_write(stream, clip + clipPos, n, &keepBytes, 0, PA_SEEK_RELATIVE) < 0) {
        clip = nullptr;
        return;
    }
    clipPos += n;
    if (clipPos >= clipSize) clip = nullptr;
}

// Starts a clip in place of whatever is queued. The server never holds
// more than the target length (the stream only ever writes what it was
// asked for), so writing that much at the read index overwrites all of the
// previous cue in one request; a clip shorter than that is followed by
// silence up to the same length, so nothing of the old one is left behind.
void PulsePlayer::Impl::replace(const std::uint8_t* data, std::size_t size) {
    size &= ~std::size_t(1);  // whole frames only
    if (size == 0) return;
    std::size_t cover = 0;
    if (const pa_buffer_attr* attr = pa_stream_get_buffer_attr(stream)) cover = attr->tlength;
    cover = std::max<std::size_t>(cover, pa_usec_to_bytes(kTargetLatency, pa_stream_get_sample_spec(stream)));
    cover &= ~std::size_t(1);
    const std::size_t n = std::min(size, cover);
    clip = nullptr;
    if (pa_stream_write(stream, data, n, &keepBytes, 0, PA_SEEK_RELATIVE_ON_READ) < 0) return;
    for (std::size_t padded = n; padded < cover;) {
        const std::size_t z = std::min(cover - padded, kZeroBytes);
        if (pa_stream_write(stream, kZeros, z, &keepBytes, 0, PA_SEEK_RELATIVE) < 0) return;
        padded += z;
    }
    if (n < size) {
        clip = data;
        clipSize = size;
        clipPos = n;
        feed();
    }
}

// The stream has just become ready: the cue that waited for it starts now,
// if it is not too late for it.
void PulsePlayer::Impl::startWaiting() {
    const std::uint8_t* data = waiting;
    waiting = nullptr;
    if (!data) return;
    if (std::chrono::steady_clock::now() - waitingSince > kLatestStart) return;
    replace(data, waitingSize);
}

PulsePlayer::PulsePlayer() : d(std::make_unique<Impl>()) {
    d->loop = pa_threaded_mainloop_new();
    if (!d->loop) return;
    d->api = pa_threaded_mainloop_get_api(d->loop);
    pa_threaded_mainloop_set_name(d->loop, "kobaltfa-sound");
    if (pa_threaded_mainloop_start(d->loop) < 0) {
        pa_threaded_mainloop_free(d->loop);
        d->loop = nullptr;
        return;
    }
    // Even the first attempt runs on the loop thread: resolving and
    // connecting is never the caller's business.
    pa_threaded_mainloop_lock(d->loop);
    d->scheduleConnect(0);
    pa_threaded_mainloop_unlock(d->loop);
}

PulsePlayer::~PulsePlayer() {
    if (!d->loop) return;
    pa_threaded_mainloop_lock(d->loop);
    d->closing = true;
    if (d->reconnect) {
        d->api->time_free(d->reconnect);
        d->reconnect = nullptr;
    }
    d->teardown();  // silences a cue still playing
    pa_threaded_mainloop_unlock(d->loop);
    pa_threaded_mainloop_stop(d->loop);
    pa_threaded_mainloop_free(d->loop);
}

void PulsePlayer::play(std::string_view, const std::uint8_t* wave, std::size_t size) {
    PcmView pcm;
    if (!d->loop || !findPcm(wave, size, pcm) || pcm.sampleRate != kRate) return;
    pa_threaded_mainloop_lock(d->loop);
    if (d->stream && pa_stream_get_state(d->stream) == PA_STREAM_READY) {
        d->waiting = nullptr;
        d->replace(pcm.data, pcm.size);
    } else {
        // Not connected (yet): this cue waits for the stream in place of
        // any that waited before it.
        d->waiting = pcm.data;
        d->waitingSize = pcm.size;
        d->waitingSince = std::chrono::steady_clock::now();
    }
    pa_threaded_mainloop_unlock(d->loop);
}

bool PulsePlayer::ready() const { return d->streamReady; }

std::unique_ptr<CuePlayer> makeSystemCuePlayer() { return std::make_unique<PulsePlayer>(); }

}  // namespace kob
