// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Times the cue player against a sound server: from PulsePlayer::play to the
// cue's first samples at the sink, and from a second play() to the first
// cue's last sample, with the gap or overlap between the two cues.
//
// The sink's monitor is recorded through a record stream with small
// fragments. For every fragment the monotonic time of its arrival and the
// stream's latency at that moment give the time at which its first sample
// passed the sink; a median over the fragments around each event makes
// the clock mapping steady. The clips reach the sink unchanged (no
// resampling, full volume), so the cues are found in the recording sample
// by sample.
//
//   bench_sound_latency [--reps N] [--source NAME] [--record-latency-ms MS]
//
// Prints key=value lines: one per repetition ("rep ...") and the medians.
#include <pulse/pulseaudio.h>
#include <time.h>

#include <QResource>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/cue_player.h"
#include "app/pulse_player.h"

namespace {

constexpr double kRate = 44100;

double nowMs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

struct Fragment {
    std::size_t index;  // first sample's place in the recording
    double arrivedMs;   // monotonic time of the callback
    double latencyMs;   // the stream's latency then (may be negative)
    bool timed;
};

// Records a source into memory with small fragments.
class Recorder {
public:
    Recorder(const std::string& source, double latencyMs) : source_(source), latencyMs_(latencyMs) {
        samples_.reserve(std::size_t(kRate * 120));
        loop_ = pa_threaded_mainloop_new();
        pa_threaded_mainloop_start(loop_);
        pa_threaded_mainloop_lock(loop_);
        ctx_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "bench recorder");
        pa_context_set_state_callback(ctx_, &Recorder::contextState, this);
        pa_context_connect(ctx_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr);
        pa_threaded_mainloop_unlock(loop_);
    }
    ~Recorder() {
        pa_threaded_mainloop_lock(loop_);
        if (stream_) {
            pa_stream_disconnect(stream_);
            pa_stream_unref(stream_);
        }
        pa_context_disconnect(ctx_);
        pa_context_unref(ctx_);
        pa_threaded_mainloop_unlock(loop_);
        pa_threaded_mainloop_stop(loop_);
        pa_threaded_mainloop_free(loop_);
    }

    bool running() const { return running_; }
    bool failed() const { return failed_; }
    std::size_t size() {
        std::lock_guard<std::mutex> g(m_);
        return samples_.size();
    }
    void snapshot(std::vector<std::int16_t>& s, std::vector<Fragment>& f) {
        std::lock_guard<std::mutex> g(m_);
        s = samples_;
        f = frags_;
    }
    double fragmentBytes = 0;

private:
    static void contextState(pa_context* c, void* self) {
        auto* r = static_cast<Recorder*>(self);
        switch (pa_context_get_state(c)) {
        case PA_CONTEXT_READY: r->open(); break;
        case PA_CONTEXT_FAILED:
        case PA_CONTEXT_TERMINATED: r->failed_ = true; break;
        default: break;
        }
    }
    void open() {
        const pa_sample_spec format{PA_SAMPLE_S16LE, std::uint32_t(kRate), 1};
        stream_ = pa_stream_new(ctx_, "bench monitor", &format, nullptr);
        pa_stream_set_read_callback(stream_, &Recorder::readCb, this);
        pa_stream_set_state_callback(stream_, &Recorder::streamState, this);
        pa_buffer_attr attr;
        std::memset(&attr, 0xff, sizeof attr);
        attr.fragsize = std::uint32_t(pa_usec_to_bytes(pa_usec_t(latencyMs_ * 1000), &format));
        const auto flags = pa_stream_flags_t(PA_STREAM_ADJUST_LATENCY | PA_STREAM_INTERPOLATE_TIMING |
                                             PA_STREAM_AUTO_TIMING_UPDATE);
        if (pa_stream_connect_record(stream_, source_.c_str(), &attr, flags) < 0) failed_ = true;
    }
    static void streamState(pa_stream* s, void* self) {
        auto* r = static_cast<Recorder*>(self);
        if (pa_stream_get_state(s) == PA_STREAM_READY) {
            r->fragmentBytes = pa_stream_get_buffer_attr(s)->fragsize;
            r->running_ = true;
        }
        if (pa_stream_get_state(s) == PA_STREAM_FAILED) r->failed_ = true;
    }
    static void readCb(pa_stream* s, std::size_t, void* self) {
        auto* r = static_cast<Recorder*>(self);
        const double now = nowMs();
        for (;;) {
            if (pa_stream_readable_size(s) == 0) break;
            pa_usec_t lat = 0;
            int neg = 0;
            const bool timed = pa_stream_get_latency(s, &lat, &neg) == 0;
            const void* data = nullptr;
            std::size_t n = 0;
            if (pa_stream_peek(s, &data, &n) < 0 || n == 0) break;
            {
                std::lock_guard<std::mutex> g(r->m_);
                r->frags_.push_back({r->samples_.size(), now, (neg ? -1.0 : 1.0) * double(lat) / 1000.0, timed});
                const std::size_t count = n / 2;
                if (data) {
                    const auto* p = static_cast<const std::int16_t*>(data);
                    r->samples_.insert(r->samples_.end(), p, p + count);
                } else {
                    r->samples_.insert(r->samples_.end(), count, 0);  // a hole: silence
                }
            }
            pa_stream_drop(s);
        }
    }

