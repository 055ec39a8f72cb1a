"""End-to-end cases of the wizard: the installer started without a switch, driven as a
person does (zvwizard.exe clicks, types, reads the screen and answers the skin dialog;
zvboxwatch.exe answers the message boxes).

The window's client area (394 x 285 under Wine's frame and caption) shows self-painted
pages.  Every page starts with 310 one-pixel rows of a gradient; the checks read
pixels where no text lies (Wine draws the pages' texts with the template's font
replacements, whose glyphs are not checked here), the raised frames of the buttons and
the field, and the welcome page's picture, which comes from the package's kpmt1.bmp.
What an install leaves is the silent install's model (package_model.py) with the
Pinyin edition's differences.
"""

from __future__ import annotations

import os
import re
import time
from typing import Callable, Dict, Iterable, List, Optional, Sequence, Tuple

from checks import case_table, ExpectedBox, Expectations, program_name
import bitmap_file
import hostile_package_cases as hostile
import incomplete_package
import package_model
from package_model import PlacedFile
import silent_install_cases as silent
from silent_install_cases import Setting
import startup_cases
import winebox

CONFIRM = (90, 255)
EXIT = (310, 255)
BETWEEN_BUTTONS = (200, 255)
# ConfirmButton (40,245)-(140,270), ExitButton (260,245)-(360,270), edges inclusive.
CONFIRM_CORNERS = ((40, 245), (140, 270))
BUTTON_FRAMES = ((40, 245, 140, 270), (260, 245, 360, 270))
FIELD_FRAME = (30, 192, 365, 217)
WEB_BOX = [130, 195, 360, 215]
NAME_BOX = [120, 195, 350, 215]

CAPTIONS = {"64": "智能岚汀系统安装3264", "32": "智能岚汀系统安装32", 950: "智能嵐汀系統安裝"}
DIALOG_CAPTIONS = {936: "智能岚汀皮肤及窗口模式选择", 950: "智能嵐汀皮膚及窗口模式選擇"}
DIALOG_OK = 105
MODE_BUTTONS = (101, 102, 106, 107)
SKIN_BUTTONS = (110, 111, 112)

CAPTION = "智能岚汀"
DONE_BOX = ExpectedBox(CAPTION, "安装完毕，如不能使用，请重新启动计算机！")
MEMORY_BOX = ExpectedBox(CAPTION, "检测到内存中有智能岚汀数据没有退出，请安装后重新启动机器再使用！")
PINYIN_NAME = "岚汀拼音"

# The typing-test page follows the processing page after this long (a timer).
PROCESSING_SECONDS = 1.6
INSTALL_TIMEOUT = 60.0
WINDOW_TIMEOUT = 30.0

CASES, case = case_table()


# ---------------------------------------------------------------------------
# What the pages look like


def welcome_colour(y: int) -> Tuple[int, int, int]:
    return 0, (2 * y - 112) % 256, 250 - 140 * y // 310


def page_colour(y: int) -> Tuple[int, int, int]:
    return 150 * y // 310, 255 * y // 310, 250 - 150 * y // 310


LEFT_COLUMNS = range(2, 6)
RIGHT_COLUMNS = range(390, 394)

# Per page: its gradient, and the rows where the left and the right columns are free of
# text and pictures.  The texts start at x 10 or more; some run past the right edge.
PAGES = {
    "welcome": (welcome_colour, [range(190, 285)], [range(190, 285)]),
    "web address": (page_colour, [range(0, 285)], [range(0, 9), range(45, 68), range(135, 285)]),
    "install path": (page_colour, [range(0, 285)], [range(0, 19), range(180, 285)]),
    "processing": (page_colour, [range(0, 285)], [range(0, 19), range(115, 285)]),
    "typing test": (page_colour, [range(0, 285)], [range(0, 19), range(180, 285)]),
}
FRAMES = {
    "welcome": BUTTON_FRAMES, "web address": BUTTON_FRAMES + (FIELD_FRAME,),
    "install path": BUTTON_FRAMES + (FIELD_FRAME,), "processing": (),
    "typing test": BUTTON_FRAMES,
}

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)


