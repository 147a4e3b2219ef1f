#!/usr/bin/env bash
# Pictures for looking at the generated assets: a contact sheet, the whole stage composed,
# and game frames composed the way the game draws them (stars, back and solid layers,
# ships, additive flames, shots and effects, the light layer at 37.5 %, the HUD).
# usage: preview.sh ASSET_DIR OUT_DIR
set -euo pipefail
assets=$(cd "${1:?usage: preview.sh ASSET_DIR OUT_DIR}" && pwd)
mkdir -p "${2:?usage: preview.sh ASSET_DIR OUT_DIR}"
out=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$assets"

# Contact sheet of every picture but the stage, in rows by family, enlarged without
# smoothing, on a dark background.
sheet_row() {  # name scale tile_width files...
  local name=$1 zoom=$2 width=$3
  shift 3
  montage -font DejaVu-Sans -background '#181822' -fill '#c0c8d8' -pointsize 11 -label '%t' \
    "$@" -filter point -resize "$zoom%" -geometry "${width}x+8+6" -tile x1 "$work/$name.png"
}
sheet_row ships 300 240 ship_001.png ship_002.png ship_003.png ship_004.png
sheet_row flames 300 96 burner_01a.png burner_01b.png burner_01c.png burner_01d.png \
  spark4.png spark3.png spark2.png spark1.png star.png
sheet_row explosions 200 128 explode_08.png explode_07.png explode_06.png explode_05.png \
  explode_04.png explode_03.png explode_02.png explode_01.png
sheet_row shots 400 128 blast_001.png blast_004.png blast_002.png
sheet_row bars 200 400 shieldbar.png armorbar.png energybar.png
convert $(for g in 0 1 2; do for k in a b c d e f g h; do echo "rank$g$k.png"; done; done) \
  +append -filter point -resize 300% "$work/rank_strip.png"
convert -background '#181822' "$work/ships.png" "$work/flames.png" "$work/explosions.png" \
  "$work/shots.png" "$work/bars.png" \( "$work/rank_strip.png" -bordercolor '#181822' \
  -border 8 \) \( overhub.png -bordercolor '#181822' -border 8 \) \
  \( vdfont.png -filter point -resize 200% -bordercolor '#181822' -border 8 \) \
  -gravity center -append "$out/contact.png"

# The whole stage, each layer as one strip.
for layer in back solid light; do
  convert $(for i in 0 1 2 3 4 5 6 7 8; do echo "stage_02$layer$i.png"; done) +append \
    "$work/$layer.png"
done
convert -size 4608x300 xc:black -seed 7 +noise Random -colorspace gray -threshold 99.6% \
  -scale 200% -fill '#a8b0ff' -opaque white "$work/stars.png"
convert "$work/stars.png" -crop 9216x576+0+0 +repage "$work/back.png" -composite \
  "$work/solid.png" -composite \( "$work/light.png" -evaluate multiply 0.375 \) \
  -compose plus -composite "$work/world.png"
convert "$work/world.png" -resize 25% -crop 768x144 +repage -append "$out/stage.png"

glyph() {  # one character of the font, keyed
  local code col row
  code=$(printf '%d' "'$1")
  col=$((code % 16)) row=$((code / 16))
  convert vdfont.png -crop "17x27+$((col * 17))+$((row * 27))" +repage \
    -transparent 'rgb(244,0,244)' "$work/glyph.png"
}

text() {  # text x y: prints into $work/frame.png
  local s=$1 x=$2 y=$3 i
  for ((i = 0; i < ${#s}; i++)); do
    if [ "${s:i:1}" != " " ]; then
      glyph "${s:i:1}"
      convert "$work/frame.png" "$work/glyph.png" -geometry "+$((x + i * 17))+$y" -composite \
        "$work/frame.png"
    fi
  done
}

over() {  # picture x y [compose]
  convert "$work/frame.png" "$1" -geometry "+$2+$3" -compose "${4:-over}" -composite \
    "$work/frame.png"
}

frame() {  # name world_x: one composed frame with the stage scrolled to world_x
  local name=$1 wx=$2
  convert "$work/stars.png" -crop 1024x600+$((wx / 4 % 3000))+0 +repage "$work/frame.png"
  convert "$work/back.png" -crop "1024x576+$wx+0" +repage "$work/b.png"
  convert "$work/solid.png" -crop "1024x576+$wx+0" +repage "$work/s.png"
  convert "$work/light.png" -crop "1024x576+$wx+0" +repage -evaluate multiply 0.375 "$work/l.png"
  over "$work/b.png" 0 0
  over "$work/s.png" 0 0
  # Enemies with their flames turned to the right, then the player's flame and ship.
  convert burner_01b.png -rotate 180 "$work/flame.png"
  over "$work/flame.png" $((620 + 64 - 8)) $((180 + 16)) plus
  over ship_002.png 620 180
  over "$work/flame.png" $((760 + 64 - 8)) $((330 + 16)) plus
  over ship_003.png 760 330
  over "$work/flame.png" $((860 + 80 - 8)) $((230 + 16)) plus
  over ship_004.png 860 230
  over burner_01a.png $((240 - 24)) $((280 + 16)) plus
  over ship_001.png 240 280
  over blast_004.png 530 208 plus
  over blast_004.png 766 248 plus
  over blast_004.png 766 275 plus
  over blast_002.png 690 358 plus
  for x in 330 430; do
    over blast_001.png $x $((280 + 13)) plus
    over blast_001.png $x $((280 + 34)) plus
  done
  over explode_06.png 470 120 plus
  over spark4.png 600 300 plus
  over "$work/l.png" 0 0 plus
  over overhub.png 0 536
  convert shieldbar.png -crop 150x8+0+0 +repage "$work/bar.png"; over "$work/bar.png" 70 544
  convert armorbar.png -crop 184x8+0+0 +repage "$work/bar.png"; over "$work/bar.png" 70 562
  convert energybar.png -crop 96x8+0+0 +repage "$work/bar.png"; over "$work/bar.png" 70 581
  text 3 $((406 - 17)) 573
  text 12450 $((674 - 5 * 17)) 573
  convert $(for g in 0 1 2; do for k in a b c d e f g h; do echo "rank$g$k.png"; done; done) \
    +append "$work/rank.png"
  over "$work/rank.png" 774 574
  text "FPS: 59/60" 804 0
  cp "$work/frame.png" "$out/$name.png"
}

frame frame_approach 200
frame frame_cave 2300
frame frame_station 5000
frame frame_hangar 5500
frame frame_exit 7700
frame frame_planet 8300
echo "preview: $out"
