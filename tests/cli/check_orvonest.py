#!/usr/bin/env python3
"""Checks of the batch command: check_orvonest.py ORVONEST EXAMPLES_DIR CASE."""

import json
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile

ORVONEST, EXAMPLES, CASE = sys.argv[1], sys.argv[2], sys.argv[3]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)


def run(*args, cwd=None, **how):
    if "stdout" not in how:
        how["stdout"] = subprocess.PIPE
    return subprocess.run([ORVONEST, *args], stderr=subprocess.PIPE, cwd=cwd, timeout=240, **how)


def size_limit(size):
    """A child setup that limits the size of every file the run writes (root included)."""
    def limit():
        resource.setrlimit(resource.RLIMIT_FSIZE, (size, size))
    return limit


def files_in(folder):
    return {name: open(os.path.join(folder, name), "rb").read() for name in sorted(os.listdir(folder))}


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


def standard_output():
    lib = example("brackets.preSrc")
    with tempfile.TemporaryDirectory() as out:
        with open("/dev/full", "wb") as full:
            result = run("-q", "--json", "-C", out, lib, stdout=full)
        check(result.returncode == 3, "--json into a full disk ends with 3")
        check(b"No space left on device" in result.stderr, "and says why")
        closed = run("-q", "--json", "-C", out, lib, preexec_fn=lambda: os.close(1))
        check(closed.returncode == 3, "--json into a closed standard output ends with 3")
        check(b"PackError" not in closed.stderr and b"{" not in files_in(out)["PackError.txt"],
              "the JSON does not land in a file opened in place of the closed stream")
        with open(os.path.join(out, "cut.json"), "wb") as cut:
            result = run("-q", "--layout", "none", "--json", "-C", out, lib, stdout=cut,
                         preexec_fn=size_limit(2048))
        check(result.returncode == 3, "--json cut by a file-size limit ends with 3, not a signal")
        with open("/dev/full", "wb") as full:
            check(run("--help", stdout=full).returncode == 3, "--help into a full disk ends with 3")
        check(run("-q", "--layout", "none", "-C", out, lib, stdout=subprocess.DEVNULL).returncode == 0,
              "a run without --json does not need its standard output")


def failed_writes():
    lib = example("brackets.preSrc")
    outputs = ["--save", "lay.txt", "--svg", "pic.svg", "--export-all", "--report"]
    with tempfile.TemporaryDirectory() as out:
        first = run("-q", *outputs, "-C", out, lib)
        check(first.returncode == 0, "the first run writes every file: " + first.stderr.decode())
        before = files_in(out)
        # Another layout under a size limit below the files' sizes: every big write fails.
        second = run("-q", "--rn", "2", *outputs, "-C", out, lib, preexec_fn=size_limit(4096))
        check(second.returncode == 3, "failed writes end with 3")
        after = files_in(out)
        check(set(after) == set(before), "no temporary file is left: %s" % sorted(set(after) - set(before)))
        for name in ["lay.txt", "pic.svg", "AllPlts.dxf"]:
            check(after.get(name) == before[name], name + " is left as it was")
            check(("%s: File too large" % os.path.join(out, name)).encode() in second.stderr,
                  "the message names " + name)
        check(after["PackError.txt"].startswith(before["PackError.txt"]), "the error report only grows")
        again = run("-q", "--layout", "none", "--import", os.path.join(out, "lay.txt"), "-C", out, lib)
        check(again.returncode == 0, "the layout kept imports")


