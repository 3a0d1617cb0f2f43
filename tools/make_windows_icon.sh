#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Packs the program's icon for Windows, windows/kobaltfa.ico, from the
# pictures tools/make_app_icon.sh rasterises from the icon's SVG (16, 24,
# 32, 48, 64 and 256 pixels; the small ones are its plainer variant). Each
# size is stored as its PNG, which Windows Vista and later read in icons;
# the output is deterministic.
#
# Usage: tools/make_windows_icon.sh [output]   (default: windows/kobaltfa.ico)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/windows/kobaltfa.ico}
pngs=()
for n in 16 24 32 48 64 256; do
    pngs+=("$here/desktop/icons/hicolor/${n}x${n}/apps/hu.kobaltfa.Kobaltfa.png")
done
python3 - "$out" "${pngs[@]}" <<'PY'
import struct, sys
out, files = sys.argv[1], sys.argv[2:]
images = [open(f, 'rb').read() for f in files]
entries, offset = b'', 6 + 16 * len(images)
for png in images:
    assert png[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    w, h = struct.unpack('>II', png[16:24])
    # 256 is written as 0 in the directory.
    entries += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(png), offset)
    offset += len(png)
with open(out, 'wb') as f:
    f.write(struct.pack('<HHH', 0, 1, len(images)) + entries + b''.join(images))
PY
