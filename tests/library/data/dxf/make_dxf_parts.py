#!/usr/bin/python3
"""Writes the DXF part drawings that the tests of the DXF part reader read, and their
expected parts, with Debian's python3-ezdxf and python3-shapely.

The expectations are worked out from the written files themselves, independently of
the program: ezdxf reads each file back, flattens every curve (INSERTs expanded) to
within 0.001 mm with ezdxf's own curve points, shapely nodes the pieces and forms the faces; a ring that
an even number of other rings contain is a part, the rings directly inside it are its
holes. Run it again after changing the drawings and commit what it writes:

    /usr/bin/python3 make_dxf_parts.py

expected.txt, one line per part, sorted by file and then by decreasing area:
    part <file> <area mm2> <holes> <min x> <min y> <max x> <max y>
and one line per file for the chains that must be refused (open, crossing, no area):
    faults <file> <count>
"""
import math
import os
import sys

import ezdxf
from shapely.geometry import LineString, Polygon
from shapely.ops import polygonize, unary_union

HERE = os.path.dirname(os.path.abspath(__file__))
FLAT = 0.001
INCH = 25.4


def new_doc(version, insunits=4):
    doc = ezdxf.new(version)
    if version != "R12":
        doc.header["$INSUNITS"] = insunits
    return doc


def rounded_slot(msp, x, y, length, radius, layer="0"):
    """Two lines and two half-circle arcs (LINE and ARC chain)."""
    msp.add_line((x, y - radius), (x + length, y - radius), dxfattribs={"layer": layer})
    msp.add_arc((x + length, y), radius, -90, 90, dxfattribs={"layer": layer})
    msp.add_line((x + length, y + radius), (x, y + radius), dxfattribs={"layer": layer})
    msp.add_arc((x, y), radius, 90, 270, dxfattribs={"layer": layer})


def square(msp, x, y, size, layer="0"):
    pts = [(x, y), (x + size, y), (x + size, y + size), (x, y + size)]
    for a, b in zip(pts, pts[1:] + pts[:1]):
        msp.add_line(a, b, dxfattribs={"layer": layer})


def r12_lines_arcs():
    doc = new_doc("R12")
    msp = doc.modelspace()
    # A slot of LINEs and half-circle ARCs with a circle hole and a quarter-rounded square.
    rounded_slot(msp, 0, 0, 120, 30)
    msp.add_circle((60, 0), 12)
    # A square whose corner is a quarter ARC drawn against the chain direction.
    msp.add_line((200, -40), (260, -40))
    msp.add_arc((260, 0), 40, 270, 0)
    msp.add_line((300, 0), (300, 40))
    msp.add_line((300, 40), (200, 40))
    msp.add_line((200, 40), (200, -40))
    # An old-style POLYLINE with a bulge (R12 has no LWPOLYLINE).
    msp.add_polyline2d([(0, 150, 0, 0, 0), (80, 150, 0, 0, 0.5), (80, 200, 0, 0, 0), (0, 200, 0, 0, -0.2)],
                       format="xyseb", close=True)
    msp.add_text("stray text", dxfattribs={"insert": (0, 80), "height": 5})
    return doc


def r2000_bulges():
    doc = new_doc("R2000")
    msp = doc.modelspace()
    # x, y, start width, end width, bulge: bulge 1 is a half circle, -0.4 a concave arc,
    # 1.5 an arc of more than a half circle.
    msp.add_lwpolyline(
        [(0, 0, 0, 0, 0), (150, 0, 0, 0, 1), (150, 80, 0, 0, 0), (90, 80, 0, 0, -0.4),
         (40, 80, 0, 0, 0), (0, 80, 0, 0, 0)],
        format="xyseb", close=True)
    msp.add_circle((40, 40), 15)
    msp.add_circle((100, 40), 10)
    # A frame with a part drawn in its hole (a nest): two parts and one hole.
    msp.add_lwpolyline([(300, 0), (500, 0), (500, 200), (300, 200)], close=True)
    msp.add_lwpolyline([(325, 25), (475, 25), (475, 175), (325, 175)], close=True)
    msp.add_lwpolyline([(350, 50, 0, 0, 0), (450, 50, 0, 0, 0.3), (450, 150, 0, 0, 0),
                        (350, 150, 0, 0, 0)], format="xyseb", close=True)
    msp.add_mtext("ignored", dxfattribs={"insert": (0, 300)})
    return doc


def r2010_spline_ellipse():
    doc = new_doc("R2010")
    msp = doc.modelspace()
    # An outline whose top is a cubic B-spline and whose other sides are lines.
    ctrl = [(200, 0), (170, 60), (120, 110), (60, 90), (20, 120), (0, 0)]
    msp.add_open_spline(ctrl, degree=3)
    msp.add_line((0, 0), (200, 0))
    msp.add_ellipse((100, 40), major_axis=(30, 10), ratio=0.4)
    # A part bounded by two half ellipses and a polyline (elliptic arcs).
    msp.add_ellipse((400, 0), major_axis=(80, 0), ratio=0.5, start_param=0, end_param=math.pi)
    msp.add_lwpolyline([(480, 0), (480, -40), (320, -40), (320, 0)])
    # A spline that closes on itself (first and last control point the same).
    msp.add_open_spline([(600, 0), (700, 0), (700, 100), (600, 100), (600, 0)], degree=3)
    return doc


