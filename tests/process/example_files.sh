# The files example: two runs, each typing a name; the second run's table shows both, its
# own score first, read back from scores.ini.
source "$(dirname "$0")/lib/examples.bash"
type_ada() { xdotool type --delay 150 ada; press Return; sleep 0.3; }
type_bob() { xdotool type --delay 150 bob; press Return; sleep 0.3; }
record_example files type_ada Files
record_example files type_bob Files
replay_last_picture files
scores=$(tr -d '\r' <"$run_dir/scores.ini")
grep -qx "name1=bob" <<<"$scores" || fail "bob is not first: $scores"
grep -qx "name2=ada" <<<"$scores" || fail "ada is not second: $scores"
expect_equal "$(colour_at 32 106)" "32,80,96" "the new score's row marked"
expect_colour_in 40 150 200 27 "#7ABDFF" "ada's row in the table"
passed "files example"
