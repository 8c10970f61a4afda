#!/usr/bin/env python3
"""End-to-end figures of pathmend on large generated track logs.

Writes a track log of a million points with the project's own generator and
times, in the same run and alternating so that both see the same machine:

  join    pathmend joining the track log to itself into a track log, against
          join_floor, a minimal program that makes exactly the system calls
          the join needs (one read per point, one write per saved point, the
          header rewrite) and nothing else;
  kml/txt pathmend exporting the track log (and GPSBabel converting the same
          points from GPX to KML, where gpsbabel is installed);
  verbose pathmend /v with standard output to /dev/null;
  gpx     pathmend /og against export_floor, a minimal program that makes the
          system calls of a streamed export and nothing else (one read per
          point, the same bytes written in 128-byte blocks), and against
          GPSBabel reading the GPX file pathmend wrote and writing it as GPX
          again; wall time and peak memory of each;
  svg     pathmend /os: wall time, peak memory and the picture's size.

Peak memory (maximum resident set size) is measured with GNU time.

With --wine BUILD (a Windows build tree, such as build/windows-i686; may be
given more than once) the join is also timed for that tree's pathmend.exe
against its join_floor.exe, both under Wine. Wine's system calls are not
Windows', so the ratio is a figure to watch, not a promise about Windows.

  bench/run_bench.py [--build build/release] [--points 1000000] [--repeat 5]
                     [--wine build/windows-i686 --wine build/windows-x86_64]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time


GNU_TIME = "/usr/bin/time"


def run(argv, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, cwd=None):
    """Runs a command; returns (wall seconds, peak RSS in KiB, exit code).

    The peak RSS comes from GNU time (Debian package "time"): wait4's figure
    for a child forked from this Python process would include the Python
    interpreter's own memory from before the exec."""
    rss_file = None
    if os.path.exists(GNU_TIME):
        fd, rss_file = tempfile.mkstemp(prefix="pathmend-rss-")
        os.close(fd)
        argv = [GNU_TIME, "-f", "%M", "-o", rss_file] + list(argv)
    start = time.perf_counter()
    code = subprocess.call(argv, stdin=stdin, stdout=stdout, stderr=subprocess.DEVNULL, cwd=cwd)
    wall = time.perf_counter() - start
    rss = -1
    if rss_file:
        with open(rss_file) as f:
            rss = int(f.read().split()[-1])
        os.unlink(rss_file)
    return wall, rss, code


def best(samples):
    return min(samples)


