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
        for option, value, text in [("--rn", "361", "旋转次数错误! RN 不能大于 360"),
                                    ("--ppd", "0", "排样点错误! PPD 0 须为大于 0 的有限数值"),
                                    ("--ppd", "0.0001", "排样点错误! PPD 0.0001 过小: 标准板材 3000 x 1500 "
                                                        "上 PPD 不能小于 0.300003")]:
            refused = run("--layout", "none", option, value, "-C", out, example("worked_example.preSrc"))
            check(refused.returncode == 2, option + " " + value + " is a usage error")
            check(("Warning!: " + text).encode() in refused.stderr, option + " shows its message")


def with_plate(folder, length, width):
    """The worked example with another standard plate size, written into folder."""
    with open(example("worked_example.preSrc"), "rb") as f:
        text = f.read()
    text = re.sub(rb"staPlate_0( *)=[^\r\n]*", rb"staPlate_0\g<1>=" + length.encode(), text)
    text = re.sub(rb"staPlate_1( *)=[^\r\n]*", rb"staPlate_1\g<1>=" + width.encode(), text)
    path = os.path.join(folder, "plate-%s-%s.preSrc" % (length, width))
    with open(path, "wb") as f:
        f.write(text)
    return path


def refused_settings():
    # Plates of size 0, negative or 1e20 used to exit 0 with every part unplaced.
    with tempfile.TemporaryDirectory() as out:
        for length, width, named in [("0", "1500", "板材长度 0"), ("-3000", "1500", "板材长度 -3000"),
                                     ("3000", "1e20", "板材宽度 1e+20"), ("1e14", "1500", "板材长度 100000000000000")]:
            result = run("--json", "-C", out, with_plate(out, length, width))
            check(result.returncode == 2, "a plate %s x %s is a refused setting (2), not %d"
                  % (length, width, result.returncode))
            check(("Warning!: 板材尺寸错误! " + named + " 须在 0.001 到 1000000 mm 之间").encode()
                  in result.stderr, "the message names %s and the bounds" % named)
            check(result.stdout == b"", "no summary for a refused library")
        result = run("-q", "--json", "-C", out, with_plate(out, "1000000", "1500"))
        check(result.returncode == 0, "the largest plate is taken")


def import_checks():
    with tempfile.TemporaryDirectory() as out:
        lib = example("brackets.preSrc")
        saved = os.path.join(out, "lay.txt")
        check(run("-q", "--save", saved, "-C", out, lib).returncode == 0, "a layout is saved")
        with open(saved, "rb") as f:
            lines = f.read().decode().split("\r\n")
        parts = [i for i, line in enumerate(lines) if line.startswith("PartID=")]

        def variant(name, edit):
            edited = list(lines)
            edit(edited)
            path = os.path.join(out, name + ".txt")
            with open(path, "wb") as f:
                f.write("\r\n".join(edited).encode())
            return path

        def twice(e):
            e[parts[1]] = lines[parts[0]]

        def far(e):
            e[parts[2] + 3] = "\tBasePt.x=1e308"

        def no_plate(e):
            e[parts[2] + 1] = "\tLocated PlateID=77"

        def turned(e):
            e[parts[3] + 5] = "\tRotation Angle=1e300"

        def inverted(e):
            e[4] = "\tmax_X=-99999"

        for name, edit, text in [
                ("twice", twice, "零件ID信息错误! 第 2 个零件块 (PartID=%s): 与第 1 个零件块重复"
                 % lines[parts[0]][7:]),
                ("far", far, "排样文件数据错误! 第 3 个零件块 (PartID=%s): BasePt.x=1e+308 超出范围 ±1000000000"
                 % lines[parts[2]][7:]),
                ("no_plate", no_plate, "排样文件数据错误! 第 3 个零件块 (PartID=%s): Located PlateID=77 没有对应的板材"
                 % lines[parts[2]][7:]),
                ("turned", turned, "排样文件数据错误! 第 4 个零件块 (PartID=%s): Rotation Angle=1e+300 超出范围 ±1000000"
                 % lines[parts[3]][7:]),
                ("inverted", inverted, "排样文件数据错误! 第 1 个板材块 (PlateID=0): 包围盒颠倒:")]:
            result = run("-q", "--json", "--import", variant(name, edit), "-C", out, lib)
            check(result.returncode == 4, "a refused import (%s) ends with 4, not %d" % (name, result.returncode))
            check(("Warning!: " + text).encode() in result.stderr, "the message names the entry: " + name)
        result = run("-q", "--import", os.path.join(out, "missing.txt"), "-C", out, lib)
        check(result.returncode == 4, "an unreadable layout ends with 4")

        # A layout edited by hand: the second part laid onto the first is taken and listed.
        def stacked(e):
            e[parts[1] + 1:parts[1] + 6] = lines[parts[0] + 1:parts[0] + 6]

        result = run("-q", "--json", "--import", variant("stacked", stacked), "-C", out, lib)
        check(result.returncode == 0, "an overlapping layout is taken")
        summary = json.loads(result.stdout)
        pair = [int(lines[parts[0]][7:]), int(lines[parts[1]][7:])]
        check(pair in summary["conflicts"]["overlapping"], "the JSON lists the overlap")
        check(any(m["text"].startswith("排样文件已读入, 但有") for m in summary["messages"]), "with a warning")
        result = run("-q", "--json", "--import", saved, "-C", out, lib)
        check(json.loads(result.stdout)["conflicts"] == {"overlapping": [], "offPlate": []},
              "the saved layout has no conflict")


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


globals()[CASE]()
for failure in failures:
    print("FAILED:", failure)
print("%s: %d failed" % (CASE, len(failures)))
sys.exit(1 if failures else 0)
