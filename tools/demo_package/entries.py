"""Every entry of the demo package, in package order."""

import re

from container import ContainerError, digest_container, plain_container
from dictionaries import dictionary_files, extension_dictionary_files
from documents import document_files, help_page_files
from modules import program_modules
from phrases import pinyin_phrase_list, shape_code_phrase_list
from pictures import picture_files
from skins import skin_archives
from sounds import sound_files
from user_data import option_record, user_data_files

# Lower-case 8.3 names: a stem of 1 to 8 characters, an extension of up to 3.
SHORT_NAME = re.compile(r"^[a-z0-9_]{1,8}(\.[a-z0-9]{1,3})?$")


def inner_archives():
    """The two archives besides the skins: the help pages (digest layout)
    and the optional dictionaries (plain layout)."""
    help_pages = [(name.encode("ascii"), content) for name, content in help_page_files()]
    extensions = [(name.encode("ascii"), content) for name, content in extension_dictionary_files()]
    return [
        ("zvhelp.zvz", digest_container(help_pages)),
        ("zvdict.zvz", plain_container(extensions)),
    ]


def check_ascii_names(files):
    for name, _ in files:
        if not SHORT_NAME.match(name):
            raise ContainerError(f"entry name {name!r} is not a lower-case 8.3 name")


def package_entries(companion):
    """[(name as GBK bytes, content)]: every file of the package, with the
    compiled companion program `companion` as setupw64.exe."""
    named = program_modules() + [("setupw64.exe", companion)]
    named += [
        ("zavocyzk.bak", shape_code_phrase_list()),
        ("zavopyck.bak", pinyin_phrase_list()),
        ("zvszsj43.zvh", option_record()),
    ]
    named += user_data_files()
    named += dictionary_files()
    named += document_files()
    named += picture_files()
    named += sound_files()
    named += inner_archives()
    check_ascii_names(named)
    entries = [(name.encode("ascii"), content) for name, content in named]
    return entries + skin_archives()