def frame_pixels(left: int, top: int, right: int, bottom: int) -> Dict[Tuple[int, int], tuple]:
    """The pixels of a raised frame: black from (l,b) to (r,b) and on to (r,t), white
    from (r,t) to (l,t) and on to (l,b), each line without its end point."""
    pixels = {}
    for x in range(left, right):
        pixels[(x, bottom)] = BLACK
    for y in range(bottom, top, -1):
        pixels[(right, y)] = BLACK
    for x in range(right, left, -1):
        pixels[(x, top)] = WHITE
    for y in range(top, bottom):
        pixels[(left, y)] = WHITE
    return pixels


class PageCheck:
    """Compares a screenshot with what a page must show; reports a few differences."""

    LIMIT = 5

    def __init__(self, check: Expectations, picture: bitmap_file.Picture, what: str):
        self.check = check
        self.picture = picture
        self.what = what
        self.wrong: List[str] = []
        self.count = 0

    def expect(self, x: int, y: int, colour: tuple) -> None:
        self.count += 1
        seen = self.picture.pixel(x, y)
        if seen != tuple(colour):
            self.wrong.append(f"({x},{y}) {seen} instead of {tuple(colour)}")

    def done(self) -> None:
        if self.wrong:
            self.check.fail(f"{self.what}: pixels", f"all {self.count} checked pixels right",
                            f"{len(self.wrong)} wrong: " + "; ".join(self.wrong[:self.LIMIT]))


def expect_page(check: Expectations, picture: bitmap_file.Picture, page: str,
                welcome: Optional[bitmap_file.Picture] = None) -> None:
    """The gradient of `page` at its free points and its frames; on the welcome page
    also the package's picture (`welcome`, kpmt1.bmp) where no text covers it."""
    check.equal(f"{page} page: screenshot size", (394, 285), (picture.width, picture.height))
    if (picture.width, picture.height) != (394, 285):
        return
    colour, left_rows, right_rows = PAGES[page]
    pixels = PageCheck(check, picture, f"{page} page")
    for columns, row_ranges in ((LEFT_COLUMNS, left_rows), (RIGHT_COLUMNS, right_rows)):
        for rows in row_ranges:
            for y in rows:
                for x in columns:
                    pixels.expect(x, y, colour(y))
    for frame in FRAMES[page]:
        for (x, y), expected in frame_pixels(*frame).items():
            pixels.expect(x, y, expected)
    for frame in set(BUTTON_FRAMES + (FIELD_FRAME,)) - set(FRAMES[page]):
        # A frame the page does not draw: its corners keep the gradient.
        for x, y in ((frame[0], frame[3]), (frame[2], frame[1])):
            pixels.expect(x, y, colour(y))
    if welcome is not None:
        expect_welcome_picture(pixels, welcome)
    pixels.done()


# Rectangles of the welcome picture's area where the page writes text.
WELCOME_TEXT = ((70, 88, 280, 128), (8, 163, 394, 190))
STRIP = (73, 90, 128, 35)


def expect_welcome_picture(pixels: PageCheck, welcome: bitmap_file.Picture) -> None:
    """The top 400 x 190 of kpmt1.bmp at (0,0), sampled, apart from the texts; the
    left edge of the title strip (rows 90 and 91 of the picture stretched over 35
    rows) where the title text does not reach."""
    for y in range(0, 190, 3):
        for x in range(0, 394, 5):
            if any(l <= x < r and t <= y < b for l, t, r, b in WELCOME_TEXT):
                continue
            pixels.expect(x, y, welcome.pixel(x, y))
    left, top, _, height = STRIP
    for x in (left, left + 1):
        if welcome.pixel(x, top) != welcome.pixel(x, top + 1):
            continue  # which source row a stretched row shows is not fixed then
        for y in range(top, top + height):
            pixels.expect(x, y, welcome.pixel(x, top))


