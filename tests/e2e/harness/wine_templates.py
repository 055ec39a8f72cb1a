"""Template Wine prefixes, made once and laid under every case's own prefix.

A template is a finished prefix for one Windows variant and one code page:

    win7     Windows 7, 64-bit: a 64-bit prefix (WINEARCH=win64), where a 32-bit program
             runs under WOW64 as on 64-bit Windows
    win7x86  Windows 7, 32-bit: a 32-bit prefix (WINEARCH=win32), a real 32-bit Windows
    winxp    Windows XP (major version 5): a 32-bit prefix with Wine's version set to winxp

For the 64-bit twin of the program, which a 32-bit prefix cannot run, the 32-bit systems
are 64-bit prefixes instead: win7x86 without C:\\windows\\syswow64 (so the program takes
the system for 32-bit), winxp with the version winxp.

Each is built for code page 936 (zh_CN.UTF-8) or 950 (zh_TW.UTF-8).  A template is
built only when a case asks for it, under a lock so that parallel test processes
build it once, in a scratch folder that is renamed into place when complete.  Its
folder name carries a stamp of the Wine version and of this file, so a changed
recipe or Wine gives new templates; templates of an earlier stamp are removed.
No case ever runs Wine inside a template: cases get an overlay (or a copy) of it.
"""

from __future__ import annotations

import contextlib
import dataclasses
import fcntl
import hashlib
import os
import shutil
import subprocess
from typing import Dict, Iterator, Optional

import wine_env
import wine_reg

VARIANTS = ("win7", "win7x86", "winxp")


@dataclasses.dataclass(frozen=True)
class Recipe:
    """How one variant's template is made."""

    name: str                   # the template's folder name, without code page and stamp
    arch: str                   # WINEARCH of the prefix
    version: str                # Wine's Windows version setting
    base: Optional[str] = None  # the variant it is copied from, or None to boot anew
    drop_syswow64: bool = False


# For the shipped 32-bit program: each Windows as it is.
_RECIPES_FOR_32BIT = {
    "win7": Recipe("win7", wine_env.WIN64, "win7"),
    "win7x86": Recipe("win7x86", wine_env.WIN32, "win7"),
    "winxp": Recipe("winxp", wine_env.WIN32, "winxp", base="win7x86"),
}

# For the 64-bit twin, which runs in 64-bit prefixes only.
_RECIPES_FOR_64BIT = {
    "win7": _RECIPES_FOR_32BIT["win7"],
    "win7x86": Recipe("win7x86-on64", wine_env.WIN64, "win7", base="win7", drop_syswow64=True),
    "winxp": Recipe("winxp-on64", wine_env.WIN64, "winxp", base="win7"),
}

# GDI faces the program asks for, drawn with fonts Debian provides.
_FONT_REPLACEMENTS = {"宋体": "WenQuanYi Zen Hei Sharp", "楷体": "AR PL UKai CN"}

# Fonts of Debian's fonts-wine that draw the caption buttons.
_WINE_FONTS_DIR = "/usr/share/wine/fonts"
_WINE_FONTS = ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf")

_BOOT_TIMEOUT = 300


def _settings(version: str) -> Dict[str, Dict[str, wine_env.RegData]]:
    return {
        # Unmanaged windows: without a window manager, managed ones stall on closing
        # and need explicit focus for keys.
        "HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver": {"Managed": "N"},
        "HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements": dict(_FONT_REPLACEMENTS),
        # A crashing program ends with a backtrace on stderr instead of waiting on a dialog.
        "HKEY_CURRENT_USER\\Software\\Wine\\WineDbg": {"ShowCrashDialog": 0},
        "HKEY_CURRENT_USER\\Software\\Wine": {"Version": version},
    }


