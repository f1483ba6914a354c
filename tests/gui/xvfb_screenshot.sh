#!/usr/bin/env bash
# Starts the desktop program in a real X window on a virtual display, lays out an example
# library, takes a screenshot of the window as the X server shows it, and checks that the
# picture holds plates (blue), laid-out parts (green) and the plates' captions (light blue).
# Usage: xvfb_screenshot.sh ORVOPACKING [OUTPUT.png]
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
library="$root/examples/brackets.preSrc"
[ -f "$library" ] || library="$root/examples/worked_example.preSrc"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shot=${2:-$work/screenshot.png}
case "$shot" in /*) ;; *) shot="$(pwd)/$shot" ;; esac

cd "$work"
xvfb-run -a -s "-screen 0 1600x800x24" \
  timeout 240 "$program" --layout --screenshot "$shot" "$library"

[ -s "$shot" ] || { echo "xvfb_screenshot: no screenshot taken"; exit 1; }
histogram=$(convert "$shot" -format %c histogram:info:-)
count() { echo "$histogram" | awk -v c="$1" 'index($0, c) { sum += $1 } END { print sum + 0 }'; }
plate=$(count '#0000FF')
part=$(count '#00FF00')
caption=$(count '#A0C8FF')
echo "xvfb_screenshot: $library: $plate plate pixels, $part part pixels, $caption caption pixels"
if [ "$plate" -lt 500 ] || [ "$part" -lt 500 ]; then
  echo "xvfb_screenshot: the window does not show a laid-out library"
  exit 1
fi
[ "$caption" -ge 10 ] || { echo "xvfb_screenshot: the plates carry no captions"; exit 1; }
[ -f "$work/重力排样计算时间.txt" ] || { echo "xvfb_screenshot: the layout did not run"; exit 1; }
echo "xvfb_screenshot: passed"
