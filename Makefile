# make run: build the Windows program and open it (under Wine on Linux).
# make test: build everything and run every test.
# make check: build the host tests and run each test binary in one process.
# make bench: time typing and the rest under Wine against the EDIT control,
#   then count each step's wineserver and X requests; BENCH_ARGS passes
#   options on (e.g. "--keystrokes 40", "--profile-keystrokes 0", "--no-times",
#   '--only "Page Down"' for one scenario; bench/cpu_per_step.py gives its CPU).
# make dist: the release zip build/dist/inkwarden-<version>-windows-x64.zip.
# make screenshot: remake docs/screenshot.png, the README's picture.
# make fuzz: run each fuzz target for FUZZ_SECONDS (default 600) and report;
#   FUZZ_TARGETS="messages" runs only that one; FUZZ_SECONDS=30 shows the rate.

WINDOWS_BUILD := build/windows
HOST_BUILD := build/host
FUZZ_BUILD := build/fuzz
FUZZ_FAST_BUILD := build/fuzz-fast
FUZZ_SECONDS ?= 600
FUZZ_TARGETS ?= file_open messages
BENCH_ARGS ?=
EXE := $(WINDOWS_BUILD)/inkwarden.exe

.PHONY: all deps windows host fuzz-build fuzz-fast-build test check fuzz bench run dist screenshot clean

all: windows host

deps:
	@tools/install-deps.sh

windows: deps
	cmake -S . -B $(WINDOWS_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
	cmake --build $(WINDOWS_BUILD)

host: deps
	cmake -S . -B $(HOST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DINKWARDEN_WINDOWS_EXE=$(abspath $(EXE))
	cmake --build $(HOST_BUILD)

# The fuzz targets want clang and libFuzzer, so they have a tree of their own.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DINKWARDEN_FUZZ=ON
	cmake --build $(FUZZ_BUILD)

# The same targets without AddressSanitizer, several times faster: make fuzz
# explores with these, and the sanitized ones replay what they keep.
fuzz-fast-build: deps
	cmake -S . -B $(FUZZ_FAST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DCMAKE_CXX_COMPILER=clang++ -DINKWARDEN_FUZZ=ON -DINKWARDEN_SANITIZE=OFF
	cmake --build $(FUZZ_FAST_BUILD)

test: windows host fuzz-build
	ctest --test-dir $(HOST_BUILD) --output-on-failure -j2
	ctest --test-dir $(FUZZ_BUILD) --output-on-failure -j2

check: deps
	cmake -S . -B $(HOST_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DINKWARDEN_WINDOWS_EXE=$(abspath $(EXE))
	cmake --build $(HOST_BUILD) --target inkwarden_tests winsim_tests
	$(HOST_BUILD)/winsim/winsim_tests
	$(HOST_BUILD)/tests/inkwarden_tests

fuzz: fuzz-build fuzz-fast-build
	tools/run-fuzz.sh $(FUZZ_FAST_BUILD) $(FUZZ_SECONDS) "$(FUZZ_TARGETS)" $(FUZZ_BUILD)

bench: windows host
	python3 bench/run_bench.py --exe $(EXE) --counts $(HOST_BUILD)/bench/bench_counts $(BENCH_ARGS)

run: windows
	tools/wine-run.sh $(EXE)

# Entry times come from SOURCE_DATE_EPOCH, by default the last commit's time.
dist: windows
	python3 tools/make-dist.py $(EXE) build/dist

screenshot: windows
	python3 tools/make-screenshot.py $(EXE) docs/screenshot.png

clean:
	rm -rf build
