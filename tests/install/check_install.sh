#!/usr/bin/env bash
# Installs a build tree into a scratch prefix, then builds and runs a consumer program through the
# CMake package and through pkg-config, and checks that libsource_view4.so exports only its
# interface.
#   check_install.sh BUILD_DIR SCRATCH_DIR CONSUMER_DIR LIBDIR CMAKE CXX "EXTRA_FLAGS"
set -euo pipefail
build=$1 scratch=$2 consumer=$3 libdir=$4 cmake=$5 cxx=$6
read -r -a extra_flags <<<"${7:-}"

fail() {
  echo "install check failed: $*" >&2
  exit 1
}

# Runs a command with its output in a log file; on failure shows the log and stops.
logged() {
  local log=$1
  shift
  "$@" >"$log" 2>&1 || { cat "$log" >&2; fail "$* (log: $log)"; }
}

expected='rows=2 source=[a    b] hex=[0x1a2b] fraction=[12.34%]'

# Runs a built consumer and compares its one line of output.
check_output() {
  local what=$1 exe=$2 output
  output=$("$exe") || fail "$what: the consumer exited with an error"
  [ "$output" = "$expected" ] || fail "$what: printed '$output', expected '$expected'"
  echo "$what: ok"
}

rm -rf "$scratch"
mkdir -p "$scratch"
prefix=$scratch/prefix
logged "$scratch/install.log" "$cmake" --install "$build" --prefix "$prefix"

# Through the CMake package.
project=$scratch/cmake-consumer
mkdir -p "$project"
cp "$consumer/main.cpp" "$project/"
cp "$consumer/CMakeLists.txt.in" "$project/CMakeLists.txt"
logged "$scratch/consumer-configure.log" "$cmake" -S "$project" -B "$project/build" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_CXX_FLAGS="${extra_flags[*]:-}" -DCMAKE_EXE_LINKER_FLAGS="${extra_flags[*]:-}"
logged "$scratch/consumer-build.log" "$cmake" --build "$project/build"
check_output "find_package(source_view4)" "$project/build/consumer"

# Through pkg-config, with nothing but the installed .pc file to go by.
pc_flags=$(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs source_view4) ||
  fail "pkg-config --cflags --libs source_view4 found no usable source_view4.pc under $prefix"
read -r -a pc_flags <<<"$pc_flags"
logged "$scratch/pkg-config-build.log" "$cxx" -std=c++17 "${extra_flags[@]}" \
  "$consumer/main.cpp" "${pc_flags[@]}" -Wl,-rpath,"$prefix/$libdir" -o "$scratch/pc-consumer"
check_output "pkg-config source_view4" "$scratch/pc-consumer"

# The shared library exports its interface and nothing private: no nested helper classes, no code
# from anonymous namespaces.
library=$prefix/$libdir/libsource_view4.so
exports=$(nm -D --defined-only -C "$library") || fail "nm cannot read $library"
grep -q 'source_view4::data_model_t::set_data(' <<<"$exports" ||
  fail "$library does not export data_model_t::set_data"
if leaked=$(grep -E 'link_ids_t|\(anonymous namespace\)' <<<"$exports"); then
  fail "$library exports internal symbols:"$'\n'"$leaked"
fi
echo "exports: ok"
