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
	ctest --test-dir $(BUILD) --output-on-failure

bench: build
	$(BUILD)/bench/chart_bench

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
