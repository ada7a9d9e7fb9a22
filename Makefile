# The front doors.  Every target first makes sure the Debian packages are there, then
# configures and builds out of tree.
BUILD      ?= build
WIN_BUILD  ?= build-windows
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build run test bench check fuzz screenshots package mutate clean windows

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/pindel

# The Linux suite, then the Windows build and its suite under Wine (skipped, in one line,
# where there is no Qt for Windows: see scripts/windows).
test: build
	ctest --test-dir $(BUILD) --output-on-failure --timeout 600
	scripts/windows test $(WIN_BUILD)

# The Windows build: pindel.exe, the installer and the portable .zip, in $(WIN_BUILD)/.
windows: deps
	scripts/windows build $(WIN_BUILD)

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target pindel_bench
	./$(BUILD)/bench/pindel_bench
	scripts/bench-desktop $(BUILD)
	@if [ -f $(WIN_BUILD)/pindel.exe ]; then scripts/bench-desktop $(WIN_BUILD); \
	else echo "windows: no $(WIN_BUILD)/pindel.exe (make windows builds it): no launch figures"; fi
	scripts/bench-installer $(WIN_BUILD)

# Pictures of every window at scale 1, 1.25, 1.5, 1.75 and 2, under $(BUILD)/screenshots/, for
# a reviewer: the real program on a private X server with a window manager.  Then the Wayland
# scenarios' pictures (with their logs) under $(BUILD)/screenshots/wayland/: native, and on
# XWayland.  Then, when the Windows build is there (make windows), its pictures under Wine at
# 100, 125, 150, 175 and 200 % under $(WIN_BUILD)/screenshots/.
screenshots: build
	python3 scripts/e2e/shots.py $(BUILD)/pindel $(BUILD)/screenshots
	PYTHONDONTWRITEBYTECODE=1 python3 tests/e2e/test_wayland.py $(BUILD)/pindel $(BUILD)/screenshots/wayland/native
	PYTHONDONTWRITEBYTECODE=1 python3 tests/e2e/test_xwayland.py $(BUILD)/pindel $(BUILD)/screenshots/wayland/xwayland
	@if [ -f $(WIN_BUILD)/pindel.exe ]; then PYTHONDONTWRITEBYTECODE=1 python3 scripts/e2e/shots.py $(WIN_BUILD)/pindel.exe $(WIN_BUILD)/screenshots; \
	else echo "windows: no $(WIN_BUILD)/pindel.exe (make windows builds it): no Windows pictures"; fi

# The Debian package, written into $(BUILD)/.
package: build
	cmake --build $(BUILD) --target package

# The Windows-only code through Debian's cross compiler (the Windows build itself is not made
# here), the whole suite under AddressSanitizer and UndefinedBehaviorSanitizer (own build
# directory), the core and register tests of the plain build under Valgrind, then a short
# fuzz run of the winners-file format.
check: build
	scripts/check-windows $(BUILD)
	cmake -S . -B $(ASAN_BUILD) -DPINDEL_SANITIZE=ON $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1 \
	UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	ctest --test-dir $(ASAN_BUILD) --output-on-failure --timeout 900
	tests/memcheck.sh $(BUILD) 'core|register'
	$(MAKE) fuzz FUZZ_SECONDS=$(FUZZ_SECONDS)

# libFuzzer on the winners-file format for FUZZ_SECONDS; new inputs go to
# $(FUZZ_BUILD)/corpus, the committed seeds stay as they are.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -DPINDEL_FUZZ=ON $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_winners
	mkdir -p $(FUZZ_BUILD)/corpus
	$(FUZZ_BUILD)/tests/fuzz/fuzz_winners -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  $(FUZZ_BUILD)/corpus tests/fuzz/corpus

# Plants each fault of tests/mutants.toml alone in a scratch copy of the tree (build-mutate/)
# and says which ones the tests let through.  Slow, so not part of .ci/run.
# MUTATE_ONLY="id-or-prefix ..." runs some of them.
MUTATE_BUILD ?= build-mutate
mutate: deps
	scripts/mutate --scratch $(MUTATE_BUILD) --jobs $(JOBS) $(if $(MUTATE_ONLY),--only $(MUTATE_ONLY))

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(MUTATE_BUILD) $(WIN_BUILD)
