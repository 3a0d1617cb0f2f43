// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include <cstring>

#include "app/cue_player.h"

namespace kob {

namespace {
std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
           std::uint32_t(p[3]) << 24;
}
std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
}  // namespace

bool findPcm(const std::uint8_t* wave, std::size_t size, PcmView& out) {
    if (!wave || size < 12 || std::memcmp(wave, "RIFF", 4) != 0 || std::memcmp(wave + 8, "WAVE", 4) != 0)
        return false;
    bool haveFmt = false;
    std::size_t pos = 12;
    while (pos + 8 <= size) {
        const std::uint8_t* chunk = wave + pos;
        const std::uint32_t len = le32(chunk + 4);
        const std::size_t body = pos + 8;
        if (len > size - body) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (len < 16 || le16(chunk + 8) != 1) return false;  // PCM only
            out.channels = le16(chunk + 10);
            out.sampleRate = le32(chunk + 12);
            out.bitsPerSample = le16(chunk + 22);
            haveFmt = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFmt) return false;
            out.data = wave + body;
            out.size = len;
            return out.channels == 1 && out.bitsPerSample == 16 && out.sampleRate > 0;
        }
        pos = body + len + (len & 1);
    }
    return false;
}

}  // namespace kob
