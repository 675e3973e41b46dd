# The two commands of the README, and a few more for developers.
#   make run    install what is missing, build, start qarvel on the demo log
#   make test   install what is missing, build, run every test with CTest
.PHONY: all deps build run test test-asan bench clean

JOBS ?= $(shell nproc)

all: build

deps:
	@scripts/install-deps

build: deps
	cmake --preset dev
	cmake --build --preset dev -j $(JOBS)

run: build
	scripts/run-demo build

test: build
	ctest --preset dev -j $(JOBS)

test-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

bench: deps
	cmake --preset release
	cmake --build --preset release -j $(JOBS)
	scripts/run-bench build-release

clean:
	rm -rf build build-asan build-release
