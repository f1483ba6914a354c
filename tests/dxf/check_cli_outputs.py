"""Runs orvonest with every output option on a library and checks what it wrote.

Usage: check_cli_outputs.py ORVONEST LIBRARY
"""

import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import ezdxf


def fail(message):
    print("check_cli_outputs: " + message)
    sys.exit(1)


def run(orvonest, *args, expect=0):
    done = subprocess.run([orvonest, *args, "-q"], capture_output=True, text=True)
    if done.returncode != expect:
        fail(f"orvonest {' '.join(args)} ended with {done.returncode}, expected {expect}:\n"
             f"{done.stderr}")
    return done


def main():
    orvonest, library = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        out = Path(folder) / "out"
        saved = Path(folder) / "layout.pck"
        svg = Path(folder) / "layout.svg"
        run(orvonest, library, "-C", str(out), "--export-all", "--export-plates",
            "--export-parts", "--save", str(saved), "--svg", str(svg), "--report")

        msp = ezdxf.readfile(str(out / "AllPlts.dxf")).modelspace()
        if not any(e.dxftype() == "ARC" for e in msp):
            fail("AllPlts.dxf holds no arc")
        if not (out / "PltID=0.dxf").exists():
            fail("PltID=0.dxf is missing")
        if len(list(out.glob("*.dxf"))) < 3:
            fail("the part drawings are missing")
        root = ElementTree.parse(svg).getroot()
        if not root.tag.endswith("svg") or not root.findall(".//{*}path"):
            fail("layout.svg is no picture of parts")
        report = (out / "Report.txt").read_bytes().split(b"\r\n")
        if not report[0].startswith(b"Packed length:") or b"Packing density=" not in report[1]:
            fail(f"Report.txt reads {report[:2]}")

        again = Path(folder) / "again.pck"
        run(orvonest, library, "-C", str(Path(folder) / "second"), "--import", str(saved),
            "--save", str(again))
        if again.read_bytes() != saved.read_bytes():
            fail("importing the saved layout and saving it again changed the file")

        broken = Path(folder) / "broken.pck"
        broken.write_bytes(saved.read_bytes().replace(b"Part Number=", b"Part Numbr="))
        # A refused import has an exit status of its own, apart from an unreadable library.
        run(orvonest, library, "-C", str(out), "--import", str(broken), expect=4)
        run(orvonest, library, "-C", str(out), "--save", str(Path(folder) / "no" / "x.pck"),
            expect=3)
    print("check_cli_outputs: orvonest wrote every output")


if __name__ == "__main__":
    main()