def welcome_picture(setting: Setting) -> bitmap_file.Picture:
    entry = setting.package.entry(package_model.WELCOME_PICTURE)
    if entry is None:
        raise winebox.HarnessError("the package has no kpmt1.bmp")
    return bitmap_file.Picture(entry.content)


# ---------------------------------------------------------------------------
# Walking through the wizard


def visible_edits(run: winebox.InteractiveRun) -> List[List[int]]:
    return [edit["rect"] for edit in run.edits() if edit["visible"]]


def shown_edits(run: winebox.InteractiveRun, expected: list, timeout: float = 5.0) -> list:
    """The visible edit boxes ([rect, text] each), read until they are `expected` or
    `timeout` passed: a page shows its box when it has handled the click."""
    deadline = time.monotonic() + timeout
    while True:
        seen = [[edit["rect"], edit["text"]] for edit in run.edits() if edit["visible"]]
        if seen == expected or time.monotonic() >= deadline:
            return seen
        time.sleep(0.05)


def caption_for(setting: Setting) -> str:
    if setting.codepage == 950:
        return CAPTIONS[950]
    return CAPTIONS["64" if setting.sixty_four_bit and setting.major >= 6 else "32"]


def open_wizard(check: Expectations, box: winebox.CasePrefix,
                setting: Setting) -> winebox.InteractiveRun:
    """Starts the program without a switch and checks its window."""
    run = box.start("")
    window = run.window(WINDOW_TIMEOUT)
    check.equal("main window caption", caption_for(setting), window["caption"])
    left, top, right, bottom = window["rect"]
    check.equal("main window size", (400, 310), (right - left, bottom - top))
    return run


def to_install_path_page(check: Expectations, run: winebox.InteractiveRun, setting: Setting,
                         address: Optional[str], shots: bool, prefilled: str = "") -> None:
    """Welcome page -> web-address page (typing `address`) -> install-path page, with
    the pages' screenshots checked when `shots`."""
    if shots:
        expect_page(check, run.shot("welcome"), "welcome", welcome_picture(setting))
        run.click(*BETWEEN_BUTTONS)
        expect_page(check, run.shot("welcome-after-click-between"), "welcome",
                    welcome_picture(setting))
    check.equal("edit boxes shown on the welcome page", [], visible_edits(run))
    run.click(*CONFIRM_CORNERS[0])
    if shots:
        expect_page(check, run.shot("web-address"), "web address")
    check.equal("edit boxes shown on the web-address page (place, text)",
                [[WEB_BOX, prefilled]], shown_edits(run, [[WEB_BOX, prefilled]]))
    if address:
        check.equal("web-address box text after typing", prefilled + address, run.type(address))
    run.click(*CONFIRM_CORNERS[1], right=True)
    if shots:
        expect_page(check, run.shot("install-path"), "install path")
    check.equal("edit boxes shown on the install-path page", [], shown_edits(run, []))


def choose_skin(check: Expectations, run: winebox.InteractiveRun, setting: Setting,
                mode: int, skin: int, shot: bool) -> None:
    """The skin dialog: its template, the defaults, the choice, then OK."""
    dialog = run.dialog(INSTALL_TIMEOUT)
    check.equal("skin dialog caption", DIALOG_CAPTIONS[setting.codepage], dialog["caption"])
    main = run.window_info["rect"]
    check.equal("skin dialog's top-left corner", main[:2], dialog["rect"][:2])
    checked = {c["id"]: c["checked"] for c in dialog["controls"] if c["class"] == "Button"}
    check.equal("skin dialog buttons checked at first",
                {i: int(i in (101, 110)) for i in MODE_BUTTONS + SKIN_BUTTONS},
                {i: checked.get(i) for i in MODE_BUTTONS + SKIN_BUTTONS})
    if shot:
        run.dialog_shot("skin-dialog")
    for control in (mode, skin):
        run.dialog_click(control)
    check.equal("skin dialog buttons checked after the choice",
                {i: int(i in (mode, skin)) for i in MODE_BUTTONS + SKIN_BUTTONS},
                {i: run.checked(i) for i in MODE_BUTTONS + SKIN_BUTTONS})
    run.dialog_click(DIALOG_OK)


