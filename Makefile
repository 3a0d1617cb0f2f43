# Two commands for a newcomer: `make run` and `make test`.
# Both first install the Debian packages that are missing.

BUILD      ?= build
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=

DEBS := cmake g++ make pkg-config qt6-base-dev qt6-base-dev-tools libpulse-dev \
        libgtest-dev fonts-liberation2 pulseaudio pulseaudio-utils \
        xvfb xauth clang libclang-rt-14-dev \
        python3-pyatspi at-spi2-core dbus xdotool openbox

.PHONY: deps configure build run test test-sanitize fuzz bench bench-deps screenshots clean

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

bench: bench-deps build
	@bash bench/run.sh $(BUILD)

screenshots: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/kobaltfa_screenshots docs/screenshots/all

clean:
	rm -rf $(BUILD) build-sanitize build-fuzz
