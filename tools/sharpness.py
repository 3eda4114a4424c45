#!/usr/bin/env python3
"""How much sharper a screenshot at a scale is than the 1x one stretched to its size.

    tools/sharpness.py SHOT_1X SHOT_SCALED

Both are turned grey; the 1x one is upscaled bilinearly to the scaled one's size (what a
desktop's stretch does). Prints the squared gradient energy (sum of squared differences
to the right and below neighbours, per pixel) of each and their ratio: a stretch scores
about 1.0, a true drawing at the scale about 2. Needs ImageMagick's convert.
"""
import subprocess
import sys


def grey(path, size=None):
    args = ["convert", path, "-colorspace", "gray"]
    if size:
        args += ["-filter", "Triangle", "-resize", f"{size[0]}x{size[1]}!"]
    data = subprocess.run(args + ["-depth", "8", "pgm:-"], check=True, capture_output=True).stdout
    # P5 header: magic, width, height, maxval, each followed by whitespace.
    fields, at = [], 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    width, height = int(fields[1]), int(fields[2])
    return width, height, data[at + 1:at + 1 + width * height]


def energy(width, height, pixels):
    total = 0
    for y in range(height - 1):
        row, below = y * width, (y + 1) * width
        for x in range(width - 1):
            p = pixels[row + x]
            dx = pixels[row + x + 1] - p
            dy = pixels[below + x] - p
            total += dx * dx + dy * dy
    return total / ((width - 1) * (height - 1))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    width, height, scaled = grey(sys.argv[2])
    _, _, stretched = grey(sys.argv[1], (width, height))
    e_scaled = energy(width, height, scaled)
    e_stretched = energy(width, height, stretched)
    print(f"{sys.argv[2]}: {width}x{height}, gradient energy {e_scaled:.1f}, "
          f"1x stretched {e_stretched:.1f}, ratio {e_scaled / e_stretched:.2f}")


if __name__ == "__main__":
    main()
