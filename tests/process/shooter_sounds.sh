# The shooter's three sounds, generated here as WAVs of three formats, load and play from
# loose files beside the program and from a media archive, and reach the audio output.
source "$(dirname "$0")/lib/common.bash"

little16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
little32() { little16 $(($1 & 65535)); little16 $(($1 >> 16)); }

# write_wav FILE RATE CHANNELS BITS SECONDS: noise of that format and length.
write_wav() {
  local file=$1 rate=$2 channels=$3 bits=$4 seconds=$5
  local align=$((channels * bits / 8))
  local size=$(awk -v r="$rate" -v s="$seconds" -v a="$align" 'BEGIN { printf "%d", r * s * a }')
  {
    printf 'RIFF'; little32 $((36 + size)); printf 'WAVEfmt '; little32 16
    little16 1; little16 "$channels"; little32 "$rate"; little32 $((rate * align))
    little16 "$align"; little16 "$bits"
    printf 'data'; little32 "$size"
    head -c "$size" /dev/urandom
  } >"$file"
}

# A copy of the program in a folder of its own: its directory is where loose files are found.
game=$work/game
mkdir -p "$game"
cp "$programs_dir/probe_program" "$game/"
programs_dir=$game
write_wav "$game/blast_a1.wav" 11025 1 8 0.3
write_wav "$game/blast_b1.wav" 22050 1 16 0.2
write_wav "$game/boom_a1.wav" 44100 2 16 0.5
"$build_dir/kvn-pack" create "$work/vd.gfx" "$game"/*.wav >/dev/null || fail "kvn-pack create"

start_display 640x480

# Plays them once from where they are; the disk audio driver writes what was heard.
play_and_check() {
  local what=$1
  shift
  rm -f "$work/capture.raw"
  start_probe KVN_TEST_SOUNDS=1 KVN_TEST_FRAMES=1 SDL_AUDIODRIVER=disk \
    SDL_DISKAUDIOFILE="$work/capture.raw" "$@"
  wait_for_report sound_again 150
  wait_exit
  expect_equal "$(report sound_loads)" "1 1 1 " "$what: loads"
  expect_equal "$(report sound_handles)" "5120 5376 7680 " "$what: channel handles"
  expect_equal "$(report sound_ended)" "1" "$what: the sounds ended"
  expect_equal "$(report sound_again)" "5120 5376 7680 " "$what: played again"
  # Most of the longest sound's 22050 samples, not silence.
  local heard
  heard=$(od -An -v -tx1 -w2 "$work/capture.raw" | grep -cv ' 00 00$' || true)
  [ "$heard" -gt 15000 ] || fail "$what: only $heard sounding samples in the capture"
}

play_and_check "loose files"
rm "$game"/*.wav
play_and_check "media archive" KVN_TEST_SOUND_ARCHIVE="$work/vd.gfx."
echo "shooter sounds: loose files and archive play"