    std::string source_;
    double latencyMs_;
    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* ctx_ = nullptr;
    pa_stream* stream_ = nullptr;
    std::atomic<bool> running_{false}, failed_{false};
    std::mutex m_;
    std::vector<std::int16_t> samples_;
    std::vector<Fragment> frags_;
};

struct Clip {
    const std::uint8_t* wave = nullptr;
    std::size_t size = 0;
    const std::int16_t* pcm = nullptr;
    std::size_t count = 0;
};

Clip loadClip(const char* resource) {
    QResource res(QString::fromLatin1(resource));
    Clip c;
    if (!res.isValid()) return c;
    c.wave = reinterpret_cast<const std::uint8_t*>(res.data());
    c.size = std::size_t(res.size());
    kob::PcmView v;
    if (kob::findPcm(c.wave, c.size, v)) {
        c.pcm = reinterpret_cast<const std::int16_t*>(v.data);
        c.count = v.size / 2;
    }
    return c;
}

double median(std::vector<double> v) {
    if (v.empty()) return NAN;
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Time (ms) at which sample 0 of the recording passed the sink, from the
// fragments whose arrival lies in [fromMs, toMs].
double clockOffset(const std::vector<Fragment>& frags, double fromMs, double toMs) {
    std::vector<double> est;
    for (const Fragment& f : frags)
        if (f.timed && f.arrivedMs >= fromMs && f.arrivedMs <= toMs)
            est.push_back(f.arrivedMs - f.latencyMs - double(f.index) * 1000.0 / kRate);
    return median(est);
}

// Arrival time of the fragment holding sample i.
double arrivalOf(const std::vector<Fragment>& frags, std::size_t i) {
    auto it = std::upper_bound(frags.begin(), frags.end(), i,
                               [](std::size_t v, const Fragment& f) { return v < f.index; });
    if (it == frags.begin()) return NAN;
    return std::prev(it)->arrivedMs;
}

bool same(std::int16_t a, std::int16_t b) { return std::abs(int(a) - int(b)) <= 1; }

// The first place at or after `from` where the clip's first `n` non-zero
// samples follow; returns the place of the clip's sample 0.
long findClip(const std::vector<std::int16_t>& rec, std::size_t from, const Clip& clip, std::size_t limit) {
    std::size_t first = 0;
    while (first < clip.count && clip.pcm[first] == 0) ++first;
    const std::size_t n = std::min<std::size_t>(256, clip.count - first);
    for (std::size_t k = from; k + n < rec.size() && k < limit; ++k) {
        if (!same(rec[k], clip.pcm[first])) continue;
        bool ok = true;
        for (std::size_t j = 1; j < n && ok; ++j) ok = same(rec[k + j], clip.pcm[first + j]);
        if (ok && k >= first) return long(k - first);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 20;
    std::string source = "nr.monitor";
    double recordLatencyMs = 2;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string a = argv[i];
        if (a == "--reps") reps = std::atoi(argv[i + 1]);
        else if (a == "--source") source = argv[i + 1];
        else if (a == "--record-latency-ms") recordLatencyMs = std::atof(argv[i + 1]);
    }
    const Clip first = loadClip(":/sounds/YOULLREGRETTHAT");
    const Clip second = loadClip(":/sounds/PERFECT");
    if (!first.pcm || !second.pcm) {
        std::printf("error=no-clips\n");
        return 1;
    }

    using namespace std::chrono_literals;
    auto waitFor = [](auto pred, double ms) {
        const double end = nowMs() + ms;
        while (!pred()) {
            if (nowMs() > end) return false;
            std::this_thread::sleep_for(1ms);
        }
        return true;
    };

    Recorder rec(source, recordLatencyMs);
    if (!waitFor([&] { return rec.running() || rec.failed(); }, 5000) || rec.failed()) {
        std::printf("error=no-recorder\n");
        return 1;
    }
    kob::PulsePlayer player;
    if (!waitFor([&] { return player.ready(); }, 5000)) {
        std::printf("error=player-not-ready\n");
        return 1;
    }
    std::this_thread::sleep_for(300ms);

    struct Calls {
        double first, second;
    };
    std::vector<Calls> calls;
    std::mt19937 jitter(12345);
    for (int r = 0; r < reps; ++r) {
        Calls c;
        c.first = nowMs();
        player.play("YoullRegretThat", first.wave, first.size);
        // Replace it somewhere in its loud middle, at a random phase of the
        // sink's blocks.
        std::this_thread::sleep_for(std::chrono::microseconds(200000 + jitter() % 20000));
        c.second = nowMs();
        player.play("Perfect", second.wave, second.size);
        calls.push_back(c);
        std::this_thread::sleep_for(std::chrono::milliseconds(int(double(second.count) * 1000 / kRate) + 150));
    }
    std::this_thread::sleep_for(100ms);

    std::vector<std::int16_t> s;
    std::vector<Fragment> frags;
    rec.snapshot(s, frags);

    std::vector<double> onset, silent, next, gap, overlap, onsetRaw;
    int dropouts = 0;
    for (const Calls& c : calls) {
        const double off = clockOffset(frags, c.first - 500, c.second + 800);
        if (std::isnan(off)) continue;
        auto at = [&](double ms) { return std::size_t(std::max(0.0, (ms - off) * kRate / 1000)); };
        auto timeOf = [&](long i) { return off + double(i) * 1000 / kRate; };
        // The first cue: found from a little before the call (the mapping is
        // only as good as the latency reports).
        const long a = findClip(s, at(c.first - 50), first, at(c.second + 100));
        if (a < 0) {
            std::printf("rep error=first-cue-not-found\n");
            continue;
        }
        const long b = findClip(s, std::size_t(a) + 1, second, at(c.second + 500));
        if (b < 0) {
            std::printf("rep error=second-cue-not-found\n");
            continue;
        }
        // Where the recording stops following the first clip, and where its
        // sound ends: the last non-zero sample before the second clip.
        long cut = 0;
        while (std::size_t(a + cut) < s.size() && std::size_t(cut) < first.count && same(s[a + cut], first.pcm[cut])) ++cut;
        long aEnd = b;
        while (aEnd > a && s[aEnd - 1] == 0) --aEnd;
        // A clip that stopped following its samples before its sound ended,
        // or whose sound ended before it was replaced, ran dry on the way
        // (an underrun): its end says nothing about the replacement.
        const bool dropout = a + cut < aEnd - 1 || timeOf(aEnd) < c.second - 1.0;
        // Anything of the first clip mixed under the second one's start.
        long mixed = 0;
        for (long j = 0; j < long(kRate / 50) && std::size_t(b + j) < s.size() && std::size_t(j) < second.count; ++j)
            if (!same(s[b + j], second.pcm[j])) mixed = j + 1;
        const double gapMs = double(b - aEnd) * 1000 / kRate;
        onset.push_back(timeOf(a) - c.first);
        onsetRaw.push_back(arrivalOf(frags, std::size_t(a)) - c.first);
        std::printf("rep onset_ms=%.2f onset_arrival_ms=%.2f silent_ms=%.2f next_ms=%.2f gap_ms=%.2f overlap_ms=%.2f dropout=%d\n",
                    onset.back(), onsetRaw.back(), timeOf(aEnd) - c.second, timeOf(b) - c.second, gapMs,
                    double(mixed) * 1000 / kRate, int(dropout));
        if (dropout) {
            ++dropouts;
            continue;
        }
        silent.push_back(timeOf(aEnd) - c.second);
        next.push_back(timeOf(b) - c.second);
        gap.push_back(std::max(0.0, gapMs));
        overlap.push_back(double(mixed) * 1000 / kRate);
    }
    std::vector<double> lat;
    for (const Fragment& f : frags)
        if (f.timed) lat.push_back(f.latencyMs);
    std::printf("reps=%zu onset_ms=%.2f onset_arrival_ms=%.2f silent_ms=%.2f next_ms=%.2f gap_ms=%.2f gap_max_ms=%.2f "
                "gapped=%d overlap_ms=%.2f overlap_max_ms=%.2f dropouts=%d record_latency_ms=%.2f fragment_bytes=%.0f\n",
                onset.size(), median(onset), median(onsetRaw), median(silent), median(next), median(gap),
                gap.empty() ? NAN : *std::max_element(gap.begin(), gap.end()),
                int(std::count_if(gap.begin(), gap.end(), [](double g) { return g > 0.1; })), median(overlap),
                overlap.empty() ? NAN : *std::max_element(overlap.begin(), overlap.end()), dropouts, median(lat),
                rec.fragmentBytes);
    return onset.empty() || silent.empty() ? 1 : 0;
}
