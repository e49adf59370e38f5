# Two commands for a fresh Debian 12 machine:
#   make run    installs what is missing, builds, and runs the main job
#   make test   installs what is missing, builds, and runs the whole test suite
#   make install PREFIX=~/.local   installs the program, its menu entry, icon and metainfo
BUILD ?= build
PREFIX ?= /usr/local
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test install bench coverage fuzz soak format clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The playground where a display exists, the tour where none does: vantorel decides.
run: build
	@$(BUILD)/src/app/vantorel --dir $(BUILD)/desktop

test: build
	@ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

bench: deps
	@cmake -S . -B $(BUILD)-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVANTOREL_BUILD_TESTS=OFF
	@cmake --build $(BUILD)-release -j $(JOBS)
	@set -e; for b in $(BUILD)-release/benchmarks/*_benchmarks; do \
		$$b --benchmark_repetitions=5 --benchmark_report_aggregates_only=true || \
			{ echo "$$b failed" >&2; exit 1; }; \
	done

# Line and branch coverage of src/ by the whole suite, summed per folder.
coverage: deps
	@cmake -S . -B $(BUILD)-coverage -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVANTOREL_COVERAGE=ON \
		-DVANTOREL_BUILD_BENCHMARKS=OFF
	@cmake --build $(BUILD)-coverage -j $(JOBS)
	@find $(BUILD)-coverage -name '*.gcda' -delete
	@ctest --test-dir $(BUILD)-coverage -j $(JOBS) --output-on-failure
	@gcovr --root . --filter 'src/' --exclude-unreachable-branches --exclude-throw-branches \
		--json-summary $(BUILD)-coverage/coverage.json $(BUILD)-coverage
	@scripts/coverage-summary.py $(BUILD)-coverage/coverage.json

# Each fuzz target for FUZZ_SECONDS, built with clang under AddressSanitizer and UBSan.
FUZZ_SECONDS ?= 300
fuzz:
	@./scripts/install-deps.sh --fuzz
	@cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DVANTOREL_FUZZ=ON \
		-DVANTOREL_SANITIZE=address,undefined -DVANTOREL_BUILD_TESTS=OFF \
		-DVANTOREL_BUILD_BENCHMARKS=OFF -DVANTOREL_BUILD_APP=OFF
	@cmake --build $(BUILD)-fuzz --target fuzzers -j $(JOBS)
	@./scripts/run-fuzzers.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

# The soak's long form: 100,000 random events over the whole application.
soak: build
	@QT_QPA_PLATFORM=offscreen $(BUILD)/soak/soak 100000

format:
	@git ls-files '*.h' '*.cpp' | xargs clang-format -i

clean:
	@rm -rf $(BUILD) $(BUILD)-release $(BUILD)-asan $(BUILD)-coverage $(BUILD)-fuzz
