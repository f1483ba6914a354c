#!/usr/bin/env python3
"""Writes the DXF parts of the job example, drawn as CAD users draw them.

  bracket.dxf  an L bracket of LINEs and a fillet ARC, in no particular order or direction,
               with two CIRCLE holes
  flange.dxf   a CIRCLE with a bore and six bolt holes
  cover.dxf    a rounded plate as an LWPOLYLINE with bulges, a bulge-polyline slot and two holes
  gusset.dxf   a gusset drawn once in a BLOCK and placed with a turned INSERT

Needs python3-ezdxf (Debian). Run it from anywhere; it writes next to itself:
    python3 examples/dxf-parts/make_parts.py
"""

import math
import os

import ezdxf

HERE = os.path.dirname(os.path.abspath(__file__))
QUARTER = math.tan(math.radians(90) / 4)  # the bulge of a quarter arc


def new_drawing():
    doc = ezdxf.new("R2010", setup=False)
    doc.header["$INSUNITS"] = 4  # millimetres
    doc.layers.add("CUT")
    return doc


def save(doc, name):
    doc.saveas(os.path.join(HERE, name))


def bracket():
    doc = new_drawing()
    msp = doc.modelspace()
    cut = {"layer": "CUT"}
    # The outline's pieces, some drawn backwards, the fillet in the inner corner.
    msp.add_line((200, 0), (0, 0), dxfattribs=cut)
    msp.add_line((0, 160), (40, 160), dxfattribs=cut)
    msp.add_line((200, 40), (200, 0), dxfattribs=cut)
    msp.add_arc((55, 55), 15, 180, 270, dxfattribs=cut)
    msp.add_line((0, 0), (0, 160), dxfattribs=cut)
    msp.add_line((55, 40), (200, 40), dxfattribs=cut)
    msp.add_line((40, 160), (40, 55), dxfattribs=cut)
    msp.add_circle((160, 20), 8, dxfattribs=cut)
    msp.add_circle((20, 125), 8, dxfattribs=cut)
    save(doc, "bracket.dxf")


def flange():
    doc = new_drawing()
    msp = doc.modelspace()
    msp.add_circle((0, 0), 120)
    msp.add_circle((0, 0), 50)
    for k in range(6):
        a = math.radians(60 * k + 30)
        msp.add_circle((85 * math.cos(a), 85 * math.sin(a)), 9)
    save(doc, "flange.dxf")


def cover():
    doc = new_drawing()
    msp = doc.modelspace()
    w, h, r = 300, 180, 20
    # (x, y, bulge): each corner is a quarter arc from the end of one side to the next.
    outline = [
        (r, 0, 0), (w - r, 0, QUARTER), (w, r, 0), (w, h - r, QUARTER),
        (w - r, h, 0), (r, h, QUARTER), (0, h - r, 0), (0, r, QUARTER),
    ]
    msp.add_lwpolyline(outline, format="xyb", close=True)
    slot = [(100, 75, 0), (200, 75, 1.0), (200, 105, 0), (100, 105, 1.0)]
    msp.add_lwpolyline(slot, format="xyb", close=True)
    msp.add_circle((40, 40), 10)
    msp.add_circle((260, 140), 10)
    save(doc, "cover.dxf")


def gusset():
    doc = new_drawing()
    block = doc.blocks.new("GUSSET")
    block.add_lwpolyline([(0, 0), (160, 0), (160, 15), (15, 120), (0, 120)], close=True)
    block.add_circle((35, 30), 10)
    doc.modelspace().add_blockref("GUSSET", (500, 300), dxfattribs={"rotation": 30})
    save(doc, "gusset.dxf")


if __name__ == "__main__":
    bracket()
    flange()
    cover()
    gusset()
