# Kestrel: top-level commands. See README.md.
#   make run    install missing packages, build, start the program on an example frame
#   make test   build and run every test (CTest)
#   make asan   the test suite built with AddressSanitizer + UBSan, leaks detected
#   make bench  build the benchmarks in release mode and run them

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# The example frame make run opens, when it is there (models open once the
# file reader is built; until then the program starts on an empty model).
EXAMPLE    ?= $(wildcard examples/portal.kst)
CMAKE_GEN   = -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=$(shell command -v ccache || true)

.PHONY: all deps configure build run test asan bench format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -n "$$DISPLAY" ] || [ -n "$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/bin/kestrel $(EXAMPLE); \
	else \
	    echo "No display found: starting under xvfb-run"; \
	    xvfb-run -a $(BUILD)/bin/kestrel $(EXAMPLE); \
	fi

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

asan: deps
	cmake -S . -B $(ASAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DKESTREL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && \
	  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

bench: deps
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bin/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done

format:
	find . -path ./build -prune -o -path './build-*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench
