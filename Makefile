# Two commands set everything up: `make play` and `make test`.
BUILD_DIR   ?= build
RELEASE_DIR := $(BUILD_DIR)/release
ASAN_DIR    := $(BUILD_DIR)/asan
WINDOWS_DIR := $(BUILD_DIR)/windows
PLAY_DIR    := $(BUILD_DIR)/play
CMAKE_FLAGS ?=

.PHONY: all build build-asan test test-asan play bench clean windows test-windows

all: build

build:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(RELEASE_DIR)

build-asan:
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLOOMHOLD_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR)

test: build
	ctest --test-dir $(RELEASE_DIR) --output-on-failure -j2

test-asan: build-asan
	ctest --test-dir $(ASAN_DIR) --output-on-failure -j2

# The Windows programs, cross-built with MinGW-w64: gloomhold.exe and
# runewright.exe in $(WINDOWS_DIR)/bin, each one file without DLLs of its own.
windows:
	cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(abspath cmake/mingw-w64.cmake) -DGLOOMHOLD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(WINDOWS_DIR)

# The end-to-end tests once more, every run also made by the Windows programs
# under Wine and compared with the Linux programs' run.
test-windows: build windows
	GLOOMHOLD=$(abspath $(RELEASE_DIR))/bin/gloomhold RUNEWRIGHT=$(abspath $(RELEASE_DIR))/bin/runewright \
	GLOOMHOLD_EXE=$(abspath $(WINDOWS_DIR))/bin/gloomhold.exe RUNEWRIGHT_EXE=$(abspath $(WINDOWS_DIR))/bin/runewright.exe \
	WINEPREFIX=$(abspath $(WINDOWS_DIR))/wineprefix \
	python3 tests/windows/compare.py

# The play folder gets its edit data from the editor, which writes the starter
# content into any edit data file that is missing.
play: build
	mkdir -p $(PLAY_DIR)
	cd $(PLAY_DIR) && printf '7\n' | $(abspath $(RELEASE_DIR))/bin/runewright > /dev/null
	cd $(PLAY_DIR) && $(abspath $(RELEASE_DIR))/bin/gloomhold

# What a turn, a start and a battle cost, each against a floor measured beside
# it; builds only the programs (and the floor program), not the tests.
bench:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(RELEASE_DIR) --target gloomhold runewright floor_program
	python3 bench/bench.py --bin $(RELEASE_DIR)/bin $(BENCH_FLAGS)

clean:
	rm -rf $(BUILD_DIR)
