"""End-to-end cases of the user's data across a reinstall through the wizard.

When the wizard's window is created it packs the data files of the earlier install
directory (the one remembered in the Windows directory) into zavoback.zvz there;
once the package is unpacked it asks whether to keep the earlier data, and on Yes
writes the archive's files back over the new ones and says how many came back.  The
first eight files come back under their .bak names, copies the backup made beside
the originals.  The cases change every file the backup takes (among them a 3 MiB
zavopyck.zvh larger than the installer's scratch buffer and a 20 KB zvszsj05.zvh, both
of random bytes, which do not compress), then read every restored file byte for byte.
"""

from __future__ import annotations

import random
from typing import Dict, List, Sequence, Tuple

from checks import case_table, ExpectedBox, Expectations, folder_files
import container
import package_model
from package_model import PlacedFile
import silent_install_cases as silent
from silent_install_cases import INSTALL_DIR, Setting
import winebox
import wizard_cases as wizard

ARCHIVE = b"zavoback.zvz"
# Copied within the folder to their .bak names, and packed as those copies.
COPIED_FIRST = (b"zavopyck", b"zvszsj43", b"cfontset", b"cwbzlcz1", b"zvwbcmxz", b"zvdhzcm",
                b"zavodhz", b"zvgbkhz")
PACKED_AS_THEY_ARE = (b"zvszsj43.zvh", b"zavodwdw.txt", b"zavozdym.zvh", b"zvpyzdym.zvh",
                      b"zvwbpy.txt", b"zavoynhz.txt", b"zavozdfh.zvh", b"userck.txt",
                      b"delck.txt", b"ftzvzdym.txt", b"ftpyzdym.txt", b"zavopymb.ov1",
                      b"zvgbkbh.zvh", b"zvszsj05.zvh", b"zvszsj06.zvh")
# Packed only by the shape-code edition, never by the wizard.
SHAPE_CODE_ONLY = b"cwb.ov1"
LARGE_SIZES = {b"zavopyck.zvh": 3 * 1024 * 1024, b"zvszsj05.zvh": 20 * 1024}

QUESTION_CAPTION = "智能岚汀安装"
SAME_DIR_QUESTION = ExpectedBox(QUESTION_CAPTION,
                                "检测到安装目录下有智能岚汀以前的词组等数据文件，是否保留？",
                                ("yes", "no"))
OTHER_DIR_QUESTION = ExpectedBox(QUESTION_CAPTION,
                                 "检测到有智能岚汀以前的词组等数据文件，是否保留？", ("yes", "no"))
OLD_DIR = "C:\\old\\zavoli\\"

# The first install's choices, and the second's when the earlier data is not kept.
FIRST_CHOICE = (102, 111)
SECOND_CHOICE = (107, 112)

CASES, case = case_table()


def restored_box(count: int) -> ExpectedBox:
    return ExpectedBox(wizard.CAPTION, f"成功恢复了{count}个原有数据文件！")


# ---------------------------------------------------------------------------
# The user's files and their archive


def user_files(setting: Setting, empty: Sequence[bytes] = ()) -> Dict[bytes, bytes]:
    """New contents for every file the backup takes, and for the one it leaves out:
    random bytes (none for the names in `empty`), except the option record, which keeps
    its size with other options."""
    chance = random.Random(f"user data {setting.label}")
    names = [name + b".zvh" for name in COPIED_FIRST] + list(PACKED_AS_THEY_ARE)
    files = {name: chance.randbytes(LARGE_SIZES.get(name, chance.randrange(1, 4096)))
             for name in names + [SHAPE_CODE_ONLY]}
    files.update({name: b"" for name in empty})
    record = bytearray(setting.package.entry(package_model.OPTION_RECORD.decode()).content)
    record[0:4] = b"\x07\x09\x03\x01"
    files[package_model.OPTION_RECORD] = bytes(record)
    return files


def archive_records(files: Dict[bytes, bytes]) -> List[Tuple[bytes, bytes]]:
    """What the archive packs, in its order: the .bak copies, then the files."""
    copies = [(name + b".bak", files[name + b".zvh"]) for name in COPIED_FIRST]
    return copies + [(name, files[name]) for name in PACKED_AS_THEY_ARE]


