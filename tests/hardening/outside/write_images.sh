#!/usr/bin/env bash
# Writes image files the way programs other than OpenCV write them, into DIR:
# ImageMagick, libtiff's own tools and Python's tifffile, each in the layouts
# that they make (strips and tiles, planes stored apart, palettes, 12- and
# 16-bit samples, compressed and not). The module must decode each of them
# exactly as OpenCV's own reader does. File names say writer and layout.
set -euo pipefail
dir=$1
mkdir -p "$dir"
cd "$dir"

# Debian's ImageMagick 6; a plain "convert" on the PATH may be something else.
magick=$(command -v convert-im6.q16 || true)
for tool in "$magick" tiffcp /usr/bin/python3; do
    if [ -z "$tool" ] || ! command -v "$tool" >/dev/null; then
        echo "write_images: missing ${tool:-convert-im6.q16} (Debian: imagemagick libtiff-tools python3-tifffile)" >&2
        exit 1
    fi
done

size=1200x900
im() { "$magick" -size "$size" "$@"; }

# ImageMagick: a smooth synthetic scene, as many inspection images are.
im plasma:fractal -seed 3 -depth 8 -compress None magick_rgb8_strips.tiff
im plasma:fractal -seed 3 -depth 8 -compress Zip magick_rgb8_deflate.tiff
im plasma:fractal -seed 3 -depth 8 -compress LZW -define tiff:predictor=2 magick_rgb8_lzw_predictor.tiff
im plasma:fractal -seed 3 -depth 8 -compress RLE magick_rgb8_packbits.tiff
im plasma:fractal -seed 3 -depth 8 -interlace Plane -compress None magick_rgb8_planes_apart.tiff
im plasma:fractal -seed 3 -depth 8 -define tiff:tile-geometry=256x256 -compress Zip magick_rgb8_tiles.tiff
im plasma:fractal -seed 3 -colorspace Gray -depth 16 -compress LZW magick_grey16_lzw.tiff
im plasma:fractal -seed 3 -colorspace Gray -depth 8 -define tiff:rows-per-strip=900 -compress Zip magick_grey8_one_strip.tiff
im plasma:fractal -seed 3 -alpha set -channel A -evaluate set 60% +channel -depth 8 magick_rgba8.tiff
im plasma:fractal -seed 3 -colors 200 -type Palette -depth 8 magick_palette8.tiff
im plasma:fractal -seed 3 -colorspace Gray -type Grayscale BMP3:magick_grey8.bmp
im plasma:fractal -seed 3 -colors 16 -type Palette BMP3:magick_palette4.bmp
im plasma:fractal -seed 3 -type TrueColor BMP3:magick_rgb24.bmp
im plasma:fractal -seed 3 -type TrueColor BMP2:magick_rgb24_core_header.bmp
im plasma:fractal -seed 3 -alpha set -channel A -evaluate set 60% +channel -type TrueColorAlpha BMP:magick_rgba32_v5_header.bmp
im plasma:fractal -seed 3 -colorspace Gray -type Bilevel BMP3:magick_bilevel.bmp

# libtiff's tools rewrite a file in the layouts that libtiff itself writes.
tiffcp -c zip -r 64 magick_rgb8_strips.tiff tiffcp_rgb8_deflate_64_rows.tiff
tiffcp -c lzw:2 -t -w 128 -l 128 magick_rgb8_strips.tiff tiffcp_rgb8_lzw_tiles.tiff
tiffcp -p separate -c packbits magick_rgb8_strips.tiff tiffcp_rgb8_planes_apart_packbits.tiff
tiffcp -c zip -r 900 magick_grey16_lzw.tiff tiffcp_grey16_deflate_one_strip.tiff

# tifffile: camera-like noise, which does not compress, in its own layouts.
/usr/bin/python3 - <<'PY'
import numpy as np
import tifffile

rng = np.random.default_rng(7)
h, w = 900, 1200
grey8 = rng.integers(0, 256, (h, w), dtype=np.uint8)
grey12 = rng.integers(0, 4096, (h, w), dtype=np.uint16)
grey16 = rng.integers(0, 65536, (h, w), dtype=np.uint16)
rgb8 = rng.integers(0, 256, (h, w, 3), dtype=np.uint8)
height = rng.random((h, w), dtype=np.float32)
tifffile.imwrite('tifffile_grey8_one_strip.tiff', grey8)
tifffile.imwrite('tifffile_grey8_deflate.tiff', grey8, compression='zlib')
tifffile.imwrite('tifffile_grey12_in_16.tiff', grey12)
tifffile.imwrite('tifffile_grey16_big_endian.tiff', grey16, byteorder='>')
tifffile.imwrite('tifffile_grey16_bigtiff.tiff', grey16, bigtiff=True)
tifffile.imwrite('tifffile_rgb8_tiles.tiff', rgb8, tile=(256, 256))
tifffile.imwrite('tifffile_rgb8_planes_apart.tiff', np.moveaxis(rgb8, 2, 0), photometric='rgb',
                 planarconfig='separate')
tifffile.imwrite('tifffile_float32_height_map.tiff', height, tile=(512, 512))
tifffile.imwrite('tifffile_grey16_deflate_predictor.tiff', grey16, compression='zlib',
                 predictor=True)
tifffile.imwrite('tifffile_two_pages.tiff', np.stack([grey16, grey16[::-1]]))
PY
