# Proves that the exit guard works: a test and a fuzz-corpus replay whose code ends the process
# with exit code 0 must fail, naming what ended it.
#   unintended_exit.sh TEST_BINARY REPLAY_BINARY
set -euo pipefail
test_binary=$1
replay_binary=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

status=0
"$test_binary" >"$work/test.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "the test binary ended with $status, not 1"
grep -q "UnintendedExit.OutOfBoundsIndexEndsTheProcess ended the process" "$work/test.out" ||
  fail "the failure does not name the test"
grep -q "\[  PASSED  \]" "$work/test.out" && fail "the runner reported a pass"

mkdir "$work/corpus"
printf 'fine' >"$work/corpus/a"
printf 'End' >"$work/corpus/b"
printf 'fine too' >"$work/corpus/c"
status=0
"$replay_binary" "$work/corpus" >"$work/replay.out" 2>&1 || status=$?
[ "$status" -eq 1 ] || fail "the replay ended with $status, not 1"
grep -q "input $work/corpus/b ended the process" "$work/replay.out" ||
  fail "the failure does not name the input"
grep -q "replayed" "$work/replay.out" && fail "the replay reported a count"
echo "passed: an exit during a test or a replay fails"
