// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Stored bytes as UTF-16 text and back without loss, for names that are
// passed on unchanged whatever bytes they hold. Plain C++, no toolkit.
//
// Valid UTF-8 is decoded as usual. Every byte that is not part of a valid
// UTF-8 sequence (a stray continuation byte, a cut or overlong sequence, an
// encoded surrogate, a code beyond U+10FFFF) becomes the lone surrogate
// U+DC00 + byte (U+DC80 to U+DCFF), and such a surrogate encodes back to
// that byte. So bytesFromUtf16(utf16FromBytes(b)) == b for any bytes b.
#pragma once

#include <string>
#include <string_view>

namespace kob {

std::u16string utf16FromBytes(std::string_view bytes);

// Other lone surrogates (which no decoding above gives) become U+FFFD.
std::string bytesFromUtf16(std::u16string_view text);

}  // namespace kob
