# The sprites example: the ship plain and mirrored, and the three alpha modes over the board.
source "$(dirname "$0")/lib/examples.bash"
nothing() { sleep 0.5; }
record_example sprites nothing Sprites
replay_last_picture sprites
# Mirroring swaps the sides: a pixel of the plain ship is found mirrored about the middle.
expect_equal "$(colour_at 480 60)" "$(colour_at 40 60)" "mirrored ship, left edge"
expect_equal "$(colour_at 543 60)" "$(colour_at 103 60)" "mirrored ship, right edge"
expect_equal "$(colour_at 2 302)" "32,64,96" "the board behind the alpha modes"
passed "sprites example"