def finish_typing_test(check: Expectations, run: winebox.InteractiveRun, ok_clicked: float,
                       shots: bool) -> None:
    """On 64-bit Windows 6+: the processing page for 1.6 s, then the typing-test page
    with its empty name box; the first confirming click stays, the second finishes."""
    if shots:
        expect_page(check, run.shot("processing"), "processing")
    check.equal("edit boxes shown on the processing page", [], visible_edits(run))
    deadline = time.monotonic() + 10.0
    while not visible_edits(run) and time.monotonic() < deadline:
        time.sleep(0.05)
    waited = time.monotonic() - ok_clicked
    if not PROCESSING_SECONDS - 0.1 <= waited <= PROCESSING_SECONDS + 3.0:
        check.fail("time from the skin dialog's OK to the typing-test page",
                   f"about {PROCESSING_SECONDS} s", f"{waited:.2f} s")
    check.equal("the typing-test page's name box (place, text)", [[NAME_BOX, ""]],
                shown_edits(run, [[NAME_BOX, ""]], timeout=0))
    if shots:
        expect_page(check, run.shot("typing-test"), "typing test")
    run.click(*CONFIRM)
    check.equal("message box after the first click on the typing-test page", None,
                run.next_box("ok", timeout=1.5))
    if shots:
        expect_page(check, run.shot("typing-test-second"), "typing test")
    check.equal("window after the first click on the typing-test page",
                {"event": "state", "exists": True, "visible": True}, run.window_state())
    run.click(*CONFIRM)


def confirm_install(check: Expectations, run: winebox.InteractiveRun, setting: Setting,
                    mode: int, skin: int, shots: bool, boxes_first: Sequence[str] = (),
                    skin_dialog: bool = True, boxes_after: Sequence[str] = ()) -> None:
    """The confirming click on the install-path page through to the closing message:
    the boxes answered with `boxes_first` come before the skin dialog (when one is
    shown), those answered with `boxes_after` after it."""
    run.click(*CONFIRM)
    for answer in boxes_first:
        run.next_box(answer, timeout=INSTALL_TIMEOUT)
    if skin_dialog:
        choose_skin(check, run, setting, mode, skin, shots)
    for answer in boxes_after:
        run.next_box(answer, timeout=INSTALL_TIMEOUT)
    ok_clicked = time.monotonic()
    typing_test = setting.sixty_four_bit and setting.major >= 6
    if typing_test:
        finish_typing_test(check, run, ok_clicked, shots)
    closing = run.next_box(None, timeout=INSTALL_TIMEOUT)
    if not typing_test:
        # The message comes before the window closes: no typing-test page came first.
        check.equal("edit boxes shown when the closing message appears", [], visible_edits(run))
    if closing:
        run.answer_open_box("ok")


# ---------------------------------------------------------------------------
# What the install leaves


def expect_wizard_install(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                          address: bytes, mode: int, skin: int,
                          overrides: Optional[Dict[bytes, PlacedFile]] = None) -> None:
    """Install directory, system folders and remembered files as the silent install
    leaves them, with the Pinyin edition's files and the choices of the wizard, and
    the install directory's files in `overrides` instead of the model's."""
    model = package_model.wizard_install(setting.model, setting.package, address, mode, skin,
                                         setting.codepage)
    expected = silent.expected_install_dir(setting)
    expected.update(model.install_dir)
    expected.update(overrides or {})
    stamp = box.read_file(silent.INSTALL_DIR + package_model.INSTALL_STAMP.decode())
    check.equal("install.zvh holds a tick count (decimal text)", True,
                stamp is not None and re.fullmatch(rb"-?[0-9]+", stamp) is not None)
    if stamp is not None:
        expected[package_model.INSTALL_STAMP] = PlacedFile(stamp, "the tick count")
    silent.expect_install_dir(check, box, setting, expected)
    silent.expect_system_files(check, box, setting)
    silent.expect_remembered(check, box, setting)


