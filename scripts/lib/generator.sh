# shellcheck shell=bash
# A library, sourced: the generator of the catalogue's files (tools/catalogue), built alone in
# build/generate with nothing but CMake and a C++ compiler.
#
#   . scripts/lib/generator.sh
#   gen=$(generator_build SOURCE_DIR)   # builds it (quietly) when needed; prints its path

generator_build() {
  local source_dir=$1
  cmake -S "$source_dir" -B "$source_dir/build/generate" -DARDUDF_GENERATOR_ONLY=ON >/dev/null || return 1
  cmake --build "$source_dir/build/generate" --target ardudf_catalogue >/dev/null || return 1
  echo "$source_dir/build/generate/ardudf_catalogue"
}
