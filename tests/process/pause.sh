# Focus moved to another window pauses the frame loop and marks the title; focus back
# restores both.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

start_probe
wait_for_report ready
probe=$(probe_window)
expect_equal "$(xdotool getwindowname "$probe")" "Probe" "title while active"

xmessage -geometry 200x100+0+0 "other window" &
other_pid=$!
for _ in $(seq 50); do
  other=$(xdotool search --name '^xmessage$' | head -n1 || true)
  [ -n "$other" ] && break
  sleep 0.1
done
[ -n "$other" ] || fail "no other window"
xdotool windowfocus --sync "$other"
sleep 0.5
expect_equal "$(xdotool getwindowname "$probe")" "Probe <pause>" "title while inactive"
held=$(report frames)
sleep 1
expect_equal "$(report frames)" "$held" "frames while paused"

xdotool windowfocus --sync "$probe"
sleep 0.5
expect_equal "$(xdotool getwindowname "$probe")" "Probe" "title after activation"
resumed=$(report frames)
[ "$resumed" -gt "$held" ] || fail "frame loop did not resume ($held -> $resumed)"
kill "$other_pid"
press Escape
wait_exit
expect_equal "$exit_code" 0 "exit code"
passed "pause"
