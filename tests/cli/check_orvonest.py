#!/usr/bin/env python3
"""Checks of the batch command: check_orvonest.py ORVONEST EXAMPLES_DIR CASE."""

import json
import os
import re
import subprocess
import sys
import tempfile

ORVONEST, EXAMPLES, CASE = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args, cwd=None):
    return subprocess.run([ORVONEST, *args], capture_output=True, cwd=cwd, timeout=240)


def example(name):
    return os.path.join(EXAMPLES, name)


def read(folder, name, encoding="gbk"):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read().decode(encoding)


def check_part_info(text, count):
    lines = text.split("\r\n")
    check(lines[-1] == "" and "\n" not in text.replace("\r\n", ""), "PartInfo.txt ends every line with CR LF")
    check(re.fullmatch(r"PartQuantity = %d, OrAreaOfAllPartsArea = \S+" % count, lines[0]) is not None,
          "PartInfo.txt first line: " + lines[0])
    check(lines[1] == " " * 15 + "%15s%15s%15s" % ("Quantity", "OrArea", "AreaRatio"), "PartInfo.txt header")
    names = ["BigPart", "MediumPart", "SmallPart", "SquarePart", "Big&SquarePart"]
    for name, line in zip(names, lines[2:7]):
        fields = re.fullmatch(r"(.{15})(.{15})(.{15})(.{14})%", line)
        check(fields is not None and fields.group(1).strip() == name, "PartInfo.txt row " + repr(line))
    sizes = [int(line[15:30]) for line in lines[2:5]]
    check(sum(sizes) == count, "big, medium and small add up to the part count")


def worked_example():
    with tempfile.TemporaryDirectory() as out:
        result = run("--layout", "none", "--json", "-C", out, example("worked_example.preSrc"))
        check(result.returncode == 0, "exit status 0")
        stamp = read(out, "PackError.txt")
        check(re.fullmatch(r"\d{4}年\d{1,2}月\d{1,2}日, \d{1,2}时\d{1,2}分\d{1,2}秒\r\n", stamp) is not None,
              "PackError.txt holds the time stamp: " + repr(stamp))
        check_part_info(read(out, "PartInfo.txt"), 1)
        summary = json.loads(result.stdout)
        check(summary["partsRead"] == 1 and summary["partsDropped"] == [], "one part read, none dropped")
        parts = summary["parts"]
        check(len(parts) == 1 and parts[0]["name"] == "P-001" and parts[0]["plateId"] == -1, "the part")
        check(summary["unplaced"] == [0] and summary["plates"] == [], "no layout")
        config = summary["config"]
        check(config["partToPartGap"] == 5 and config["plateWidth"] == 1500 and
              config["packingPointDistance"] == 15 and config["rotationNumber"] == 4 and
              config["turnOver"] is True, "configuration in use: %s" % config)


def faulty_arcs():
    with tempfile.TemporaryDirectory() as out:
        result = run("--layout", "none", "--json", "-q", "-C", out, example("bad_arc.preSrc"))
        check(result.returncode == 0, "exit status 0")
        summary = json.loads(result.stdout)
        dropped = {p["name"] for p in summary["partsDropped"]}
        check(dropped == {"SHORT-ARC", "TINY-ARC"}, "dropped parts: %s" % dropped)
        check(sorted(p["partId"] for p in summary["parts"]) == [0, 3, 4], "partIds keep their gaps")
        report = read(out, "PackError.txt")
        check("以上错误发生于零件:TINY-ARC\r\n" in report and "半径绝对值太小!" in report,
              "the chord error is reported")
        check(result.stderr == b"", "-q keeps standard error quiet")


def brackets_layout():
    with tempfile.TemporaryDirectory() as out:
        result = run("--json", "-C", out, example("brackets.preSrc"))
        check(result.returncode == 0, "exit status 0: " + result.stderr.decode())
        summary = json.loads(result.stdout)
        check(summary["partsRead"] >= 30 and summary["partsDropped"] == [], "tens of parts, none dropped")
        check(summary["unplaced"] == [], "every part placed")
        plates = summary["plates"]
        check(len(plates) >= 1 and all(p["partCount"] > 0 for p in plates), "no empty plate kept")
        check(sum(p["partCount"] for p in plates) == len(summary["parts"]), "plate counts add up")
        check(all(0 < p["utilisation"] < 1 for p in plates), "utilisation between 0 and 1")
        ids = {p["id"] for p in plates}
        check(all(p["plateId"] in ids for p in summary["parts"]), "parts lie on listed plates")
        check(os.path.exists(os.path.join(out, "重力排样计算时间.txt")), "timing file in the work folder")
        check(b"layout: plate 1 done" in result.stderr, "plain progress lines off a terminal")
        again = run("--json", "-q", "-C", out, example("brackets.preSrc"))
        check(json.loads(again.stdout)["parts"] == summary["parts"], "the same input gives the same layout")


def settings():
    with tempfile.TemporaryDirectory() as out:
        result = run("--layout", "none", "--json", "--rn", "6", "--ppd", "12.5", "-C", out,
                     example("worked_example.preSrc"))
        config = json.loads(result.stdout)["config"]
        check(config["rotationNumber"] == 6 and config["packingPointDistance"] == 12.5, "RN and PPD set")
        for option, value, text in [("--rn", "361", "旋转次数错误! RN 不能大于 360"), ("--ppd", "0", "排样点错误!"),
                                    ("--ppd", "0.0001", "排样点错误!")]:
            refused = run("--layout", "none", option, value, "-C", out, example("worked_example.preSrc"))
            check(refused.returncode == 2, option + " " + value + " is a usage error")
            check(("Warning!: " + text).encode() in refused.stderr, option + " shows its message")


