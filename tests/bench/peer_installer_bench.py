#!/usr/bin/env python3
"""Times our silent install against an NSIS installer of the same files under Wine.

    peer_installer_bench.py [--runs 9] [--payload demo|large|both] [--bits 32|64|both]
                            [--work DIR] [--before COMMIT]

From one payload (the demo package's entries, and those plus a deterministic ~20 MB
product-like set of files) it builds our installer with the payload as its package
(ZV_PACKAGE) and NSIS installers of the same files (zlib, and solid LZMA), like for
like: the shipped 32-bit build against NSIS's 32-bit installers (Target x86-unicode),
both under WOW64, and the 64-bit twin against NSIS's 64-bit ones (amd64-unicode).
Each run takes a fresh copy of the Windows 7 64-bit prefix with its wineserver warm
and Wine's desktop up (a windowed program running on the X server), then times one
process with a blocking wait. The programs run interleaved, in a rotating order,
beside a program that does nothing in the same kind of prefix; each install is
checked file by file. It prints the medians and, for each kind of program,

    ratio = (ours - 0.2 s of waits the placement passes require) / NSIS zlib

Needs the win32, win64 and host builds (scripts/build-all.sh) and Debian's nsis
(scripts/setup-debian.sh installs it). Not a test: the numbers depend on the machine.
"""

from __future__ import annotations

import argparse
import os
import random
import shutil
import statistics
import struct
import subprocess
import sys
import time
from typing import Dict, List, Sequence, Tuple

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e", folder) for folder in ("harness", "cases")]
sys.path.insert(0, os.path.join(ROOT, "tools", "demo_package"))

import checks  # noqa: E402
import container  # noqa: E402
import package_model  # noqa: E402
import silent_install_cases as silent  # noqa: E402
import wine_env  # noqa: E402
import winebox  # noqa: E402

NOOP_EXE = "zvnoop.exe"
PLAIN_EXE = "zvplainwindow.exe"
REQUIRED_WAITS = 0.2  # the four 50 ms waits of the placement passes
PEER_DIR = "C:\\peer\\zavoli\\"
Files = List[Tuple[bytes, bytes]]


# ---------------------------------------------------------------------------
# Payloads


# Our build preset and NSIS's target for each kind of program.
KINDS = {"32": ("win32", "x86-unicode"), "64": ("win64", "amd64-unicode")}


def demo_files() -> Files:
    exe = os.path.join(ROOT, "build", "win32", "zvsetup.exe")
    package = package_model.embedded_package(exe)
    return [(record.name, record.content) for record in package.records]


def _program(rng: random.Random, size: int) -> bytes:
    """Bytes shaped like a module: a header, then code-like runs that repeat."""
    fragments = [rng.randbytes(rng.randint(8, 64)) for _ in range(64)]
    out = bytearray(b"MZ" + bytes(58) + struct.pack("<I", 64) + b"PE\0\0")
    while len(out) < size:
        out += fragments[rng.randrange(len(fragments))] if rng.random() < 0.7 else \
            rng.randbytes(rng.randint(4, 32))
    return bytes(out[:size])


def _dictionary(rng: random.Random, size: int) -> bytes:
    """GBK phrase text: two to four GB2312 characters, "; "-separated lines."""
    syllables = [bytes([0xB0 + rng.randrange(40), 0xA1 + rng.randrange(94)]) for _ in range(900)]
    lines, length = [], 0
    while length < size:
        phrase = b"".join(syllables[rng.randrange(len(syllables))]
                          for _ in range(rng.randint(2, 4)))
        line = phrase + b"; " + str(rng.randrange(100000)).encode() + b"\r\n"
        lines.append(line)
        length += len(line)
    return b"".join(lines)[:size]


def _bitmap(rng: random.Random, width: int, height: int) -> bytes:
    """A 24-bit "BM" picture: a gradient with noise."""
    row = (width * 3 + 3) & ~3
    pixels = bytearray()
    tint = rng.randrange(256)
    for y in range(height):
        line = bytearray()
        for x in range(width):
            noise = rng.randrange(8)
            line += bytes(((x + tint) & 255, (y + noise) & 255, (x ^ y) & 255))
        pixels += line + bytes(row - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 0, 0, 0, 0)
    return header + info + bytes(pixels)


