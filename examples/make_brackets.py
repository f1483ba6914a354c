#!/usr/bin/env python3
"""Writes brackets.preSrc: a sheet-metal part library for a 3000 x 1500 plate.

Base plates with bolt holes, L brackets with fillets, flanges, washers, gaskets, gussets
and slotted strips, with part-to-part gap 5 and plate gap 10, turn-over allowed.
Run it from anywhere; it writes next to itself:  python3 examples/make_brackets.py
"""

import math
import os

# A loop is a list of (x, y, r): a vertex and the signed radius of the edge that leaves
# it (0 straight, > 0 an arc bulging to the right of the travel, < 0 to the left).


def circle(cx, cy, r):
    """Four quarter arcs, counter-clockwise."""
    return [(cx + r, cy, r), (cx, cy + r, r), (cx - r, cy, r), (cx, cy - r, r)]


def rounded(polygon, radii):
    """A counter-clockwise polygon whose corners are rounded with the given radii
    (0 keeps a sharp corner); a convex corner gets an outward arc, a concave one an
    inward arc."""
    n = len(polygon)
    loop = []
    for i in range(n):
        vx, vy = polygon[i]
        r = radii[i]
        if r == 0:
            loop.append((vx, vy, 0.0))
            continue
        px, py = polygon[i - 1]
        nx, ny = polygon[(i + 1) % n]
        ux, uy = vx - px, vy - py
        wx, wy = nx - vx, ny - vy
        lu, lw = math.hypot(ux, uy), math.hypot(wx, wy)
        ux, uy, wx, wy = ux / lu, uy / lu, wx / lw, wy / lw
        turn = ux * wy - uy * wx
        angle = math.acos(max(-1.0, min(1.0, -(ux * wx + uy * wy))))
        t = r / math.tan(angle / 2.0)
        sign = 1.0 if turn > 0 else -1.0
        loop.append((vx - ux * t, vy - uy * t, sign * r))
        loop.append((vx + wx * t, vy + wy * t, 0.0))
    return loop


def rounded_rect(x, y, w, h, r):
    return rounded([(x, y), (x + w, y), (x + w, y + h), (x, y + h)], [r] * 4)


def slot(cx, cy, length, width):
    """An obround hole along x: each end is two quarter arcs."""
    r = width / 2.0
    a, b = cx - length / 2.0 + r, cx + length / 2.0 - r
    return [(a, cy - r, 0.0), (b, cy - r, r), (b + r, cy, r), (b, cy + r, 0.0),
            (a, cy + r, r), (a - r, cy, r)]


def bolt_circle(cx, cy, pcd, count, r, start=0.0):
    holes = []
    for k in range(count):
        a = start + 2.0 * math.pi * k / count
        holes.append(circle(cx + pcd / 2.0 * math.cos(a), cy + pcd / 2.0 * math.sin(a), r))
    return holes


def base_plate(w, h):
    holes = [circle(x, y, 9) for x in (30, w - 30) for y in (30, h - 30)]
    return rounded_rect(0, 0, w, h, 15), holes


def mounting_plate():
    holes = [circle(x, y, 11) for x in (40, 300, 560) for y in (40, 360)]
    holes.append(circle(300, 200, 60))
    return rounded_rect(0, 0, 600, 400, 20), holes


def l_bracket(a, b, t):
    outline = rounded([(0, 0), (a, 0), (a, t), (t, t), (t, b), (0, b)], [5, 5, 5, 12, 5, 5])
    holes = [circle(a - 35, t / 2.0, 7), circle(t / 2.0, b - 35, 7)]
    return outline, holes


def flange(outer, inner, pcd, bolts):
    c = outer
    return circle(c, c, outer), [circle(c, c, inner)] + bolt_circle(c, c, pcd, bolts, 9, math.pi / bolts)


def washer(outer, inner):
    return circle(outer, outer, outer), [circle(outer, outer, inner)]


def gasket(w, h, border):
    opening = rounded_rect(border, border, w - 2 * border, h - 2 * border, 10)
    holes = [opening] + [circle(x, y, 6) for x in (border / 2.0, w - border / 2.0)
                         for y in (border / 2.0, h - border / 2.0)]
    return rounded_rect(0, 0, w, h, 25), holes


def gusset(a):
    outline = rounded([(0, 0), (a, 0), (0, a)], [8, 8, 8])
    return outline, [circle(a * 0.25, a * 0.25, 8)]


