#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draw the selection marker: four white corner strokes with a black edge.

It is a three-colour picture (white, black, transparent), so it is drawn
directly with hard pixel tests instead of a renderer: any antialiasing would
add half-transparent greys that look muddy over the board.

usage: marker.py SCALE OUT.pam     (SCALE 1 -> 64x63, 2 -> 128x126)

It writes a plain PAM file; render.sh turns it into the PNG with ImageMagick.
"""
import math
import sys

WIDTH, HEIGHT = 64, 63
# The strokes follow a circle about 60 px across round the middle of the
# cell, so the four of them read as one ring around the selected ball.
RING_RADIUS = 30.0
CENTRE = ((WIDTH - 1) / 2, (HEIGHT - 1) / 2)   # in pixel-centre coordinates
WHITE_HALF = 1.25    # white core 2-3 px wide at 1x
EDGE = 1.2           # black edge 1-2 px around it

# Ends of each stroke's white core, at 1x pixel centres.
STROKES = [
    ((16, 6), (6, 17)),     # top left
    ((45, 4), (57, 16)),    # top right
    ((3, 47), (17, 58)),    # bottom left
    ((57, 48), (50, 59)),   # bottom right
]


def arc_through(p, q, radius):
    """Circle of the given radius through p and q, centred on the side of the
    cell's centre (so the stroke is concave towards the ball)."""
    mx, my = (p[0] + q[0]) / 2, (p[1] + q[1]) / 2
    dx, dy = q[0] - p[0], q[1] - p[1]
    half = math.hypot(dx, dy) / 2
    h = math.sqrt(max(radius * radius - half * half, 0.0))
    nx, ny = -dy / (2 * half), dx / (2 * half)
    c1 = (mx + nx * h, my + ny * h)
    c2 = (mx - nx * h, my - ny * h)
    dist = lambda c: math.hypot(c[0] - CENTRE[0], c[1] - CENTRE[1])
    c = c1 if dist(c1) < dist(c2) else c2
    a0 = math.atan2(p[1] - c[1], p[0] - c[0])
    a1 = math.atan2(q[1] - c[1], q[0] - c[0])
    span = (a1 - a0 + math.pi) % (2 * math.pi) - math.pi   # short way round
    return c, a0, span


ARCS = [(arc_through(p, q, RING_RADIUS), p, q) for p, q in STROKES]


def distance_to_strokes(x, y):
    best = float("inf")
    for (c, a0, span), p, q in ARCS:
        a = math.atan2(y - c[1], x - c[0])
        t = ((a - a0 + math.pi) % (2 * math.pi) - math.pi) / span
        if 0.0 <= t <= 1.0:
            d = abs(math.hypot(x - c[0], y - c[1]) - RING_RADIUS)
        else:   # round caps past the ends
            d = min(math.hypot(x - p[0], y - p[1]), math.hypot(x - q[0], y - q[1]))
        best = min(best, d)
    return best


def render(scale):
    rows = []
    for j in range(HEIGHT * scale):
        row = bytearray()
        for i in range(WIDTH * scale):
            # centre of this output pixel in 1x pixel-centre coordinates
            x = (i + 0.5) / scale - 0.5
            y = (j + 0.5) / scale - 0.5
            d = distance_to_strokes(x, y)
            if d <= WHITE_HALF:
                row += b"\xff\xff\xff\xff"
            elif d <= WHITE_HALF + EDGE:
                row += b"\x00\x00\x00\xff"
            else:
                row += b"\x00\x00\x00\x00"
        rows.append(bytes(row))
    return WIDTH * scale, HEIGHT * scale, b"".join(rows)


def pam(width, height, raw):
    header = "P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
    return (header % (width, height)).encode() + raw


if __name__ == "__main__":
    scale, out = int(sys.argv[1]), sys.argv[2]
    with open(out, "wb") as f:
        f.write(pam(*render(scale)))
