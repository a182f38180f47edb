#include "res/resources.h"

#include <cstddef>

namespace {

template <typename T, std::size_t N> constexpr int countOf(const T (&)[N])
{
    return static_cast<int>(N);
}

const MenuItemDef fileItems[] = {
    {105, "トライアル(&T)"},
    {101, "新規ゲーム(&N)\tCtrl+N"},
    {103, "棋譜モード"},
    {106, "棋譜を開く(&O)...\tCtrl+O"},
    {107, "棋譜を保存(&S)...\tCtrl+S"},
    {108, "棋譜をコピー(&C)\tCtrl+C"},
    {109, "棋譜を貼り付け(&V)\tCtrl+V"},
    {110, "この局面から対局"},
    {111, "棋譜解析"},
    {0, ""},
    {104, "設定"},
    {0, ""},
    {102, "終了(&X)\tCtrl+X"},
};

const MenuItemDef gameItems[] = {
    {203, "待った（&U）\tCtrl+Z"},
    {201, "パス（&P）\tCtrl+P"},
    {202, "投了（&G）\tCtrl+G"},
    {204, "ヒント（&H）\tCtrl+H"},
    {0, ""},
    {205, "局面編集（&E）\tCtrl+E"},
    {206, "盤面を空にする"},
    {207, "初期配置にする"},
    {208, "黒番にする"},
    {209, "白番にする"},
    {210, "局面をコピー（&B）"},
    {0, ""},
    {211, "定石名を表示"},
    {212, "最後の手を表示"},
};

// The window's size: a choice of one, checked with a dot.
const MenuItemDef viewItems[] = {
    {301, "100%(&1)"},
    {302, "150%(&5)"},
    {303, "200%(&2)"},
};

const PopupDef popups[] = {
    {"ファイル(&F)", fileItems, countOf(fileItems)},
    {"ゲーム(&G)", gameItems, countOf(gameItems)},
    {"表示(&V)", viewItems, countOf(viewItems)},
};

const AcceleratorDef accelerators[] = {{'N', 101}, {'X', 102}, {'P', 201}, {'G', 202}, {'Z', 203}, {'O', 106},
                                       {'S', 107}, {'C', 108}, {'V', 109}, {'H', 204}, {'E', 205}};

using enum DialogControl;

const DialogItemDef newGameItems[] = {
    {GroupBox, -1, "●黒", 7, 7, 140, 40},         {RadioButton, 100, "人", 13, 18, 20, 10},
    {RadioButton, 101, "PC", 13, 31, 20, 10},     {DropDownList, 201, "", 40, 29, 100, 80},
    {GroupBox, -1, "○白", 7, 50, 140, 40},        {RadioButton, 102, "人", 13, 61, 20, 10},
    {RadioButton, 103, "PC", 13, 74, 20, 10},     {DropDownList, 202, "", 40, 72, 100, 80},
    {DefaultPushButton, 1, "OK", 24, 92, 50, 14}, {PushButton, 2, "キャンセル", 78, 92, 50, 14},
};

const DialogItemDef settingsItems[] = {
    {StaticText, -1, "ウェイト時間：", 3, 5, 40, 12},
    {Edit, 301, "", 45, 3, 30, 12},
    {DefaultPushButton, 1, "OK", 10, 30, 50, 14},
    {PushButton, 2, "キャンセル", 61, 30, 50, 14},
};

// Leaving the board editor: what to do with the position set up.
const DialogItemDef editDoneItems[] = {
    {StaticText, -1, "この局面で：", 7, 7, 120, 10}, {DefaultPushButton, 1, "対局する", 7, 21, 60, 14},
    {PushButton, 3, "ヒントを見る", 71, 21, 60, 14}, {PushButton, 4, "GGF で保存...", 7, 39, 60, 14},
    {PushButton, 5, "GGF でコピー", 71, 39, 60, 14}, {PushButton, 2, "編集に戻る", 71, 60, 60, 14},
};

} // namespace

const MenuDef MYAPP = {popups, countOf(popups)};
const AcceleratorTable MYACCEL = {accelerators, countOf(accelerators)};
const DialogDef MYDIALOG = {"新規ゲーム",         20, 20, 150, 110, "MS UI Gothic", 10, newGameItems,
                            countOf(newGameItems)};
const DialogDef CONFIGDLG = {
    "設定", 20, 20, 120, 50, "MS UI Gothic", 10, settingsItems, countOf(settingsItems)};
const DialogDef EDITDONEDLG = {"局面編集を終える",    20, 20, 138, 80, "MS UI Gothic", 10, editDoneItems,
                               countOf(editDoneItems)};
