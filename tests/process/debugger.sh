# With a debugger attached, debug texts and breakpoints reach it as "TX" and "BP" strings, a
# failed call by name is reported, and a breakpoint brings the window back to the front.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

command -v gdb >/dev/null || fail "gdb is not installed"
KVN_TEST_DEBUGGER=1 KVN_TEST_FRAMES=2 gdb -q -batch -ex run \
  --args "$programs_dir/probe_program" >"$work/stdout" 2>"$work/stderr" </dev/null
grep -qx "TXhello" "$work/stderr" || fail "no TX text"
grep -qx "BPff" "$work/stderr" || fail "no BPff"
grep -qx "BPffffffff" "$work/stderr" || fail "no BPffffffff"
grep -qx 'TXCALLBYNAME "No_Such_Sub" \*\*\* failed \*\*\*' "$work/stderr" ||
  fail "no call-by-name failure text"
grep -q "KVN_WIN32_MSG" "$work/stderr" && fail "a found hook was reported as failed"
grep -qx "activate" "$work/stdout" || fail "the breakpoint did not reactivate the window"
grep -qx "ok" "$work/stdout" || fail "no ok after reactivation"
expect_equal "$(report frames)" 2 "frames run under the debugger"
passed "debugger channel"