# Two runs into one folder at once once left files mixed from both.
def concurrent_runs():
    import xml.etree.ElementTree as ElementTree
    lib = example("brackets.preSrc")
    outputs = ["--save", "lay.txt", "--svg", "pic.svg", "--export-all", "--export-plates", "--report"]
    with tempfile.TemporaryDirectory() as out:
        whole = {}
        for rn in ["2", "4"]:
            folder = os.path.join(out, "rn" + rn)
            check(run("-q", "--rn", rn, *outputs, "-C", folder, lib).returncode == 0, "single run")
            whole[rn] = files_in(folder)
        shared = os.path.join(out, "shared")
        for _ in range(3):
            runs = [subprocess.Popen([ORVONEST, "-q", "--rn", rn, *outputs, "-C", shared, lib],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL) for rn in ["2", "4"]]
            check(all(r.wait(timeout=240) == 0 for r in runs), "both runs succeed")
            for name, data in files_in(shared).items():
                if name in ["PackError.txt", "重力排样计算时间.txt"]:
                    continue
                check(any(data == whole[rn].get(name) for rn in whole), name + " is whole from one run")
            ElementTree.parse(os.path.join(shared, "pic.svg"))
        stamps = read(shared, "PackError.txt").split("\r\n")
        check(len(stamps) == 7 and all(re.fullmatch(r"\d{4}年.*秒", s) for s in stamps[:6]),
              "six whole time stamps in the error report")


def library_paths():
    with tempfile.TemporaryDirectory() as out:
        shutil.copy(example("worked_example.preSrc"), os.path.join(out, "lib.preSrc"))
        original = read(out, "lib.preSrc")
        lib = os.path.join(out, "lib.preSrc")
        for args in [["--save", "lib.preSrc", "-C", out], ["--svg", lib], ["--save", lib, "-C", "elsewhere"],
                     ["-C", out, "--svg", os.path.join("..", os.path.basename(out), "lib.preSrc")]]:
            result = run("-q", "--layout", "none", *args, lib, cwd=out)
            check(result.returncode == 2, "an output naming the library is refused: %s" % args)
            check(b"is the part library" in result.stderr, "and says so: %s" % args)
        shutil.copy(lib, os.path.join(out, "PartInfo.txt"))
        refused = run("-q", "--layout", "none", "-C", out, os.path.join(out, "PartInfo.txt"))
        check(refused.returncode == 2, "a library that the run would overwrite is refused")
        check(read(out, "lib.preSrc") == original and read(out, "PartInfo.txt") == original,
              "the library is untouched")
        # Relative outputs go into -C; the library and --import stay relative to the current folder.
        missing = run("-q", "--layout", "none", "--svg", "sub/pic.svg", "-C", "work", "lib.preSrc", cwd=out)
        check(missing.returncode == 3 and b"work/sub/pic.svg: No such file" in missing.stderr,
              "a relative --svg names a file inside -C: " + missing.stderr.decode())
        result = run("-q", "--save", "lay.txt", "--svg", "pic.svg", "-C", "work", "lib.preSrc", cwd=out)
        check(result.returncode == 0, "relative outputs: " + result.stderr.decode())
        check(os.path.exists(os.path.join(out, "work", "lay.txt")) and
              os.path.exists(os.path.join(out, "work", "pic.svg")), "--save and --svg land inside -C")
        check(not os.path.exists(os.path.join(out, "lay.txt")), "not in the current folder")
        shutil.copy(os.path.join(out, "work", "lay.txt"), os.path.join(out, "mine.txt"))
        imported = run("-q", "--import", "mine.txt", "--json", "-C", "work", "lib.preSrc", cwd=out)
        check(imported.returncode == 0 and json.loads(imported.stdout)["unplaced"] == [],
              "--import is read from the current folder")


def empty_libraries():
    with tempfile.TemporaryDirectory() as out:
        for name, data in [("empty", b""), ("cr", b"\r" * 40), ("binary", bytes(range(256)) * 8)]:
            path = os.path.join(out, name + ".preSrc")
            with open(path, "wb") as f:
                f.write(data)
            result = run("-q", "--json", "-C", out, path)
            check(result.returncode == 1, "a library without parts ends with 1: " + name)
            check("Warning!: 零件数据文件中没有零件!".encode() in result.stderr, "and says so: " + name)
            check("排样点错误".encode() not in result.stderr, "without the unrelated PPD message: " + name)


OPTIMISE = ["--layout", "optimise", "--iterations", "20", "--threads", "1", "--time", "0"]


