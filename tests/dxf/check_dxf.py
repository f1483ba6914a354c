"""Writes sample drawings with make_dxf_sample and reads them back with ezdxf.

Usage: check_dxf.py MAKE_DXF_SAMPLE LIBRARY
"""

import json
import subprocess
import sys
import tempfile
from collections import Counter
from pathlib import Path

import ezdxf

BYLAYER = 256
FRAME, PLAIN, TURNED = 4, 3, 2


def fail(message):
    print("check_dxf: " + message)
    sys.exit(1)


def read(path):
    raw = path.read_bytes()
    if b"\r\n" not in raw or raw.replace(b"\r\n", b"").find(b"\n") >= 0:
        fail(f"{path.name}: lines must end with CR LF")
    try:
        return ezdxf.readfile(str(path)).modelspace()
    except (IOError, ezdxf.DXFStructureError) as error:
        fail(f"{path.name}: not readable: {error}")


def near(a, b):
    return abs(a - b) < 1e-3 * max(1.0, abs(a), abs(b))


def check_frame(name, lines, box):
    min_x, max_x, min_y, max_y = box
    corners = [(min_x, min_y), (max_x, min_y), (max_x, max_y), (min_x, max_y)]
    expected = [(corners[i], corners[(i + 1) % 4]) for i in range(4)]
    found = [((e.dxf.start.x, e.dxf.start.y), (e.dxf.end.x, e.dxf.end.y)) for e in lines]
    for (s, t) in expected:
        if not any(near(s[0], fs[0]) and near(s[1], fs[1]) and near(t[0], ft[0])
                   and near(t[1], ft[1]) for fs, ft in found):
            fail(f"{name}: no frame edge from {s} to {t}")


def check_plate_drawing(name, msp, boxes, labels, arcs):
    kinds = Counter(e.dxftype() for e in msp)
    if set(kinds) - {"LINE", "ARC", "TEXT"}:
        fail(f"{name}: unexpected entity kinds {dict(kinds)}")
    frames = [e for e in msp if e.dxftype() == "LINE" and e.dxf.color == FRAME]
    if len(frames) != 4 * len(boxes):
        fail(f"{name}: {len(frames)} frame lines for {len(boxes)} plates")
    for i, box in enumerate(boxes):
        check_frame(name, frames[4 * i:4 * i + 4], box)
    for e in frames:
        if e.dxf.layer != "1":
            fail(f"{name}: frame line on layer {e.dxf.layer}")

    edges = [e for e in msp if e.dxftype() in ("LINE", "ARC") and e.dxf.color in (PLAIN, TURNED)]
    colours = {e.dxf.color for e in edges}
    if colours != {PLAIN, TURNED}:
        fail(f"{name}: part edge colours {colours}, expected plain and turned-over parts")
    if any(e.dxf.layer != "1" for e in edges):
        fail(f"{name}: part edges must be on layer 1")
    if arcs and not any(e.dxftype() == "ARC" for e in edges):
        fail(f"{name}: the arcs of the parts are missing")
    packing_lines = [e for e in msp if e.dxftype() == "LINE" and e.dxf.color == BYLAYER]
    if len(packing_lines) != len(boxes):
        fail(f"{name}: {len(packing_lines)} packing-length lines for {len(boxes)} plates")

    texts = [e for e in msp if e.dxftype() == "TEXT"]
    part_labels = sorted(e.dxf.text for e in texts if e.dxf.layer == "2")
    if part_labels != sorted(labels):
        fail(f"{name}: part labels {part_labels}, expected {sorted(labels)}")
    notes = [e.dxf.text for e in texts if e.dxf.layer == "1"]
    if len(notes) != 4 * len(boxes) or not all(
            any(n.startswith(key) for n in notes)
            for key in ("ID=", "Length=", "PackingLength=", "Packed Parts Number=")):
        fail(f"{name}: plate annotations {notes}")


def check_part_file(name, msp, edges):
    kinds = Counter(e.dxftype() for e in msp)
    if kinds != Counter({"LINE": edges, "TEXT": 1, "POINT": 1}):
        fail(f"{name}: entities {dict(kinds)}, expected {edges} lines, a text and a point")
    for e in msp:
        layer = "2" if e.dxftype() == "TEXT" else "0"
        if e.dxf.layer != layer or e.dxf.color != BYLAYER:
            fail(f"{name}: {e.dxftype()} on layer {e.dxf.layer} colour {e.dxf.color}")


def main():
    maker, library = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run([maker, library, folder], check=True)
        out = Path(folder)
        expect = json.loads((out / "expect.json").read_text())
        labels = expect["plate_labels"]
        check_plate_drawing("AllPlts.dxf", read(out / "AllPlts.dxf"), expect["plates"],
                            labels + [expect["other_label"]], expect["arcs"])
        check_plate_drawing(expect["plate_file"], read(out / expect["plate_file"]),
                            expect["plates"][:1], labels, expect["arcs"])
        check_part_file(expect["part_file"], read(out / expect["part_file"]),
                        expect["part_edges"])
    print("check_dxf: the drawings read back as written")


if __name__ == "__main__":
    main()
