#!/bin/sh
# Draws the pictures the windows use (ImageMagick). The PNG files are kept in
# the repository; run this again only to change a picture.
#   busy_background.png  554x36, 24 bits: background of the busy message window
#   chooser_scene.png    174x312: the model chooser's picture
#   verdanel_<n>.png     program icon in 256, 48, 32 and 16 pixels
set -e
cd "$(dirname "$0")"
BOLD=/usr/share/fonts/truetype/nanum/NanumGothicBold.ttf

# Busy window: a calm green band, lighter at the top edge, with two faint leaves
# at the right end so the white text in the middle stays easy to read.
convert -size 554x36 gradient:'#3c8f5a'-'#1f5f3a' \
  -fill none -stroke 'rgba(255,255,255,0.35)' -draw 'line 0,0 553,0' \
  -stroke 'rgba(0,0,0,0.25)' -draw 'line 0,35 553,35' \
  -stroke none -fill 'rgba(255,255,255,0.10)' \
  -draw 'path "M520,30 C500,22 505,8 530,4 C540,16 536,27 520,30 Z"' \
  -draw 'path "M540,33 C528,26 532,16 548,12 C553,22 550,30 540,33 Z"' \
  -fill 'rgba(255,255,255,0.08)' \
  -draw 'path "M24,30 C10,22 14,9 34,6 C41,17 38,27 24,30 Z"' \
  -type TrueColor -define png:color-type=2 PNG24:busy_background.png

# Chooser picture: a stream between crop fields seen from its bank, a sprayer
# driving along the farm road and its mist drifting toward the water.
convert -size 174x312 xc:'#8cc265' \
  \( -size 174x100 gradient:'#a9d8f0'-'#eaf6fb' \) -geometry +0+0 -composite \
  -stroke none -fill '#fff3b0' -draw 'circle 151,60 151,50' \
  -fill 'rgba(255,243,176,0.35)' -draw 'circle 151,60 151,45' \
  -fill '#86b98f' -draw 'path "M0,94 Q28,72 62,88 T122,82 T174,88 L174,100 L0,100 Z"' \
  -fill '#6fa978' -draw 'path "M0,99 Q40,86 80,96 T174,95 L174,101 L0,101 Z"' \
  -fill '#2f6b3f' -draw 'circle 18,93 18,87' -draw 'circle 27,94 27,89' -draw 'circle 156,92 156,86' \
  -fill '#9ccc6f' -draw 'rectangle 0,100 174,312' \
  -fill none -stroke '#7db257' -strokewidth 2 \
  -draw 'line 84,100 -60,312' -draw 'line 80,100 -140,312' -draw 'line 86,100 10,312' \
  -draw 'line 88,100 -20,312' -draw 'line 76,100 -220,312' \
  -draw 'line 106,100 200,312' -draw 'line 110,100 260,312' -draw 'line 114,100 330,312' \
  -stroke none -fill '#d9e88f' -draw 'path "M0,100 L70,100 L0,140 Z"' \
  -fill none -stroke '#c2d674' -strokewidth 2 -draw 'line 0,112 50,100' -draw 'line 0,126 34,104' \
  -stroke '#b7da8c' -strokewidth 9 \
  -draw 'path "M90,100 C84,150 112,200 44,312 L114,312 C126,205 93,150 95,100 Z"' \
  -stroke none -fill '#4a90c8' \
  -draw 'path "M90,100 C84,150 112,200 44,312 L114,312 C126,205 93,150 95,100 Z"' \
  -fill none -stroke 'rgba(170,215,245,0.85)' -strokewidth 2 \
  -draw 'path "M93,112 C92,150 108,200 82,300"' \
  -stroke 'rgba(170,215,245,0.5)' -strokewidth 1 \
  -draw 'path "M91,140 C90,170 100,200 66,290"' \
  -stroke none -fill '#dcc79b' \
  -draw 'path "M99,100 L103,100 C114,160 146,215 172,312 L140,312 C124,218 102,160 99,100 Z"' \
  -fill none -stroke '#c4ad7c' -strokewidth 1 \
  -draw 'path "M101,104 C111,162 138,218 157,312"' \
  -stroke none -fill 'rgba(255,255,255,0.55)' \
  -draw 'path "M126,238 C112,224 96,226 86,236 C94,250 112,254 126,246 Z"' \
  -fill 'rgba(255,255,255,0.35)' \
  -draw 'path "M122,236 C104,214 84,220 74,232 C82,252 104,258 122,248 Z"' \
  -fill 'rgba(230,245,255,0.9)' \
  -draw 'circle 100,234 100,233' -draw 'circle 92,240 92,239' -draw 'circle 106,244 106,243' \
  -draw 'circle 86,232 86,231' -draw 'circle 97,248 97,247' \
  -stroke '#55606a' -strokewidth 2 -draw 'line 120,241 160,241' \
  -stroke none -fill '#2b2b2b' \
  -draw 'roundrectangle 130,246 135,256 1,1' -draw 'roundrectangle 151,246 156,256 1,1' \
  -draw 'roundrectangle 130,226 135,234 1,1' -draw 'roundrectangle 151,226 156,234 1,1' \
  -fill '#f2a541' -stroke '#b86f17' -strokewidth 1 -draw 'roundrectangle 133,234 153,256 4,4' \
  -fill none -stroke '#c97f22' -draw 'line 134,244 152,244' \
  -fill '#f7f7f2' -stroke '#8a8a84' -draw 'roundrectangle 134,218 152,233 3,3' \
  -fill '#7fb6d9' -stroke none -draw 'rectangle 136,220 150,225' \
  -font "$BOLD" -pointsize 22 -gravity north \
  -fill 'rgba(255,255,255,0.8)' -annotate +1+13 'Verdanel' \
  -fill '#1f5f3a' -annotate +0+12 'Verdanel' \
  -gravity northwest -fill none -stroke 'rgba(0,0,0,0.35)' -strokewidth 1 -draw 'rectangle 0,0 173,311' \
  -type TrueColor PNG24:chooser_scene.png

# Program icon: a white leaf with a water drop on a green tile.
convert -size 256x256 xc:none \
  \( -size 256x256 gradient:'#48ad5a'-'#1e6b35' \
     \( -size 256x256 xc:black -fill white -draw 'roundrectangle 8,8 247,247 44,44' \) \
     -alpha off -compose copy_opacity -composite \) -compose over -composite \
  -fill white -stroke none \
  -draw 'path "M112,36 C40,84 36,176 112,222 C188,176 184,84 112,36 Z"' \
  -fill none -stroke '#2f8a46' -strokewidth 8 -draw 'path "M112,70 C108,120 110,170 112,206"' \
  -strokewidth 6 -draw 'line 112,120 84,96' -draw 'line 112,150 140,124' \
  -fill '#3e8ede' -stroke white -strokewidth 10 \
  -draw 'path "M188,112 C168,146 154,164 154,184 A34,34 0 0 0 222,184 C222,164 208,146 188,112 Z"' \
  -depth 8 verdanel_256.png
for n in 48 32 16; do convert verdanel_256.png -resize ${n}x${n} -depth 8 verdanel_$n.png; done
