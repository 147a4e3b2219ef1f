#!/usr/bin/env bash
# Installs the built runtime into a scratch prefix, checks what was installed, and builds a
# small program against it through pkg-config and through find_package(kvn) with kvn_add_game.
#   build_against_installed.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build_dir=$1
source_dir=$2
consumer=$source_dir/tests/install/consumer
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build_dir" --prefix "$prefix" >/dev/null || fail "cmake --install"

# The public headers and nothing else; each compiles alone against the prefix, and includes
# only other public headers or the standard library.
installed=$(cd "$prefix/include" && find . -type f | sort)
public=$(cd "$source_dir/include" && find ./kvn -type f | sort)
[ "$installed" = "$public" ] || fail "installed headers differ from include/kvn: $installed"
for header in "$prefix"/include/kvn/*.h; do
  if grep -h '^#include "' "$header" | grep -v '^#include "kvn/'; then
    fail "$header includes a header that is not public"
  fi
  printf '#include <kvn/%s>\n' "${header##*/}" |
    c++ -std=c++17 -Wall -Werror -fsyntax-only -I"$prefix/include" -x c++ - ||
    fail "${header##*/} does not compile alone"
done

# The packer is installed and works.
echo "packed" >"$work/note.txt"
"$prefix/bin/kvn-pack" create "$work/notes.gfx" "$work/note.txt" >/dev/null ||
  fail "installed kvn-pack create"
"$prefix/bin/kvn-pack" list "$work/notes.gfx" | grep -q "note.txt" ||
  fail "installed kvn-pack list"

# pkg-config: one command.
pc_dir=$(dirname "$(find "$prefix" -name kvn.pc)")
flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs kvn) || fail "pkg-config kvn"
# shellcheck disable=SC2086 # the flags are separate words
c++ -std=c++17 "$consumer/hello.cpp" $flags -o "$work/hello_pkg_config" ||
  fail "program built through pkg-config"
[ -x "$work/hello_pkg_config" ] || fail "no program from pkg-config"

# find_package(kvn) and kvn::kvn.
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)
cmake -S "$consumer" -B "$work/consumer" "${generator[@]}" -DCMAKE_PREFIX_PATH="$prefix" \
  >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; fail "find_package(kvn)"; }
cmake --build "$work/consumer" -j2 >"$work/build.log" 2>&1 ||
  { cat "$work/build.log"; fail "program built through find_package"; }
[ -x "$work/consumer/hello" ] || fail "no program from find_package"
# kvn_add_game packed the assets directory into the archive beside the program.
"$prefix/bin/kvn-pack" list "$work/consumer/hello.gfx" | grep -q "note.txt" ||
  fail "kvn_add_game: no hello.gfx holding note.txt beside the program"

echo "passed: installed runtime, headers alone, kvn-pack, pkg-config, find_package and kvn_add_game"
