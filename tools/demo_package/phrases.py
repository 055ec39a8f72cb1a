"""The phrase dictionaries: GBK text of phrases, each followed by "; ".

zavocyzk.bak is the shape-code phrase list and zavopyck.bak the Pinyin
one.  Every phrase has two or more characters, so the installer's filter
keeps all of them and only appends its 12-byte trailer to zavocyzk.bak:
"ZAVO", the u32 sum of the bytes of every phrase, and the u32 number of
phrases.  phrase_list_with_trailer() gives that result, which tests
compare the installed file with.
"""

import struct

SEPARATOR = "; "

SHAPE_CODE_PHRASES = """
中国 人民 我们 你们 他们 工作 学习 生活 社会 经济 发展 国家 世界 问题 时间
已经 现在 没有 可以 自己 什么 这个 那个 因为 所以 但是 如果 虽然 还是 或者
北京 上海 广州 深圳 天津 重庆 南京 杭州 武汉 成都 西安 长沙 郑州 济南 沈阳
电脑 网络 软件 硬件 键盘 鼠标 屏幕 输入 输出 文件 文章 系统 程序 数据 信息
汉字 词组 拼音 五笔 字根 编码 笔画 部首 偏旁 结构 声母 韵母 声调 标点 符号
春天 夏天 秋天 冬天 早上 中午 晚上 今天 明天 昨天 星期 月份 年度 季节 假期
老师 学生 同学 朋友 家庭 父亲 母亲 孩子 兄弟 姐妹 邻居 同事 领导 群众 干部
山水 河流 湖泊 海洋 森林 草原 沙漠 高原 平原 盆地 丘陵 岛屿 港口 城市 乡村
科学技术 改革开放 实事求是 与时俱进 自力更生 艰苦奋斗 全心全意 精益求精
一心一意 三心二意 四面八方 五颜六色 七上八下 十全十美 百花齐放 千方百计
中华人民共和国 人民代表大会 政治协商会议 社会主义 市场经济 可持续发展
输入法 计算机 互联网 操作系统 应用程序 数据库 服务器 浏览器 文本框 对话框
"""

PINYIN_PHRASES = """
你好 谢谢 再见 欢迎 请问 对不起 没关系 不客气 早上好 晚上好 辛苦了 加油
吃饭 喝水 睡觉 起床 上班 下班 上学 放学 开会 出差 旅游 购物 运动 休息
高兴 快乐 幸福 健康 平安 顺利 成功 努力 认真 仔细 耐心 热情 友好 善良
苹果 香蕉 葡萄 西瓜 草莓 橘子 梨子 桃子 米饭 面条 饺子 包子 馒头 豆腐
汽车 火车 飞机 轮船 地铁 公交 自行车 出租车 高速公路 火车站 飞机场 码头
医院 学校 银行 邮局 超市 商店 饭店 宾馆 图书馆 博物馆 体育馆 电影院 公园
红色 黄色 蓝色 绿色 白色 黑色 紫色 灰色 粉色 橙色 金色 银色 彩色 颜色
语句输入 智能组词 模糊音 双拼 全拼 简拼 联想 候选 翻页 光标 状态栏 皮肤
"""

USER_PHRASES = """
本单位 办公室 联系电话 电子邮件 通讯地址 邮政编码 身份证号 工作单位
"""


def phrase_words(block):
    return block.split()


def phrase_text(words):
    """The GBK bytes of `words`, each followed by "; "."""
    return "".join(word + SEPARATOR for word in words).encode("gbk")


def shape_code_phrase_list():
    return phrase_text(phrase_words(SHAPE_CODE_PHRASES))


def pinyin_phrase_list():
    return phrase_text(phrase_words(PINYIN_PHRASES))


def user_phrase_list(extra):
    """A small user dictionary: the user phrases and `extra` of the others."""
    return phrase_text(phrase_words(USER_PHRASES) + extra)


def phrase_list_with_trailer(text):
    """`text` (phrases of two or more characters, each followed by "; ") with
    the trailer that the installer appends when it unpacks zavocyzk.bak."""
    words = text.split(SEPARATOR.encode("ascii"))
    if words[-1] != b"":
        raise ValueError("the phrase list must end with its separator")
    checksum = sum(sum(word) for word in words) & 0xFFFFFFFF
    return text + b"ZAVO" + struct.pack("<II", checksum, len(words) - 1)