def large_files(taken: Sequence[bytes]) -> Files:
    """The demo entries plus ~20 MB of product-like files with flat 8.3 names."""
    rng = random.Random(20261207)
    extra: Files = []
    for i in range(28):
        extra.append((b"zvm%03d.dll" % i, _program(rng, rng.randint(60_000, 700_000))))
    for i in range(20):
        extra.append((b"zvd%03d.zvh" % i, _dictionary(rng, rng.randint(80_000, 450_000))))
    for i in range(30):
        extra.append((b"zvb%03d.bmp" % i, _bitmap(rng, rng.choice((160, 240, 320)),
                                                  rng.choice((120, 160, 200)))))
    for i in range(15):
        text = b"".join(b"ZVKEY%d=%d\r\n" % (k, rng.randrange(1000)) for k in range(40))
        extra.append((b"zvs%03d.ini" % i, text))
    taken_lower = {name.lower() for name in taken}
    return [(n, c) for n, c in extra if n.lower() not in taken_lower]


# ---------------------------------------------------------------------------
# Building the installers


def run(args: Sequence[str], **kwargs) -> None:
    done = subprocess.run(list(args), capture_output=True, text=True, **kwargs)
    if done.returncode != 0:
        raise SystemExit(f"{' '.join(args)} failed:\n{done.stdout[-2000:]}{done.stderr[-2000:]}")


def write_package(work: str, files: Files) -> str:
    package = os.path.join(work, "package.zvz")
    content = container.digest_container(files, trailer=bytes(4))
    if not os.path.isfile(package) or open(package, "rb").read() != content:
        with open(package, "wb") as f:
            f.write(content)
    return package


def build_ours(source: str, preset: str, build: str, package: str) -> str:
    run(["cmake", "--preset", preset, "-B", build, f"-DZV_PACKAGE={package}"], cwd=source)
    run(["cmake", "--build", build, "--target", "zvsetup", "-j2"], cwd=source)
    return os.path.join(build, "zvsetup.exe")


def source_at(work: str, commit: str) -> str:
    """A checkout of `commit` beside the benchmark's files, for a before-and-after run."""
    source = os.path.join(work, "source-" + commit)
    if not os.path.isdir(source):
        run(["git", "-C", ROOT, "worktree", "add", "--detach", source, commit])
    return source


def build_peer(work: str, files: Files, target: str, compressor: str, name: str) -> str:
    payload = os.path.join(work, "payload")
    if not os.path.isdir(payload):
        os.makedirs(payload)
        for file_name, content in files:
            # makensis reads the names as UTF-8; the installer writes them in Unicode.
            with open(os.path.join(payload, file_name.decode("gbk")), "wb") as f:
                f.write(content)
    script = os.path.join(work, f"{name}.nsi")
    exe = os.path.join(work, f"{name}.exe")
    with open(script, "w", encoding="ascii") as f:
        f.write(f"""Unicode true
Target {target}
SetCompressor {compressor}
Name "payload"
OutFile "{exe}"
InstallDir "{PEER_DIR.rstrip(chr(92))}"
RequestExecutionLevel admin
SilentInstall silent
Section
  SetOutPath "$INSTDIR"
  File "{payload}/*.*"
SectionEnd
""")
    run(["makensis", "-V2", script])
    return exe


# ---------------------------------------------------------------------------
# Timing


