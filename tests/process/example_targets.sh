# The targets example: the target's scene drawn plain, a grab of the screen shown after G, the screen saved
# as screen-1.png after S.
source "$(dirname "$0")/lib/examples.bash"
grab_and_save() {
  press g
  press s
}
record_example targets grab_and_save Targets
replay_last_picture targets
expect_equal "$(colour_at 220 90)" "255,208,48" "the sun of the target's scene"
expect_equal "$(identify -format %wx%h "$run_dir/screen-1.png")" 640x480 "the saved screen"
expect_equal "$(colour_at 25 400)" "$(colour_at 225 230)" "the grab of the middle of the screen"
passed "targets example"
