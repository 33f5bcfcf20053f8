# The two commands of the README:
#   make demo   installs what is missing, builds, and runs the demo
#   make test   installs what is missing, builds, runs every test, then the sanitizer build's
#               tests and a short run of every fuzz target
# `make fuzz FUZZ_SECONDS=600` runs each fuzz target for as long as asked.

JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all deps build test test-default test-asan fuzz fuzz-smoke demo bench clean

all: build

deps:
	@scripts/install-deps.sh

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test-default: build
	$(XVFB) ctest --preset default -j $(JOBS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	$(XVFB) ctest --preset asan -j $(JOBS)

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz-build
	scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

fuzz: fuzz-build
	scripts/run-fuzzers.sh build/fuzz $(FUZZ_SECONDS)

test: test-default test-asan fuzz-smoke

demo: build
	scripts/run-demo.sh build/default

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	@for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

clean:
	rm -rf build