def median(samples):
    ordered = sorted(samples)
    return ordered[len(ordered) // 2]


def write_gpx(track, gpx):
    """A GPX file with the same points, for GPSBabel."""
    with open(gpx, "w") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                  '<gpx version="1.1" creator="pathmend-bench" '
                  'xmlns="http://www.topografix.com/GPX/1/1"><trk><name>bench</name><trkseg>\n')
        with open(track, "rb") as data:
            data.read(96)
            while True:
                record = data.read(20)
                if len(record) < 20:
                    break
                lat = int.from_bytes(record[0:4], "little") / 1048576
                lon = int.from_bytes(record[4:8], "little") / 1048576
                alt = int.from_bytes(record[8:10], "little") / 10
                out.write(f'<trkpt lat="{lat:.9f}" lon="{lon:.9f}"><ele>{alt:.1f}</ele></trkpt>\n')
        out.write("</trkseg></trk></gpx>\n")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default="build/release")
    parser.add_argument("--points", type=int, default=1_000_000)
    parser.add_argument("--repeat", type=int, default=5)
    parser.add_argument("--only", default="join,memory,kml,txt,verbose,gpsbabel,gpx,svg")
    parser.add_argument("--wine", action="append", default=[],
                        help="a Windows build tree whose join is timed under Wine")
    args = parser.parse_args()
    for tree in args.wine:
        for tool in ("app/pathmend.exe", "tools/join_floor.exe"):
            if not os.path.exists(os.path.join(tree, tool)):
                sys.exit(f"missing {os.path.join(tree, tool)}: build that Windows preset first")
    only = set(args.only.split(","))

    pathmend = os.path.abspath(os.path.join(args.build, "app", "pathmend"))
    make_track = os.path.abspath(os.path.join(args.build, "tools", "make_track"))
    floor = os.path.abspath(os.path.join(args.build, "tools", "join_floor"))
    export_floor = os.path.abspath(os.path.join(args.build, "tools", "export_floor"))
    for tool in (pathmend, make_track, floor, export_floor):
        if not os.path.exists(tool):
            sys.exit(f"missing {tool}: build the release preset first")

    work = tempfile.mkdtemp(prefix="pathmend-bench-")
    try:
        big = os.path.join(work, "big.trk")
        subprocess.run([make_track, big, str(args.points)], check=True)
        out = os.path.join(work, "out.trk")
        print(f"track log of {args.points} points, {os.path.getsize(big)} bytes; {args.repeat} runs each")

        if "join" in only:
            # The same file given twice as input; the output is a new file.
            ours, floors = [], []
            for _ in range(args.repeat):
                wall, _, code = run([pathmend, big, big, out])
                assert code == 0, "pathmend join failed"
                ours.append(wall)
                wall, _, code = run([floor, big, big, out])
                assert code == 0, "join_floor failed"
                floors.append(wall)
            ratio = median(ours) / median(floors)
            print(f"join to itself: pathmend median {median(ours):.3f} s (best {best(ours):.3f}), "
                  f"floor median {median(floors):.3f} s (best {best(floors):.3f}); ratio {ratio:.2f}")

        for tree in args.wine:
            # Wine starts a process in both runs alike; the wineserver is kept
            # running (-p) so that its start is not counted.
            exe = os.path.abspath(os.path.join(tree, "app", "pathmend.exe"))
            wine_floor = os.path.abspath(os.path.join(tree, "tools", "join_floor.exe"))
            subprocess.call(["wineserver", "-p"], stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.call(["wine", wine_floor, "Z:" + big, "Z:" + big, "Z:" + out],
                            stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)  # warm-up
            # Windows paths: on Windows an argument beginning with "/" is an
            # option. Wine shows the Linux root as drive Z:.
            wbig, wout = ("Z:" + path.replace("/", "\\") for path in (big, out))
            ours, floors = [], []
            for _ in range(args.repeat):
                wall, _, code = run(["wine", exe, wbig, wbig, wout])
                assert code == 0, "pathmend.exe join failed"
                ours.append(wall)
                wall, _, code = run(["wine", wine_floor, wbig, wbig, wout])
                assert code == 0, "join_floor.exe failed"
                floors.append(wall)
            ratio = median(ours) / median(floors)
            print(f"join to itself under Wine ({tree}): pathmend.exe median {median(ours):.3f} s "
                  f"(best {best(ours):.3f}), floor median {median(floors):.3f} s "
                  f"(best {best(floors):.3f}); ratio {ratio:.2f}")

        if "memory" in only:
            for points in (10_000, args.points):
                small = os.path.join(work, f"m{points}.trk")
                subprocess.run([make_track, small, str(points)], check=True)
                _, rss, code = run([pathmend, small, small, out])
                assert code == 0
                print(f"peak RSS joining {points} points to themselves: {rss} KiB")

        for fmt, flag, ext in (("kml", "/ok", ".kml"), ("txt", "/ox", ".txt")):
            if fmt not in only:
                continue
            walls, peak = [], 0
            for _ in range(args.repeat):
                wall, rss, code = run([pathmend, flag, big, os.path.join(work, "export" + ext)])
                assert code == 0, f"pathmend {flag} failed"
                walls.append(wall)
                peak = max(peak, rss)
            print(f"export {fmt}: pathmend median {median(walls):.3f} s, peak RSS {peak} KiB")

        if "gpx" in only:
            gpx = os.path.join(work, "export.gpx")
            copy = os.path.join(work, "floor.gpx")
            ours, floors, ours_rss = [], [], 0
            for _ in range(args.repeat):
                wall, rss, code = run([pathmend, "/og", big, gpx])
                assert code == 0, "pathmend /og failed"
                ours.append(wall)
                ours_rss = max(ours_rss, rss)
                wall, _, code = run([export_floor, big, gpx, copy])
                assert code == 0, "export_floor failed"
                floors.append(wall)
            with open(gpx, "rb") as a, open(copy, "rb") as b:
                assert a.read() == b.read(), "the floor wrote other bytes"
            ratio = median(ours) / median(floors)
            print(f"export gpx: pathmend median {median(ours):.3f} s (best {best(ours):.3f}), "
                  f"peak RSS {ours_rss} KiB, file {os.path.getsize(gpx)} bytes; "
                  f"floor median {median(floors):.3f} s (best {best(floors):.3f}); ratio {ratio:.2f}")
            gpsbabel = shutil.which("gpsbabel")
            if gpsbabel is None:
                print("gpsbabel not installed: gpx comparison skipped")
            else:
                walls, peak = [], 0
                for _ in range(max(1, args.repeat // 2)):
                    wall, rss, code = run([gpsbabel, "-t", "-i", "gpx", "-f", gpx, "-o", "gpx", "-F",
                                           os.path.join(work, "babel.gpx")])
                    assert code == 0, "gpsbabel failed"
                    walls.append(wall)
                    peak = max(peak, rss)
                print(f"gpsbabel gpx->gpx of the same file: median {median(walls):.3f} s, peak RSS {peak} KiB; "
                      f"pathmend /og takes {median(ours) / median(walls):.3f} of its time "
                      f"and {ours_rss / peak:.4f} of its memory (1/{peak / ours_rss:.0f})")

        if "svg" in only:
            svg = os.path.join(work, "export.svg")
            walls, peak = [], 0
            for _ in range(args.repeat):
                wall, rss, code = run([pathmend, "/os", big, svg])
                assert code == 0, "pathmend /os failed"
                walls.append(wall)
                peak = max(peak, rss)
            with open(svg, "rb") as f:
                vertices = sum(1 for line in f if line[:1] in (b"M", b"L"))
            print(f"export svg: pathmend median {median(walls):.3f} s (best {best(walls):.3f}), "
                  f"peak RSS {peak} KiB, file {os.path.getsize(svg)} bytes, {vertices} vertices drawn")
            for points in (10_000, 100_000):
                small = os.path.join(work, f"s{points}.trk")
                subprocess.run([make_track, small, str(points)], check=True)
                _, rss, code = run([pathmend, "/os", small, svg])
                assert code == 0
                print(f"  peak RSS of /os on {points} points: {rss} KiB, file {os.path.getsize(svg)} bytes")

        if "verbose" in only:
            walls = []
            for _ in range(max(1, args.repeat // 2)):
                with open(os.devnull, "wb") as null:
                    wall, rss, code = run([pathmend, "/v", big, out], stdout=null)
                assert code == 0
                walls.append(wall)
            print(f"verbose trace to /dev/null: median {median(walls):.3f} s, "
                  f"{args.points / median(walls):,.0f} points/s")

        if "gpsbabel" in only:
            gpsbabel = shutil.which("gpsbabel")
            if gpsbabel is None:
                print("gpsbabel not installed: comparison skipped")
            else:
                gpx = os.path.join(work, "big.gpx")
                write_gpx(big, gpx)
                walls, peak = [], 0
                for _ in range(max(1, args.repeat // 2)):
                    wall, rss, code = run([gpsbabel, "-t", "-i", "gpx", "-f", gpx, "-o", "kml", "-F",
                                           os.path.join(work, "babel.kml")])
                    assert code == 0, "gpsbabel failed"
                    walls.append(wall)
                    peak = max(peak, rss)
                print(f"gpsbabel gpx->kml: median {median(walls):.3f} s, peak RSS {peak} KiB")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