def optimise_layout():
    lib = example("brackets.preSrc")
    with tempfile.TemporaryDirectory() as out:
        runs = []
        for name in ["first", "second"]:
            result = run("-q", *OPTIMISE, "--json", "--save", "lay.txt", "-C", os.path.join(out, name), lib)
            check(result.returncode == 0, "exit status 0: " + result.stderr.decode())
            runs.append((json.loads(result.stdout), files_in(os.path.join(out, name))["lay.txt"]))
        summary, saved = runs[0]
        check(summary["method"] == "optimise", "method: %s" % summary.get("method"))
        search = summary["optimise"]
        keys = ["seed", "threads", "iterations", "seconds", "stopped", "timeLimit", "iterationLimit", "start",
                "placed", "plates", "lastPlateLength"]
        check(list(search) == keys, "the search's keys: %s" % list(search))
        check(search["seed"] == 1 and search["threads"] == 1 and search["stopped"] is False,
              "seed, threads, not stopped: %s" % search)
        check(0 <= search["iterations"] <= 20 and search["iterationLimit"] == 20 and search["timeLimit"] == 0,
              "at most the iterations asked for: %s" % search)
        check(0 <= search["seconds"] == summary["layoutSeconds"], "seconds of the whole layout")
        start = search["start"]
        check(start["method"] in ("hape", "multistep") and start["placed"] == len(summary["parts"]),
              "the start layout: %s" % start)
        check((-search["placed"], search["plates"]) <= (-start["placed"], start["plates"]),
              "the layout held places as many parts on as few plates as the start")
        plates = summary["plates"]
        check(summary["unplaced"] == [] and search["plates"] == len(plates) > 0, "every part placed, plates listed")
        check(abs(search["lastPlateLength"] - plates[-1]["packedLength"]) < 1e-9, "the last plate's length")
        check(runs[1][1] == saved, "same seed, threads and iterations: the same saved layout bytes")
        check(runs[1][0]["parts"] == summary["parts"], "and the same placements in the JSON")
        # The saved layout read back: no part overlaps another or leaves its plate.
        checked = run("-q", "--json", "--import", os.path.join(out, "first", "lay.txt"),
                      "-C", os.path.join(out, "check"), lib)
        check(checked.returncode == 0, "the saved layout imports")
        read_back = json.loads(checked.stdout)
        check(read_back["conflicts"] == {"overlapping": [], "offPlate": []}, "a legal layout: %s"
              % read_back["conflicts"])
        check(read_back["method"] == "import" and "optimise" not in read_back, "an import is no search")
        hape = json.loads(run("-q", "--json", "-C", out, lib).stdout)
        check(hape["method"] == "hape" and "optimise" not in hape, "other methods keep their keys")
        refused = run("-q", "--seed", "5", "--json", "-C", out, lib)
        check(refused.returncode == 2 and refused.stdout == b"", "a search option without the search: 2")
        check(b"orvonest: --seed needs --layout optimise" in refused.stderr, "and says so")


def optimise_progress():
    import pty
    lib = example("brackets.preSrc")
    with tempfile.TemporaryDirectory() as out:
        terminal, child_side = pty.openpty()
        child = subprocess.Popen([ORVONEST, *OPTIMISE, "-C", out, lib], stdout=subprocess.DEVNULL, stderr=child_side)
        os.close(child_side)
        shown = b""
        while True:
            try:
                data = os.read(terminal, 4096)
            except OSError:  # the terminal is gone with the child
                break
            if not data:
                break
            shown += data
        check(child.wait(timeout=240) == 0, "exit status 0 with standard error on a terminal")
        os.close(terminal)
        line = rb"\roptimise \d+\.\d s  plates \d+  last plate \d+\.\d mm  utilisation \d+\.\d\d%\x1b\[K"
        check(re.search(line, shown) is not None, "the progress line on a terminal: %r" % shown[:300])
        check(b"layout [" not in shown, "no plate bars of the start layouts")
        check(re.search(rb"\r\n?orvonest: optimise from (hape|multistep) \(\d+ plates", shown) is not None,
              "the line is ended before the summary")
        quiet = run("-q", *OPTIMISE, "-C", out, lib)
        check(quiet.stderr == b"", "-q: nothing on standard error")
        logged = run(*OPTIMISE, "-C", out, lib)
        check(b"\r" not in logged.stderr and b"layout: plate" not in logged.stderr,
              "off a terminal: no progress line and no plate lines: %r" % logged.stderr)
        check(b"orvonest: optimise from" in logged.stderr, "the search's summary")


