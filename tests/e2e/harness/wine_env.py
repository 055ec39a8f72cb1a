"""How the end-to-end tests start Wine: environment, commands, shutdown, seeding files.

Everything here talks to Debian's Wine 8.  Its 32-bit loader (/usr/lib/wine/wine, from
wine32:i386) runs 32-bit programs, in 64-bit prefixes under WOW64 and natively in 32-bit
prefixes; /usr/lib/wine/wine64 runs 64-bit programs.  Each program is started with the
loader of its own PE machine.  `probe_32bit` tells whether this machine runs the 32-bit
loader at all (a kernel without 32-bit support cannot).
"""

from __future__ import annotations

import os
import struct
import subprocess
import time
from typing import Dict, List, Mapping, Optional, Sequence, Union

WINE32 = "/usr/lib/wine/wine"
WINE64 = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

# PE machine values of the two kinds of program.
MACHINE_I386 = 0x14C
MACHINE_AMD64 = 0x8664

# Wine's prefix kinds (WINEARCH): a 64-bit Windows with WOW64, or a 32-bit one.
WIN64 = "win64"
WIN32 = "win32"

# The Unix locale that gives Wine each ANSI/OEM code page.
LOCALES = {936: "zh_CN.UTF-8", 950: "zh_TW.UTF-8"}

# Mono and Gecko would otherwise be offered for download in every new prefix.
DLL_OVERRIDES = "mscoree,mshtml="


class HarnessError(Exception):
    """The test machinery could not do its part (as opposed to the program failing)."""


def wine_env(
    prefix: str, codepage: int, tmpdir: str, display: str, debug: str = "-all"
) -> Dict[str, str]:
    """The environment for a Wine process in `prefix` with the given code page.

    LC_ALL overrides LANG in Wine's choice of code page, so both are set; TMPDIR
    takes the wineserver's socket folder, which Wine never removes.
    """
    if codepage not in LOCALES:
        raise HarnessError(f"no locale known for code page {codepage}")
    env = {
        key: value
        for key, value in os.environ.items()
        if not key.startswith(("WINE", "LC_")) and key not in ("LANG", "LANGUAGE", "DISPLAY")
    }
    env.update(
        WINEPREFIX=os.path.abspath(prefix),
        LANG=LOCALES[codepage],
        LC_ALL=LOCALES[codepage],
        WINEDLLOVERRIDES=DLL_OVERRIDES,
        WINEDEBUG=debug,
        TMPDIR=tmpdir,
        DISPLAY=display,
    )
    return env


def check_tools(need_32bit: bool) -> None:
    """Fails clearly when a program the tests need is not installed."""
    loaders = (WINE32, WINE64) if need_32bit else (WINE64,)
    missing = [p for p in (*loaders, WINESERVER) if not os.access(p, os.X_OK)]
    missing += [p for p in ("Xvfb",) if not _on_path(p)]
    if missing:
        raise HarnessError(
            "missing programs: " + ", ".join(missing)
            + " (Debian packages wine64, wine32:i386, xvfb)"
        )


def probe_32bit() -> Optional[str]:
    """None when this machine runs Wine's 32-bit loader, else why it cannot.

    The loader is an i386 Linux program: it starts only where wine32:i386 is installed
    and the kernel runs 32-bit code ("Exec format error" where it does not).
    """
    if not os.access(WINE32, os.X_OK):
        return f"{WINE32} is not installed (Debian package wine32:i386)"
    try:
        done = subprocess.run([WINE32, "--version"], capture_output=True, text=True,
                              timeout=30, check=False)
    except OSError as error:
        return f"{WINE32} cannot be started: {error.strerror}"
    except subprocess.TimeoutExpired:
        return f"{WINE32} --version did not answer within 30 s"
    if done.returncode != 0 or not done.stdout.startswith("wine-"):
        return f"{WINE32} --version failed: {(done.stderr or done.stdout).strip()[:200]}"
    return None


def pe_machine(path: str) -> int:
    """The machine field of a PE file's header (MACHINE_I386, MACHINE_AMD64, ...)."""
    try:
        with open(path, "rb") as f:
            head = f.read(4096)
    except OSError as error:
        raise HarnessError(f"cannot read {path}: {error.strerror}") from None
    if head[:2] != b"MZ" or len(head) < 0x40:
        raise HarnessError(f"{path} is not a Windows program")
    offset = struct.unpack_from("<I", head, 0x3C)[0]
    if head[offset:offset + 4] != b"PE\0\0" or len(head) < offset + 6:
        raise HarnessError(f"{path} is not a Windows program")
    return struct.unpack_from("<H", head, offset + 4)[0]


def is_32bit_program(path: str) -> bool:
    return pe_machine(path) == MACHINE_I386


def loader_for(program: str) -> str:
    """The Wine loader that starts the Windows program `program`."""
    return WINE32 if is_32bit_program(program) else WINE64


def builtin_loader(arch: str) -> str:
    """The loader for Wine's own programs (regedit, wineboot) in a prefix of `arch`: a
    32-bit prefix has only 32-bit programs."""
    return WINE32 if arch == WIN32 else WINE64


