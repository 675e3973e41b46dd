# The two commands of the README, and a few more for developers.
#   make run    install what is missing, build, start qarvel on the demo log
#   make test   install what is missing, build, run every test with CTest,
#               then the whole suite again under AddressSanitizer,
#               UndefinedBehaviorSanitizer and LeakSanitizer, then a short
#               run of every fuzz target on its committed corpus
#   make fuzz   a longer run of every fuzz target (FUZZ_SECONDS each)
#   make package  the Debian package build-release/qarvel_<version>_<arch>.deb
.PHONY: all deps build run test test-dev test-asan fuzz-build fuzz-smoke fuzz release bench package clean

JOBS ?= $(shell nproc)
# The steps share the machine's cores; each build already runs $(JOBS) jobs.
.NOTPARALLEL:
# A few seconds per target in `make test`; `make fuzz` takes its time.
FUZZ_SMOKE_SECONDS ?= 5
FUZZ_SECONDS ?= 300

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

run: build
	scripts/run-demo build

test: test-dev test-asan fuzz-smoke

test-dev: build
	ctest --preset dev -j $(JOBS)

# The sanitizer options (halt on the first report, leak check at exit, the
# suppressions for system libraries) come with the preset's environment, for
# the test discovery at build time as much as for the run.
test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

fuzz-build: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz-smoke: fuzz-build
	fuzz/run-fuzzers build-fuzz $(FUZZ_SMOKE_SECONDS)

fuzz: fuzz-build
	fuzz/run-fuzzers build-fuzz $(FUZZ_SECONDS)

release: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)

bench: release
	scripts/run-bench build-release

# CPack packs what the install rules put in, from the optimised build.
package: release
	cmake --build --preset release --target package

clean:
	rm -rf build build-asan build-fuzz build-release
