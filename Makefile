# Front door of the project. `make test` and `make run` set up a fresh
# machine themselves (tools/deps.sh), configure, build and run.
JOBS  ?= $(shell nproc)
BUILD ?= build

.PHONY: all deps build run test asan fuzz bench bench-compare clean

all: build

deps:
	@tools/deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Builds everything and simulates the buck converter example with the qvs
# tool: the table of figures on the terminal, the plot in $(BUILD)/buck.svg.
run: build
	$(BUILD)/qvs run examples/buck.qvs --from 10m --plot $(BUILD)/buck.svg
	@echo "plot: $(BUILD)/buck.svg"

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Tests under AddressSanitizer and UndefinedBehaviorSanitizer; any report
# aborts the test that caused it, so the run fails.
asan: deps
	cmake -S . -B build-asan -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Debug -DQVS_SANITIZE=ON
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

# libFuzzer targets (clang). Run one with, for example:
#   build-fuzz/xml_fuzz -max_total_time=600 fuzz/corpus/xml
fuzz:
	@tools/deps.sh fuzz
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G "Unix Makefiles" \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQVS_FUZZ=ON -DQVS_TESTS=OFF
	cmake --build build-fuzz -j $(JOBS)

# Micro-benchmarks, optimised build in build-bench/; runs every one.
bench:
	@tools/deps.sh bench
	cmake -S . -B build-bench -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
	  -DQVS_BENCH=ON -DQVS_TESTS=OFF
	cmake --build build-bench -j $(JOBS)
	@for b in build-bench/*_bench; do [ -x "$$b" ] && "$$b" || exit 1; done

# Whole-circuit timings against ngspice (installed when missing): the
# converters, rectifiers and RC ladders of bench/compare/, each run
# COMPARE_RUNS times by both, results checked to agree. Optimised qvs tool
# in build-compare/. See bench/README.md.
COMPARE_RUNS ?= 5
bench-compare:
	@tools/deps.sh compare
	cmake -S . -B build-compare -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release -DQVS_TESTS=OFF
	cmake --build build-compare -j $(JOBS) --target qvs
	bench/compare/run.sh build-compare/qvs $(COMPARE_RUNS) build-compare/compare

clean:
	rm -rf $(BUILD) build-asan build-fuzz build-bench
