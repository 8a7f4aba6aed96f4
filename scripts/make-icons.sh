#!/usr/bin/env bash
# Renders the program icon's images and brightfold.ico from resources/brightfold.svg.
# Run it after changing the drawing and commit what it writes; the build only reads the results.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick (imagemagick).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
resources=$top/resources
svg=$resources/brightfold.svg

for tool in rsvg-convert convert; do
    command -v "$tool" >/dev/null || { echo "make-icons.sh: $tool is missing" >&2; exit 1; }
done

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# No time stamps or other metadata, so that an unchanged drawing gives unchanged files.
plain=(-strip -define png:exclude-chunks=date,time)

# The images in the order Windows and the program's QIcon get them: the two 256-colour images
# first, then the full-colour ones from large to small. resources/CMakeLists.txt lists the same.
images=()
for size in 32 16; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$scratch/$size.png"
    # PNG8: a palette of at most 256 colours with one fully transparent entry.
    convert "$scratch/$size.png" "${plain[@]}" "PNG8:$resources/icons/brightfold-$size-indexed.png"
    images+=("$resources/icons/brightfold-$size-indexed.png")
done
for size in 128 48 32 16; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "$scratch/$size.png"
    # PNG32: 8-bit RGBA, whatever colours the image happens to use.
    convert "$scratch/$size.png" "${plain[@]}" "PNG32:$resources/icons/brightfold-$size.png"
    images+=("$resources/icons/brightfold-$size.png")
done

# ImageMagick stores a palette image as an 8-bit entry and an RGBA one as a 32-bit entry.
ico=$resources/brightfold.ico
convert \( "${images[0]}" -type PaletteAlpha \) \( "${images[1]}" -type PaletteAlpha \) \
    "${images[@]:2}" "$ico"

# Check the icon directory: width, height and bits per pixel of each entry, in order.
expected="32x32:8 16x16:8 128x128:32 48x48:32 32x32:32 16x16:32"
mapfile -t header < <(od -An -v -tu1 -w1 -N $((6 + 6 * 16)) "$ico")
actual=()
for ((entry = 0; entry < header[4] + 256 * header[5]; ++entry)); do
    at=$((6 + 16 * entry))
    actual+=("$((header[at]))x$((header[at + 1])):$((header[at + 6] + 256 * header[at + 7]))")
done
if [[ ${actual[*]} != "$expected" ]]; then
    echo "make-icons.sh: $ico holds ${actual[*]}, not $expected" >&2
    exit 1
fi
echo "Wrote ${#images[@]} images to resources/icons/ and resources/brightfold.ico ($expected)"
