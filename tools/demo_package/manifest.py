"""demo.json: what the demo package holds, for the tests that install it.

For every entry: its name (and the name's GBK bytes in hexadecimal), its
size and MD5, how many version texts the installer stamps in it, and the
MD5 it has after stamping.  Also the names the installer itself writes
into the install directory and the ones it deletes there, the skins'
contents, and the package file's own size and MD5.
"""

import hashlib
import json

from modules import stamp_sites, stamped
from skins import PIECES

# Files the installer writes into the install directory besides the
# package's entries (install.zvh only in an interactive install).
INSTALLER_WRITES = (
    "zavoli32.ime",
    "zavocyzk.dat",
    "zavopyck.dat",
    "wbpybz.zvh",
    "zvnetsj.dat",
    "install.zvh",
)
# Entries the installer deletes after its second placement pass.
INSTALLER_DELETES = ("zavo320.ime", "zavo321.ime", "zavo640.ime", "zavo641.ime")
SKIN_FILES = ("zvbmp8.zvh",) + tuple(piece[0] for piece in PIECES)


def entry_facts(name, content):
    facts = {
        "name": name.decode("gbk"),
        "name_gbk": name.hex(),
        "size": len(content),
        "md5": hashlib.md5(content).hexdigest().upper(),
    }
    sites = stamp_sites(content)
    if sites:
        facts["stamp_sites"] = len(sites)
        facts["md5_after_stamp"] = hashlib.md5(stamped(content)).hexdigest().upper()
    return facts


def manifest_text(package, entries, trailer_file):
    manifest = {
        "package": {
            "size": len(package),
            "md5": hashlib.md5(package).hexdigest().upper(),
            "records": len(entries),
        },
        "entries": [entry_facts(name, content) for name, content in entries],
        "installer_writes": list(INSTALLER_WRITES),
        "installer_deletes": list(INSTALLER_DELETES),
        "skin_files": list(SKIN_FILES),
        "zavocyzk_installed": trailer_file,
    }
    return json.dumps(manifest, ensure_ascii=False, indent=1) + "\n"
