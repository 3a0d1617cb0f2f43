// SPDX-FileCopyrightText: 2026 Kobaltfa developers
// SPDX-License-Identifier: GPL-3.0-or-later

// UTF-8 paths to and from the wide strings of Windows' system calls.
// Windows only.
#pragma once

#include <string>

namespace kob {

std::wstring toWide(const std::string& utf8);
std::string fromWide(const std::wstring& wide);

}  // namespace kob
