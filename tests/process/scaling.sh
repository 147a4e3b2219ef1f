# Full screen on a display without the program's mode: a borderless window over the desktop
# with the picture scaled into it (fit, integer, stretch), black bars, everything the program
# reads in its own pixels, the pointer mapped both ways; and the window scale.
source "$(dirname "$0")/lib/common.bash"

shot() { import -window root "$work/$1.png"; }

# "R G B" of one screenshot pixel.
pixel() { convert "$work/$1.png" -crop "1x1+$2+$3" -depth 8 rgb:- | od -An -tu1 | xargs; }

# Checks screenshot pixels: each line of the table is "X Y R G B what".
expect_pixels() {
  local name=$1 x y r g b what
  while read -r x y r g b what; do
    [ -n "$x" ] || continue
    expect_equal "$(pixel "$name" "$x" "$y")" "$r $g $b" "$name pixel ($x,$y), $what"
  done
}

# The probe's picture as the program reads it (pixels, a grab, the presented picture), to be
# compared with the same in a plain window.
readings() {
  echo "$(report pixels) $(md5sum <"$KVN_TEST_OUT/grab.bmp" | cut -c1-32)" \
    "$(md5sum <"$KVN_TEST_OUT/screen.bmp" | cut -c1-32)"
}

geometry() {
  eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
  echo "$X,$Y ${WIDTH}x$HEIGHT"
}

# Moves the pointer and waits until the program reads the expected position.
expect_mouse() {
  local x=$1 y=$2 expected=$3 what=$4
  xdotool mousemove "$x" "$y"
  for _ in $(seq 50); do
    [ "$(report mouse)" = "$expected" ] && return 0
    sleep 0.1
  done
  fail "$what: pointer at ($x,$y) read '$(report mouse)', expected '$expected'"
}

# Retries the condition (a command) for up to 5 s: what the X server shows trails the program.
settle() {
  for _ in $(seq 50); do
    "$@" && return 0
    sleep 0.1
  done
  return 0
}
pointer_at() { eval "$(xdotool getmouselocation --shell)"; [ "$X,$Y" = "$1" ]; }
window_size_is() { [ "$(geometry | cut -d' ' -f2)" = "$1" ]; }
shows_pixel() { shot "$1"; [ "$(pixel "$1" "$2" "$3")" = "$4" ]; }

finish() {
  press Escape
  wait_exit
  expect_equal "$exit_code" 0 "exit code"
}

start_display 1920x1080

# What a 1024 x 600 window shows and reads: the values every scaled run must give too.
start_probe KVN_TEST_SCREEN=1024x600 KVN_TEST_PICTURE=1
wait_for_report picture
expect_equal "$(geometry | cut -d' ' -f2)" "1024x600" "plain window"
window_readings=$(readings)
finish

# fit: 1.8 times, columns 38 to 1880; the pointer put on the picture's centre lands there.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_TEST_WARP=512,300
wait_for_report picture
expect_equal "$(report screen)" "1024x600" "screen size in fit"
expect_equal "$(geometry)" "0,0 1920x1080" "fit covers the desktop"
expect_equal "$(readings)" "$window_readings" "fit: what the program reads"
settle pointer_at 960,540
eval "$(xdotool getmouselocation --shell)"
expect_equal "$X,$Y" "960,540" "pointer moved to the picture's centre"
shot fit
expect_pixels fit <<'EOF'
0 540 0 0 0 left bar
37 540 0 0 0 left bar's last column
38 540 0 192 0 picture's first column
1880 540 0 192 0 picture's last column
1881 540 0 0 0 right bar's first column
1919 1079 0 0 0 right bar's corner
42 6 255 0 0 top-left square
1876 1075 0 0 255 bottom-right square
600 0 0 192 0 top row reaches the edge
600 1079 0 192 0 bottom row reaches the edge
EOF
expect_mouse 960 540 "512,300" "picture's centre"
expect_mouse 10 540 "0,300" "left bar"
expect_mouse 1919 0 "1023,0" "right bar's top"
expect_mouse 1880 1079 "1023,599" "picture's last pixel"
log_lines | grep -q "No Fullscreen Mode available" && fail "scaled full screen logged a failure"
grep -q $'\a' "$work/stderr" && fail "scaled full screen beeped"
finish

# integer: scale 1 centred, columns 448 to 1471, rows 240 to 839.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_SCALE=integer
wait_for_report picture
expect_equal "$(geometry)" "0,0 1920x1080" "integer covers the desktop"
expect_equal "$(readings)" "$window_readings" "integer: what the program reads"
shot integer
expect_pixels integer <<'EOF'
447 240 0 0 0 left bar
448 240 255 0 0 top-left square's first pixel
455 247 255 0 0 top-left square's last pixel
456 248 0 192 0 picture next to the square
960 540 255 255 255 centre pixel, one to one
1471 839 0 0 255 bottom-right square's last pixel
1472 839 0 0 0 right bar
1000 239 0 0 0 top bar
1000 840 0 0 0 bottom bar
EOF
expect_mouse 960 540 "512,300" "picture's centre at scale 1"
expect_mouse 100 100 "0,0" "top-left bar corner"
finish