def write_job(folder, job, name="job.json"):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        json.dump(job, f)
    return path


def names_of(summary):
    return sorted(p["name"] for p in summary["parts"])


def job_file():
    with tempfile.TemporaryDirectory() as out:
        job = write_job(out, {"plate": {"length": 2000, "width": 1000}, "gap": 4, "margin": 8, "rn": 8,
                              "ppd": 12.5, "turnOver": False,
                              "parts": [{"file": example("worked_example.preSrc"), "quantity": 3},
                                        {"file": example("brackets.preSrc"), "records": {"BP-400x300-01": 2}}]})
        result = run("--json", "-q", "--report", "--export-all", "-C", out, job)
        check(result.returncode == 0, "the job is laid out: " + result.stderr.decode())
        summary = json.loads(result.stdout)
        names = names_of(summary)
        check([n for n in names if n.startswith("P-001")] == ["P-001#1", "P-001#2", "P-001#3"],
              "three numbered copies: %s" % names)
        check(names.count("BP-400x300-01#1") == 1 and names.count("BP-400x300-01#2") == 1, "two base plates")
        check(len(names) == 3 + summary["partsRead"] - 3 and summary["partsDropped"] == [], "one part per copy")
        check(summary["config"]["plateLength"] == 2000, "the job's settings")
        check(summary["unplaced"] == [], "every copy placed")
        check_part_info(read(out, "PartInfo.txt"), len(names))
        check(b"P-001#2" in open(os.path.join(out, "AllPlts.dxf"), "rb").read(), "copy names label the drawing")
        check("P-001#" in read(out, "Report.txt") or "BP-400x300-01#" in read(out, "Report.txt"),
              "the report names the copies")


def job_command_line():
    with tempfile.TemporaryDirectory() as out:
        result = run("--json", "-q", "--layout", "none", "--plate", "2500x1250.5", "--gap", "3", "--margin", "6",
                     "--turn-over", "off", "--rn", "2", "-C", out,
                     example("worked_example.preSrc") + ":2", example("bad_arc.preSrc"))
        check(result.returncode == 0, "a job of part files: " + result.stderr.decode())
        summary = json.loads(result.stdout)
        check([n for n in names_of(summary) if n.startswith("P-001")] == ["P-001#1", "P-001#2"],
              "numbered copies: %s" % names_of(summary))
        config = summary["config"]
        check(config["plateLength"] == 2500 and config["plateWidth"] == 1250.5 and config["partToPartGap"] == 3
              and config["partToMplateGap"] == 6 and config["turnOver"] is False and config["rotationNumber"] == 2,
              "settings from the command line: %s" % config)
        plain = run("--json", "-q", "--layout", "none", "-C", out, example("worked_example.preSrc"))
        check(json.loads(plain.stdout)["config"]["partToPartGap"] == 5, "one library alone keeps its own settings")