def usage_errors():
    with tempfile.TemporaryDirectory() as out:
        lib = example("worked_example.preSrc")
        for args in [[], ["--layout", "sideways", lib], ["--rn", "many", lib], ["--bogus", lib]]:
            check(run("-C", out, *args).returncode == 2, "usage error for %s" % args)
        check(run("--help").returncode == 0 and b"--layout" in run("--help").stdout, "--help")
        check(run("--version").stdout.startswith(b"orvonest "), "--version")
        # A report asked for but not written is a failure for a script, plate or no plate.
        for report in [["--report", "5"], ["--report"]]:
            check(run("-q", "--layout", "none", *report, "-C", out, lib).returncode == 2,
                  "%s without that plate is a usage error" % report)
        missing = run("-C", out, os.path.join(out, "missing.preSrc"))
        check(missing.returncode == 1, "an unreadable library ends with 1")
        check("Warning!: 零件数据文件读取失败!".encode() in missing.stderr, "and says so")


def output_failures():
    with tempfile.TemporaryDirectory() as out:
        blocker = os.path.join(out, "file")
        open(blocker, "w").close()
        result = run("--layout", "none", "-C", os.path.join(blocker, "sub"), example("worked_example.preSrc"))
        check(result.returncode == 3, "a work folder that cannot be made ends with 3")
        folder = os.path.join(out, "work")
        os.makedirs(os.path.join(folder, "PartInfo.txt"))  # a folder where the file should go
        result = run("--layout", "none", "-C", folder, example("worked_example.preSrc"))
        check(result.returncode == 3, "an output file that cannot be written ends with 3")
        check("零件信息文件输出错误!".encode() in result.stderr, "and the message says which")
        # The error report and the timing file: folders where the files should go.
        for name, layout, text in [("PackError.txt", "none", "排样错误报告文件输出失败!"),
                                   ("重力排样计算时间.txt", "hape", "记录排样计算时间的文件输出失败!")]:
            folder = os.path.join(out, "blocked-" + layout)
            os.makedirs(os.path.join(folder, name))
            result = run("-q", "--layout", layout, "--json", "-C", folder, example("worked_example.preSrc"))
            check(result.returncode == 3, "%s that cannot be written ends with 3" % name)
            check(text.encode() in result.stderr, "and says so: " + text)
        laid_out = json.loads(result.stdout)
        check(laid_out["unplaced"] == [], "the layout runs all the same without its timing file")


def rectangle_record(name, width, height):
    """One PARTINFO record (name as bytes) of a width x height rectangle."""
    rows = ["0,0,0", "5,0,0", "0,%d,0" % width, "0,%d,%d" % (width, height), "0,0,%d" % height, "0,0,0"]
    body = "".join("%d,0,L,0,0,%s\n" % (i, row) for i, row in enumerate(rows)).encode()
    return b"PARTINFO\nNameID=" + name + b"\npointNum=6\n" + body + b"_end_\n"


def dxf_x_extent(data):
    lines = data.decode("gbk").split("\r\n")
    xs = [float(lines[i + 1]) for i in range(len(lines) - 1) if lines[i] in (" 10", " 11")]
    return max(xs) - min(xs)


def part_drawing_names():
    # Equal names, names equal once made safe, names of the plate drawings, a GBK name.
    names = [b"A", b"A", b"a/b", b"a_b", b"AllPlts", b"PltID=0", "垫片-1".encode("gbk")]
    expected = ["A.dxf", "A (2).dxf", "a_b.dxf", "a_b (2).dxf", "AllPlts (2).dxf", "PltID=0 (2).dxf",
                "垫片-1.dxf"]
    library = b"CONFIGINFO\npartToPartGap   =5\npartToMplateGap =10\nstaPlate_0      =3000\n" \
              b"staPlate_1      =1500\nbPartTurnover   =1\n_end_\n"
    library += b"".join(rectangle_record(name, 100 + 10 * k, 50) for k, name in enumerate(names))
    with tempfile.TemporaryDirectory() as out:
        path = os.path.join(out, "names.preSrc")
        with open(path, "wb") as f:
            f.write(library)
        folder = os.path.join(out, "drawings")
        result = run("-q", "--json", "--export-all", "--export-plates", "--export-parts", "-C", folder, path)
        check(result.returncode == 0, "exit status 0: " + result.stderr.decode())
        listed = {entry["partId"]: entry["file"] for entry in json.loads(result.stdout)["partFiles"]}
        check([listed.get(k) for k in range(len(names))] == expected, "partFiles: %s" % listed)
        on_disk = set(os.listdir(os.fsencode(folder)))
        for k, name in enumerate(expected):
            check(name.encode() in on_disk, name + " written under its UTF-8 name")
            if name.encode() in on_disk:
                with open(os.path.join(folder, name), "rb") as f:
                    check(dxf_x_extent(f.read()) == 100 + 10 * k, name + " holds its own part")
        for plate_drawing in ["AllPlts.dxf", "PltID=0.dxf"]:
            check("ID=0,Name:Plt" in read(folder, plate_drawing), plate_drawing + " is still the plate drawing")


globals()[CASE]()
for failure in failures:
    print("FAILED:", failure)
print("%s: %d failed" % (CASE, len(failures)))
sys.exit(1 if failures else 0)
