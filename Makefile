# SPDX-FileCopyrightText: 2026 Kobaltfa developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Two commands for a newcomer: `make run` and `make test`.
# Both first install the Debian packages that are missing.

BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

DEBS := cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libpulse-dev \
        libgtest-dev fonts-liberation2 pulseaudio pulseaudio-utils \
        xvfb xauth clang libclang-rt-14-dev \
        python3-pyatspi at-spi2-core dbus xdotool openbox weston qt6-wayland \
        reuse git

.PHONY: deps configure build run test test-sanitize fuzz bench bench-deps screenshots clean \
        deb deb-deps test-package windows-deps windows test-windows

# Installs the Debian packages of the list given that dpkg says are missing
# (as root), or prints the exact command to run.
install_missing = @missing=""; for p in $(1); do dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; done; \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then \
	    echo "Installing:$$missing"; \
	    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing >/dev/null || exit 1; \
	  else \
	    echo "Missing Debian packages. Run:"; echo "  sudo apt-get install -y$$missing"; exit 1; \
	  fi; \
	fi

deps:
	$(call install_missing,$(DEBS))

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/kobaltfa

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize:
	$(MAKE) test BUILD=build-sanitize CMAKE_ARGS="-DKOBALTFA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"

fuzz: deps
	@bash fuzz/run.sh 60

# The benchmarks also need KBruch (their reference peer) and the xcb headers.
BENCH_DEBS := kbruch libxcb1-dev xvfb pulseaudio pulseaudio-utils

bench-deps:
	$(call install_missing,$(BENCH_DEBS))

bench: bench-deps build windows
	@cmake --build $(WIN_BUILD) -j $(JOBS) --target bench_app bench_bare_window
	@bash bench/run.sh $(BUILD)

# Every window in every skin, and one skin again at twice the scale (to
# look for blurred or clipped windows on a high-density screen).
screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/kobaltfa_screenshots docs/screenshots/all
	QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 $(BUILD)/tests/kobaltfa_screenshots docs/screenshots/all/scale2 vista

# The Debian package: its build dependencies, the packaging tools and the
# validators of the desktop files; the package test also drives the
# installed program (the e2e_atspi packages above).
DEB_DEBS := dpkg-dev debhelper cmake g++ pkgconf qt6-base-dev qt6-base-dev-tools \
            libpulse-dev lintian desktop-file-utils appstream man-db file
DEB_DIR  := $(BUILD)/deb

deb-deps:
	$(call install_missing,$(DEB_DEBS))

# dpkg-buildpackage writes beside the source folder, so the package is built
# from a copy of the tree inside $(DEB_DIR): the tree itself stays clean.
deb: deb-deps
	@rm -rf $(DEB_DIR) && mkdir -p $(DEB_DIR)/src/kobaltfa
	@tar -cf - --exclude=./.git --exclude='./build*' --exclude=./docs/screenshots/all . \
	  | tar -C $(DEB_DIR)/src/kobaltfa -xf -
	cd $(DEB_DIR)/src/kobaltfa && dpkg-buildpackage -us -uc -b -j$(JOBS) >../build.log 2>&1 \
	  || { tail -40 ../build.log; exit 1; }
	@mv $(DEB_DIR)/src/*.deb $(DEB_DIR)/src/*.buildinfo $(DEB_DIR)/src/*.changes $(DEB_DIR)/
	@rm -rf $(DEB_DIR)/src/kobaltfa
	@ls $(DEB_DIR)/*.deb

# Builds the package, checks it with lintian and the validators, installs it,
# drives the installed program as an ordinary user, purges it and checks that
# nothing is left (as root, on a machine that may be changed and restored).
test-package: deb
	$(call install_missing,$(DEBS))
	bash tests/package/test_package.sh $(DEB_DIR)

# Windows: one self-contained kobaltfa.exe, cross-built with MinGW-w64
# against a static Qt that windows/build-qt.sh builds once per machine from
# Debian's own source package (about 15 minutes on 2 cores) and caches
# outside the clone. Its tests run under Wine on a private X server.
WIN_BUILD ?= build-win
WIN_DEBS  := g++-mingw-w64-x86-64-posix ninja-build cmake dpkg-dev qt6-base-dev-tools libgtest-dev \
             wine64 xvfb xauth xdotool openbox imagemagick x11-utils \
             tesseract-ocr tesseract-ocr-eng fonts-liberation2 \
             pulseaudio pulseaudio-utils python3-numpy
WIN_QT     = $$(bash windows/build-qt.sh $(JOBS) | tail -n 1)

windows-deps:
	$(call install_missing,$(WIN_DEBS))

# The configured cross build (Qt first, once).
$(WIN_BUILD)/build.ninja: windows-deps
	@qt=$(WIN_QT) && cmake -S . -B $(WIN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$$qt/lib/cmake/Qt6/qt.toolchain.cmake \
	  -DQT_CHAINLOAD_TOOLCHAIN_FILE=$(CURDIR)/windows/mingw-toolchain.cmake \
	  -DCMAKE_CROSSCOMPILING_EMULATOR=$(CURDIR)/windows/wine-run.sh >/dev/null

windows: $(WIN_BUILD)/build.ninja
	@cmake --build $(WIN_BUILD) -j $(JOBS) --target kobaltfa
	@x86_64-w64-mingw32-strip $(WIN_BUILD)/kobaltfa.exe
	@ls -l $(WIN_BUILD)/kobaltfa.exe

# The core and window tests under Wine, then the real exe driven as a pupil.
test-windows: windows
	@cmake --build $(WIN_BUILD) -j $(JOBS)
	bash tests/windows/run.sh $(WIN_BUILD)

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz $(WIN_BUILD)
include windows/installer.mk
