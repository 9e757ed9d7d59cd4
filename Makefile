# The two everyday commands:
#   make run      installs what is missing, builds, and runs the program on the simulated amplifier
#   make test     installs what is missing, builds, and runs every test
# and the Debian package:
#   make package  builds build/varkel_<version>_<arch>.deb
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build test run package test-sanitize fuzz bench clean

all: build

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@bash scripts/run.sh $(BUILD)

package: build
	cd $(BUILD) && cpack -G DEB

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARKEL_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(SAN_BUILD) -j $(JOBS)
	cd $(SAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

fuzz:
	@bash scripts/install-deps.sh --fuzz
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVARKEL_FUZZ=ON -DVARKEL_GUI=OFF -DBUILD_TESTING=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $${FUZZ_SECONDS:-60}

bench: build
	$(BUILD)/bin/varkel-bench-chart
	$(BUILD)/bin/varkel-bench-soak
	$(BUILD)/bin/varkel-bench-open

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
