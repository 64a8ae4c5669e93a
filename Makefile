# Two commands set everything up: `make play` and `make test`.
BUILD_DIR   ?= build
RELEASE_DIR := $(BUILD_DIR)/release
ASAN_DIR    := $(BUILD_DIR)/asan
PLAY_DIR    := $(BUILD_DIR)/play
CMAKE_FLAGS ?=

.PHONY: all build build-asan test test-asan play bench clean

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