def check_locales(codepages: Sequence[int]) -> None:
    """Fails clearly when a Unix locale needed for a code page is not generated.

    Without it Wine silently falls back to code page 1252.
    """
    listing = subprocess.run(
        ["locale", "-a"], capture_output=True, text=True, check=False
    ).stdout.split()
    present = {_normalize_locale(name) for name in listing}
    missing = [LOCALES[cp] for cp in codepages if _normalize_locale(LOCALES[cp]) not in present]
    if missing:
        raise HarnessError(
            "locale(s) not generated: "
            + ", ".join(missing)
            + " (enable them in /etc/locale.gen and run locale-gen; Debian package locales)"
        )


def _normalize_locale(name: str) -> str:
    return name.lower().replace("utf-8", "utf8")


def _on_path(program: str) -> bool:
    return any(
        os.access(os.path.join(folder, program), os.X_OK)
        for folder in os.environ.get("PATH", "/usr/bin").split(os.pathsep)
    )


def run_wine(
    loader: str,
    args: Sequence[str],
    env: Mapping[str, str],
    log_path: str,
    timeout: float,
    cwd: Optional[str] = None,
) -> int:
    """Runs `loader args...` to its end and returns its exit code; output goes to log_path."""
    command = f"{os.path.basename(loader)} {' '.join(args)}"
    with open(log_path, "ab") as log:
        log.write(("$ " + command + "\n").encode())
        log.flush()
        try:
            done = subprocess.run(
                [loader, *args],
                env=dict(env),
                stdin=subprocess.DEVNULL,
                stdout=log,
                stderr=log,
                timeout=timeout,
                cwd=cwd,
                check=False,
            )
        except subprocess.TimeoutExpired:
            raise HarnessError(f"{command} did not end within {timeout} s") from None
    return done.returncode


def stop_wineserver(env: Mapping[str, str], timeout: float = 60) -> None:
    """Ends every process of the prefix and waits until the registry is saved.

    `wineserver -k` ends the processes; `wineserver -w` returns once the server has
    written system.reg and user.reg and exited.  A wineserver is never killed outright:
    it would lose the registry.
    """
    for flag in ("-k", "-w"):
        try:
            subprocess.run(
                [WINESERVER, flag],
                env=dict(env),
                stdin=subprocess.DEVNULL,
                capture_output=True,
                timeout=timeout,
                check=False,
            )
        except subprocess.TimeoutExpired:
            raise HarnessError(f"wineserver {flag} did not return within {timeout} s") from None


def prefix_processes(prefix: str) -> List[str]:
    """Processes whose environment names `prefix` as WINEPREFIX, as "pid: command" texts."""
    marker = b"WINEPREFIX=" + os.path.abspath(prefix).encode() + b"\0"
    found = []
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if int(pid) == os.getpid():
            continue
        try:
            with open(f"/proc/{pid}/environ", "rb") as f:
                environ = b"\0" + f.read()
            with open(f"/proc/{pid}/cmdline", "rb") as f:
                command = f.read().replace(b"\0", b" ").decode(errors="replace").strip()
        except OSError:
            continue
        if b"\0" + marker in environ:
            found.append(f"{pid}: {command}")
    return found


def wait_for_no_processes(prefix: str, grace: float = 3.0) -> List[str]:
    """Waits up to `grace` seconds for the prefix's processes to end; returns those left."""
    deadline = time.monotonic() + grace
    while True:
        left = prefix_processes(prefix)
        if not left or time.monotonic() >= deadline:
            return left
        time.sleep(0.1)


def dos_path(unix_path: str) -> str:
    """The path under Wine's Z: drive (the Unix root) for an absolute Unix path."""
    return "Z:" + os.path.abspath(unix_path).replace("/", "\\")


RegData = Union[str, int, bytes]


def reg_file_text(keys: Mapping[str, Mapping[str, RegData]]) -> str:
    """A regedit import file: key path -> {value name ("" = default): data}.

    str data becomes REG_SZ, int becomes REG_DWORD, bytes becomes REG_BINARY.
    """
    lines = ["Windows Registry Editor Version 5.00", ""]
    for key, values in keys.items():
        lines.append(f"[{key}]")
        for name, data in values.items():
            target = "@" if name == "" else _reg_quote(name)
            lines.append(f"{target}={_reg_data(data)}")
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


def _reg_quote(text: str) -> str:
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _reg_data(data: RegData) -> str:
    if isinstance(data, bool):
        raise HarnessError("registry seed data cannot be bool")
    if isinstance(data, int):
        return f"dword:{data:08x}"
    if isinstance(data, bytes):
        return "hex:" + ",".join(f"{b:02x}" for b in data)
    return _reg_quote(data)


def import_reg(
    keys: Mapping[str, Mapping[str, RegData]],
    arch: str,
    env: Mapping[str, str],
    work_dir: str,
    log_path: str,
) -> None:
    """Imports registry keys into the prefix of `env` with `regedit /s` (UTF-16LE file).

    Wine's own regedit of the prefix's `arch` writes the native view: in a 64-bit
    prefix a key meant for a 32-bit program's HKLM\\Software is named with its
    Wow6432Node path (see CasePrefix.software_key)."""
    path = os.path.join(work_dir, f"seed-{time.monotonic_ns()}.reg")
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + reg_file_text(keys).encode("utf-16-le"))
    code = run_wine(builtin_loader(arch), ["regedit", "/s", dos_path(path)], env, log_path,
                    timeout=60)
    if code != 0:
        raise HarnessError(f"regedit /s {path} ended with exit code {code}; see {log_path}")
