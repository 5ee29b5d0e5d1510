# make run: build the Windows program and open it (under Wine on Linux).
# make test: build everything and run every test.
# make bench: time typing and the rest under Wine against the EDIT control.

WINDOWS_BUILD := build/windows
HOST_BUILD := build/host
EXE := $(WINDOWS_BUILD)/inkwarden.exe

.PHONY: all deps windows host test bench run clean

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

test: windows host
	ctest --test-dir $(HOST_BUILD) --output-on-failure -j2

bench: windows host
	python3 bench/run_bench.py --exe $(EXE) --counts $(HOST_BUILD)/bench/bench_counts

run: windows
	tools/wine-run.sh $(EXE)

clean:
	rm -rf build
