#!/usr/bin/env python3
"""Finds a game picture on a screenshot.

    find_picture.py SCREEN PICTURE X0 Y0 X1 Y1 [normal|additive] [MIN_SCORE]

Searches the top-left corners X0..X1, Y0..Y1 for the place where the picture's opaque pixels
(neither transparent nor the colour key 244,0,244) match the screenshot, and prints "x y" of
the best match found. A "normal" picture may have up to 37.5 % of a light layer added on top;
an "additive" picture was added to whatever lay below it, so only its bright pixels are
bounded from below. Exits with 1 when no place matches at least MIN_SCORE (default 0.9) of
the tested pixels.
"""
import math
import subprocess
import sys


def read_rgba(path):
    size = subprocess.run(["identify", "-format", "%w %h", path + "[0]"], check=True,
                          capture_output=True, text=True).stdout.split()
    width, height = int(size[0]), int(size[1])
    raw = subprocess.run(["convert", path + "[0]", "-depth", "8", "rgba:-"], check=True,
                         capture_output=True).stdout
    return width, height, raw


def main():
    screen_path, picture_path = sys.argv[1], sys.argv[2]
    x0, y0, x1, y1 = (int(v) for v in sys.argv[3:7])
    mode = sys.argv[7] if len(sys.argv) > 7 else "normal"
    min_score = float(sys.argv[8]) if len(sys.argv) > 8 else 0.9
    sw, sh, screen = read_rgba(screen_path)
    pw, ph, picture = read_rgba(picture_path)

    samples = []
    for y in range(ph):
        for x in range(pw):
            r, g, b, a = picture[(y * pw + x) * 4:(y * pw + x) * 4 + 4]
            if a < 250 or (r, g, b) == (244, 0, 244):
                continue
            if mode == "additive" and max(r, g, b) < 100:
                continue
            samples.append((x, y, r, g, b))
    if not samples:
        sys.exit("no opaque pixels in " + picture_path)
    # Brightest first: they reject a wrong place soonest.
    samples.sort(key=lambda s: -(s[2] + s[3] + s[4]))
    tolerance = 24
    headroom = 255 if mode == "additive" else 96 + tolerance

    def fits(sx, sy, sample):
        x, y, r, g, b = sample
        px, py = sx + x, sy + y
        if not (0 <= px < sw and 0 <= py < sh):
            return False
        i = (py * sw + px) * 4
        return all(p - tolerance <= s <= p + headroom
                   for p, s in ((r, screen[i]), (g, screen[i + 1]), (b, screen[i + 2])))

    probe = samples[:8]
    # The probe only skips hopeless places quickly: a looser match (a picture blended on
    # fractional pixels) lets as large a share of the probe miss as of all pixels.
    allowed_misses = max(2, math.ceil(len(probe) * (1.0 - min_score)))

    def promising(sx, sy):
        misses = 0
        for sample in probe:
            if not fits(sx, sy, sample):
                misses += 1
                if misses > allowed_misses:
                    return False
        return True

    best = (0.0, None)
    for sy in range(y0, y1 + 1):
        for sx in range(x0, x1 + 1):
            if not promising(sx, sy):
                continue
            score = sum(fits(sx, sy, s) for s in samples) / len(samples)
            if score > best[0]:
                best = (score, (sx, sy))
    if best[1] is None or best[0] < min_score:
        print("no match (best %.2f)" % best[0], file=sys.stderr)
        sys.exit(1)
    print(best[1][0], best[1][1])


if __name__ == "__main__":
    main()
