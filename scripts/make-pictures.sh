#!/usr/bin/env bash
# Draws the background pictures of the game's menu and play screen into
# assets/ (798 x 598 pixels each) with ImageMagick. Run it again after changing
# a colour; the results are committed so that a build needs no ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."

bold_font=/usr/share/fonts/opentype/noto/NotoSansCJK-Bold.ttc
[ -f "$bold_font" ] || bold_font=Noto-Sans-CJK-JP-Bold

# Soft scattered kana, like letters drifting down the window.
scatter() {
  local size=$1 colour=$2
  shift 2
  local args=()
  while [ $# -ge 3 ]; do
    args+=(-pointsize "$size" -fill "$colour" -annotate "+$1+$2" "$3")
    shift 3
  done
  printf '%s\0' "${args[@]}"
}

mapfile -d '' menu_kana < <(scatter 46 '#ffffff66' \
  40 90 あ 130 260 か 70 470 さ 210 560 た 660 120 な 720 300 は 610 520 ま 740 470 や \
  530 230 ら 700 200 わ 250 400 ん 560 330 き)

convert -size 798x598 gradient:'#f7f4ff'-'#b4b4f2' \
  -font "$bold_font" "${menu_kana[@]}" \
  -fill '#ffffff55' -stroke none -draw 'roundrectangle 166,30 626,178 28,28' \
  -gravity north -pointsize 64 -fill '#3c3c8c55' -annotate +0+43 'Yubimaru' \
  -fill '#2a2a78' -annotate -3+40 'Yubimaru' \
  -pointsize 22 -fill '#4a4a90' -annotate -3+128 'ローマ字タイピング' \
  -strip assets/menu.png

mapfile -d '' game_kana < <(scatter 40 '#ffffff55' \
  250 120 あ 420 200 い 330 330 う 480 300 え 300 470 お 520 90 か)

convert -size 798x598 gradient:'#f2f0ff'-'#bdbdf4' \
  -font "$bold_font" "${game_kana[@]}" \
  -fill '#ffffff66' -stroke '#9a9ae0' -strokewidth 1 \
  -draw 'roundrectangle 20,4 190,170 14,14' \
  -draw 'circle 100,360 100,296' \
  -draw 'roundrectangle 568,20 772,380 14,14' \
  -stroke '#e0606080' -strokewidth 2 -draw 'line 222,407 570,407' \
  -strip assets/game.png
