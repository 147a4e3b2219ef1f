# A normal run: the start-up and shutdown lines in order, the quit hook once, the program's
# directory as working directory, the extension lookup, a fresh log on every run.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

cd /
for run in 1 2; do
  start_probe KVN_TEST_FRAMES=20
  wait_exit
  expect_equal "$exit_code" 0 "exit code of run $run"
  expect_equal "$(log_lines)" "Init GFX
OpenGL Software Emulation
Init Finalized
Shut down KVN
kvn is shut down" "log of run $run"
done

expect_equal "$(report quit_hook)" "called" "quit hook calls"
expect_equal "$(report cwd)" "$(cd "$programs_dir" && pwd -P)" "working directory"
expect_equal "$(report screen)" "640x480" "screen size"
expect_equal "$(report glext)" "1 0" "GLEXT answers for a real and an unknown entry point"
case "$(report command_line)" in
  */probe_program) ;;
  *) fail "command line '$(report command_line)' does not name the program" ;;
esac
grep -q "!!OpenGL Software Emulation!!" "$work/stderr" || fail "software warning not shown"
[ "$(grep -c "OpenGL Software Emulation!!" "$work/stderr")" = 1 ] || fail "warning shown twice"

# Pointer movement over the window queues messages: the hook sees each before dispatch.
start_probe
wait_for_report ready
xdotool mousemove 300 200 sleep 0.1 mousemove 320 240 sleep 0.3
[ "$(report hook_calls)" -gt 0 ] || fail "the message hook was never called"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"

# No window can be made without a display: the program ends at once, orderly.
start_probe DISPLAY=
wait_exit
expect_equal "$exit_code" 0 "exit code without a display"
expect_equal "$(log_lines)" "Init GFX
Shut down KVN
kvn is shut down" "log without a display"
[ -e "$KVN_TEST_OUT/ready" ] && fail "Game_Main ran without a window"
passed "normal run"
