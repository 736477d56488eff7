# make play: set up, build and start the game.  make test: set up, build and run every test.
# make web: the browser version in build-web/; make web-play serves it on 127.0.0.1.
# All install the Debian packages the build needs when they are missing.

BUILD ?= build
WEB ?= build-web
WEB_PORT ?= 8080
# 0.0.0.0 lets a phone on the same network play it (make web-play WEB_ADDRESS=0.0.0.0).
WEB_ADDRESS ?= 127.0.0.1
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

DEBIAN_PACKAGES := cmake ninja-build g++ pkg-config \
	libsdl2-dev libsdl2-mixer-dev libstb-dev libgl-dev libgl1-mesa-dri libx11-dev \
	libgtest-dev libbenchmark-dev \
	xvfb xdotool imagemagick x11-utils

.PHONY: all deps fuzz-deps web-deps web-test-deps build web web-play play test sanitize-test \
	fuzz bench web-bench format clean

# The browser build: emscripten (with the JS optimiser's acorn) and, for its tests, chromium
# driven from node by the pinned npm packages in tests/web.
WEB_PACKAGES := emscripten node-acorn chromium
# emcc's optimiser finds acorn where Debian installs node modules, whichever node runs it.
NODE_MODULES_DIR := $(or $(shell dpkg -L node-acorn 2>/dev/null | sed -n 's#/acorn/package.json$$##p' | head -n 1),/usr/share/nodejs)
EMSCRIPTEN_ENV := NODE_PATH=$(NODE_MODULES_DIR)

FUZZ_PACKAGES := clang libclang-rt-14-dev
FUZZ_SECONDS ?= 60

all: build

# Installs whichever of PACKAGES are missing (apt-get as root, sudo otherwise).
define install_missing
	@missing=""; \
	for p in $(1); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO=sudo; fi; \
	  $$SUDO apt-get update -qq && \
	  DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install_missing,$(DEBIAN_PACKAGES))

fuzz-deps:
	$(call install_missing,$(FUZZ_PACKAGES))

# node and npm may come from elsewhere than Debian; Debian's are installed only when there are none.
web-deps:
	$(call install_missing,$(WEB_PACKAGES))
	@command -v npm >/dev/null || { $(MAKE) --no-print-directory DEBIAN_PACKAGES="nodejs npm" deps; }

web-test-deps: web-deps tests/web/node_modules/.package-lock.json

tests/web/node_modules/.package-lock.json: tests/web/package.json tests/web/package-lock.json
	cd tests/web && npm ci --no-audit --no-fund --loglevel=error

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

play: build
	./$(BUILD)/brinkhop

# The browser's pictures and sounds come from the native generators in $(BUILD).
web: deps web-deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target brinkhop_data
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B $(WEB)/cmake -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
	  -DBRINKHOP_NATIVE_DATA=$(abspath $(BUILD))/data -DBRINKHOP_WEB_SITE=$(abspath $(WEB)) >/dev/null
	$(EMSCRIPTEN_ENV) cmake --build $(WEB)/cmake -j $(JOBS)
	@echo "The browser version is in $(WEB)/ ($$(cd $(WEB) && find . -path ./cmake -prune -o -path ./bench -prune -o -path ./replays -prune -o -type f -print0 | du -cb --files0-from=- | tail -n 1 | cut -f1) bytes to download)."

# Served as a static host serves it: compressed, and on 127.0.0.1 (a secure origin to the
# browser) with the service worker that keeps the game for offline play.
web-play: web
	python3 tools/serve_web.py $(WEB) $(WEB_PORT) $(WEB_ADDRESS)

test: build web web-test-deps
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The unit tests again, under AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize-test: deps
	cmake -S . -B $(SANITIZE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug \
	  -DBRINKHOP_SANITIZE=ON -DBRINKHOP_BENCHMARKS=OFF
	cmake --build $(SANITIZE_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
	  $(SANITIZE_BUILD)/brinkhop_tests

# The level loader under libFuzzer with the sanitizers, for a bounded time.
fuzz: fuzz-deps
	tests/fuzz/run_fuzz.sh $(FUZZ_SECONDS)

bench: build
	./$(BUILD)/brinkhop_bench
	./$(BUILD)/brinkhop_level_bench
	./$(BUILD)/brinkhop_sim_bench
	./$(BUILD)/brinkhop_units_bench

# The page's download size and its first frame beside a minimal emscripten page, then the
# bytes per file and the start screen on a throttled phone, served compressed.
web-bench: web web-test-deps
	node bench/web/first_frame.mjs $(WEB)
	node bench/web/throttled.mjs $(WEB)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz $(WEB)
