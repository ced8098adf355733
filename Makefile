# Front door: `make test` installs what is missing, configures, builds and runs every test.
JOBS ?= $(shell nproc)

.PHONY: all deps build test build-asan test-asan bench clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

test: build
	ctest --preset default

build-asan: deps
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)

test-asan: build-asan
	ctest --preset asan

bench: build
	scripts/run-benchmarks build/default

clean:
	rm -rf build