def r2018_inserts():
    doc = new_doc("R2018")
    blk = doc.blocks.new(name="BRACKET", base_point=(10, 10))
    blk.add_lwpolyline([(0, 0, 0, 0, 0), (100, 0, 0, 0, 0.5), (100, 60, 0, 0, 0), (0, 60, 0, 0, 0)],
                       format="xyseb", close=True)
    blk.add_circle((30, 30), 10)
    blk.add_arc((70, 30), 8, 0, 180)
    blk.add_line((62, 30), (78, 30))
    nested = doc.blocks.new(name="PAIR")
    nested.add_blockref("BRACKET", (0, 0))
    nested.add_blockref("BRACKET", (0, 100), dxfattribs={"rotation": 0})
    msp = doc.modelspace()
    msp.add_blockref("BRACKET", (0, 0))
    msp.add_blockref("BRACKET", (300, 0), dxfattribs={"rotation": 30})
    msp.add_blockref("BRACKET", (600, 0), dxfattribs={"xscale": -1, "rotation": 15})
    msp.add_blockref("BRACKET", (0, 300), dxfattribs={"xscale": 1.5, "yscale": 1.5})
    msp.add_blockref("BRACKET", (400, 300), dxfattribs={"yscale": -1})
    msp.add_blockref("PAIR", (800, 300), dxfattribs={"rotation": 90})
    return doc


def r2000_inches():
    doc = new_doc("R2000", insunits=1)
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0), (4, 0), (4, 2), (0, 2)], close=True)
    msp.add_circle((1, 1), 0.5)
    msp.add_arc((3, 1), 0.25, 90, 270)
    msp.add_arc((3, 1), 0.25, 270, 90)
    return doc


def r2010_faults():
    doc = new_doc("R2010")
    msp = doc.modelspace()
    doc.layers.add("CUT")
    square(msp, 0, 0, 50, layer="CUT")
    # The refused chains lie on layer BAD, which the expectations leave out.
    # An open chain: three sides of a square.
    msp.add_line((100, 0), (150, 0), dxfattribs={"layer": "BAD"})
    msp.add_line((150, 0), (150, 50), dxfattribs={"layer": "BAD"})
    msp.add_line((150, 50), (100, 50), dxfattribs={"layer": "BAD"})
    # A loop that crosses itself (bow tie).
    msp.add_lwpolyline([(200, 0), (250, 50), (250, 0), (200, 50)], close=True,
                       dxfattribs={"layer": "BAD"})
    # A loop without area: there and back again.
    msp.add_line((300, 0), (350, 0), dxfattribs={"layer": "BAD"})
    msp.add_line((350, 0), (300, 0), dxfattribs={"layer": "BAD"})
    msp.add_text("note", dxfattribs={"insert": (0, 80), "height": 5, "layer": "CUT"})
    # A part on another layer, for the layer filter.
    square(msp, 0, 200, 30, layer="MARK")
    return doc


FILES = {
    "r12_lines_arcs.dxf": (r12_lines_arcs, 0),
    "r2000_bulges.dxf": (r2000_bulges, 0),
    "r2010_spline_ellipse.dxf": (r2010_spline_ellipse, 0),
    "r2018_inserts.dxf": (r2018_inserts, 0),
    "r2000_inches.dxf": (r2000_inches, 0),
    "r2010_faults.dxf": (r2010_faults, 3),
}


def flat_points(entity, scale):
    """The entity's own exact points (not the Bezier curves of ezdxf.path) within FLAT
    millimetres."""
    kind = entity.dxftype()
    if kind == "LINE":
        return [entity.dxf.start, entity.dxf.end]
    if kind in ("ARC", "CIRCLE", "ELLIPSE", "SPLINE"):
        return list(entity.flattening(FLAT / scale))
    return []


def flat_pieces(entity, scale):
    """Line pieces of one entity (INSERTs and polylines taken apart), coordinates rounded
    for noding."""
    if entity.dxf.layer == "BAD":
        return
    if entity.dxftype() in ("INSERT", "LWPOLYLINE", "POLYLINE"):
        for sub in entity.virtual_entities():
            yield from flat_pieces(sub, scale)
        return
    pts = [(round(v.x * scale, 6), round(v.y * scale, 6)) for v in flat_points(entity, scale)]
    for a, b in zip(pts, pts[1:]):
        if a != b:
            yield LineString([a, b])


def expected_parts(filename):
    doc = ezdxf.readfile(os.path.join(HERE, filename))
    scale = INCH if doc.header.get("$INSUNITS", 0) == 1 else 1.0
    pieces = [p for e in doc.modelspace() for p in flat_pieces(e, scale)]
    rings = [Polygon(face.exterior) for face in polygonize(unary_union(pieces))]
    depth = [sum(1 for j, o in enumerate(rings) if j != i and o.contains(r)) for i, r in enumerate(rings)]
    parts = []
    for i, ring in enumerate(rings):
        if depth[i] % 2:
            continue
        holes = [r for j, r in enumerate(rings) if depth[j] == depth[i] + 1 and ring.contains(r)]
        parts.append((ring.area - sum(h.area for h in holes), len(holes), ring.bounds))
    return sorted(parts, reverse=True)


def main():
    lines = []
    for name, (make, faults) in FILES.items():
        make().saveas(os.path.join(HERE, name))
        for area, holes, box in expected_parts(name):
            lines.append(f"part {name} {area:.4f} {holes} " + " ".join(f"{v:.4f}" for v in box))
        lines.append(f"faults {name} {faults}")
    with open(os.path.join(HERE, "expected.txt"), "w", newline="\n") as out:
        out.write("\n".join(lines) + "\n")
    print("\n".join(lines))
    return 0


if __name__ == "__main__":
    sys.exit(main())