def end_program(check: Expectations, box: winebox.CasePrefix, setting: Setting,
                run: winebox.InteractiveRun, expected_boxes: Sequence[ExpectedBox],
                dialogs: int = 1, installed: Optional[bool] = None) -> None:
    """The program ends with 0 having shown exactly `expected_boxes` and `dialogs` skin
    dialogs; when it `installed` (by default: when it showed a dialog), the programs
    the install started end too."""
    result = run.wait_end(timeout=30.0)
    check.run_ended(result)
    check.boxes(result, program_name(setting.exe), expected_boxes)
    check.equal("dialogs owned by the main window", [DIALOG_CAPTIONS[setting.codepage]] * dialogs,
                [d.caption for d in result.dialogs])
    if installed if installed is not None else dialogs:
        left = silent.wait_for_started_programs(box, setting.exe, silent.STARTED_PROGRAMS_GRACE)
        check.equal("programs still running after the install", [], left)


def full_install(harness: winebox.Harness, check: Expectations, variant: str, codepage: int,
                 address: str, mode: int, skin: int, shots: bool) -> None:
    """A whole install through every page, checked as the silent install is."""
    setting = Setting(harness, variant, codepage)
    with harness.prefix(variant, codepage) as box:
        check.context(f"{setting.label} wizard, address {address!r}, buttons {mode}/{skin}")
        before, places = silent.seed_plain(box, setting)
        run = open_wizard(check, box, setting)
        to_install_path_page(check, run, setting, address, shots)
        confirm_install(check, run, setting, mode, skin, shots)
        end_program(check, box, setting, run, [DONE_BOX])
        box.shutdown()
        expect_wizard_install(check, box, setting, address.encode("ascii"), mode, skin)
        silent.expect_changes_outside(check, box, silent.outside_paths(setting, fresh=True))
        silent.expect_plain_registry(check, box, setting, before, places, PINYIN_NAME)


# ---------------------------------------------------------------------------
# The cases


@case("wizard_win7_936")
def wizard_win7_936(harness: winebox.Harness, check: Expectations) -> None:
    """64-bit Windows 7, code page 936: every page by screenshot (a click between the
    buttons changes nothing, a right click and the buttons' corners act), a typed web
    address, window mode 3 and the third skin, the processing and typing-test pages,
    the closing message; the result byte for byte."""
    full_install(harness, check, "win7", 936, "http://new.example/", 106, 112, shots=True)


@case("wizard_win7_950")
def wizard_win7_950(harness: winebox.Harness, check: Expectations) -> None:
    """The same under code page 950: the traditional caption and dialog template, the
    skin archive found by its GBK name, window mode 4 and the second skin."""
    full_install(harness, check, "win7", 950, "http://tw.example/", 107, 111, shots=False)


@case("wizard_32bit_and_xp")
def wizard_32bit_and_xp(harness: winebox.Harness, check: Expectations) -> None:
    """32-bit Windows 7 and XP: the caption ending in 32, the closing message right
    after the install (no typing-test page), window modes 2 and 1."""
    full_install(harness, check, "win7x86", 936, "", 102, 110, shots=False)
    full_install(harness, check, "winxp", 936, "x", 101, 111, shots=False)


EARLIER_NETWORK = b"ZVNETURL1=http://old.example/\r\nZVNETURL2=\r\nZVNETTIME=1\r\n"


