# Front door: `make test` installs what is missing, configures, builds and runs every test.
JOBS ?= $(shell nproc)

.PHONY: all deps build test build-asan test-asan bench gallery clean

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

# Renders every cell painter in every state, light and dark, into one PNG.
gallery: build
	build/default/examples/painter_gallery/painter_gallery build/default/painter_gallery.png
	@echo "gallery: build/default/painter_gallery.png"

clean:
	rm -rf build
