# Movies made here with ffmpeg's test source play over the program's picture: keys typed and
# buttons held before the call do not end them, a key typed during one does, a looping movie
# goes on past its length, frames appear inside the fitted rectangle only, and the program's
# drawing for its next frame is still there afterwards.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

make_movie() {
  ffmpeg -v error -f lavfi -i "testsrc=size=$2:rate=25:duration=$3" -c:v mpeg4 -q:v 4 \
    "$work/$1" || fail "ffmpeg $1"
}
make_movie wide.avi 400x100 4
make_movie short.avi 320x240 1
backdrop="srgb(40,200,90)"

# Starts the probe on the movie (extra VAR=value words set its environment) and waits until
# its picture is up, the window focused and the pointer over it.
start_movie() {
  local movie=$1
  shift
  start_probe KVN_TEST_MOVIE="$movie" KVN_TEST_FRAMES=1 "$@"
  wait_for_report movie_ready
  probe=$(probe_window)
  xdotool windowfocus --sync "$probe"
  xdotool mousemove --window "$probe" 320 240
}
go() { : >"$KVN_TEST_OUT/go"; }
expect_no_result() {
  [ -s "$KVN_TEST_OUT/movie_result" ] && fail "$1 (after $(report movie_ms) ms)"
  return 0
}
# The window's pixel at X Y, as ImageMagick writes it.
pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
shoot() { import -window "$probe" "$work/shot.png" || fail "no screenshot"; }

# A 400 x 100 movie in the 640 x 480 window: 640 x 160 at y 160.
start_movie "$work/wide.avi" KVN_TEST_MOVIE_HOLD=1
xdotool type x
sleep 0.3
go
sleep 1.5
expect_no_result "a key typed before the call ended the movie"
shoot
[ -n "${KVN_MOVIE_SHOT:-}" ] && cp "$work/shot.png" "$KVN_MOVIE_SHOT"
expect_equal "$(pixel 320 100)" "$backdrop" "picture above the movie"
expect_equal "$(pixel 320 380)" "$backdrop" "picture below the movie"
expect_equal "$(pixel 100 80)" "srgb(255,255,255)" "the white box above the movie"
expect_equal "$(pixel 500 400)" "srgb(255,0,0)" "the red box below the movie"
[ "$(pixel 320 240)" != "$backdrop" ] || fail "no movie frame inside its rectangle"
[ "$(pixel 320 170)" != "$backdrop" ] || fail "no movie frame at the rectangle's top"
press space
wait_for_report movie_result 30
expect_equal "$(report movie_result)" 0 "result after a key"
[ "$(report movie_ms)" -lt 3500 ] || fail "the key did not end the movie ($(report movie_ms) ms)"
# The next frame shows what the program drew before the movie.
wait_for_report after_movie
shoot
expect_equal "$(pixel 320 40)" "srgb(0,0,255)" "the blue box drawn before the movie"
expect_equal "$(pixel 320 240)" "$backdrop" "the picture after the movie"
: >"$KVN_TEST_OUT/end"
wait_exit

# A held button: the movie waits for its release, then plays to its end.
start_movie "$work/short.avi"
xdotool mousedown 1
sleep 0.3
go
sleep 1.5
expect_no_result "a button held before the call ended the movie"
xdotool mouseup 1
wait_for_report movie_result 50
expect_equal "$(report movie_result)" 0 "result at the end"
[ "$(report movie_ms)" -ge 2300 ] || fail "the movie did not play after the release ($(report movie_ms) ms)"
wait_exit

# Looping: still playing after more than twice its length, frames filling the window.
start_movie "$work/short.avi" KVN_TEST_MOVIE_LOOP=1
go
sleep 2.5
expect_no_result "the looping movie ended"
shoot
[ "$(pixel 320 240)" != "$backdrop" ] || fail "no frame of the looping movie"
press space
wait_for_report movie_result 30
expect_equal "$(report movie_result)" 0 "result of the looping movie"
wait_exit

start_movie "$work/none.avi"
go
wait_for_report movie_result
expect_equal "$(report movie_result)" 3 "result for a missing movie"
wait_exit
passed "movie"
