# The shapes example: the rectangles, the strip's vertex colours and the fan's white centre.
source "$(dirname "$0")/lib/examples.bash"
nothing() { sleep 0.5; }
record_example shapes nothing Shapes
replay_last_picture shapes
expect_equal "$(colour_at 385 45)" "0,60,120" "the outer rectangle"
expect_equal "$(colour_at 480 120)" "255,255,255" "the breathing rectangle's centre"
expect_colour_in 40 260 560 160 "#[E-F][0-9A-F]00[0-9A-F]{2}" "the strip's red edge"
expect_colour_in 40 380 560 60 "#[0-1][0-9A-F]00[E-F][0-9A-F]" "the strip's blue edge"
passed "shapes example"