def recipe_stamp() -> str:
    """Names the Wine version, whether its 32-bit side runs, and this recipe; part of
    every template's folder name."""
    version = subprocess.run(
        [wine_env.WINE64, "--version"], capture_output=True, text=True, check=False
    ).stdout.strip()
    version += " with 32-bit" if wine_env.probe_32bit() is None else " 64-bit only"
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
    """The templates of one run folder for a program of one kind (32-bit or the
    64-bit twin); `get` builds a missing one and returns its path."""

    def __init__(self, root: str, display: str, program_is_32bit: bool):
        self._root = os.path.abspath(root)
        self._display = display
        self._recipes = _RECIPES_FOR_32BIT if program_is_32bit else _RECIPES_FOR_64BIT
        self._stamp = recipe_stamp()
        os.makedirs(self._root, exist_ok=True)

    def arch(self, variant: str) -> str:
        """WINEARCH of the variant's prefixes."""
        return self._recipe(variant).arch

    def _recipe(self, variant: str) -> Recipe:
        if variant not in VARIANTS:
            raise wine_env.HarnessError(f"unknown Windows variant {variant!r}")
        return self._recipes[variant]

    def get(self, variant: str, codepage: int) -> str:
        """The folder of the finished template prefix for `variant` and `codepage`."""
        recipe = self._recipe(variant)
        wine_env.check_locales([codepage])
        name = f"{recipe.name}-{codepage}"
        final = os.path.join(self._root, f"{name}.{self._stamp}")
        if os.path.isdir(final):
            return final
        with _file_lock(os.path.join(self._root, f"{name}.lock")):
            if not os.path.isdir(final):
                self._remove_stale(name)
                self._build(recipe, codepage, final)
        return final

    def _remove_stale(self, name: str) -> None:
        for entry in os.listdir(self._root):
            if entry.startswith(name + ".") and not entry.endswith(".lock"):
                shutil.rmtree(os.path.join(self._root, entry), ignore_errors=True)

    def _build(self, recipe: Recipe, codepage: int, final: str) -> None:
        scratch = final + ".building"
        shutil.rmtree(scratch, ignore_errors=True)
        os.makedirs(scratch)
        prefix = os.path.join(scratch, "prefix")
        tmpdir = os.path.join(scratch, "tmp")
        os.makedirs(tmpdir)
        log = os.path.join(scratch, "build.log")
        env = wine_env.wine_env(prefix, codepage, tmpdir, self._display)
        if recipe.base is None:
            self._boot(recipe.arch, env, log)
        else:
            subprocess.run(["cp", "-a", self.get(recipe.base, codepage), prefix], check=True)
        if recipe.drop_syswow64:
            shutil.rmtree(os.path.join(prefix, "drive_c", "windows", "syswow64"))
        wine_env.import_reg(_settings(recipe.version), recipe.arch, env, scratch, log)
        wine_env.stop_wineserver(env)
        _check_template(prefix, recipe, log)
        # Wine notes the name of its socket folder (under TMPDIR) in the prefix; each
        # case has its own TMPDIR, so the note is dropped.
        with contextlib.suppress(FileNotFoundError):
            os.remove(os.path.join(prefix, "wineserver"))
        os.rename(prefix, final)
        shutil.rmtree(scratch, ignore_errors=True)

    @staticmethod
    def _boot(arch: str, env: Dict[str, str], log: str) -> None:
        code = wine_env.run_wine(wine_env.builtin_loader(arch), ["wineboot", "-i"],
                                 dict(env, WINEARCH=arch), log, timeout=_BOOT_TIMEOUT)
        if code != 0:
            raise wine_env.HarnessError(f"wineboot -i ended with exit code {code}; see {log}")
        fonts = os.path.join(env["WINEPREFIX"], "drive_c", "windows", "Fonts")
        os.makedirs(fonts, exist_ok=True)
        for font in _WINE_FONTS:
            source = os.path.join(_WINE_FONTS_DIR, font)
            if not os.path.exists(source):
                raise wine_env.HarnessError(f"{source} is missing (Debian package fonts-wine)")
            shutil.copy2(source, fonts)


def _check_template(prefix: str, recipe: Recipe, log: str) -> None:
    """Confirms that the settings reached the saved registry and the folders are right."""
    user = wine_reg.load_hive(os.path.join(prefix, "user.reg"))
    for key, values in _settings(recipe.version).items():
        path = key.split("\\", 1)[1]
        for name, data in values.items():
            value = user.value(path, name)
            if value is None:
                seen = None
            else:
                seen = value.dword() if isinstance(data, int) else value.text()
            if seen != data:
                raise wine_env.HarnessError(
                    f"template {recipe.name}: HKCU\\{path} {name!r} is {seen!r}, "
                    f"not {data!r}; see {log}"
                )
    syswow64 = os.path.isdir(os.path.join(prefix, "drive_c", "windows", "syswow64"))
    wanted = recipe.arch == wine_env.WIN64 and not recipe.drop_syswow64
    if syswow64 != wanted:
        raise wine_env.HarnessError(f"template {recipe.name}: syswow64 present = {syswow64}")