# stretch: the whole desktop, aspect not kept.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_SCALE=stretch
wait_for_report picture
expect_equal "$(readings)" "$window_readings" "stretch: what the program reads"
shot stretch
expect_pixels stretch <<'EOF'
0 0 255 0 0 top-left square at the corner
1919 1079 0 0 255 bottom-right square at the corner
20 540 0 192 0 no bar
EOF
finish

# A recorded scaled run, with the pointer moving over the picture and the bars.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_TEST_FRAMES=240 \
  KVN_RECORD="$work/scaled.rec"
wait_for_report picture
for point in "960 540" "10 10" "1900 1000" "500 300"; do
  xdotool mousemove $point
  sleep 0.1
done
wait_exit
expect_equal "$exit_code" 0 "recording a scaled run"
cp "$KVN_TEST_OUT/mouse_trace" "$work/recorded_mouse"
grep -q ": 0,5$" "$work/recorded_mouse" || fail "the recorded run never read the left bar"

# A movie over the scaled picture plays across the whole window (a 400 x 100 movie: 1920 x 480
# at row 300); the picture around it keeps its place and its bars; the next frame is scaled
# again.
ffmpeg -v error -f lavfi -i "testsrc=size=400x100:rate=25:duration=4" -c:v mpeg4 -q:v 4 \
  "$work/wide.avi" || fail "ffmpeg"
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_MOVIE="$work/wide.avi" KVN_TEST_FRAMES=1 \
  KVN_TEST_MOVIE_HOLD=1
wait_for_report movie_ready
: >"$KVN_TEST_OUT/go"
for _ in $(seq 50); do
  shot movie
  [ "$(pixel movie 960 540)" != "40 200 90" ] && break
  sleep 0.1
done
expect_pixels movie <<'EOF'
10 100 0 0 0 left bar above the movie
1910 900 0 0 0 right bar below the movie
600 100 40 200 90 picture above the movie
300 150 255 255 255 the white box, scaled
5 540 0 0 0 movie frame's black first column, over the bar
EOF
[ "$(pixel movie 960 540)" != "40 200 90" ] || fail "no movie frame in the middle"
press space
wait_for_report after_movie
settle shows_pixel after_movie 600 500 "40 200 90"
expect_pixels after_movie <<'EOF'
10 540 0 0 0 left bar after the movie
600 500 40 200 90 the picture after the movie
EOF
: >"$KVN_TEST_OUT/end"
wait_exit

# Leaving full screen gives the window of the program's size back.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_TEST_LEAVE_AT=5
wait_for_report left
settle window_size_is 1024x600
expect_equal "$(geometry | cut -d' ' -f2)" "1024x600" "window after leaving full screen"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
expect_mouse "$((X + 100))" "$((Y + 50))" "100,50" "pointer in the window again, one to one"
finish
kill "$xvfb_pid"

# A display of another aspect: bars above and below.
start_display 1280x1024
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1
wait_for_report picture
expect_equal "$(geometry)" "0,0 1280x1024" "fit covers the 5:4 desktop"
expect_equal "$(readings)" "$window_readings" "5:4 fit: what the program reads"
shot fit54
expect_pixels fit54 <<'EOF'
640 136 0 0 0 top bar
640 137 0 192 0 picture's first row
640 886 0 192 0 picture's last row
640 887 0 0 0 bottom bar
2 140 255 0 0 top-left square
EOF
expect_mouse 640 512 "512,300" "picture's centre"
expect_mouse 640 1000 "512,599" "bottom bar"
finish

# The recorded run replays on a desktop of another size: the same readings and pictures.
start_probe KVN_TEST_SET_FULLSCREEN=1 KVN_TEST_PICTURE=1 KVN_TEST_FRAMES=240 \
  KVN_REPLAY="$work/scaled.rec"
wait_exit
expect_equal "$exit_code" 0 "replaying the scaled run"
grep -q "diverged\|not compared" "$work/stderr" && fail "replay: $(cat "$work/stderr")"
cmp -s "$KVN_TEST_OUT/mouse_trace" "$work/recorded_mouse" || fail "replay read other positions"

# The window scale: a 640 x 480 program in a window twice its size, reading as in its own.
start_probe KVN_TEST_PICTURE=1
wait_for_report picture
small_readings=$(readings)
finish
start_probe KVN_TEST_PICTURE=1 KVN_WINDOW_SCALE=2
wait_for_report picture
expect_equal "$(report screen)" "640x480" "screen size at window scale 2"
expect_equal "$(geometry | cut -d' ' -f2)" "1280x960" "window at scale 2"
expect_equal "$(readings)" "$small_readings" "window scale 2: what the program reads"
eval "$(xdotool getwindowgeometry --shell "$(probe_window)")"
import -window "$(probe_window)" "$work/twice.png"
expect_pixels twice <<'EOF'
0 0 255 0 0 top-left square
15 15 255 0 0 top-left square's last doubled pixel
16 16 0 192 0 picture next to the square
640 480 255 255 255 centre pixel doubled
641 481 255 255 255 centre pixel doubled
1279 959 0 0 255 bottom-right square
EOF
expect_mouse "$((X + 641))" "$((Y + 481))" "320,240" "doubled centre pixel"
finish
passed "scaled full screen and window scale"
