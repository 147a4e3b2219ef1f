# kvn-pack on real files: create, list, extract, append to a copy of the game's program file,
# and a non-zero exit with a message for every error. Needs no display.
set -euo pipefail
build_dir=$(cd "${2:?usage: kvn_pack.sh PROGRAMS_DIR BUILD_DIR}" && pwd)
pack=$build_dir/kvn-pack
program=$build_dir/velkadorn
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The command must fail with a non-zero exit and say why on stderr.
expect_error() {
  local what=$1
  shift
  if "$@" >"$work/out" 2>"$work/err"; then fail "$what: exit code 0"; fi
  [ -s "$work/err" ] || fail "$what: no message on stderr"
}

mkdir inputs
cp "$source_dir/README.md" inputs/Readme.md
cp "$source_dir/CMakeLists.txt" inputs/build.txt
head -c 300000 /dev/urandom >inputs/noise.bin
: >inputs/empty
cp "$program" inputs/program.bin
files=(inputs/Readme.md inputs/build.txt inputs/noise.bin inputs/empty inputs/program.bin)

# Every entry is listed with its stored and unpacked size and extracts to the same bytes.
check_archive() {
  local archive=$1
  "$pack" list "$archive" >"$work/list" || fail "list $archive"
  [ "$(wc -l <"$work/list")" = "${#files[@]}" ] || fail "list of $archive: $(cat "$work/list")"
  local file name stored unpacked
  for file in "${files[@]}"; do
    name=$(basename "$file")
    read -r stored unpacked < <(awk -F'\t' -v n="$name" '$1 == n { print $2, $3 }' "$work/list")
    [ "$unpacked" = "$(stat -c %s "$file")" ] || fail "$name: unpacked size '$unpacked'"
    [ "$stored" -ge 7 ] || fail "$name: stored size '$stored'"
    rm -f out
    "$pack" extract "$archive" "$name" out || fail "extract $name from $archive"
    cmp -s out "$file" || fail "$name from $archive differs"
  done
  # Names match ignoring case, as in the runtime's lookup.
  "$pack" extract "$archive" README.MD out && cmp -s out inputs/Readme.md ||
    fail "case-insensitive extract from $archive"
}

"$pack" create media.arc "${files[@]}" || fail "create"
check_archive media.arc
# Text compresses.
read -r stored unpacked < <(awk -F'\t' '$1 == "build.txt" { print $2, $3 }' "$work/list")
[ "$stored" -lt "$unpacked" ] || fail "text did not compress ($stored of $unpacked)"

# Appended to a copy of the program: its own bytes stay as they were, it stays executable.
cp "$program" carrier
"$pack" append carrier "${files[@]}" || fail "append"
size=$(stat -c %s "$program")
[ "$(stat -c %s carrier)" -gt "$size" ] || fail "nothing appended"
cmp -s -n "$size" carrier "$program" || fail "program bytes changed by append"
[ -x carrier ] || fail "appended program lost its execute permission"
check_archive carrier
# Without a display both copies end the same way and say the same (running the game needs one).
original_code=0 carrier_code=0
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "$program" >original.out 2>&1 || original_code=$?
env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 ./carrier >carrier.out 2>&1 || carrier_code=$?
[ "$original_code" = "$carrier_code" ] ||
  fail "appended program ends with $carrier_code, the original with $original_code"
cmp -s original.out carrier.out || fail "appended program says: $(cat carrier.out)"

# Errors: a message and a non-zero exit, and no archive left behind by a failed create.
expect_error "no arguments" "$pack"
expect_error "unknown command" "$pack" pack x.arc inputs/empty
expect_error "create without files" "$pack" create x.arc
expect_error "extract without output" "$pack" extract media.arc empty
expect_error "missing file" "$pack" create x.arc inputs/empty inputs/missing
expect_error "folder as file" "$pack" create x.arc inputs
mkdir other && cp inputs/empty other/EMPTY
expect_error "duplicate names" "$pack" create x.arc inputs/empty other/EMPTY
[ ! -e x.arc ] || fail "a failed create left an archive"
expect_error "append to a missing file" "$pack" append missing inputs/empty
[ ! -e missing ] || fail "append created its target"
expect_error "list of a non-archive" "$pack" list inputs/noise.bin
expect_error "list of a missing file" "$pack" list missing
expect_error "extract from a non-archive" "$pack" extract inputs/build.txt empty out
expect_error "extract of a missing entry" "$pack" extract media.arc nothing.png out
cp media.arc broken.arc
printf 'XXX' | dd of=broken.arc bs=1 seek=$(($(stat -c %s broken.arc) - 7)) conv=notrunc 2>/dev/null
expect_error "list of an archive without its trailer" "$pack" list broken.arc
passed "kvn-pack"
