# The front doors.  Every target first makes sure the Debian packages are there, then
# configures and builds out of tree.
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE_ARGS ?=

.PHONY: all deps build run test bench check fuzz screenshots package clean

all: build

deps:
	@scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)

run: build
	./$(BUILD)/pindel

test: build
	ctest --test-dir $(BUILD) --output-on-failure --timeout 600

bench: build
	cmake --build $(BUILD) -j $(JOBS) --target pindel_bench
	./$(BUILD)/bench/pindel_bench

# The Debian package, written into $(BUILD)/.
package: build
	cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
