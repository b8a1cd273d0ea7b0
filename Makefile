# Top-level entry points. `make` builds the programs into build/bin/,
# `make test` builds a sanitizer tree and runs every test, `make demo`
# runs the service on a throw-away home with stand-in sync commands.

JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
BUILD    ?= build
ASAN     ?= build-asan
CMAKE    ?= cmake

MAKEFLAGS += --no-print-directory

.PHONY: all deps build test demo bench clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

$(ASAN)/CMakeCache.txt:
	$(CMAKE) -S . -B $(ASAN) -DCMAKE_BUILD_TYPE=Debug -DMIVO_SANITIZE=ON -DMIVO_BENCHMARKS=OFF

test: deps $(ASAN)/CMakeCache.txt
	$(CMAKE) --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest --output-on-failure -j $(JOBS)

# Only what the demo runs, so a newcomer sees the service quickly.
demo: deps $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target mivo_srv mivo_demo_sync
	@scripts/demo $(BUILD)

bench: build
	@scripts/bench $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN)