@case("wizard_prefilled_address")
def wizard_prefilled_address(harness: winebox.Harness, check: Expectations) -> None:
    """An earlier zvnetsj.dat's "ZVNETURL1=" fills the web-address box; leaving the page
    writes the edition and network files into the existing install directory at once;
    ExitButton on the install-path page then closes without a message or an install."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard over an earlier zvnetsj.dat")
        network = silent.INSTALL_DIR + package_model.NETWORK_FILE.decode()
        edition = silent.INSTALL_DIR + package_model.EDITION_FILE.decode()
        box.write_file(network, EARLIER_NETWORK)
        run = open_wizard(check, box, setting)
        to_install_path_page(check, run, setting, None, shots=False,
                             prefilled="http://old.example/")
        check.file(box, edition, package_model.EDITION_PINYIN)
        check.file(box, network, package_model.network_settings(b"http://old.example/"))
        run.click(*EXIT)
        end_program(check, box, setting, run, [], dialogs=0)
        box.shutdown()
        check.changes(box, startup_cases.REMEMBERED + [edition, network])
        check.equal("files in the install directory", sorted([b"wbpybz.zvh", b"zvnetsj.dat"]),
                    sorted(silent.listing(box, setting)[0]))


@case("wizard_exit_on_welcome")
def wizard_exit_on_welcome(harness: winebox.Harness, check: Expectations) -> None:
    """ExitButton on the welcome page (a right click on its corner) closes at once: no
    message, exit code 0, only the start-up's remembered files written.  With no
    earlier install there is nothing to back up: a zavoback.zvz in the folder the
    program was started from stays as it was."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard, ExitButton on the welcome page")
        foreign = os.path.join(box.cwd, "zavoback.zvz")
        with open(foreign, "wb") as f:
            f.write(FOREIGN_ARCHIVE)
        run = open_wizard(check, box, setting)
        run.click(360, 270, right=True)
        end_program(check, box, setting, run, [], dialogs=0)
        box.shutdown()
        check.file(box, startup_cases.WINDOWS_FILE, startup_cases.DEFAULT_DIR)
        check.equal("paths changed on C:", sorted(p.lower() for p in startup_cases.REMEMBERED),
                    [p.lower() for p in box.changes()])
        with open(foreign, "rb") as f:
            check.equal("the zavoback.zvz of the working folder", FOREIGN_ARCHIVE, f.read())
        check.equal("files in the working folder", ["zavoback.zvz"], box.stray_files())
        startup_cases.expect_no_ime(check, box)


# Someone else's file that happens to bear the backup archive's name.
FOREIGN_ARCHIVE = b"C0\x0a\x00\x00\x00\x00\x00\x00\x00 not the installer's"


OWNER_TITLE = "记事本 - 测试文档"


def ime_windows_box(titles: Sequence[str]) -> ExpectedBox:
    """The list of the programs whose windows own a "UIKPMT" window, numbered in the
    order given."""
    lines = "".join(f"\u3000\u3000{number}：{title}\r\n"  # each line ends with CR LF
                    for number, title in enumerate(titles, start=1))
    return ExpectedBox(
        CAPTION,
        f"智能岚汀安装软件检测到有下列 {len(titles)} 个软件在使用智能岚汀输入法:\r\n\r\n"
        + lines + "\r\n\r\n"
        "请关闭上述软件后再继续安装！\r\n如无法关闭，则请重新启动机器后立即安装！",
    )


IME_WINDOWS_BOX = ime_windows_box([OWNER_TITLE])


