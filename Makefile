# A thin layer over CMake. `make run` starts the program, `make test` runs every test;
# both first install whatever Debian packages are missing.
BUILD ?= build
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench format clean

all: build

deps:
	scripts/install-deps

configure: deps
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD)

run: build
	$(BUILD)/ui/kolvex

test: build
	scripts/cups-test-queue
	ctest --test-dir $(BUILD) --output-on-failure

bench: build
	$(BUILD)/bench/chart_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)

# Start-up time and memory of kolvex against a bare Qt window, under Xvfb and offscreen.
# Measure a Release build: make bench-startup BUILD=build-release CMAKE_FLAGS=-DCMAKE_BUILD_TYPE=Release
.PHONY: bench-startup
bench-startup: build
	xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb $(BUILD)/bench/startup/startup_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/startup/startup_bench

# The Debian package, in $(BUILD): kolvex_VERSION_ARCH.deb.
.PHONY: deb
deb: build
	cd $(BUILD) && cpack -G DEB
