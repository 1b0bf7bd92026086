# make run   installs what is missing, builds, opens the host on the demo database
# make test  installs what is missing, builds, runs every test
# make bench installs what is missing, builds the benchmarks (Release) and runs
#            them beside a throw-away PostgreSQL: every figure beside its
#            baseline, then a summary table
# make package  builds the Debian package (build/prvc03_<version>_<arch>.deb)
# make install PREFIX=DIR  installs plug-in, host, header, CMake package, .pc
BUILD      ?= build
ASAN_BUILD ?= build-asan
BENCH_BUILD ?= build-bench
BENCH_ARGS ?=
# BENCH_SCALE=10M adds a 10M-row lookup beside the 1M-row one.
BENCH_SCALE ?=
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test test-asan bench fuzz package install format \
        format-check clean

all: build

deps:
	@bash scripts/install-deps.sh

# Configures BUILD when it has no build yet, and again whenever CMAKE_ARGS
# are given, so that they apply to a folder configured before as well (CMake
# keeps them in its cache for later runs).
configure:
	@if [ ! -f $(BUILD)/build.ninja ] || [ -n "$(strip $(CMAKE_ARGS))" ]; then set -x; \
	  cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS); \
	fi

build: deps configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "No display: writing a screenshot of the module window to out/prvc03.png instead."; \
	  mkdir -p out; \
	  QT_QPA_PLATFORM=offscreen $(BUILD)/bin/prvc03-host --screenshot out/prvc03.png; \
	else \
	  $(BUILD)/bin/prvc03-host $(ARGS); \
	fi

test: build
	bash scripts/run-tests.sh $(BUILD)

package: build
	cmake --build $(BUILD) --target package

install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

# The suite under AddressSanitizer and UBSan, leaks included; what Qt, the
# fonts and the database drivers leak themselves is suppressed by
# scripts/lsan-suppressions.txt.
test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPRVC03_SANITIZE=ON \
	  $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan-suppressions.txt:print_suppressions=0 \
	  bash scripts/run-tests.sh $(ASAN_BUILD)

# libFuzzer targets, built with clang in their own folder, each run for
# FUZZ_SECONDS.
fuzz:
	@bash scripts/install-deps.sh fuzz
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DPRVC03_FUZZ=ON \
	  -DPRVC03_BUILD_TESTS=OFF
	cmake --build $(FUZZ_BUILD) --target fuzzers -j $(JOBS)
	bash scripts/run-fuzzers.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

bench: deps
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DPRVC03_BUILD_BENCH=ON \
	  $(CMAKE_ARGS)
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target prvc03_bench
	QT_QPA_PLATFORM=offscreen PRVC03_BENCH_SCALE=$(BENCH_SCALE) \
	  bash scripts/with-postgres.sh $(BENCH_BUILD)/bin/prvc03_bench $(BENCH_ARGS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# Fails, naming the places, where a source is not as clang-format writes it.
format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

# Every build folder: the ones named above and any other build-* folder.
clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) build-*
