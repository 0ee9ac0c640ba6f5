#!/usr/bin/env bash
# Remakes the image files beside this script and the reference decodes the tests compare with:
# JPEG 2000 layouts written by opj_compress (libopenjp2-tools), their colour-space numbers set
# in the colour box afterwards where the tool has no option for them, and decoded by
# opj_decompress; a YCCK JPEG written and decoded by ImageMagick. Only needed to remake them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import sys
work = sys.argv[1]
W, H = 13, 9
def plane(w, h, f): return bytes(f(x, y) & 255 for y in range(h) for x in range(w))
def raw(name, comps):
    with open(f"{work}/{name}.raw", "wb") as out:
        for dx, dy, f in comps:
            out.write(plane(-(-W // dx), -(-H // dy), f))
luma = lambda x, y: 30 + x * 14 + y * 5
blue = lambda x, y: 60 + x * 25 + y * 9
red = lambda x, y: 200 - x * 20 - y * 7
raw("ycc420", [(1, 1, luma), (2, 2, blue), (2, 2, red)])
raw("ycc422", [(1, 1, luma), (2, 1, blue), (2, 1, red)])
raw("ycc444", [(1, 1, luma), (1, 1, blue), (1, 1, red)])
raw("lab", [(1, 1, lambda x, y: 40 + x * 15), (1, 1, lambda x, y: 60 + y * 15 + x * 3), (1, 1, lambda x, y: 200 - x * 9 - y * 8)])
raw("cmyk", [(1, 1, lambda x, y: x * 19), (1, 1, lambda x, y: y * 28), (1, 1, lambda x, y: x * y * 5), (1, 1, lambda x, y: 0 if x < 4 else 40 + y * 10)])
raw("five", [(1, 1, lambda x, y: x * 19), (1, 1, lambda x, y: y * 28), (1, 1, lambda x, y: 250 - x * 9), (1, 1, lambda x, y: 77), (1, 1, lambda x, y: 255 - y * 20)])
pixels = bytearray()
for y in range(10):
    for x in range(16):
        pixels += bytes([x * 16, 255 - y * 25, (x * y * 3) & 255])
with open(f"{work}/rgb.ppm", "wb") as out:
    out.write(b"P6\n16 10\n255\n" + pixels)
PY

lossless=(-n 2 -mct 0)
opj_compress -i "$work/ycc420.raw" -o ycc420.jp2 -F 13,9,3,8,u@1x1:2x2:2x2 "${lossless[@]}" >/dev/null 2>&1
opj_compress -i "$work/ycc422.raw" -o ycc422-offset.j2k -F 13,9,3,8,u@1x1:2x1:2x1 -d 2,1 "${lossless[@]}" >/dev/null 2>&1
opj_compress -i "$work/ycc444.raw" -o sycc.jp2 -F 13,9,3,8,u "${lossless[@]}" >/dev/null
opj_compress -i "$work/lab.raw" -o lab.jp2 -F 13,9,3,8,u "${lossless[@]}" >/dev/null
opj_compress -i "$work/cmyk.raw" -o cmyk.jp2 -F 13,9,4,8,u "${lossless[@]}" >/dev/null
opj_compress -i "$work/five.raw" -o five.jp2 -F 13,9,5,8,u "${lossless[@]}" >/dev/null
cp sycc.jp2 esycc.jp2

# The tool marks every raw input sYCC (18); set the enumerated colour space each file stands for.
python3 - <<'PY'
import struct
for name, space in [("esycc.jp2", 24), ("lab.jp2", 14), ("cmyk.jp2", 12), ("five.jp2", 16)]:
    data = bytearray(open(name, "rb").read())
    at = data.find(b"colr")
    assert data[at + 4] == 1, name  # an enumerated colour space follows
    data[at + 7:at + 11] = struct.pack(">I", space)
    open(name, "wb").write(data)
PY

for file in ycc420.jp2 ycc422-offset.j2k sycc.jp2 esycc.jp2 lab.jp2 cmyk.jp2 five.jp2; do
  opj_decompress -i "$file" -o "${file%.*}.reference.png" -upsample >/dev/null
done

convert "$work/rgb.ppm" -colorspace CMYK -quality 100 ycck.jpg
convert ycck.jpg -colorspace sRGB ycck.reference.png
