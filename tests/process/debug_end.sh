# A debug-mode program ended by a failed assertion leaves the end record in the log; the quit
# hook that ends the program itself runs once.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

start_probe KVN_TEST_DEBUG=1 KVN_TEST_ASSERT=1
wait_exit
expect_equal "$exit_code" 0 "exit code after a failed assertion"
expect_equal "$(log_lines | sed -n '/^-End On Line$/,$p')" "-End On Line
21
41
42
7
Shut down KVN
kvn is shut down" "end record"

start_probe KVN_TEST_ASSERT=1
wait_exit
expect_equal "$exit_code" 0 "exit code in release mode"
log_lines | grep -q -- "-End On Line" && fail "release build wrote an end record"

start_probe KVN_TEST_FRAMES=3 KVN_TEST_HOOK_ENDS=1
wait_exit
expect_equal "$exit_code" 0 "exit code when the quit hook ends the program"
expect_equal "$(report quit_hook)" "called" "quit hook calls"
expect_equal "$(log_lines | grep -c "Shut down KVN")" 1 "shutdown lines"
passed "debug end and quit hook"
