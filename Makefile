# The front door: `make run` and `make test` set up a fresh Debian machine,
# build in build/ and start the application or run every test.
BUILD     ?= build
JOBS      ?= $(shell nproc)
CMAKE_ARGS ?=

.PHONY: all deps configure build run test test-asan test-tsan bench bench-upload fuzz format clean install package

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

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DOLVENMARK_SANITIZE="address;undefined" >/dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && QT_QPA_PLATFORM=offscreen \
		ASAN_OPTIONS=detect_stack_use_after_return=1:strict_string_checks=1 \
		UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# Everything that runs the conversion thread, under ThreadSanitizer. Only Qt's
# own libraries, which are not instrumented, are suppressed.
test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DOLVENMARK_SANITIZE=thread >/dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && QT_QPA_PLATFORM=offscreen \
		TSAN_OPTIONS="suppressions=$(CURDIR)/scripts/tsan.supp second_deadlock_stack=1" \
		ctest --output-on-failure -j $(JOBS) -L threads

# Each libFuzzer target for FUZZ_SECONDS, starting from fuzz/corpus.
FUZZ_SECONDS ?= 60
fuzz:
	@scripts/install-deps fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOLVENMARK_FUZZ=ON \
		-DOLVENMARK_BUILD_APP=OFF -DOLVENMARK_BUILD_TESTS=OFF >/dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@scripts/run-fuzz build-fuzz $(FUZZ_SECONDS)

RUNS ?= 4
UPLOAD_RUNS ?= 1
# The build the benchmark compares with: the last one before the speed work.
BENCH_BASE ?= 88e0ede

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DOLVENMARK_BUILD_TESTS=OFF -DOLVENMARK_BUILD_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS)
	@bench/build-old $(BENCH_BASE) build-bench-old $(JOBS)
	@bench/run.sh build-bench $(RUNS) build-bench-old

# 1,000 contacts uploaded into a Radicale on this computer at no distance and
# at a 50 ms round trip, by olvenmark-cli and by vdirsyncer.
bench-upload: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DOLVENMARK_BUILD_TESTS=OFF -DOLVENMARK_BUILD_BENCH=ON >/dev/null
	@cmake --build build-bench -j $(JOBS) --target olvenmark-cli
	@bench/upload.sh build-bench $(UPLOAD_RUNS)

# Installs both programs, the menu entry, the icons, the AppStream description and
# the manual page under PREFIX (default /usr/local); DESTDIR stages them elsewhere.
PREFIX ?= /usr/local
install: deps
	@cmake -S . -B build-install -DCMAKE_BUILD_TYPE=Release -DOLVENMARK_BUILD_TESTS=OFF \
		-DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@cmake --build build-install -j $(JOBS)
	@DESTDIR=$(DESTDIR) cmake --install build-install

# A Debian package (build-package/olvenmark_VERSION_ARCH.deb) for /usr.
package:
	@scripts/install-deps package
	@cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DOLVENMARK_BUILD_TESTS=OFF \
		-DCMAKE_INSTALL_PREFIX=/usr >/dev/null
	@cmake --build build-package -j $(JOBS)
	@cd build-package && cpack >/dev/null && ls -1 $(CURDIR)/build-package/*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	@rm -rf $(BUILD)
