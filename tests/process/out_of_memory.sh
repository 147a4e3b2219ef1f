# A program whose allocation fails ends through the one exit path: exit code 0, error 7 in the
# end record, then the shutdown lines; a text and a container of the program's own alike.
source "$(dirname "$0")/lib/common.bash"
start_display 1024x600

for what in text container; do
    start_probe KVN_TEST_DEBUG=1 KVN_TEST_OUT_OF_MEMORY=$what
    wait_exit
    expect_equal "$(report limited)" 1 "address space limited ($what)"
    expect_equal "$exit_code" 0 "exit code when a $what cannot be allocated"
    expect_equal "$(log_lines | sed -n '/^-End On Line$/,$p')" "-End On Line
7
-1
0
0
Shut down KVN
kvn is shut down" "end record ($what)"
done
passed "out-of-memory end"
