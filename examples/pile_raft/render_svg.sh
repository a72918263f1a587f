#!/bin/sh
# Takes a screenshot of a plan picture in headless Chromium (no network), to check that the
# SVG renders: render_svg.sh plan.svg plan.png
# Exits 77 when Chromium is not installed (apt-get install chromium).
set -eu
svg=$1
png=$2
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "chromium not found: skipped" >&2; exit 77; }
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
rm -f "$png"
"$browser" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
  --disable-background-networking --disable-component-update --disable-sync \
  --user-data-dir="$profile" --window-size=1100,900 --screenshot="$png" \
  "file://$(cd "$(dirname "$svg")" && pwd)/$(basename "$svg")" >/dev/null 2>&1
# A blank or error page compresses to a few kilobytes; the plan has lines, shades and text.
size=$(wc -c <"$png")
[ "$size" -gt 10000 ] || { echo "screenshot too small ($size bytes)" >&2; exit 1; }
echo "rendered $svg -> $png ($size bytes)"