def strip(length, width):
    outline = rounded_rect(0, 0, length, width, 6)
    holes = [slot(length * 0.25, width / 2.0, 80, 18), slot(length * 0.75, width / 2.0, 80, 18)]
    return outline, holes


def big_frame():
    outline = rounded([(0, 0), (1200, 0), (1200, 800), (700, 800), (700, 500), (0, 500)],
                      [25, 25, 25, 25, 40, 25])
    holes = [circle(x, y, 13) for x in (50, 600, 1150) for y in (50, 450)]
    holes.append(rounded_rect(250, 150, 300, 200, 30))
    return outline, holes


def parts():
    """(NameID, partName, shape) in file order."""
    items = []
    for i in range(6):
        items.append((f"BP-400x300-{i + 1:02d}", "base plate", base_plate(400, 300)))
    for i in range(4):
        items.append((f"MP-600x400-{i + 1:02d}", "mounting plate", mounting_plate()))
    for i in range(10):
        items.append((f"LB-250x150-{i + 1:02d}", "L bracket", l_bracket(250, 150, 50)))
    for i in range(4):
        items.append((f"FL-300-{i + 1:02d}", "法兰", flange(150, 80, 230, 8)))
    for i in range(12):
        items.append((f"WS-80-{i + 1:02d}", "washer", washer(40, 21)))
    for i in range(3):
        items.append((f"垫片-{i + 1:02d}", "gasket", gasket(300, 200, 40)))
    for i in range(4):
        items.append((f"GS-200-{i + 1:02d}", "gusset", gusset(200)))
    for i in range(4):
        items.append((f"ST-500x60-{i + 1:02d}", "slotted strip", strip(500, 60)))
    for i in range(2):
        items.append((f"FR-1200x800-{i + 1:02d}", "frame", big_frame()))
    return items


CONFIG = [
    ("nestType", "1"), ("bMirror", "0"), ("partToPartGap", "5"), ("partToMplateGap", "10"),
    ("bPartTurnover", "1"), ("bHolePart", "1"), ("maxNestPartNum", "1000"),
    ("minPartGap", "2"), ("maxPartGap", "20"), ("minMplateGap", "5"), ("maxMplateGap", "30"),
    ("precision_length", "1"), ("precision_ang", "1"), ("mplateType", "0"),
    ("feetLength_0", "0"), ("feetLength_1", "0"), ("staPlate_0", "3000"), ("staPlate_1", "1500"),
    ("minPlate_0", "1000"), ("minPlate_1", "500"), ("maxPlate_0", "6000"), ("maxPlate_1", "2000"),
    ("bAutoResize", "0"),
]


def number(v):
    text = f"{v:.4f}".rstrip("0").rstrip(".")
    return "0" if text in ("-0", "") else text


def point_lines(outer, holes):
    """Element 0, then each loop: its vertices, the closing element, a separator between
    loops. The first element of a loop carries the vertex count plus one."""
    rows = [(0.0, 0.0, 0.0)]
    for n, loop in enumerate([outer] + holes):
        if n > 0:
            rows.append((0.0, 0.0, 0.0))
        m = len(loop)
        for k, (x, y, _) in enumerate(loop):
            value = m + 1 if k == 0 else loop[k - 1][2]
            rows.append((value, x, y))
        rows.append((loop[-1][2], loop[0][0], loop[0][1]))
    return [f"{i},0,L,0,0,{number(v)},{number(x)},{number(y)}" for i, (v, x, y) in enumerate(rows)]


def library_text():
    lines = ["; sheet-metal parts for a 3000 x 1500 plate, written by make_brackets.py", "CONFIGINFO"]
    lines += [f"{key:<16}={value}" for key, value in CONFIG]
    lines.append("_end_")
    for name, part_name, (outer, holes) in parts():
        points = point_lines(outer, holes)
        lines += ["", "PARTINFO", f"NameID={name}", f"partName={part_name}", "partinf=1,0,0",
                  f"pointNum={len(points)}"] + points + ["_end_"]
    return "\r\n".join(lines) + "\r\n"


def main():
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "brackets.preSrc")
    # Part names and comments are GBK, as the libraries of Chinese workshops are.
    with open(path, "wb") as f:
        f.write(library_text().encode("gbk"))
    print(f"wrote {path}")


if __name__ == "__main__":
    main()
