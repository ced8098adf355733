# Front door: `make run` opens the viewer on the bundled sample; `make test` installs what is
# missing, configures, builds and runs every test.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 180

.PHONY: all deps build run test build-asan test-asan bench gallery clean build-fuzz fuzz fuzz-coverage

all: build

deps:
	scripts/install-deps

build: deps
	cmake --preset default
	cmake --build --preset default -j $(JOBS)

# Opens the viewer on the bundled coverage sample; without a display, renders it to a PNG.
SAMPLE = apps/source-view/samples/wordfreq.c.gcov
run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ] && build/default/apps/source-view/source-view $(SAMPLE); then :; else \
	  build/default/apps/source-view/source-view --png build/default/source-view.png $(SAMPLE) && \
	  echo "run: no display; the view is in build/default/source-view.png"; fi

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

# Fuzzing (clang, libFuzzer, AddressSanitizer + UBSan; see fuzz/): `make fuzz` runs every target
# for FUZZ_SECONDS on its corpus; `make fuzz-coverage` reports the library lines and branches the
# corpora reach, from a separate build with clang's source-based coverage.
build-fuzz: deps
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz: build-fuzz
	fuzz/run build/fuzz $(FUZZ_SECONDS)

FUZZ_COVERAGE_FLAGS = -fsanitize=fuzzer-no-link -fprofile-instr-generate -fcoverage-mapping
fuzz-coverage: deps
	cmake -S . -B build/fuzz-coverage -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
	  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_FLAGS="$(FUZZ_COVERAGE_FLAGS)" \
	  -DCMAKE_CXX_FLAGS="$(FUZZ_COVERAGE_FLAGS)" -DSV4_BUILD_TESTS=OFF \
	  -DSV4_BUILD_BENCHMARKS=OFF -DSV4_BUILD_EXAMPLES=OFF -DSV4_BUILD_FUZZ=ON
	cmake --build build/fuzz-coverage --target fuzz_targets -j $(JOBS)
	fuzz/coverage build/fuzz-coverage build/fuzz

clean:
	rm -rf build
