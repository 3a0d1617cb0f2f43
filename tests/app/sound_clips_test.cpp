// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The embedded recording of every cue of the list, the list itself, and
// the WAVE parser the player uses.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "app/cue_player.h"
#include "kit/cue.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Every cue of the list, by its row.
struct Clip {
    const kob::CueClip* row;
    const char* file() const { return row->clip; }
};
void PrintTo(const Clip& c, std::ostream* os) { *os << c.file(); }
std::vector<Clip> everyCue() {
    std::vector<Clip> clips;
    for (const kob::CueClip& row : kob::kCueClips) clips.push_back({&row});
    return clips;
}

// A cue is a short word or jingle: long enough to be heard, short enough
// to end before the pupil's next answer.
constexpr double kShortestCue = 0.3, kLongestCue = 1.5;

Bytes readClip(const std::string& name) {
    std::ifstream in(std::string(KOBALTFA_SOURCE_DIR) + "/resources/sounds/" + name + ".wav", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t(b[at + 3]) << 24;
}
std::uint16_t le16(const Bytes& b, std::size_t at) { return std::uint16_t(b[at] | b[at + 1] << 8); }
bool tagAt(const Bytes& b, std::size_t at, const char* tag) { return std::memcmp(b.data() + at, tag, 4) == 0; }

class SoundClip : public testing::TestWithParam<Clip> {};

// RIFF header, "fmt " at 12 and "data" at 36 holding the rest of the file:
// that layout leaves no room for any other chunk.
TEST_P(SoundClip, IsABareMonoPcmWave) {
    const Bytes w = readClip(GetParam().file());
    ASSERT_GT(w.size(), 44u) << GetParam().file();
    EXPECT_TRUE(tagAt(w, 0, "RIFF"));
    EXPECT_EQ(le32(w, 4), w.size() - 8);
    EXPECT_TRUE(tagAt(w, 8, "WAVE"));
    EXPECT_TRUE(tagAt(w, 12, "fmt "));
    EXPECT_EQ(le32(w, 16), 16u);
    EXPECT_EQ(le16(w, 20), 1);       // PCM
    EXPECT_EQ(le16(w, 22), 1);       // mono
    EXPECT_EQ(le32(w, 24), 44100u);  // samples per second
    EXPECT_EQ(le32(w, 28), 88200u);  // bytes per second
    EXPECT_EQ(le16(w, 32), 2);       // block alignment
    EXPECT_EQ(le16(w, 34), 16);      // bits per sample
    EXPECT_TRUE(tagAt(w, 36, "data"));
    EXPECT_EQ(le32(w, 40), w.size() - 44);
}

TEST_P(SoundClip, SoundsBrieflyWithoutClicksOrClipping) {
    const Bytes w = readClip(GetParam().file());
    kob::PcmView pcm;
    ASSERT_TRUE(kob::findPcm(w.data(), w.size(), pcm));
    EXPECT_EQ(pcm.data, w.data() + 44);  // in place, not a copy
    EXPECT_EQ(pcm.size, w.size() - 44);
    EXPECT_EQ(pcm.sampleRate, 44100u);

    const std::size_t n = pcm.size / 2;
    EXPECT_GE(double(n) / 44100, kShortestCue);
    EXPECT_LE(double(n) / 44100, kLongestCue);
    double sum = 0, peak = 0;
    auto sample = [&](std::size_t i) { return std::int16_t(pcm.data[2 * i] | pcm.data[2 * i + 1] << 8) / 32768.0; };
    for (std::size_t i = 0; i < n; ++i) {
        sum += sample(i) * sample(i);
        peak = std::max(peak, std::abs(sample(i)));
    }
    const double rmsDb = 10 * std::log10(sum / double(n));
    const double peakDb = 20 * std::log10(peak);
    // Headroom under full scale, and all cues equally loud.
    EXPECT_LE(peakDb, -2.9);
    EXPECT_GT(rmsDb, -19.5);
    EXPECT_LT(rmsDb, -16.5);
    // Faded in and out: no step at either end.
    EXPECT_LT(std::abs(sample(0)), 0.01);
    EXPECT_LT(std::abs(sample(n - 1)), 0.01);
}

INSTANTIATE_TEST_SUITE_P(EveryCue, SoundClip, testing::ValuesIn(everyCue()),
                         [](const auto& info) { return std::string(info.param.file()); });

void put16(Bytes& b, unsigned v) {
    b.push_back(std::uint8_t(v));
    b.push_back(std::uint8_t(v >> 8));
}
void put32(Bytes& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

// A hand-built WAVE image: the RIFF header, then chunks in the order added.
struct WaveBuilder {
    Bytes b;
    WaveBuilder() {
        const char head[] = "RIFF\0\0\0\0WAVE";
        b.assign(head, head + 12);
    }
    void chunk(const char* tag, const Bytes& body, std::uint32_t len) {
        b.insert(b.end(), tag, tag + 4);
        put32(b, len);
        b.insert(b.end(), body.begin(), body.end());
        if (body.size() & 1) b.push_back(0);
    }
    void chunk(const char* tag, const Bytes& body) { chunk(tag, body, std::uint32_t(body.size())); }
    void fmt(unsigned tag, unsigned channels, unsigned bits) {
        Bytes f;
        put16(f, tag);
        put16(f, channels);
        put32(f, 44100);
        put32(f, 44100 * channels * bits / 8);
        put16(f, channels * bits / 8);
        put16(f, bits);
        chunk("fmt ", f);
    }
};

const Bytes kSamples{1, 2, 3, 4, 5, 6};

bool parses(const Bytes& w) {
    kob::PcmView pcm;
    return kob::findPcm(w.data(), w.size(), pcm);
}

// A cue is found by its row, and its clip is stored under its name in
// capitals; the sounds folder holds the clips of the list and nothing else,
// and no two cues sound the same (a new clip copied from another's).
TEST(CueList, RowsFollowTheEnumerationAndNameTheEmbeddedClips) {
    std::set<std::string> listed;
    std::set<Bytes> sounds;
    for (std::size_t i = 0; i < std::size(kob::kCueClips); ++i) {
        const kob::CueClip& row = kob::kCueClips[i];
        EXPECT_EQ(static_cast<std::size_t>(row.cue), i) << row.name;
        EXPECT_EQ(&kob::cueClip(row.cue), &row) << row.name;
        std::string upper = row.name;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(upper, row.clip);
        listed.insert(std::string(row.clip) + ".wav");
        sounds.insert(readClip(row.clip));
    }
    EXPECT_EQ(sounds.size(), std::size(kob::kCueClips));
    std::set<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(std::string(KOBALTFA_SOURCE_DIR) + "/resources/sounds"))
        files.insert(e.path().filename().string());
    EXPECT_EQ(files, listed);
}

TEST(FindPcm, SkipsForeignChunksIncludingOddPadding) {
    WaveBuilder w;
    w.fmt(1, 1, 16);
    w.chunk("LIST", {'a', 'b', 'c'});  // odd length, one pad byte follows
    w.chunk("data", kSamples);
    kob::PcmView pcm;
    ASSERT_TRUE(kob::findPcm(w.b.data(), w.b.size(), pcm));
    EXPECT_EQ(pcm.data, w.b.data() + w.b.size() - kSamples.size());
    EXPECT_EQ(pcm.size, kSamples.size());
    EXPECT_EQ(pcm.channels, 1);
    EXPECT_EQ(pcm.bitsPerSample, 16);
}

TEST(FindPcm, RejectsWhatThePlayerCannotPlay) {
    WaveBuilder good;
    good.fmt(1, 1, 16);
    good.chunk("data", kSamples);
    ASSERT_TRUE(parses(good.b));

    for (std::size_t cut : {0, 11, 20, 36, 40, 44, 49}) {  // truncated anywhere
        EXPECT_FALSE(parses(Bytes(good.b.begin(), good.b.begin() + cut))) << "cut at " << cut;
    }
    Bytes notRiff = good.b;
    notRiff[0] = 'X';
    EXPECT_FALSE(parses(notRiff));

    WaveBuilder stereo, eightBit, floats, noData, dataFirst, tooLong, hugeChunk;
    stereo.fmt(1, 2, 16), stereo.chunk("data", kSamples);
    eightBit.fmt(1, 1, 8), eightBit.chunk("data", kSamples);
    floats.fmt(3, 1, 16), floats.chunk("data", kSamples);
    noData.fmt(1, 1, 16), noData.chunk("LIST", kSamples);
    dataFirst.chunk("data", kSamples), dataFirst.fmt(1, 1, 16);
    tooLong.fmt(1, 1, 16), tooLong.chunk("data", kSamples, 7);
    hugeChunk.chunk("LIST", {}, 0xfffffff0u), hugeChunk.fmt(1, 1, 16), hugeChunk.chunk("data", kSamples);
    EXPECT_FALSE(parses(stereo.b));
    EXPECT_FALSE(parses(eightBit.b));
    EXPECT_FALSE(parses(floats.b));
    EXPECT_FALSE(parses(noData.b));
    EXPECT_FALSE(parses(dataFirst.b));
    EXPECT_FALSE(parses(tooLong.b));
    EXPECT_FALSE(parses(hugeChunk.b));
    kob::PcmView none;
    EXPECT_FALSE(kob::findPcm(nullptr, 100, none));
}

}  // namespace
