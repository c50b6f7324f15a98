#!/usr/bin/env bash
# Draws the background pictures of the game's menu and play screen into
# assets/ with ImageMagick: menu.png and game.png at 798 x 598 pixels, and
# menu@2x.png and game@2x.png at twice that for screens scaled to 200 %. Run
# it again after changing a colour; the results are committed so that a build
# needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

bold_font=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc
[ -f "$bold_font" ] || bold_font=Noto-Sans-CJK-JP-Bold

# Soft scattered kana, like letters drifting down the window, at scale s.
scatter() {
  local s=$1 size=$2 colour=$3
  shift 3
  local args=()
  while [ $# -ge 3 ]; do
    args+=(-pointsize "$((size * s))" -fill "$colour" -annotate "+$(($1 * s))+$(($2 * s))" "$3")
    shift 3
  done
  printf '%s\0' "${args[@]}"
}

# Both pictures at scale s (1 or 2), into files ending in suffix.
draw() {
  local s=$1 suffix=$2
  local menu_kana game_kana
  mapfile -d '' menu_kana < <(scatter "$s" 46 '#ffffff66' \
    40 90 あ 130 260 か 70 470 さ 210 560 た 660 120 な 720 300 は 610 520 ま 740 470 や \
    530 230 ら 700 200 わ 250 400 ん 560 330 き)

  convert -size $((798 * s))x$((598 * s)) gradient:'#f7f4ff'-'#b4b4f2' \
    -font "$bold_font" "${menu_kana[@]}" \
    -fill '#ffffff55' -stroke none \
    -draw "roundrectangle $((166 * s)),$((30 * s)) $((626 * s)),$((178 * s)) $((28 * s)),$((28 * s))" \
    -gravity north -pointsize $((64 * s)) -fill '#3c3c8c55' -annotate +0+$((43 * s)) 'Yubimaru' \
    -fill '#2a2a78' -annotate -$((3 * s))+$((40 * s)) 'Yubimaru' \
    -pointsize $((22 * s)) -fill '#4a4a90' -annotate -$((3 * s))+$((128 * s)) 'ローマ字タイピング' \
    -strip "assets/menu$suffix.png"

  mapfile -d '' game_kana < <(scatter "$s" 40 '#ffffff55' \
    250 120 あ 420 200 い 330 330 う 480 300 え 300 470 お 520 90 か)

  convert -size $((798 * s))x$((598 * s)) gradient:'#f2f0ff'-'#bdbdf4' \
    -font "$bold_font" "${game_kana[@]}" \
    -fill '#ffffff66' -stroke '#9a9ae0' -strokewidth "$s" \
    -draw "roundrectangle $((20 * s)),$((4 * s)) $((190 * s)),$((170 * s)) $((14 * s)),$((14 * s))" \
    -draw "circle $((100 * s)),$((360 * s)) $((100 * s)),$((296 * s))" \
    -draw "roundrectangle $((568 * s)),$((20 * s)) $((772 * s)),$((380 * s)) $((14 * s)),$((14 * s))" \
    -stroke '#e0606080' -strokewidth $((2 * s)) \
    -draw "line $((222 * s)),$((407 * s)) $((570 * s)),$((407 * s))" \
    -strip "assets/game$suffix.png"
}

draw 1 ''
draw 2 '@2x'