def job_refusals():
    lib = example("worked_example.preSrc")
    plate = {"length": 3000, "width": 1500}
    with tempfile.TemporaryDirectory() as out:
        # One of each kind; the job file's bad keys and values are checked in test_job.
        cases = [
            ({"plate": plate, "parts": [lib, {"file": lib, "quantity": 0}]}, 2, "parts[1] (%s): 数量" % lib),
            ({"plate": {"length": 3000, "width": 1e20}, "parts": [lib]}, 2, "板材尺寸错误! 板材宽度 1e+20"),
            ({"plate": plate, "parts": [lib, "gone.dxf"]}, 1, "零件文件不存在! parts[1] (gone.dxf)"),
        ]
        for job, status, named in cases:
            path = write_job(out, job)
            result = run("--json", "-C", out, path)
            check(result.returncode == status, "%s ends with %d, not %d" % (named, status, result.returncode))
            check(named.encode() in result.stderr, "the message names it: %s\n%s" % (named, result.stderr.decode()))
            check(result.stdout == b"", "no summary: " + named)
        commands = [
            (["--plate", "3000x1500", lib + ":0"], 2, "%s:0: 数量" % lib),
            (["--plate", "0x1500", lib + ":2"], 2, "板材尺寸错误! 板材长度 0"),
            (["--plate", "3000 by 1500", lib], 2, "--plate 3000 by 1500"),
            ([lib + ":2"], 2, "needs --plate"),
            (["--gap", "-1", "--plate", "3000x1500", lib], 2, "cannot be below 0"),
            (["--plate", "3000x1500", write_job(out, {"plate": plate, "parts": [lib]})], 2, "sets the plate"),
            (["--plate", "3000x1500", lib, os.path.join(out, "job.json")], 2, "is given alone"),
        ]
        for args, status, named in commands:
            result = run("--json", "-C", out, *args)
            check(result.returncode == status, "%s ends with %d, not %d" % (args, status, result.returncode))
            check(named.encode() in result.stderr, "%s: the message names %s\n%s" % (args, named, result.stderr.decode()))
        laid = [n for n in os.listdir(out) if n.endswith(".txt") and n != "PackError.txt"]
        check(laid == [], "nothing was laid out or counted: %s" % laid)


def write_library():
    """The library's content is checked in test_open_job; here the option's file handling."""
    with tempfile.TemporaryDirectory() as out:
        result = run("-q", "--layout", "none", "--plate", "3000x1500", "--write-library", "copies.preSrc", "-C", out,
                     example("worked_example.preSrc") + ":2")
        check(result.returncode == 0, "written: " + result.stderr.decode())
        text = open(os.path.join(out, "copies.preSrc"), "rb").read()
        check(text.count(b"PARTINFO") == 2 and text.count(b"\r\n") == text.count(b"\n"),
              "one record per copy, CR LF lines, in the -C folder")
        before = open(example("worked_example.preSrc"), "rb").read()
        refused = run("-q", "--plate", "3000x1500", "--write-library", example("worked_example.preSrc"), "-C", out,
                      example("worked_example.preSrc") + ":2")
        check(refused.returncode == 2 and open(example("worked_example.preSrc"), "rb").read() == before,
              "a part file of the job is never written over")
        failed = run("-q", "--layout", "none", "--write-library", os.path.join(out, "no", "x.preSrc"), "-C", out,
                     example("worked_example.preSrc"))
        check(failed.returncode == 3 and "文件保存失败!".encode() in failed.stderr, "a failed write is told")


def job_example():
    """The DXF job example: laid out once the DXF reader reads it, else refused naming its first file."""
    with tempfile.TemporaryDirectory() as out:
        job = os.path.join(EXAMPLES, "dxf-parts", "job.json")
        result = run("--json", "-q", "--write-library", "example.preSrc", "-C", out, job)
        if result.returncode != 0:
            check(result.returncode == 1 and "零件文件读取失败! parts[0] (bracket.dxf)".encode() in result.stderr,
                  "an unreadable DXF file is named with its entry: " + result.stderr.decode())
            check(not os.path.exists(os.path.join(out, "example.preSrc")), "no library written")
            return
        summary = json.loads(result.stdout)
        names = names_of(summary)
        for stem, count in [("bracket", 12), ("flange", 4), ("cover", 3), ("gusset", 10), ("P-001", 2)]:
            check(sum(n.startswith(stem) for n in names) == count, "%d copies of %s: %s" % (count, stem, names))
        check(summary["unplaced"] == [] and summary["partsDropped"] == [], "every copy laid out")
        again = run("--json", "-q", "-C", out, os.path.join(out, "example.preSrc"))
        check(json.loads(again.stdout)["parts"] == summary["parts"], "the written library gives the same layout")


globals()[CASE]()
for failure in failures:
    print("FAILED:", failure)
print("%s: %d failed" % (CASE, len(failures)))
sys.exit(1 if failures else 0)
