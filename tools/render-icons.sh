#!/usr/bin/env bash
# Renders the program icon's PNGs from its SVG. Run by hand after changing the SVG and
# commit the results: the build and the package take the PNGs as they are, so building
# needs no SVG renderer. Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../Application/resources/icons"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" varlin.svg --output "varlin-$size.png"
done