def seed_user_files(box: winebox.CasePrefix, setting: Setting, folder: str,
                    empty: Sequence[bytes] = ()) -> Dict[bytes, bytes]:
    files = user_files(setting, empty)
    for name, content in files.items():
        box.write_file(folder + name.decode("ascii"), content)
    return files


def expect_archive(check: Expectations, data: bytes, records: List[Tuple[bytes, bytes]],
                   where: str) -> None:
    """An archive in the digest layout holding exactly `records` in order, with no
    bytes after them, each header zero where no field lies."""
    try:
        archive = container.parse_container(data, empty_records=True)
    except container.ContainerError as error:
        check.fail(f"{where}: archive", "a sound container", str(error))
        return
    check.equal(f"{where}: layout and trailing bytes", ("digest", b""),
                (archive.layout, archive.trailing))
    check.equal(f"{where}: end offset", len(data), archive.end_offset)
    check.equal(f"{where}: records (name, size)", [(n, len(c)) for n, c in records],
                [(r.name, len(r.content)) for r in archive.records])
    check.equal(f"{where}: records whose content differs from the user's file", [],
                [r.name for r, (_, content) in zip(archive.records, records)
                 if r.content != content])
    position, dirty = container.HEADER_SIZE, []
    for record in archive.records:
        header = data[position:position + container.DIGEST_RECORD_HEADER]
        if any(header[2 + len(record.name):18]) or any(header[50:52]):
            dirty.append(record.name)
        position += container.DIGEST_RECORD_HEADER + record.stream_size
    check.equal(f"{where}: record headers with bytes outside their fields", [], dirty)


def expect_folder(check: Expectations, box: winebox.CasePrefix, folder: str,
                  expected: Dict[bytes, bytes]) -> None:
    """The folder holds the archive and exactly the `expected` files, byte for byte."""
    seen = folder_files(box, folder, "gbk")[0]
    check.equal(f"files in {folder}", sorted([*expected, ARCHIVE]), sorted(seen))
    check.equal(f"files in {folder} whose content changed", [],
                [name for name, content in expected.items() if seen.get(name) != content])


def restored(records: List[Tuple[bytes, bytes]]) -> Dict[bytes, PlacedFile]:
    return {name: PlacedFile(content, "the user's file, restored") for name, content in records}


def archive_as_found(box: winebox.CasePrefix, folder: str) -> Dict[bytes, PlacedFile]:
    """The archive's bytes as they lie (checked by expect_archive), for the listings."""
    data = box.read_file(folder + ARCHIVE.decode())
    return {ARCHIVE: PlacedFile(data, "the backup archive")} if data is not None else {}


# ---------------------------------------------------------------------------
# The cases


def first_install(check: Expectations, box: winebox.CasePrefix, setting: Setting) -> None:
    check.context(f"{setting.label} first install through the wizard")
    silent.seed_plain(box, setting)
    run = wizard.open_wizard(check, box, setting)
    wizard.to_install_path_page(check, run, setting, None, shots=False)
    wizard.confirm_install(check, run, setting, *FIRST_CHOICE, shots=False)
    wizard.end_program(check, box, setting, run, [wizard.DONE_BOX])


def reinstall(harness: winebox.Harness, check: Expectations, variant: str, codepage: int,
              keep: bool, empty: Sequence[bytes] = ()) -> None:
    """Install, change the user's files (leaving those named in `empty` empty), start
    the wizard again and answer the question with Yes (`keep`) or No."""
    setting = Setting(harness, variant, codepage)
    with harness.prefix(variant, codepage) as box:
        first_install(check, box, setting)
        files = seed_user_files(box, setting, INSTALL_DIR, empty)
        records = archive_records(files)
        kept = "kept" if keep else "not kept"
        check.context(f"{setting.label} second install, earlier data {kept}")
        run = wizard.open_wizard(check, box, setting)
        wizard.to_install_path_page(check, run, setting, None, shots=False)
        if keep:
            wizard.confirm_install(check, run, setting, 0, 0, shots=False, boxes_first=["yes"],
                                   skin_dialog=False, boxes_after=["ok"])
            boxes = [SAME_DIR_QUESTION, restored_box(len(records)), wizard.DONE_BOX]
            wizard.end_program(check, box, setting, run, boxes, dialogs=0, installed=True)
        else:
            wizard.confirm_install(check, run, setting, *SECOND_CHOICE, shots=False,
                                   boxes_first=["no"])
            wizard.end_program(check, box, setting, run, [SAME_DIR_QUESTION, wizard.DONE_BOX])
        box.shutdown()
        archive = archive_as_found(box, INSTALL_DIR)
        expect_archive(check, archive[ARCHIVE].content if archive else b"", records,
                       INSTALL_DIR + ARCHIVE.decode())
        # The backup's .bak copies stay whatever the answer; the package brings its
        # own zavopyck.bak, which only a restore replaces.
        copies = {name: placed for name, placed in restored(records[:len(COPIED_FIRST)]).items()
                  if setting.package.entry(name.decode()) is None}
        overrides = {**copies, **archive, **(restored(records) if keep else {})}
        choice = FIRST_CHOICE if keep else SECOND_CHOICE
        wizard.expect_wizard_install(check, box, setting, b"", *choice, overrides=overrides)
        silent.expect_entries(check, box, wizard.PINYIN_NAME)


