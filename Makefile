# make play: set up, build and start the game.  make test: set up, build and run every test.
# Both install the Debian packages the build needs when they are missing.

BUILD ?= build
SANITIZE_BUILD ?= build-sanitize
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

DEBIAN_PACKAGES := cmake ninja-build g++ pkg-config \
	libsdl2-dev libsdl2-mixer-dev libstb-dev libgl-dev libgl1-mesa-dri libx11-dev \
	libgtest-dev libbenchmark-dev \
	xvfb xdotool imagemagick x11-utils

.PHONY: all deps fuzz-deps build play test sanitize-test fuzz bench format clean

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

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

play: build
	./$(BUILD)/brinkhop

test: build
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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SANITIZE_BUILD) build-fuzz
