# Kestrel: top-level commands. See README.md.
#   make run    install missing packages, build, start the program on an example frame
#               (needs a display; without one it says so and fails)
#   make install   install into PREFIX (default /usr/local)
#   make test   build and run every test (CTest)
#   make asan   the test suite built with AddressSanitizer + UBSan, leaks detected
#   make bench  build the benchmarks in release mode and run them
#   make fuzz   build the fuzz targets with clang and libFuzzer, run each FUZZ_SECONDS seconds

BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
# The example frame make run opens, when it is there (models open once the
# file reader is built; until then the program starts on an empty model).
EXAMPLE    ?= $(wildcard examples/portal.kst)
CMAKE_GEN   = -G Ninja -DCMAKE_CXX_COMPILER_LAUNCHER=$(shell command -v ccache || true)

FUZZ_SECONDS ?= 60
PREFIX       ?= /usr/local
FUZZ_TARGETS = $(notdir $(wildcard tests/fuzz/corpus/*))

.PHONY: all deps configure build run install test asan bench fuzz format clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

# The window needs a display: without one the program says so and make stops
# with its status. Without a display, journals replay with
# build/bin/kestrel --replay and neutral files solve with build/bin/kestrel-solve.
# Without a display the window cannot open: the program says so, and the
# example frame is analysed through the batch path instead (a copy in the
# build folder, since the analysis writes its files beside the model).
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] || [ -z "$(EXAMPLE)" ]; then \
	    $(BUILD)/bin/kestrel $(EXAMPLE); \
	else \
	    $(BUILD)/bin/kestrel $(EXAMPLE) || true; \
	    cp $(EXAMPLE) $(BUILD)/example.kst; \
	    echo "Results of $(EXAMPLE) from kestrel-solve:"; \
	    $(BUILD)/bin/kestrel-solve $(BUILD)/example.kst; \
	    exit 1; \
	fi

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

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
	cmake -S . -B build-bench $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Release -DKESTREL_BENCH=ON -DKESTREL_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/bin/bench_*; do echo "== $$b"; $$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || exit 1; done

fuzz:
	@scripts/install-deps --fuzz
	cmake -S . -B build-fuzz $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_CXX_COMPILER=clang++ -DKESTREL_FUZZ=ON -DKESTREL_WERROR=OFF
	cmake --build build-fuzz -j $(JOBS) --target $(addprefix fuzz_,$(FUZZ_TARGETS))
	@for t in $(FUZZ_TARGETS); do \
	  mkdir -p build-fuzz/corpus/$$t build-fuzz/artifacts/$$t && \
	  cp -n tests/fuzz/corpus/$$t/* build-fuzz/corpus/$$t/ 2>/dev/null; \
	  echo "== fuzz_$$t for $(FUZZ_SECONDS) s"; \
	  ASAN_OPTIONS=detect_leaks=0 build-fuzz/bin/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) \
	    -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/$$t/ \
	    build-fuzz/corpus/$$t || exit 1; \
	done

format:
	find . -path ./build -prune -o -path './build-*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-bench build-fuzz
