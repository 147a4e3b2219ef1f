# Escape, Alt+F4 and a close request each end the program with exit code 0; allow_escape(0)
# keeps Escape from ending it while Alt+F4 still does.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

start_probe
wait_for_report ready
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code after Escape"
expect_equal "$(log_lines | tail -n2 | head -n1)" "Shut down KVN" "log after Escape"

start_probe
wait_for_report ready
press alt+F4
wait_exit
expect_equal "$exit_code" 0 "exit code after Alt+F4"

start_probe KVN_TEST_NO_ESCAPE=1
wait_for_report ready
press Escape
expect_running 1
press alt+F4
wait_exit
expect_equal "$exit_code" 0 "exit code after Alt+F4 with Escape disabled"

start_probe
wait_for_report ready
kill -TERM "$program_pid"
wait_exit
expect_equal "$exit_code" 0 "exit code after a close request"
expect_equal "$(log_lines | tail -n1)" "kvn is shut down" "log after a close request"
passed "keyboard and close ends"
