"""Code tables and dictionaries: GBK text built from the GB2312 character
set, with codes from a fixed pseudo-random sequence, so that the files are
product-like in size and shape and the same on every run."""

import struct

from phrases import PINYIN_PHRASES, SHAPE_CODE_PHRASES, phrase_words
from sequence import Sequence

LETTERS = "abcdefghijklmnopqrstuvwxy"  # the shape code uses 25 keys
SYLLABLES = (
    "a ai an ang ba bai ban bang bao bei ben bi bian biao bie bin bo bu ca cai can cang cao ce "
    "cha chai chan chang chao che chen cheng chi chong chu chuan chuang chui chun ci cong cu cui "
    "cun da dai dan dang dao de deng di dian diao die ding dong dou du duan dui dun duo e en er "
    "fa fan fang fei fen feng fo fu ga gai gan gang gao ge gei gen geng gong gou gu gua guai guan "
    "guang gui gun guo ha hai han hang hao he hei hen heng hong hou hu hua huai huan huang hui "
    "hun huo ji jia jian jiang jiao jie jin jing jiong jiu ju juan jue jun ka kai kan kang kao ke "
    "ken keng kong kou ku kua kuai kuan kuang kui kun kuo la lai lan lang lao le lei leng li lian "
    "liang liao lie lin ling liu long lou lu lv luan lue lun luo ma mai man mang mao mei men meng "
    "mi mian miao mie min ming miu mo mou mu na nai nan nang nao ne nei nen neng ni nian niang "
    "niao nie nin ning niu nong nu nv nuan nue nuo ou pa pai pan pang pao pei pen peng pi pian "
    "piao pie pin ping po pu qi qia qian qiang qiao qie qin qing qiong qiu qu quan que qun ran "
    "rang rao re ren reng ri rong rou ru ruan rui run ruo sa sai san sang sao se sen seng sha "
    "shai shan shang shao she shen sheng shi shou shu shua shuai shuan shuang shui shun shuo si "
    "song sou su suan sui sun suo ta tai tan tang tao te teng ti tian tiao tie ting tong tou tu "
    "tuan tui tun tuo wa wai wan wang wei wen weng wo wu xi xia xian xiang xiao xie xin xing "
    "xiong xiu xu xuan xue xun ya yan yang yao ye yi yin ying yong you yu yuan yue yun za zai "
    "zan zang zao ze zei zen zeng zha zhai zhan zhang zhao zhe zhen zheng zhi zhong zhou zhu "
    "zhua zhuai zhuan zhuang zhui zhun zhuo zi zong zou zu zuan zui zun zuo"
).split()


def gbk_character(code):
    """The character of the two GBK bytes `code`, or None for a code that
    is unassigned or in a user-defined (private use) area."""
    try:
        character = code.decode("gbk")
    except UnicodeDecodeError:
        return None
    if len(character) != 1 or 0xE000 <= ord(character) <= 0xF8FF:
        return None
    return character


def gb2312_characters(first_lead, last_lead):
    """The GB2312 characters whose lead byte lies in [first_lead, last_lead]."""
    characters = []
    for lead in range(first_lead, last_lead + 1):
        for trail in range(0xA1, 0xFF):
            character = gbk_character(bytes((lead, trail)))
            if character is not None:
                characters.append(character)
    return characters


def gbk_lines(lines):
    return ("\r\n".join(lines) + "\r\n").encode("gbk")


def shape_code_table(seed):
    """Level-one characters with a code of one to four of the 25 letters."""
    sequence = Sequence(seed)
    lines = []
    for character in gb2312_characters(0xB0, 0xD7):
        length = 1 + sequence.next(4)
        code = "".join(LETTERS[sequence.next(len(LETTERS))] for _ in range(length))
        lines.append(f"{code} {character}")
    return gbk_lines(lines)


def pinyin_table(seed):
    sequence = Sequence(seed)
    lines = []
    for character in gb2312_characters(0xB0, 0xD7):
        lines.append(f"{SYLLABLES[sequence.next(len(SYLLABLES))]} {character}")
    return gbk_lines(lines)


def stroke_table(seed):
    """Level-one characters with their stroke order as digits 1 to 5."""
    sequence = Sequence(seed)
    lines = []
    for character in gb2312_characters(0xB0, 0xD7):
        strokes = "".join(str(1 + sequence.next(5)) for _ in range(2 + sequence.next(12)))
        lines.append(f"{character} {strokes}")
    return gbk_lines(lines)