@case("reinstall_keep_data_win7_936")
def reinstall_keep_data_win7_936(harness: winebox.Harness, check: Expectations) -> None:
    """64-bit Windows 7, code page 936: Yes brings back all 23 files byte for byte (the
    3 MiB one too), the option record and the skin stay, no skin dialog is shown."""
    reinstall(harness, check, "win7", 936, keep=True)


@case("reinstall_keep_data_win7_950")
def reinstall_keep_data_win7_950(harness: winebox.Harness, check: Expectations) -> None:
    """The same under code page 950."""
    reinstall(harness, check, "win7", 950, keep=True)


@case("reinstall_keep_data_winxp")
def reinstall_keep_data_winxp(harness: winebox.Harness, check: Expectations) -> None:
    """The same on XP, where the count message comes right before the closing one, with
    an empty userck.txt: it comes back empty and counts as restored, with no message."""
    reinstall(harness, check, "winxp", 936, keep=True, empty=(b"userck.txt",))


@case("reinstall_discard_data")
def reinstall_discard_data(harness: winebox.Harness, check: Expectations) -> None:
    """No: the package's files and the second run's choices are in place, nothing is
    restored; the archive and the .bak copies the backup made stay."""
    reinstall(harness, check, "win7", 936, keep=False)


@case("reinstall_from_other_dir")
def reinstall_from_other_dir(harness: winebox.Harness, check: Expectations) -> None:
    """An earlier install remembered in another directory: the archive is made there,
    the question names no install directory, and Yes copies the archive into the new
    install directory and restores it there; the earlier directory keeps its files."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context(f"{setting.label} wizard over data remembered in {OLD_DIR}")
        silent.seed_plain(box, setting)
        box.write_file(silent.WINDOWS_FILE, OLD_DIR.encode("ascii"))
        files = seed_user_files(box, setting, OLD_DIR)
        records = archive_records(files)
        run = wizard.open_wizard(check, box, setting)
        wizard.to_install_path_page(check, run, setting, None, shots=False)
        # The new directory has no skin yet, so the dialog is shown although the data is kept.
        wizard.confirm_install(check, run, setting, *FIRST_CHOICE, shots=False,
                               boxes_first=["yes"], boxes_after=["ok"])
        wizard.end_program(check, box, setting, run,
                           [OTHER_DIR_QUESTION, restored_box(len(records)), wizard.DONE_BOX])
        box.shutdown()
        old_archive = archive_as_found(box, OLD_DIR)
        expect_archive(check, old_archive[ARCHIVE].content if old_archive else b"", records,
                       OLD_DIR + ARCHIVE.decode())
        new_archive = archive_as_found(box, INSTALL_DIR)
        check.equal("the archive copied into the install directory", old_archive, new_archive)
        wizard.expect_wizard_install(check, box, setting, b"", *FIRST_CHOICE,
                                     overrides={**restored(records), **new_archive})
        copies = dict(records[:len(COPIED_FIRST)])
        expect_folder(check, box, OLD_DIR, {**files, **copies})
        written = [OLD_DIR + name.decode() for name in [*copies, ARCHIVE]]
        silent.expect_changes_outside(check, box,
                                      silent.outside_paths(setting, fresh=True, extra=written))
