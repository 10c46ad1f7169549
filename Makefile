# A thin layer over CMake. `make run` starts the program, `make test` runs every test;
# both first install whatever Debian packages are missing: `make run` what building and running
# need, `make test` also what the tests need.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps deps-test configure build run test test-main test-sanitize test-fuzz bench format clean

all: build

deps:
	scripts/install-deps run

deps-test:
	scripts/install-deps test

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/ui/kolvex

# Every test: the normal build, then the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of the integer reading's fuzzer.
test: test-main test-sanitize test-fuzz

test-main: deps-test build
	scripts/cups-test-queue
	ctest --test-dir $(BUILD) --output-on-failure

test-sanitize: deps-test
	scripts/cups-test-queue
	cmake -S . -B $(BUILD)-asan -G Ninja -DKOLVEX_SANITIZE=ON -DKOLVEX_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-asan
	ctest --test-dir $(BUILD)-asan --output-on-failure

test-fuzz: deps-test
	cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DKOLVEX_FUZZ=ON \
	  -DKOLVEX_BENCHMARKS=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD)-fuzz --target str_to_int_fuzz
	ctest --test-dir $(BUILD)-fuzz -R str_to_int_fuzz --output-on-failure

bench: build
	$(BUILD)/bench/chart_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-fuzz

# Start-up time and memory of kolvex against a bare Qt window, under Xvfb and offscreen.
# Measure a Release build: make bench-startup BUILD=build-release CMAKE_FLAGS=-DCMAKE_BUILD_TYPE=Release
.PHONY: bench-startup
bench-startup: deps-test build
	xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb $(BUILD)/bench/startup/startup_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/startup/startup_bench

# The Debian package, in $(BUILD): kolvex_VERSION_ARCH.deb.
.PHONY: deb
deb: build
	cd $(BUILD) && cpack -G DEB
