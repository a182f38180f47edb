#include "res/strings.h"

// lv0 さいころ: rolls dice for every move. lv1 ひよこ: a chick at its first
// game. lv2 こぞう: a cheeky apprentice. lv3 浪人: a wandering samurai, steady
// and polite. lv4 師範代: the dojo's stern assistant master. lv5 姫君: a court
// princess who answers every move with a classical verse. lv6 仙人: the old
// hermit sage, who speaks in proverbs. lv7 名人: the master, who reads the
// whole board and plays in silence.
const char* const personaNames[ComputerLevels] = {"さいころ", "ひよこ", "こぞう", "浪人",
                                                  "師範代",   "姫君",   "仙人",   "名人"};

const char* const levelLabels[ComputerLevels] = {"（ランダム打ち）", "（弱い）",     "（少し弱い）",
                                                 "（普通）",         "（少し強い）", "（かなり強い）",
                                                 "（最強）",         "（別格）"};

namespace {

// Opponent of stage s (index s - 1) wins: the person lost the stage. From
// stage 2 on the opponent hands out a password as a keepsake.
const char* const winLines[6] = {
    "ぴよっ？　勝っちゃった！　また遊んでね",
    "へっへー、おいらの勝ち！　修行が足りないね\r\nPassword: sprout",
    "まだまだ修行が足りぬな。出直してまいれ\r\nPassword: wander",
    "基本がなっておらん。道場で鍛え直すがよい\r\nPassword: mastery",
    "ふふ、盤上の恋も歌も、引き際が肝心ですのよ\r\nPassword: moon",
    "ほっほ、惜しかったのう。精進すればいずれ届くじゃろう\r\nPassword: crane",
};

// Opponent of stage s loses: the person goes on, or clears the trial at 6.
const char* const loseLines[6] = {
    "ぴよぉ…負けちゃった。次はもっと強い人が待ってるよ",
    "ちぇっ、やるなあ。でも次の浪人さんは手ごわいぞ",
    "見事な腕前。拙者の負けでござる。師範代殿は甘くないぞ",
    "む、参った。道場の看板はしばしお主に預けよう",
    "まあ、お見事ですこと。奥の仙人様にもよろしく",
    "ほっほっほ、天晴れじゃ。もはや教えることは何もない\r\nPassword: 盤上無双の大名人",
};

// Opening words of the opponent of stage s.
const char* const openLines[6] = {
    "ぴよっ！　はじめての対局、よろしくおねがいしますっ",
    "へへっ、おいらだって修行中の身。手加減しないよ！",
    "拙者、流れ者の浪人。一局お相手いたそう",
    "師範代として、道場の看板は守らせてもらう",
    "まあ、ようこそ。歌合わせの代わりに一局いかが？",
    "ほっほ、よくぞここまで来た。では盤上で語り合おうぞ",
};

const char* const proverbs[ProverbCount] = {
    "敵を知り己を知らば百戦危うからず",
    "急がば回れ",
    "石の上にも三年",
    "七転び八起き",
    "塵も積もれば山となる",
    "猿も木から落ちる",
    "虎穴に入らずんば虎子を得ず",
    "過ぎたるは猶及ばざるが如し",
    "備えあれば憂いなし",
    "負けるが勝ち",
    "勝って兜の緒を締めよ",
    "百聞は一見に如かず",
    "急いては事を仕損じる",
    "案ずるより産むが易し",
    "雨降って地固まる",
    "井の中の蛙大海を知らず",
    "転ばぬ先の杖",
    "二兎を追う者は一兎をも得ず",
    "能ある鷹は爪を隠す",
    "果報は寝て待て",
    "出る杭は打たれる",
    "溺れる者は藁をも掴む",
    "千里の道も一歩から",
    "一寸の虫にも五分の魂",
    "人事を尽くして天命を待つ",
    "失敗は成功のもと",
    "覆水盆に返らず",
    "故きを温ねて新しきを知る",
    "三人寄れば文殊の知恵",
    "好きこそ物の上手なれ",
    "習うより慣れよ",
    "後悔先に立たず",
    "油断大敵",
    "蟻の穴から堤も崩れる",
    "窮鼠猫を噛む",
    "岡目八目",
    "先んずれば人を制す",
    "始めは処女の如く後は脱兎の如し",
};

const char* const verses[VerseCount] = {
#include "res/verses.inc"
};

// Entry id - base of table, when id falls in its range.
const char* lookup(const char* const* table, int count, int base, int id)
{
    return id >= base && id < base + count ? table[id - base] : nullptr;
}

} // namespace

const char* findString(int id)
{
    if (id >= FirstVerse)
        return lookup(verses, VerseCount, FirstVerse, id);
    if (id >= FirstProverb)
        return lookup(proverbs, ProverbCount, FirstProverb, id);
    if (id > SpeechOpenBase)
        return lookup(openLines, 6, SpeechOpenBase + 1, id);
    if (id > SpeechLoseBase)
        return lookup(loseLines, 6, SpeechLoseBase + 1, id);
    return lookup(winLines, 6, SpeechWinBase + 1, id);
}
