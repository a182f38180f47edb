// The Japanese texts, the game's own language. Every one converts to code
// page 932.
#include "res/text_tables.h"

#include <iterator>

namespace {

using enum TextId;

constexpr TextEntry entries[] = {
    {AppTitle, "Tavixリバーシ"},

    {MenuFile, "ファイル(&F)"},
    {MenuTrial, "トライアル(&T)"},
    {MenuNewGame, "新規ゲーム(&N)\tCtrl+N"},
    {MenuRecordMode, "棋譜モード"},
    {MenuOpenRecord, "棋譜を開く(&O)...\tCtrl+O"},
    {MenuSaveRecord, "棋譜を保存(&S)...\tCtrl+S"},
    {MenuCopyRecord, "棋譜をコピー(&C)\tCtrl+C"},
    {MenuPasteRecord, "棋譜を貼り付け(&V)\tCtrl+V"},
    {MenuPlayFromHere, "この局面から対局"},
    {MenuAnalyseRecord, "棋譜解析"},
    {MenuSettings, "設定"},
    {MenuExit, "終了(&X)\tCtrl+X"},
    {MenuGame, "ゲーム(&G)"},
    {MenuUndo, "待った（&U）\tCtrl+Z"},
    {MenuPass, "パス（&P）\tCtrl+P"},
    {MenuResign, "投了（&G）\tCtrl+G"},
    {MenuHint, "ヒント（&H）\tCtrl+H"},
    {MenuEditBoard, "局面編集（&E）\tCtrl+E"},
    {MenuEditClear, "盤面を空にする"},
    {MenuEditStart, "初期配置にする"},
    {MenuEditBlack, "黒番にする"},
    {MenuEditWhite, "白番にする"},
    {MenuCopyPosition, "局面をコピー（&B）"},
    {MenuShowOpenings, "定石名を表示"},
    {MenuShowLastMove, "最後の手を表示"},
    {MenuView, "表示(&V)"},
    {MenuSize100, "100%(&1)"},
    {MenuSize150, "150%(&5)"},
    {MenuSize200, "200%(&2)"},
    {MenuHelp, "ヘルプ(&H)"},
    {MenuHowToPlay, "遊び方(&H)\tF1"},
    {MenuAbout, "バージョン情報(&A)"},

    {ButtonOk, "OK"},
    {ButtonCancel, "キャンセル"},
    {ButtonYes, "はい"},
    {ButtonNo, "いいえ"},

    {NewGameTitle, "新規ゲーム"},
    {NewGameBlack, "●黒"},
    {NewGameWhite, "○白"},
    {NewGameHuman, "人"},
    {NewGameComputer, "PC"},
    {LevelEntry, "%s%s"},
    {LevelUnavailable, "（使えません）"},
    {MasterUnavailable, "名人は評価データを読み込めなかったため選べません。ほかのレベルを選んでください。"},
    {SettingsTitle, "設定"},
    {SettingsWaitTime, "ウェイト時間："},

    {EditDoneTitle, "局面編集を終える"},
    {EditDoneLead, "この局面で："},
    {EditDonePlay, "対局する"},
    {EditDoneHint, "ヒントを見る"},
    {EditDoneSave, "GGF で保存..."},
    {EditDoneCopy, "GGF でコピー"},
    {EditDoneBack, "編集に戻る"},

    {MoveNumber, "%s手目"},
    {BlackToMove, "黒番です"},
    {WhiteToMove, "白番です"},
    {StateHumanTurn, "光っている部分に石が打てます"},
    {StateHintSearching, "ヒントを読んでいます。。。"},
    {StateHumanPass, "打てる所がありません、パスします"},
    {StateComputerTurn, "COM思考中。。。。。。。。"},
    {StateReplay, "棋譜再生中。。。。。。。。"},
    {EditorTitle, "局面編集"},
    {EditorClickHint, "クリックで石を置きます"},
    {OpeningPrefix, "定石："},
    {RecordOpening, "%s　%s"},
    {WithOpening, "%s　定石：%s"},
    {ResultDraw, "引き分け。。。。"},
    {ResultBlackWins, "黒勝ち！"},
    {ResultWhiteWins, "白勝ち！"},
    {ResultGameOver, "終局です。"},
    {StoneCountTitle, "現在の石の個数"},
    {BlackCountLine, "黒（%s）：%s"},
    {WhiteCountLine, "白（%s）：%s"},
    {UnnamedPlayer, "？"},
    {HumanPlayer, "人"},
    {ComputerPlayer, "lv%d %s"},

    {CursorBlack, "%s 黒 打てません"},
    {CursorWhite, "%s 白 打てません"},
    {CursorEmptyLegal, "%s 空き 打てます"},
    {CursorEmpty, "%s 空き 打てません"},
    {EditorCursorBlack, "%s 黒"},
    {EditorCursorWhite, "%s 白"},
    {EditorCursorEmpty, "%s 空き"},

    {RecordMoveLine, "%s　%s手目：　　%c,%s"},
    {RecordPassLine, "%s　%s手目：　　パス"},
    {RecordStartLine, "開始局面"},

    {TrialBanner, "トライアルモード"},
    {TrialStageLine, "Stage%s、対%s"},
    {TrialPersonBlack, "●黒番"},
    {TrialPersonWhite, "○白番"},
    {TrialLost, "負け…"},
    {TrialLostLine, "GameOver！"},
    {TrialCleared, "全面クリアッ！"},
    {TrialClearedLine, "おめでとーございます♪"},
    {TrialWon, "勝利！"},
    {TrialWonLine, "NextLoading..."},

    {OpenRecordCaption, "棋譜を開く"},
    {SaveRecordCaption, "棋譜を保存"},
    {EndGameCaption, "対局終了確認"},
    {EndGameForPaste, "対局中のゲームを終えて、貼り付けた棋譜を開きますか？"},
    {EndGameForFile, "対局中のゲームを終えて、「%s」を開きますか？"},
    {CannotOpenCaption, "棋譜を開けません"},
    {CannotSaveCaption, "棋譜を保存できません"},
    {RecordTooLong, "棋譜が長すぎます"},
    {NotATranscript,
     "標準の開始局面から始まらない棋譜は、手順の文字列では保存できません。GGF で保存してください。"},
    {NamedProblem, "「%s」：%s"},
    {FilterRecords, "棋譜"},
    {FilterAllFiles, "すべてのファイル"},
    {FilterGgf, "GGF"},
    {FilterTranscript, "手順の文字列"},
    {SaveNoPermission, "書き込む権限がありません。"},
    {SaveDiskFull, "ディスクの空きが足りません。"},
    {SaveTooLarge, "ファイルの大きさの上限を超えます。"},
    {SaveReadOnly, "読み取り専用の場所です。"},
    {SaveNoFolder, "保存先のフォルダーがありません。"},
    {SaveNotRegular, "通常のファイルではありません。"},
    {SaveFailed, "書き込めませんでした。"},
    {SaveFailure, "「%s」に保存できませんでした。\n%s（%d）"},
    {Saved, "保存しました：%s"},

    {ResignQuestion, "本当に投げますか？"},
    {ResignCaption, "投了確認"},
    {ResumeCaption, "対局の再開"},
    {ResumeQuestion, "前回の対局が途中です（%d手目、黒：%s、白：%s）。再開しますか？"},

    {RecordEmpty, "棋譜が空です"},
    {UnknownFormat, "棋譜の形式がわかりません（GGF でも手順の文字列でもありません）"},
    {TextTooLarge, "棋譜が大きすぎます（1 MiB までです）"},
    {FileTooLarge, "ファイルが大きすぎます（1 MiB までです）"},
    {BinaryData, "テキストではありません（バイナリのデータです）"},
    {NotUtf8, "文字コードが UTF-8 ではありません"},
    {BadUtf16, "UTF-16 として読めない文字があります"},
    {NotRegularFile, "通常のファイルではありません"},
    {FileNotFound, "ファイルが見つかりません"},
    {NoReadPermission, "ファイルを読む権限がありません"},
    {FileUnreadable, "ファイルを読めません"},
    {GgfTruncated, "GGF が途中で切れています"},
    {GgfNotOthello, "GGF の対局が GM[Othello] ではありません"},
    {GgfBadBoard, "GGF の開始局面 BO が正しくありません"},
    {GgfMissingBoard, "GGF に開始局面 BO がありません"},
    {GgfSyntax, "GGF の書き方が正しくありません（%d行目）"},
    {PositionUnreadable, "局面の文字列が読めません：%s"},
    {PositionTooManyCells, "マスが64個より多くあります"},
    {PositionTooFewCells, "マスが%d個しかありません（64個必要です）"},
    {PositionMissingSide, "手番（X か O）がありません"},
    {PositionBadSide, "手番がわかりません（X か O で書きます）"},
    {PositionDead, "黒も白も打てる所がない局面です"},
    {EditorHelp, "局面編集：クリックで 空→黒→白、右クリックで逆の順に石が替わります。\nCtrl+E "
                 "で終えて対局・ヒント・保存へ。Esc で編集をやめて元に戻ります。"},
    {EditorCopied, "局面を GGF でコピーしました"},
    {EditorDeadPosition, "%s。\nどちらかが打てるように石を置いてください。"},
    {HintLine, "%sの読み筋（%s%s）："},
    {ReviewCaption, "棋譜解析"},
    {ReviewWorking, "全局面を推定し、終盤から完全読みしています…"},
    {ReviewFailed, "解析を始められませんでした。もう一度お試しください。"},
    {ReviewLostMoveShown, "%d手目を打つ前：赤枠が打った手、青枠が最善手"},
    {ReviewLegend, "○推定（%d手読み）　●完全読み"},
    {ReviewLegendExact, "●完全読み"},
    {ReviewNoLoss, "石損はありません"},
    {ReviewLossCount, "石損 %d手"},
    {ReviewSummaryExact, "%s（完全読み）"},
    {ReviewSummaryEstimated, "%s（≒は%d手読みの推定）"},
    {ReviewSummaryPartly, "%s（≒は%d手読みの推定、%d手目から完全読み）"},
    {ReviewLostLine, "%d手目 %s%s %s（最善 %s %s）"},
    {ReviewAxis, "黒から見た最終石差"},
    {ReviewAxisGap, "　"},
    {PositionTrailing, "局面の後に続きがあります（%d行目）"},
    {ColourBlack, "黒"},
    {ColourWhite, "白"},
    {PassMove, "パス"},
    {TurnIllegal, "%d手目 %s には打てません"},
    {TurnCannotPass, "%d手目 パス：%sには打てる所があります"},
    {TurnAfterEnd, "%d手目 %s：対局はもう終わっています"},
    {TurnWrongSide, "%d手目 %s は%sの手ですが、%sの番です"},
    {TurnUnreadable, "%d手目が読めません"},
    {TurnUnreadableAs, "%d手目が読めません（「%s」）"},

    {HowToPlayTitle, "遊び方"},
    {HowToPlayText, "■ルール\n"
                    "黒と白が交互に、8×8 の盤に石を打ちます。先手は黒です。\n"
                    "相手の石を縦・横・斜めに自分の石ではさむ所にだけ打てます。はさんだ石はすべて裏返って"
                    "自分の色になります。\n"
                    "打てる所がなければパスです。両方とも打てなくなったら終局で、石の多いほうの勝ちです。\n"
                    "\n"
                    "■操作\n"
                    "光っているマスをクリックすると、そこに打ちます。\n"
                    "矢印キーで黄色い枠を動かし、Enter か Space で打ちます。Home と End は最初と最後の"
                    "打てるマスへ跳びます。\n"
                    "Ctrl+N 新規ゲーム　Ctrl+Z 待った　Ctrl+P パス　Ctrl+G 投了　Ctrl+H ヒント\n"
                    "Ctrl+O 棋譜を開く　Ctrl+S 棋譜を保存　Ctrl+C 棋譜をコピー　Ctrl+V 棋譜を貼り付け\n"
                    "Ctrl+E 局面編集　Ctrl+X 終了　F1 この説明\n"
                    "棋譜モードでは上下の矢印キーで棋譜の手を選び、その局面を表示します。\n"
                    "局面編集では、クリックで石が 空→黒→白 と替わります（右クリックは逆順）。Ctrl+E で"
                    "終えて対局・ヒント・保存を選び、Esc で元の対局に戻ります。\n"
                    "\n"
                    "■ヒントの見方\n"
                    "ヒントは、打てる各マスに「そこに打ったときの最終的な石の差」を、手番の側から見て"
                    "示します（空きマスは勝った側に数えます）。+4 は 4 個勝ち、-6 は 6 個負けです。\n"
                    "黄色の札の上の数字がいちばん良い手です。\n"
                    "黒い数字は最後まで読み切った正確な値です。小さな「≒」の下の青い数字は推定で、"
                    "数個の誤差があります。推定どうしを比べてください。\n"
                    "盤上の赤い点は最後に打たれた手です（ゲームメニューの「最後の手を表示」で消せます）。\n"
                    "\n"
                    "■トライアル\n"
                    "lv1 から lv6 までの 6 人に順に挑みます。負けるとそこで終わりです。"},
    {AboutTitle, "バージョン情報"},
    {AboutText, "Tavixリバーシ %s\n"
                "\n"
                "Copyright (c) 2026 the Tavix Reversi developers.\n"
                "MIT ライセンスのフリーソフトウェアです。\n"
                "百人一首の歌は古典で、パブリックドメインです。\n"
                "\n"
                "設定：%s\n"
                "途中の対局：%s"},
    {NoFolder, "（保存されません：%s）"},

    {HelpText, "使い方: reverse [-h|--help] [--version] [--lang ja|en] [FILE]\n"
               "Tavixリバーシ：友だちや8段階のコンピュータと対戦するリバーシ（オセロ）。\n"
               "\n"
               "  FILE         棋譜モードで開く棋譜（GGF または手順の文字列）\n"
               "  --lang 言語  画面の言語：ja（日本語）または en（英語）。指定がなければ\n"
               "               ロケール（LANGUAGE、LC_ALL、LC_MESSAGES、LANG の順）に従い、\n"
               "               日本語と C のロケールでは日本語、ほかでは英語\n"
               "  -h, --help   このヘルプを表示して終了する\n"
               "  --version    バージョンを表示して終了する\n"
               "\n"
               "キー操作とゲームが保存するファイルは、マニュアルページ reverse(6) にあります。\n"},

    // Stage s's opponent wins: the person lost the stage. From stage 2 on
    // it hands out a password as a keepsake.
    {SpeechWin + 0, "ぴよっ？　勝っちゃった！　また遊んでね"},
    {SpeechWin + 1, "へっへー、おいらの勝ち！　修行が足りないね\r\nPassword: sprout"},
    {SpeechWin + 2, "まだまだ修行が足りぬな。出直してまいれ\r\nPassword: wander"},
    {SpeechWin + 3, "基本がなっておらん。道場で鍛え直すがよい\r\nPassword: mastery"},
    {SpeechWin + 4, "ふふ、盤上の恋も歌も、引き際が肝心ですのよ\r\nPassword: moon"},
    {SpeechWin + 5, "ほっほ、惜しかったのう。精進すればいずれ届くじゃろう\r\nPassword: crane"},

    // Stage s's opponent loses: the person goes on, or clears the trial at 6.
    {SpeechLose + 0, "ぴよぉ…負けちゃった。次はもっと強い人が待ってるよ"},
    {SpeechLose + 1, "ちぇっ、やるなあ。でも次の浪人さんは手ごわいぞ"},
    {SpeechLose + 2, "見事な腕前。拙者の負けでござる。師範代殿は甘くないぞ"},
    {SpeechLose + 3, "む、参った。道場の看板はしばしお主に預けよう"},
    {SpeechLose + 4, "まあ、お見事ですこと。奥の仙人様にもよろしく"},
    {SpeechLose + 5, "ほっほっほ、天晴れじゃ。もはや教えることは何もない\r\nPassword: 盤上無双の大名人"},

    // Stage s's opponent opens the stage.
    {SpeechOpen + 0, "ぴよっ！　はじめての対局、よろしくおねがいしますっ"},
    {SpeechOpen + 1, "へへっ、おいらだって修行中の身。手加減しないよ！"},
    {SpeechOpen + 2, "拙者、流れ者の浪人。一局お相手いたそう"},
    {SpeechOpen + 3, "師範代として、道場の看板は守らせてもらう"},
    {SpeechOpen + 4, "まあ、ようこそ。歌合わせの代わりに一局いかが？"},
    {SpeechOpen + 5, "ほっほ、よくぞここまで来た。では盤上で語り合おうぞ"},

    {Proverb + 0, "敵を知り己を知らば百戦危うからず"},
    {Proverb + 1, "急がば回れ"},
    {Proverb + 2, "石の上にも三年"},
    {Proverb + 3, "七転び八起き"},
    {Proverb + 4, "塵も積もれば山となる"},
    {Proverb + 5, "猿も木から落ちる"},
    {Proverb + 6, "虎穴に入らずんば虎子を得ず"},
    {Proverb + 7, "過ぎたるは猶及ばざるが如し"},
    {Proverb + 8, "備えあれば憂いなし"},
    {Proverb + 9, "負けるが勝ち"},
    {Proverb + 10, "勝って兜の緒を締めよ"},
    {Proverb + 11, "百聞は一見に如かず"},
    {Proverb + 12, "急いては事を仕損じる"},
    {Proverb + 13, "案ずるより産むが易し"},
    {Proverb + 14, "雨降って地固まる"},
    {Proverb + 15, "井の中の蛙大海を知らず"},
    {Proverb + 16, "転ばぬ先の杖"},
    {Proverb + 17, "二兎を追う者は一兎をも得ず"},
    {Proverb + 18, "能ある鷹は爪を隠す"},
    {Proverb + 19, "果報は寝て待て"},
    {Proverb + 20, "出る杭は打たれる"},
    {Proverb + 21, "溺れる者は藁をも掴む"},
    {Proverb + 22, "千里の道も一歩から"},
    {Proverb + 23, "一寸の虫にも五分の魂"},
    {Proverb + 24, "人事を尽くして天命を待つ"},
    {Proverb + 25, "失敗は成功のもと"},
    {Proverb + 26, "覆水盆に返らず"},
    {Proverb + 27, "故きを温ねて新しきを知る"},
    {Proverb + 28, "三人寄れば文殊の知恵"},
    {Proverb + 29, "好きこそ物の上手なれ"},
    {Proverb + 30, "習うより慣れよ"},
    {Proverb + 31, "後悔先に立たず"},
    {Proverb + 32, "油断大敵"},
    {Proverb + 33, "蟻の穴から堤も崩れる"},
    {Proverb + 34, "窮鼠猫を噛む"},
    {Proverb + 35, "岡目八目"},
    {Proverb + 36, "先んずれば人を制す"},
    {Proverb + 37, "始めは処女の如く後は脱兎の如し"},

    // lv0 さいころ rolls dice for every move. lv1 ひよこ, a chick at its
    // first game. lv2 こぞう, a cheeky apprentice. lv3 浪人, a wandering
    // samurai, steady and polite. lv4 師範代, the dojo's stern assistant
    // master. lv5 姫君, a court princess who answers every move with a
    // classical verse. lv6 仙人, the old hermit sage, who speaks in proverbs.
    {Persona + 0, "さいころ"},
    {Persona + 1, "ひよこ"},
    {Persona + 2, "こぞう"},
    {Persona + 3, "浪人"},
    {Persona + 4, "師範代"},
    {Persona + 5, "姫君"},
    {Persona + 6, "仙人"},
    {Persona + 7, "名人"},

    {LevelLabel + 0, "（ランダム打ち）"},
    {LevelLabel + 1, "（弱い）"},
    {LevelLabel + 2, "（少し弱い）"},
    {LevelLabel + 3, "（普通）"},
    {LevelLabel + 4, "（少し強い）"},
    {LevelLabel + 5, "（かなり強い）"},
    {LevelLabel + 6, "（最強）"},
    {LevelLabel + 7, "（別格）"},
};

static_assert(coversEveryText(entries), "every text needs exactly one Japanese form");

} // namespace

const TextTable japaneseTexts{entries, std::size(entries)};
