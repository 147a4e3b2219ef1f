# The hello example: its greeting in the loaded font over a colour band, small print in the
# built-in font.
source "$(dirname "$0")/lib/examples.bash"
nothing() { sleep 0.5; }
record_example hello nothing Hello
replay_last_picture hello
expect_equal "$(colour_at 5 171)" "0,20,40" "the band's first rows"
expect_equal "$(colour_at 5 460)" "16,40,80" "the background"
expect_colour_in 20 20 320 8 "#FFFFFF" "the built-in font's line"
passed "hello example"
