# The front door: `make run` and `make test` set up a fresh Debian machine,
# build in build/ and start the application or run every test.
BUILD     ?= build
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@$(BUILD)/src/app/olvenmark

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

RUNS ?= 5

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DOLVENMARK_BUILD_TESTS=OFF -DOLVENMARK_BUILD_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@bench/run.sh build-bench $(RUNS)

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)