@case("wizard_ime_in_use")
def wizard_ime_in_use(harness: winebox.Harness, check: Expectations) -> None:
    """A "UIKPMT" window owned by another program's titled window: the confirming click
    lists that program and the wizard stays on the install-path page; once the program
    ended, a second click installs."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard, another program uses the IME")
        before, places = silent.seed_plain(box, setting)
        holder = box.hold([("window", OWNER_TITLE)])
        run = open_wizard(check, box, setting)
        to_install_path_page(check, run, setting, None, shots=False)
        run.click(*CONFIRM)
        run.next_box("ok", timeout=INSTALL_TIMEOUT)
        expect_page(check, run.shot("install-path-again"), "install path")
        check.equal("install directory after the refused click", [],
                    sorted(silent.listing(box, setting)[0]))
        box.release(holder)
        confirm_install(check, run, setting, 101, 110, shots=False)
        end_program(check, box, setting, run, [IME_WINDOWS_BOX, DONE_BOX])
        box.shutdown()
        expect_wizard_install(check, box, setting, b"", 101, 110)
        silent.expect_plain_registry(check, box, setting, before, places, PINYIN_NAME)


@case("wizard_memory_warning_guard")
def wizard_memory_warning_guard(harness: winebox.Harness, check: Expectations) -> None:
    """A named mapping "zavolikpmt" gives the warning and the install goes on; while
    the warning is open, ExitButton and WM_CLOSE are ignored and the install completes."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard, the IME's shared memory exists")
        before, places = silent.seed_plain(box, setting)
        box.hold([("mapping", "zavolikpmt")])
        run = open_wizard(check, box, setting)
        to_install_path_page(check, run, setting, None, shots=False)
        run.click(*CONFIRM)
        warning = run.next_box(None, timeout=INSTALL_TIMEOUT)
        check.equal("the first message of the install", MEMORY_BOX.text,
                    warning.text if warning else None)
        run.click(*EXIT)
        run.close_window()
        time.sleep(0.5)
        check.equal("window while the warning is open, after ExitButton and WM_CLOSE",
                    {"event": "state", "exists": True, "visible": True}, run.window_state())
        run.answer_open_box("ok")
        confirm_install_after_click(check, run, setting)
        end_program(check, box, setting, run, [MEMORY_BOX, DONE_BOX])
        box.shutdown()
        expect_wizard_install(check, box, setting, b"", 101, 110)
        silent.expect_plain_registry(check, box, setting, before, places, PINYIN_NAME)


def confirm_install_after_click(check: Expectations, run: winebox.InteractiveRun,
                                setting: Setting) -> None:
    """The rest of an install whose confirming click was already made."""
    choose_skin(check, run, setting, 101, 110, shot=False)
    finish_typing_test(check, run, time.monotonic(), shots=False)
    run.next_box("ok", timeout=INSTALL_TIMEOUT)


RESTART_BOX = ExpectedBox(CAPTION, "安装完毕，请立即重新启动计算机！")


