# A thin layer over CMake's presets (CMakePresets.json). `make run` starts the program, `make test`
# runs every test; both first install whatever Debian packages are missing: `make run` what
# building and running need, `make test` also what the tests need.
# PRESET chooses the configuration of run, build, bench, bench-startup and deb: default (the
# program, the tests and the benchmarks, in build/) or release (the programs alone, in
# build-release/). CMAKE_FLAGS go to every configure.
PRESET ?= default
BUILD := $(if $(filter default,$(PRESET)),build,build-$(PRESET))
CMAKE_FLAGS ?=

.PHONY: all deps deps-test configure build run test test-main test-sanitize test-fuzz bench format clean

all: build

deps:
	scripts/install-deps run

deps-test:
	scripts/install-deps test

configure: deps
	cmake --preset $(PRESET) $(CMAKE_FLAGS)

build: configure
	cmake --build --preset $(PRESET)

# Only the program and the libraries it links, none of the tests and benchmarks.
run: configure
	cmake --build --preset $(PRESET) --target kolvex
	$(BUILD)/ui/kolvex

# Every test: the normal build, then the same suite built with AddressSanitizer and
# UndefinedBehaviorSanitizer, then a short run of the integer reading's fuzzer.
test: test-main test-sanitize test-fuzz

test-main: deps-test
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default
	ctest --preset default

test-sanitize: deps-test
	cmake --preset sanitize $(CMAKE_FLAGS)
	cmake --build --preset sanitize
	ctest --preset sanitize

test-fuzz: deps-test
	cmake --preset fuzz $(CMAKE_FLAGS)
	cmake --build --preset fuzz
	ctest --preset fuzz

# The chart's own benchmarks (not in a release build), then kolvex-chart as a whole process
# against `true` and GNU gcal. Measure a release build: make bench PRESET=release
bench: build
	if [ -x $(BUILD)/bench/chart_bench ]; then $(BUILD)/bench/chart_bench; fi
	bench/command_bench.sh $(BUILD)/cli/kolvex-chart

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-release build-sanitize build-fuzz build-windows

# 64-bit Windows, cross-built in build-windows/ with MinGW-w64 against the Qt that
# scripts/build-qt-windows builds once into a cache folder (about 20 minutes on two cores), or
# against the Qt for MinGW in KOLVEX_WINDOWS_QT. Tests run under Wine.
.PHONY: deps-windows windows test-windows windows-package
deps-windows:
	scripts/install-deps windows

windows: deps-windows
	qt=$$(scripts/build-qt-windows) && qt=$$(printf '%s\n' "$$qt" | tail -n1) && \
	  cmake --preset windows -DCMAKE_PREFIX_PATH="$$qt" -DCMAKE_FIND_ROOT_PATH="$$qt" $(CMAKE_FLAGS)
	cmake --build --preset windows --target kolvex kolvex-chart kolvex-chart-pdf

# The chart and window tests under Wine (offscreen); kolvex-chart.exe against the Linux
# kolvex-chart of build/ on fixed and random command lines, and its PDF; then the package, installed
# into a fresh Wine prefix, prints from kolvex.exe onto a CUPS queue of the tests the same texts
# as the Linux program.
test-windows: windows
	cmake --build --preset windows
	ctest --preset windows
	cmake --preset default $(CMAKE_FLAGS)
	cmake --build --preset default --target kolvex-chart printer_tests
	scripts/test-windows build-windows build/cli/kolvex-chart
	cmake --build --preset windows --target windows-package
	KOLVEX_WINDOWS_SETUP=$$(ls -t $(CURDIR)/build-windows/Kolvex-*-win64-setup.exe | head -n1) \
	  ctest --preset default -R TheWindowsProgramUnderWinePrintsTheSameTexts --output-on-failure

# build-windows/Kolvex-VERSION-win64.zip and build-windows/Kolvex-VERSION-win64-setup.exe.
windows-package: windows
	cmake --build --preset windows --target windows-package

# Start-up time and memory of kolvex against a bare Qt window, under Xvfb and offscreen.
# Measure a Release build: make bench-startup PRESET=release
.PHONY: bench-startup
bench-startup: deps-test
	cmake --preset $(PRESET) -DKOLVEX_BENCHMARKS=ON $(CMAKE_FLAGS)
	cmake --build --preset $(PRESET) --target startup_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb $(BUILD)/bench/startup/startup_bench
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/startup/startup_bench

# The curves window's answer to a double click, under Xvfb and offscreen.
# Measure a Release build: make bench-curves PRESET=release
.PHONY: bench-curves
bench-curves: deps-test
	cmake --preset $(PRESET) -DKOLVEX_BENCHMARKS=ON $(CMAKE_FLAGS)
	cmake --build --preset $(PRESET) --target curves_bench
	xvfb-run -a -s "-screen 0 1280x1024x24" sh -c 'openbox & sleep 1; QT_QPA_PLATFORM=xcb $(BUILD)/bench/curves/curves_bench'
	QT_QPA_PLATFORM=offscreen $(BUILD)/bench/curves/curves_bench

# The Debian package, in $(BUILD): kolvex_VERSION_ARCH.deb.
.PHONY: deb
deb: build
	cd $(BUILD) && cpack -G DEB
