# make-assets writes the same bytes on every run: a second run matches the build's files.
set -euo pipefail
generator=${1:?usage: same_bytes.sh MAKE_ASSETS ASSET_DIR}
built=${2:?usage: same_bytes.sh MAKE_ASSETS ASSET_DIR}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$generator" --loose "$work" >/dev/null
[ "$(ls "$work" | wc -l)" -gt 0 ] || { echo "FAIL: nothing written"; exit 1; }
diff -r "$work" "$built" || { echo "FAIL: the files differ from the build's"; exit 1; }
echo "make-assets: $(ls "$work" | wc -l) files, same bytes"