def character_rows(characters, per_row=32):
    rows = ["".join(characters[i : i + per_row]) for i in range(0, len(characters), per_row)]
    return gbk_lines(rows)


def gbk_extension_characters(count):
    """The first `count` characters of GBK outside GB2312 (lead 0x81 up)."""
    characters = []
    for lead in range(0x81, 0xA1):
        for trail in range(0x40, 0xFF):
            if trail == 0x7F:
                continue
            character = gbk_character(bytes((lead, trail)))
            if character is not None:
                characters.append(character)
            if len(characters) == count:
                return characters
    return characters


def symbol_rows():
    """The GB2312 symbol rows (lead bytes 0xA1 to 0xA9)."""
    return character_rows(gb2312_characters(0xA1, 0xA9))


SIMPLIFIED_TRADITIONAL = (
    "国國 这這 说說 时時 来來 们們 个個 为為 会會 学學 对對 发發 经經 现現 动動 "
    "过過 种種 面麵 后後 开開 长長 两兩 问問 电電 机機 关關 体體 点點 变變 几幾 "
    "万萬 东東 车車 马馬 鸟鳥 鱼魚 门門 书書 语語 词詞 输輸 汉漢 拼拼 码碼 软軟"
).split()


def simplified_traditional_table():
    lines = [f"{pair[0]}={pair[1]}" for pair in SIMPLIFIED_TRADITIONAL]
    return gbk_lines(lines)


def punctuation_table():
    pairs = (",，", ".。", "?？", "!！", ":：", ";；", "(（", ")）", "<《", ">》", "\\、", "^……")
    return gbk_lines([f"{pair[0]}={pair[1:]}" for pair in pairs])


def coded_phrases(seed):
    """zvcizu.dat: every dictionary phrase with a four-letter code."""
    sequence = Sequence(seed)
    words = phrase_words(SHAPE_CODE_PHRASES) + phrase_words(PINYIN_PHRASES)
    return gbk_lines(
        "".join(LETTERS[sequence.next(len(LETTERS))] for _ in range(4)) + " " + word
        for word in words
    )


def sentences(seed, count):
    """zvyjck.dat: sentences of three to six phrases for sentence input."""
    sequence = Sequence(seed)
    words = phrase_words(SHAPE_CODE_PHRASES) + phrase_words(PINYIN_PHRASES)
    lines = []
    for _ in range(count):
        length = 3 + sequence.next(4)
        lines.append("".join(words[sequence.next(len(words))] for _ in range(length)) + "。")
    return gbk_lines(lines)


def binary_index(tag, seed, entries):
    """A binary index: a 4-byte tag, the u32 entry count, then per entry a
    u16 character code, a u16 frequency and a u32 offset, sorted by code."""
    sequence = Sequence(seed)
    codes = sorted({0xB0A1 + sequence.next(0x2700) for _ in range(entries)})
    body = b"".join(
        struct.pack("<HHI", code, sequence.next(65536), index * 16)
        for index, code in enumerate(codes)
    )
    return tag + struct.pack("<I", len(codes)) + body


def dictionary_files():
    """[(name, bytes)] of the code tables and dictionaries."""
    return [
        ("zvwbmb.zvh", shape_code_table(101)),
        ("zvpymb.zvh", pinyin_table(102)),
        ("zvbhmb.zvh", stroke_table(103)),
        ("zvgbk.zvh", character_rows(gb2312_characters(0xB0, 0xF7))),
        ("zvrare.zvh", character_rows(gbk_extension_characters(1500))),
        ("zvsymbol.zvh", symbol_rows()),
        ("zvfjdz.zvh", simplified_traditional_table()),
        ("zvpunct.zvh", punctuation_table()),
        ("zvcizu.dat", coded_phrases(104)),
        ("zvyjck.dat", sentences(105, 400)),
        ("zvdict1.dat", binary_index(b"ZVD1", 106, 600)),
        ("zvdict2.dat", binary_index(b"ZVD2", 107, 600)),
    ]


def extension_dictionary_files():
    """The files inside zvdict.zvz, an archive of optional dictionaries."""
    return [
        ("zvext1.zvh", shape_code_table(201)),
        ("zvext2.zvh", pinyin_table(202)),
        ("zvext3.zvh", sentences(203, 150)),
    ]
