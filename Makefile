# Thin driver over CMake and Ninja. Every target installs what it needs first.
BUILD      ?= build
ASAN_BUILD ?= build-asan
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc 2>/dev/null || echo 2)
FUZZ_TIME  ?= 20
CMAKE_ARGS ?=

.PHONY: all setup configure build demo test asan fuzz-smoke bench clean

all: build

setup:
	@tools/setup-deps.sh

$(BUILD)/build.ninja: | setup
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_ARGS)

configure: $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

demo: build
	@tools/demo.sh $(BUILD)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DKPX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug $(CMAKE_ARGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --test-dir $(ASAN_BUILD) --output-on-failure -j $(JOBS)

fuzz-smoke: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DKPX_FUZZ=ON -DKPX_TESTS=OFF $(CMAKE_ARGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	@for f in $(FUZZ_BUILD)/bin/fuzz_*; do \
	  [ -x "$$f" ] || continue; \
	  echo "== $$f ($(FUZZ_TIME) s)"; \
	  mkdir -p $(FUZZ_BUILD)/corpus/$$(basename $$f); \
	  graines=$(FUZZ_BUILD)/seeds/$$(basename $$f); \
	  [ -n "$$(ls -A $$graines 2>/dev/null)" ] || { echo "$$f: no seed corpus in $$graines"; exit 1; }; \
	  $$f -max_total_time=$(FUZZ_TIME) -timeout=25 -rss_limit_mb=2048 -print_final_stats=1 $(FUZZ_BUILD)/corpus/$$(basename $$f) $$graines || exit 1; \
	done

bench: setup
	cmake -S . -B $(BUILD) -G Ninja -DKPX_BENCH=ON $(CMAKE_ARGS)
	cmake --build $(BUILD) -j $(JOBS)
	@for b in $(BUILD)/bin/bench_*; do $$b; done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) build-windows

WIN_BUILD ?= build-windows
WIN_ARCHS ?= x86_64 i686
.PHONY: windows test-windows
# The DLLs and the Windows test programs, cross-compiled for each architecture.
windows:
	@cmake/mingw-outils.sh
	@for a in $(WIN_ARCHS); do \
	  cmake -S . -B $(WIN_BUILD)/$$a -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-$$a.cmake -DKPX_TESTS=ON $(CMAKE_ARGS) && \
	  cmake --build $(WIN_BUILD)/$$a -j $(JOBS) || exit 1; \
	done

# The export tables checked, then the tests run under Wine (i686 when 32-bit Wine is there).
test-windows: windows
	@cmake/mingw-outils.sh wine
	@for a in $(WIN_ARCHS); do tests/windows/verifier-exports.sh $(WIN_BUILD)/$$a $$a || exit 1; done
	@tests/windows/executer.sh $(WIN_BUILD) $(WIN_ARCHS)
