# Two commands set everything up: `make play` and `make test`.
BUILD_DIR    ?= build
RELEASE_DIR  := $(BUILD_DIR)/release
ASAN_DIR     := $(BUILD_DIR)/asan
WINDOWS_DIR  := $(BUILD_DIR)/windows
FUZZ_DIR     := $(BUILD_DIR)/fuzz
VALGRIND_DIR := $(BUILD_DIR)/valgrind
DYNAMIC_DIR  := $(BUILD_DIR)/dynamic
CMAKE_FLAGS  ?=
# The author's play folder: edit data and saves, outside the build folder so
# that `make clean` never takes them.
PLAY_DIR     := play
PREFIX       ?= /usr/local
DESTDIR      ?=
FUZZ_SECONDS ?= 60
FUZZ_TARGETS := edit_enemies edit_items edit_player save_data

# The sanitizer build stops at its first report with an abort, which no test
# can take for one of the programs' own exit statuses.
SANITIZER_ENV := ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
                 UBSAN_OPTIONS=halt_on_error=1:abort_on_error=1:print_stacktrace=1

.PHONY: all configure build build-asan build-fuzz test test-asan test-valgrind fuzz play edit play-folder \
        bench clean windows test-windows install package

all: build

configure:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

# The two programs only; `make test` builds the tests too.
build: configure
	cmake --build $(RELEASE_DIR) --target gloomhold runewright

build-asan:
	cmake -S . -B $(ASAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DGLOOMHOLD_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR)

test: configure
	cmake --build $(RELEASE_DIR)
	ctest --test-dir $(RELEASE_DIR) --output-on-failure -j2

test-asan: build-asan
	$(SANITIZER_ENV) ctest --test-dir $(ASAN_DIR) --output-on-failure -j2

# The end-to-end tests with every run of the programs watched by valgrind's
# memcheck: an error it finds ends the program with status 99 and a report
# that fails the test. memcheck sees the heap only of a dynamically linked
# program, so the programs are built once more, linked dynamically, with the
# release build's options.
test-valgrind: build
	cmake -S . -B $(DYNAMIC_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release -DGLOOMHOLD_STATIC=OFF \
	  -DGLOOMHOLD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(DYNAMIC_DIR) --target gloomhold runewright
	mkdir -p $(VALGRIND_DIR)
	for p in gloomhold runewright; do \
	  printf '#!/bin/sh\nexec valgrind --error-exitcode=99 --leak-check=no --vgdb=no -q --suppressions=$(abspath tests/valgrind.supp) %s "$$@"\n' \
	    "$(abspath $(DYNAMIC_DIR))/bin/$$p" > $(VALGRIND_DIR)/$$p; \
	  chmod +x $(VALGRIND_DIR)/$$p; \
	done
	cd tests/e2e && GLOOMHOLD=$(abspath $(VALGRIND_DIR))/gloomhold \
	  RUNEWRIGHT=$(abspath $(VALGRIND_DIR))/runewright UNDER_VALGRIND=1 PYTHONDONTWRITEBYTECODE=1 \
	  python3 -m unittest discover -p 'test_*.py'

# The readers' fuzz targets (clang and libFuzzer), each for FUZZ_SECONDS.
# New inputs gather in build/fuzz/corpus/<target>; an input that breaks a
# reader's promise is kept in build/fuzz/findings and fails the run.
build-fuzz:
	cmake -S tests/fuzz -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++
	cmake --build $(FUZZ_DIR)

fuzz: build-fuzz
	@set -e; mkdir -p $(FUZZ_DIR)/findings; \
	for t in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_DIR)/corpus/$$t; \
	  echo "fuzz_$$t: $(FUZZ_SECONDS) s"; \
	  $(FUZZ_DIR)/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -timeout=10 -print_final_stats=1 \
	    -dict=tests/fuzz/data_files.dict -artifact_prefix=$(FUZZ_DIR)/findings/$$t- \
	    $(FUZZ_DIR)/corpus/$$t tests/fuzz/corpus/$$t > $(FUZZ_DIR)/$$t.log 2>&1 \
	    || { tail -40 $(FUZZ_DIR)/$$t.log; exit 1; }; \
	  grep -E 'number_of_executed_units|new_units_added' $(FUZZ_DIR)/$$t.log; \
	done

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
# content into any edit data file that is missing. A play folder left in the
# build folder by an older checkout moves out of harm's way first.
play-folder: build
	@if [ -d $(BUILD_DIR)/play ] && [ ! -e $(PLAY_DIR) ]; then \
	  echo "moving $(BUILD_DIR)/play to $(PLAY_DIR)"; mv $(BUILD_DIR)/play $(PLAY_DIR); fi
	mkdir -p $(PLAY_DIR)

play: play-folder
	cd $(PLAY_DIR) && printf '7\n' | $(abspath $(RELEASE_DIR))/bin/runewright > /dev/null
	cd $(PLAY_DIR) && $(abspath $(RELEASE_DIR))/bin/gloomhold

edit: play-folder
	cd $(PLAY_DIR) && $(abspath $(RELEASE_DIR))/bin/runewright

# Both programs and their manual pages under $(DESTDIR)$(PREFIX).
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)"

# The Debian package, built in $(RELEASE_DIR) (cpack names the file).
package: build
	cd $(RELEASE_DIR) && cpack -G DEB

# What a turn, a start and a battle cost, each against a floor measured beside
# it; builds only the programs (and the floor program), not the tests.
bench:
	cmake -S . -B $(RELEASE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(RELEASE_DIR) --target gloomhold runewright replay_floor
	python3 bench/bench.py --bin $(RELEASE_DIR)/bin $(BENCH_FLAGS)

clean:
	rm -rf $(BUILD_DIR)
