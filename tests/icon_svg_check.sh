#!/usr/bin/env bash
# Checks that the scalable icon looks like the 256 px one and needs no font:
#   icon_svg_check.sh <icon.svg> <icon-256.png>
set -euo pipefail
svg="$1"
png="$2"
if grep -Eq '<text|font-family' "$svg"; then
    echo "$svg: draws text with a font; the kanji must be an outline"
    exit 1
fi
rendered="$(mktemp --suffix=.png)"
trap 'rm -f "$rendered"' EXIT
rsvg-convert -w 256 -h 256 "$svg" -o "$rendered"
# compare exits 1 for images that differ at all; the measure is what matters.
metric="$(compare -metric RMSE "$png" "$rendered" null: 2>&1 || true)"
difference="$(sed -n 's/.*(\([0-9.e+-]*\)).*/\1/p' <<<"$metric")"
if [ -z "$difference" ]; then
    echo "could not compare the icons: $metric"
    exit 1
fi
echo "root mean square difference: $difference"
awk -v d="$difference" 'BEGIN { exit !(d < 0.02) }' || {
    echo "$svg does not look like $png"
    exit 1
}
