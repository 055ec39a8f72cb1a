"""Template Wine prefixes, made once and laid under every case's own prefix.

A template is a finished prefix for one Windows variant and one code page:

    win7     Windows 7, 64-bit (Wine's version set to win7; C:\\windows\\syswow64 exists)
    win7x86  the same without C:\\windows\\syswow64, so it looks like a 32-bit Windows
    winxp    Windows XP (major version 5)

Each is built for code page 936 (zh_CN.UTF-8) or 950 (zh_TW.UTF-8).  A template is
built only when a case asks for it, under a lock so that parallel test processes
build it once, in a scratch folder that is renamed into place when complete.  Its
folder name carries a stamp of the Wine version and of this file, so a changed
recipe or Wine gives new templates; templates of an earlier stamp are removed.
No case ever runs Wine inside a template: cases get an overlay (or a copy) of it.
"""

from __future__ import annotations

import contextlib
import fcntl
import hashlib
import os
import shutil
import subprocess
from typing import Dict, Iterator

import wine_env
import wine_reg

VARIANTS = ("win7", "win7x86", "winxp")

# Wine's own version setting for each variant.
_WINE_VERSION = {"win7": "win7", "win7x86": "win7", "winxp": "winxp"}

# GDI faces the program asks for, drawn with fonts Debian provides.
_FONT_REPLACEMENTS = {"宋体": "WenQuanYi Zen Hei Sharp", "楷体": "AR PL UKai CN"}

# Fonts of Debian's fonts-wine that draw the caption buttons.
_WINE_FONTS_DIR = "/usr/share/wine/fonts"
_WINE_FONTS = ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf")

_BOOT_TIMEOUT = 300


def _settings(variant: str) -> Dict[str, Dict[str, wine_env.RegData]]:
    return {
        # Unmanaged windows: without a window manager, managed ones stall on closing
        # and need explicit focus for keys.
        "HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver": {"Managed": "N"},
        "HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements": dict(_FONT_REPLACEMENTS),
        # A crashing program ends with a backtrace on stderr instead of waiting on a dialog.
        "HKEY_CURRENT_USER\\Software\\Wine\\WineDbg": {"ShowCrashDialog": 0},
        "HKEY_CURRENT_USER\\Software\\Wine": {"Version": _WINE_VERSION[variant]},
    }


def recipe_stamp() -> str:
    """Names the Wine version and this recipe; part of every template's folder name."""
    version = subprocess.run(
        [wine_env.WINE64, "--version"], capture_output=True, text=True, check=False
    ).stdout.strip()
    with open(__file__, "rb") as f:
        recipe = f.read()
    return hashlib.sha256(version.encode() + b"\0" + recipe).hexdigest()[:12]


@contextlib.contextmanager
def _file_lock(path: str) -> Iterator[None]:
    with open(path, "a+") as handle:
        fcntl.flock(handle, fcntl.LOCK_EX)
        try:
            yield
        finally:
            fcntl.flock(handle, fcntl.LOCK_UN)


class TemplateStore:
    """The templates of one run folder; `get` builds a missing one and returns its path."""

    def __init__(self, root: str, display: str):
        self._root = os.path.abspath(root)
        self._display = display
        self._stamp = recipe_stamp()
        os.makedirs(self._root, exist_ok=True)

    def get(self, variant: str, codepage: int) -> str:
        """The folder of the finished template prefix for `variant` and `codepage`."""
        if variant not in VARIANTS:
            raise wine_env.HarnessError(f"unknown Windows variant {variant!r}")
        wine_env.check_locales([codepage])
        name = f"{variant}-{codepage}"
        final = os.path.join(self._root, f"{name}.{self._stamp}")
        if os.path.isdir(final):
            return final
        with _file_lock(os.path.join(self._root, f"{name}.lock")):
            if not os.path.isdir(final):
                self._remove_stale(name)
                self._build(variant, codepage, final)
        return final

    def _remove_stale(self, name: str) -> None:
        for entry in os.listdir(self._root):
            if entry.startswith(name + ".") and not entry.endswith(".lock"):
                shutil.rmtree(os.path.join(self._root, entry), ignore_errors=True)

    def _build(self, variant: str, codepage: int, final: str) -> None:
        scratch = final + ".building"
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        prefix = os.path.join(scratch, "prefix")
        tmpdir = os.path.join(scratch, "tmp")
        os.makedirs(tmpdir)
        log = os.path.join(scratch, "build.log")
        env = wine_env.wine_env(prefix, codepage, tmpdir, self._display)
        if variant == "win7":
            self._boot(env, log)
        else:
            subprocess.run(["cp", "-a", self.get("win7", codepage), prefix], check=True)
        if variant == "win7x86":
            shutil.rmtree(os.path.join(prefix, "drive_c", "windows", "syswow64"))
        else:
            wine_env.import_reg(_settings(variant), env, scratch, log)
            wine_env.stop_wineserver(env)
        _check_template(prefix, variant, log)
        # Wine notes the name of its socket folder (under TMPDIR) in the prefix; each
        # case has its own TMPDIR, so the note is dropped.
        with contextlib.suppress(FileNotFoundError):
            os.remove(os.path.join(prefix, "wineserver"))
        os.rename(prefix, final)
        shutil.rmtree(scratch, ignore_errors=True)

    @staticmethod
    def _boot(env: Dict[str, str], log: str) -> None:
        code = wine_env.run_wine(["wineboot", "-i"], env, log, timeout=_BOOT_TIMEOUT)
        if code != 0:
            raise wine_env.HarnessError(f"wineboot -i ended with exit code {code}; see {log}")
        fonts = os.path.join(env["WINEPREFIX"], "drive_c", "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        for font in _WINE_FONTS:
            source = os.path.join(_WINE_FONTS_DIR, font)
            if not os.path.exists(source):
                raise wine_env.HarnessError(f"{source} is missing (Debian package fonts-wine)")
            shutil.copy2(source, fonts)


def _check_template(prefix: str, variant: str, log: str) -> None:
    """Confirms that the settings reached the saved registry and the folders are right."""
    user = wine_reg.load_hive(os.path.join(prefix, "user.reg"))
    for key, values in _settings(variant).items():
        path = key.split("\\", 1)[1]
        for name, data in values.items():
            value = user.value(path, name)
            if value is None:
                seen = None
            else:
                seen = value.dword() if isinstance(data, int) else value.text()
            if seen != data:
                raise wine_env.HarnessError(
                    f"template {variant}: HKCU\\{path} {name!r} is {seen!r}, not {data!r}; "
                    f"see {log}"
                )
    syswow64 = os.path.isdir(os.path.join(prefix, "drive_c", "windows", "syswow64"))
    if syswow64 != (variant != "win7x86"):
        raise wine_env.HarnessError(f"template {variant}: syswow64 present = {syswow64}")