def timed_process(box: winebox.CasePrefix, exe: str, args: Sequence[str]) -> float:
    """Seconds from starting `exe` to its end, waited for without polling."""
    started = time.perf_counter()
    program = subprocess.Popen([wine_env.loader_for(exe), exe, *args], env=box.env, cwd=box.cwd,
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    code = program.wait()
    seconds = time.perf_counter() - started
    if code != 0:
        raise SystemExit(f"{os.path.basename(exe)} ended with {code}")
    return seconds


def warm_prefix(harness: winebox.Harness, box: winebox.CasePrefix) -> subprocess.Popen:
    """Starts the prefix's wineserver (the watcher) and a windowed program, so that
    Wine's desktop is up before the measured process starts."""
    box._start_watcher()
    plain = subprocess.Popen([wine_env.loader_for(harness.tool(PLAIN_EXE)), harness.tool(PLAIN_EXE)], env=box.env,
                             cwd=box.cwd, stdin=subprocess.DEVNULL,
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    timed_process(box, harness.tool(NOOP_EXE), [])
    time.sleep(0.3)
    return plain


def check_ours(harness: winebox.Harness, box: winebox.CasePrefix, exe: str) -> List[str]:
    harness.exe = exe
    setting = silent.Setting(harness, "win7", 936)
    silent.wait_for_started_programs(box, exe, silent.STARTED_PROGRAMS_GRACE)
    check = checks.Expectations()
    check.context("our installer")
    silent.expect_install_dir(check, box, setting, silent.expected_install_dir(setting))
    silent.expect_system_files(check, box, setting)
    return check.failures


def check_peer(box: winebox.CasePrefix, files: Files) -> List[str]:
    placed, nested = checks.folder_files(box, PEER_DIR, "gbk")
    expected: Dict[bytes, bytes] = dict(files)
    wrong = [n.decode("gbk", "replace") for n in sorted(set(placed) | set(expected))
             if placed.get(n) != expected.get(n)]
    return [f"NSIS install: {len(wrong)} files wrong or missing, e.g. {wrong[:5]}"] if wrong \
        else ([f"NSIS install: unexpected folders {nested}"] if nested else [])


def measure(harness: winebox.Harness, programs: Dict[str, Tuple[str, List[str]]],
            files: Files, runs: int) -> Dict[str, List[float]]:
    samples: Dict[str, List[float]] = {name: [] for name in programs}
    names = list(programs)
    for i in range(runs):
        order = names[i % len(names):] + names[:i % len(names)]
        for name in order:
            exe, args = programs[name]
            with harness.prefix("win7", 936) as box:
                plain = warm_prefix(harness, box)
                samples[name].append(timed_process(box, exe, args))
                failures = (check_ours(harness, box, exe) if name.startswith("ours")
                            else check_peer(box, files) if name.startswith("nsis") else [])
                plain.kill()
                box.shutdown(check_leftovers=False)
            if failures:
                raise SystemExit("\n".join(failures))
        print(f"  run {i + 1}: " + ", ".join(f"{n} {samples[n][-1] * 1000:.0f} ms" for n in names),
              flush=True)
    return samples


def report(title: str, count: int, size: int, samples: Dict[str, List[float]]) -> None:
    median = {name: statistics.median(values) for name, values in samples.items()}
    print(f"\n{title}: {count} files, {size / 1e6:.1f} MB, median of "
          f"{len(samples['noop'])} runs")
    for name, value in median.items():
        print(f"  {name:14s} {value * 1000:7.0f} ms")
    for ours in (n for n in median if n.startswith("ours")):
        bits = ours.split("-")[0][len("ours"):]
        peer = median[f"nsis{bits}-zlib"]
        ratio = (median[ours] - REQUIRED_WAITS) / peer
        print(f"  {ours}: {median[ours] / peer:.2f} of NSIS{bits} zlib; "
              f"({ours} - {REQUIRED_WAITS:.1f} s) / NSIS{bits} zlib = {ratio:.2f}; "
              f"NSIS{bits} LZMA {median[f'nsis{bits}-lzma'] / peer:.2f}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--payload", choices=("demo", "large", "both"), default="both")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "peer-bench"))
    parser.add_argument("--bits", choices=("32", "64", "both"), default="both",
                        help="which kinds of program to compare (default both)")
    parser.add_argument("--before", metavar="COMMIT",
                        help="also time our installer built from COMMIT, with the same package")
    args = parser.parse_args()
    tools = os.path.join(ROOT, "build", "win64", "tests", "e2e", "win")
    kinds = ["32", "64"] if args.bits == "both" else [args.bits]
    base = demo_files()
    payloads = {"demo": base, "large": base + large_files([n for n, _ in base])}
    chosen = ["demo", "large"] if args.payload == "both" else [args.payload]
    for payload in chosen:
        files = payloads[payload]
        work = os.path.join(args.work, payload)
        # The installer's build folder stays: rebuilding it is incremental.
        for stale in ("payload", "run"):
            shutil.rmtree(os.path.join(work, stale), ignore_errors=True)
        os.makedirs(work, exist_ok=True)
        print(f"building the installers of the {payload} payload", flush=True)
        package = write_package(work, files)
        programs: Dict[str, Tuple[str, List[str]]] = {"noop": ("", [])}
        for bits in kinds:
            preset, target = KINDS[bits]
            programs[f"ours{bits}"] = (
                build_ours(ROOT, preset, os.path.join(work, f"build-ours{bits}"), package),
                ["setzvsrf32"])
            for compressor, label in (("zlib", "zlib"), ("/SOLID lzma", "lzma")):
                name = f"nsis{bits}-{label}"
                programs[name] = (build_peer(work, files, target, compressor, name), ["/S"])
            if args.before:
                before = build_ours(source_at(args.work, args.before), preset,
                                    os.path.join(work, f"build-before{bits}"), package)
                programs[f"ours{bits}-before"] = (before, ["setzvsrf32"])
        ours = programs[f"ours{kinds[0]}"][0]
        harness = winebox.Harness(ours, tools, os.path.join(work, "run"), "peer-bench")
        programs["noop"] = (harness.tool(NOOP_EXE), [])
        try:
            samples = measure(harness, programs, files, args.runs)
        finally:
            harness.close(failed=False)
        report(payload, len(files), sum(len(c) for _, c in files), samples)
    return 0


if __name__ == "__main__":
    sys.exit(main())
