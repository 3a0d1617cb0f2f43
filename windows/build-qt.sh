#!/bin/bash
# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Builds Qt's base modules for 64-bit Windows, statically, with MinGW-w64,
# from Debian's own source package of the Qt the host tools come from, and
# installs them into a cache outside the clone. The cache is keyed by the Qt
# version and the configure flags, so it is built once per machine and again
# only when either changes. Prints the install prefix on its last line.
#
# Usage: windows/build-qt.sh [JOBS]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
jobs=${1:-$(nproc)}

# The version of the host tools (moc, rcc, uic) in qt6-base-dev-tools: the
# cross build must be the very same Qt.
version=$(dpkg-query -W -f='${Version}' qt6-base-dev-tools)
upstream=${version%%+*}; upstream=${upstream%%-*}

# Only what the program uses: Core, Gui, Widgets, Test, the Windows and
# offscreen platforms, the ICO and JPEG readers; third-party code bundled.
flags=(
  -DCMAKE_BUILD_TYPE=Release
  -DBUILD_SHARED_LIBS=OFF
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_tabletevent=OFF
  -DFEATURE_gif=OFF -DFEATURE_freetype=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_static_runtime=ON
)
# The toolchain counts without its comments.
key=$(printf '%s\n' "$version" "${flags[@]}" "$(grep -v '^#' "$here/mingw-toolchain.cmake")" | sha256sum | cut -c1-12)
cache=${KOBALTFA_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/kobaltfa}
prefix=$cache/qt-$upstream-mingw-$key
if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi

work=$cache/qt-work-$key
mkdir -p "$work"
echo "Building Qt $version for Windows once for this machine (about 15 minutes on 2 cores) into $prefix" >&2

# Debian's source package, through a private apt configuration that turns
# the machine's own deb entries into deb-src ones; the machine's own lists,
# sources and cache stay untouched.
apt_dir=$work/apt
if [ ! -f "$work/src/.unpacked" ]; then
  rm -rf "$apt_dir" "$work/src"
  mkdir -p "$apt_dir/sources.list.d" "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$work/src"
  : > "$apt_dir/sources.list"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*\bdeb\b.*$/Types: deb-src/' "$f" > "$apt_dir/sources.list.d/$(basename "$f")"
  done
  [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >> "$apt_dir/sources.list"
  apt_opts=(-o "Dir::Etc::SourceList=$apt_dir/sources.list" -o "Dir::Etc::SourceParts=$apt_dir/sources.list.d"
            -o "Dir::State::Lists=$apt_dir/lists" -o "Dir::Cache=$apt_dir/cache" -o "APT::Sandbox::User=root")
  apt-get "${apt_opts[@]}" -qq update >&2
  (cd "$work/src" && apt-get "${apt_opts[@]}" -qq source --download-only "qt6-base=$version" >&2)
  # dpkg-source checks every tarball against the checksums of the .dsc
  # (whose own checksum apt took from the signed release files).
  (cd "$work/src" && dpkg-source -x qt6-base_*.dsc qtbase >&2)
  touch "$work/src/.unpacked"
fi

cmake -S "$work/src/qtbase" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${flags[@]}" >"$work/configure.log" 2>&1 \
  || { tail -40 "$work/configure.log" >&2; exit 1; }
start=$(date +%s)
# ninja's own progress line stays visible.
cmake --build "$work/build" -j "$jobs" >&2
cmake --install "$work/build" >/dev/null
echo "Qt for Windows built in $(( ($(date +%s) - start) / 60 )) minutes" >&2
touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
