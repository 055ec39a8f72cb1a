#!/usr/bin/env python3
"""Builds the shipped zvsetup.exe twice and checks that the bytes agree.

Usage: reproducible_build.py SOURCE_DIR PEINFO

The source tree (its tracked and untracked, not ignored files, so uncommitted
work counts) is copied to two folders of different depth and name, and each
copy is configured with the win32 preset and builds only zvsetup. The two
copies are configured with the same SOURCE_DATE_EPOCH and built with a
different time zone, locale and umask; the second one builds without
SOURCE_DATE_EPOCH in its environment, as the configured value must hold. Both executables must be equal byte for byte, carry
SOURCE_DATE_EPOCH as their PE time stamp, and hold neither copy's path.

SOURCE_DATE_EPOCH is taken from the environment, else from the last commit.
Without git, every file but the build folders is copied.
ZV_REPRO_KEEP=1 keeps the temporary folder for a look at a failure.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

# Two copies whose paths differ in length as well as in name, so that a path
# that leaks into the image also shifts what follows it.
COPIES = ("a/src", "second-copy/of/the/zvsetup-sources")
# What differs between the two builds apart from the folder.
BUILD_ENVIRONMENTS = (
    {"TZ": "UTC", "LC_ALL": "C", "umask": 0o022, "epoch_when_building": True},
    {"TZ": "Asia/Shanghai", "LC_ALL": "C.UTF-8", "umask": 0o077, "epoch_when_building": False},
)
BUILD_JOBS = "2"


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def run(command, cwd, env, umask):
    print("+ " + " ".join(command), flush=True)
    previous = os.umask(umask)
    try:
        result = subprocess.run(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True)
    finally:
        os.umask(previous)
    if result.returncode != 0:
        fail("%s failed in %s:\n%s" % (" ".join(command), cwd, result.stdout[-4000:]))


# Without git, every file outside these top-level folders is a source.
NOT_SOURCES = ("build", "out", ".git")
# Without git and SOURCE_DATE_EPOCH, the time stamp to build with.
FALLBACK_EPOCH = "1700000000"


def git(source_dir, *arguments):
    try:
        return subprocess.run(["git"] + list(arguments), cwd=source_dir, check=True,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
    except (OSError, subprocess.CalledProcessError):
        return None


def source_files(source_dir):
    listed = git(source_dir, "ls-files", "-z", "--cached", "--others", "--exclude-standard")
    if listed is None:
        names = []
        for root, dirs, files in os.walk(source_dir):
            if root == source_dir:
                dirs[:] = [d for d in dirs if d not in NOT_SOURCES]
            names += [os.path.relpath(os.path.join(root, f), source_dir) for f in files]
        return names
    names = [name for name in listed.decode("utf-8").split("\0") if name]
    # A tracked file deleted in the work tree is not part of its sources.
    return [name for name in names if os.path.isfile(os.path.join(source_dir, name))]


def copy_sources(source_dir, files, destination):
    for name in files:
        target = os.path.join(destination, name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy2(os.path.join(source_dir, name), target)


def source_date_epoch(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return os.environ["SOURCE_DATE_EPOCH"]
    commit_time = git(source_dir, "log", "-1", "--format=%ct")
    return commit_time.decode().strip() if commit_time else FALLBACK_EPOCH


def build(copy_dir, epoch, settings):
    env = dict(os.environ, SOURCE_DATE_EPOCH=epoch, TZ=settings["TZ"],
               LC_ALL=settings["LC_ALL"])
    run(["cmake", "--preset", "win32"], copy_dir, env, settings["umask"])
    if not settings["epoch_when_building"]:
        del env["SOURCE_DATE_EPOCH"]
    run(["cmake", "--build", "--preset", "win32", "--target", "zvsetup", "-j", BUILD_JOBS],
        copy_dir, env, settings["umask"])
    with open(os.path.join(copy_dir, "build", "win32", "zvsetup.exe"), "rb") as exe:
        return exe.read()


def describe_difference(first, second):
    if len(first) != len(second):
        return "the sizes differ: %d and %d bytes" % (len(first), len(second))
    offsets = [i for i in range(len(first)) if first[i] != second[i]]
    return "%d bytes differ, the first at file offsets %s" % (
        len(offsets), ", ".join("0x%X" % offset for offset in offsets[:8]))


def time_stamp(peinfo, exe_path):
    report = subprocess.run([peinfo, exe_path], stdout=subprocess.PIPE, text=True).stdout
    for line in report.splitlines():
        if line.startswith("time stamp: "):
            return line[len("time stamp: "):]
    fail("peinfo reports no time stamp for " + exe_path)


def leaked_paths(image, paths):
    found = []
    for path in paths:
        for encoding in ("utf-8", "utf-16-le"):
            if path.encode(encoding) in image:
                found.append("%s (%s)" % (path, encoding))
    return found


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    source_dir, peinfo = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    epoch = source_date_epoch(source_dir)
    files = source_files(source_dir)
    work = tempfile.mkdtemp(prefix="zvrepro.")
    started = time.monotonic()
    try:
        images = []
        copy_dirs = [os.path.join(work, copy) for copy in COPIES]
        for copy_dir, settings in zip(copy_dirs, BUILD_ENVIRONMENTS):
            copy_sources(source_dir, files, copy_dir)
            images.append(build(copy_dir, epoch, settings))
        first_exe = os.path.join(copy_dirs[0], "build", "win32", "zvsetup.exe")
        if images[0] != images[1]:
            fail("the two builds of zvsetup.exe differ: " +
                 describe_difference(images[0], images[1]) + "; compare the peinfo reports of " +
                 " and ".join(os.path.join(d, "build", "win32", "zvsetup.exe")
                              for d in copy_dirs) + " (set ZV_REPRO_KEEP=1 to keep them)")
        stamp = time_stamp(peinfo, first_exe)
        if stamp != epoch:
            fail("the PE time stamp is %s, SOURCE_DATE_EPOCH is %s" % (stamp, epoch))
        leaks = leaked_paths(images[0], copy_dirs)
        if leaks:
            fail("zvsetup.exe holds the build folder's path: " + ", ".join(leaks))
        print("zvsetup.exe is the same in both builds (%d bytes, time stamp %s); "
              "two builds took %.0f s" % (len(images[0]), stamp, time.monotonic() - started))
        return 0
    finally:
        if os.environ.get("ZV_REPRO_KEEP") == "1":
            print("kept " + work)
        else:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
