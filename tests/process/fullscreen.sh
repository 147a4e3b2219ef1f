# Full screen in an exact display mode, over the whole desktop when there is none, and the
# fallback to a window without off-screen pictures.
source "$(dirname "$0")/lib/common.bash"

start_display 1024x600
start_probe KVN_TEST_SET_FULLSCREEN=1
wait_for_report ready
expect_equal "$(report screen)" "1024x600" "screen size"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
expect_equal "$X,$Y ${WIDTH}x$HEIGHT" "0,0 1024x600" "full-screen window"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"
log_lines | grep -q "No Fullscreen Mode available" && fail "full screen reported unavailable"

# A cancelled file dialog (no dialogs here) brings the full-screen game back as it was.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_FILE_REQUEST=1
wait_for_report ready
expect_equal "$(report file_request)" "NO_FILE" "cancelled dialog"
expect_equal "$(report cwd_after_dialog)" "$(report cwd)" "working directory after the dialog"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
expect_equal "$X,$Y ${WIDTH}x$HEIGHT" "0,0 1024x600" "full-screen window after the dialog"
press Escape
wait_exit
kill "$xvfb_pid"

# No 1024 x 600 mode: a borderless window over the whole desktop (the picture scaled into it).
start_display 1280x1024
start_probe KVN_TEST_SET_FULLSCREEN=1
wait_for_report ready
expect_equal "$(report screen)" "1024x600" "screen size over the desktop"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
expect_equal "$X,$Y ${WIDTH}x$HEIGHT" "0,0 1280x1024" "desktop-wide window"
log_lines | grep -q "No Fullscreen Mode available" && fail "desktop-wide full screen logged a failure"
grep -q $'\a' "$work/stderr" && fail "desktop-wide full screen beeped"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"

# Without off-screen pictures nothing is scaled: the window as before, the log line and the
# beep; the reason goes to standard error only.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_NO_FBO=1
wait_for_report ready
expect_equal "$(report screen)" "1024x600" "screen size in the window"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
expect_equal "${WIDTH}x$HEIGHT" "1024x600" "window without off-screen pictures"
log_lines | grep -q "No Fullscreen Mode available" || fail "missing full-screen failure line"
log_lines | grep -qi "scale" && fail "the reason went into the log"
grep -q "not scaled" "$work/stderr" || fail "no reason on standard error"
grep -q $'\a' "$work/stderr" || fail "no warning beep"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"
passed "full screen"