@case("wizard_restart_now")
def wizard_restart_now(harness: winebox.Harness, check: Expectations) -> None:
    """An earlier install whose IME files another program has loaded as modules and
    whose layout is at place 2 of the preload list: the install moves them aside, so
    the closing message asks for a restart now."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard, the earlier IME files loaded as modules")
        seeded = silent.seed_held_ime(box, setting, "module")
        run = open_wizard(check, box, setting)
        to_install_path_page(check, run, setting, None, shots=False)
        confirm_install(check, run, setting, 101, 110, shots=False)
        end_program(check, box, setting, run, [RESTART_BOX])
        box.shutdown()
        expect_wizard_install(check, box, setting, b"", 101, 110)
        moved = {silent.aside(path): old for path, old in seeded.items()}
        for path, old in moved.items():
            check.equal(f"{path} holds the earlier IME", silent.describe(setting, old),
                        silent.describe(setting, box.read_file(path)))
        silent.expect_changes_outside(check, box,
                                      silent.outside_paths(setting, fresh=True, extra=moved))
        silent.expect_entries(check, box, PINYIN_NAME)
        silent.expect_new_layout(check, box, setting, silent.layouts_before(box, setting))
        check.equal("preload list, places 2 and above",
                    silent.numbered([silent.earlier_layout_id(setting)]),
                    silent.preload(box, "user", silent.PRELOAD_KEY))


# Two programs, started in this order; the list names the newest first (the order of
# the top-level windows).
OWNER_TITLES = ("写字板 - 岚汀文档", "浏览器 — 中文网页")


@case("wizard_two_programs_use_ime")
def wizard_two_programs_use_ime(harness: winebox.Harness, check: Expectations) -> None:
    """Two programs, each with a titled window owning a "UIKPMT" window: one message
    lists both, numbered, and the wizard stays on the install-path page with nothing
    installed; once both ended, a second click installs."""
    setting = Setting(harness, "win7", 936)
    with harness.prefix("win7", 936) as box:
        check.context("win7-936 wizard, two other programs use the IME")
        before, places = silent.seed_plain(box, setting)
        holders = [box.hold([("window", title)]) for title in OWNER_TITLES]
        run = open_wizard(check, box, setting)
        # Each holder reports ready once its windows exist, but on a busy machine
        # Wine's desktop can list the younger one only a little later: wait until
        # another process sees both, as the installer's enumeration will.
        deadline = time.monotonic() + 30.0
        while (listed := run.count_windows("UIKPMT")) < len(OWNER_TITLES):
            if time.monotonic() > deadline:
                raise winebox.HarnessError(f"Wine lists {listed} of the holders' "
                                           f"{len(OWNER_TITLES)} windows after 30 s")
            time.sleep(0.1)
        to_install_path_page(check, run, setting, None, shots=False)
        run.click(*CONFIRM)
        run.next_box("ok", timeout=INSTALL_TIMEOUT)
        check.equal("message box after the first one", None, run.next_box("ok", timeout=1.0))
        expect_page(check, run.shot("install-path-again"), "install path")
        check.equal("install directory after the refused click", [],
                    sorted(silent.listing(box, setting)[0]))
        check.equal("new IME files in the system folders", [],
                    [path for path in setting.model.system if box.exists(path)])
        for holder in holders:
            box.release(holder)
        confirm_install(check, run, setting, 101, 110, shots=False)
        end_program(check, box, setting, run,
                    [ime_windows_box(OWNER_TITLES[::-1]), DONE_BOX])
        box.shutdown()
        expect_wizard_install(check, box, setting, b"", 101, 110)
        silent.expect_plain_registry(check, box, setting, before, places, PINYIN_NAME)


INCOMPLETE_EXE = os.path.join("tests", "e2e", "incomplete", "zvsetup_incomplete.exe")
DEMO_PACKAGE = os.path.join("demo", "demo.zvz")
# The fewest files a complete install leaves in the install directory.
FEWEST_INSTALLED_FILES = 74
REPORT_BOX = ExpectedBox(
    CAPTION,
    "智能岚汀汉字输入系统7.8版安装情况报告。\r\n\r\n安装出现错误！错误为：文件不完整！\r\n\r\n"
    "请到主页http://www.zavoli.cn/重新下载安装！并解除杀毒软件对安装过程的拦截！\r\n\r\n",
)


def incomplete_exe(harness: winebox.Harness) -> str:
    """zvsetup_incomplete.exe, which must carry what incomplete_package.py makes of the
    build's demo package now (else the build is older than the generator)."""
    exe = hostile.build_file(harness, INCOMPLETE_EXE)
    with open(hostile.build_file(harness, DEMO_PACKAGE), "rb") as f:
        wanted = incomplete_package.build(f.read())
    if hostile.embedded_package(exe) != wanted:
        raise winebox.HarnessError(f"{exe} carries another package than "
                                   "incomplete_package.py writes: build it again")
    return exe


@case("wizard_incomplete_package")
def wizard_incomplete_package(harness: winebox.Harness, check: Expectations) -> None:
    """An installer whose package leaves one file fewer than a complete install in the
    install directory: the install goes through, and the install report saying the
    files are incomplete takes the place of the closing message."""
    with hostile.program(harness, incomplete_exe(harness)):
        setting = Setting(harness, "win7", 936)
        with harness.prefix("win7", 936) as box:
            check.context("win7-936 wizard of zvsetup_incomplete.exe")
            before, places = silent.seed_plain(box, setting)
            run = open_wizard(check, box, setting)
            to_install_path_page(check, run, setting, None, shots=False)
            confirm_install(check, run, setting, 101, 110, shots=False)
            end_program(check, box, setting, run, [REPORT_BOX])
            box.shutdown()
            check.equal("files in the install directory",
                        FEWEST_INSTALLED_FILES - 1, len(silent.listing(box, setting)[0]))
            expect_wizard_install(check, box, setting, b"", 101, 110)
            silent.expect_plain_registry(check, box, setting, before, places, PINYIN_NAME)
