#include "res/resources.h"

#include <array>
#include <cstddef>

#include "res/text.h"

namespace {

using enum TextId;

template <typename T, std::size_t N> constexpr int countOf(const T (&)[N])
{
    return static_cast<int>(N);
}

// A menu item by its text's id; Count stands for a separator.
struct ItemText {
    int id;
    TextId text;
};
constexpr ItemText Separator{0, Count};

constexpr ItemText fileItems[] = {
    {105, MenuTrial},         {101, MenuNewGame},
    {103, MenuRecordMode},    {106, MenuOpenRecord},
    {107, MenuSaveRecord},    {108, MenuCopyRecord},
    {109, MenuPasteRecord},   {110, MenuPlayFromHere},
    {111, MenuAnalyseRecord}, Separator,
    {104, MenuSettings},      Separator,
    {102, MenuExit},
};

constexpr ItemText gameItems[] = {
    {203, MenuUndo},
    {201, MenuPass},
    {202, MenuResign},
    {204, MenuHint},
    Separator,
    {205, MenuEditBoard},
    {206, MenuEditClear},
    {207, MenuEditStart},
    {208, MenuEditBlack},
    {209, MenuEditWhite},
    {210, MenuCopyPosition},
    Separator,
    {211, MenuShowOpenings},
    {212, MenuShowLastMove},
};

// The window's size: a choice of one, checked with a dot.
constexpr ItemText viewItems[] = {
    {301, MenuSize100},
    {302, MenuSize150},
    {303, MenuSize200},
};

constexpr ItemText helpItems[] = {
    {401, MenuHowToPlay},
    {402, MenuAbout},
};

struct PopupLayout {
    TextId title;
    const ItemText* items;
    int itemCount;
};

constexpr PopupLayout popupLayouts[] = {
    {MenuFile, fileItems, countOf(fileItems)},
    {MenuGame, gameItems, countOf(gameItems)},
    {MenuView, viewItems, countOf(viewItems)},
    {MenuHelp, helpItems, countOf(helpItems)},
};

constexpr int ItemCount = countOf(fileItems) + countOf(gameItems) + countOf(viewItems) + countOf(helpItems);

const AcceleratorDef accelerators[] = {{'N', 101}, {'X', 102}, {'P', 201}, {'G', 202},
                                       {'Z', 203}, {'O', 106}, {'S', 107}, {'C', 108},
                                       {'V', 109}, {'H', 204}, {'E', 205}, {VK_F1, 401}};

// A dialog control by its text's id; Count for one without text.
struct ControlLayout {
    DialogControl kind;
    int id;
    TextId text;
    int x, y, width, height;
};

struct DialogLayout {
    TextId caption;
    int x, y, width, height;
    const ControlLayout* items;
    int itemCount;
};

using enum DialogControl;

// The game's own layouts, for the Japanese texts.
constexpr ControlLayout newGameItems[] = {
    {GroupBox, -1, NewGameBlack, 7, 7, 140, 40},         {RadioButton, 100, NewGameHuman, 13, 18, 20, 10},
    {RadioButton, 101, NewGameComputer, 13, 31, 20, 10}, {DropDownList, 201, Count, 40, 29, 100, 80},
    {GroupBox, -1, NewGameWhite, 7, 50, 140, 40},        {RadioButton, 102, NewGameHuman, 13, 61, 20, 10},
    {RadioButton, 103, NewGameComputer, 13, 74, 20, 10}, {DropDownList, 202, Count, 40, 72, 100, 80},
    {DefaultPushButton, 1, ButtonOk, 24, 92, 50, 14},    {PushButton, 2, ButtonCancel, 78, 92, 50, 14},
};

constexpr ControlLayout settingsItems[] = {
    {StaticText, -1, SettingsWaitTime, 3, 5, 40, 12},
    {Edit, 301, Count, 45, 3, 30, 12},
    {DefaultPushButton, 1, ButtonOk, 10, 30, 50, 14},
    {PushButton, 2, ButtonCancel, 61, 30, 50, 14},
};

// Room for longer words: "Computer" beside its radio button, and level
// names such as "Sensei (a little strong)" in the lists.
constexpr ControlLayout roomyNewGameItems[] = {
    {GroupBox, -1, NewGameBlack, 7, 7, 196, 40},         {RadioButton, 100, NewGameHuman, 13, 18, 46, 10},
    {RadioButton, 101, NewGameComputer, 13, 31, 46, 10}, {DropDownList, 201, Count, 62, 29, 134, 80},
    {GroupBox, -1, NewGameWhite, 7, 50, 196, 40},        {RadioButton, 102, NewGameHuman, 13, 61, 46, 10},
    {RadioButton, 103, NewGameComputer, 13, 74, 46, 10}, {DropDownList, 202, Count, 62, 72, 134, 80},
    {DefaultPushButton, 1, ButtonOk, 52, 92, 50, 14},    {PushButton, 2, ButtonCancel, 106, 92, 50, 14},
};

constexpr ControlLayout roomySettingsItems[] = {
    {StaticText, -1, SettingsWaitTime, 3, 5, 96, 12},
    {Edit, 301, Count, 101, 3, 34, 12},
    {DefaultPushButton, 1, ButtonOk, 18, 30, 50, 14},
    {PushButton, 2, ButtonCancel, 72, 30, 50, 14},
};

// Leaving the board editor: what to do with the position set up.
constexpr ControlLayout editDoneItems[] = {
    {StaticText, -1, EditDoneLead, 7, 7, 120, 10}, {DefaultPushButton, 1, EditDonePlay, 7, 21, 60, 14},
    {PushButton, 3, EditDoneHint, 71, 21, 60, 14}, {PushButton, 4, EditDoneSave, 7, 39, 60, 14},
    {PushButton, 5, EditDoneCopy, 71, 39, 60, 14}, {PushButton, 2, EditDoneBack, 71, 60, 60, 14},
};

constexpr ControlLayout roomyEditDoneItems[] = {
    {StaticText, -1, EditDoneLead, 7, 7, 150, 10}, {DefaultPushButton, 1, EditDonePlay, 7, 21, 74, 14},
    {PushButton, 3, EditDoneHint, 85, 21, 74, 14}, {PushButton, 4, EditDoneSave, 7, 39, 74, 14},
    {PushButton, 5, EditDoneCopy, 85, 39, 74, 14}, {PushButton, 2, EditDoneBack, 85, 60, 74, 14},
};

constexpr DialogLayout newGameLayout{NewGameTitle, 20, 20, 150, 110, newGameItems, countOf(newGameItems)};
constexpr DialogLayout settingsLayout{SettingsTitle, 20, 20, 120, 50, settingsItems, countOf(settingsItems)};
constexpr DialogLayout roomyNewGameLayout{
    NewGameTitle, 20, 20, 210, 110, roomyNewGameItems, countOf(roomyNewGameItems)};
constexpr DialogLayout roomySettingsLayout{
    SettingsTitle, 20, 20, 140, 50, roomySettingsItems, countOf(roomySettingsItems)};
constexpr DialogLayout editDoneLayout{EditDoneTitle, 20, 20, 138, 80, editDoneItems, countOf(editDoneItems)};
constexpr DialogLayout roomyEditDoneLayout{
    EditDoneTitle, 20, 20, 166, 80, roomyEditDoneItems, countOf(roomyEditDoneItems)};

const char* textOf(Language language, TextId id)
{
    return id == Count ? "" : uiTextIn(language, id);
}

// Everything a language's definitions point to, made the first time the
// language asks for them and kept from then on.
struct Definitions {
    std::array<MenuItemDef, ItemCount> items;
    std::array<PopupDef, countOf(popupLayouts)> popups;
    MenuDef menu;
    std::array<DialogItemDef, countOf(roomyNewGameItems)> newGameItems;
    std::array<DialogItemDef, countOf(roomySettingsItems)> settingsItems;
    std::array<DialogItemDef, countOf(roomyEditDoneItems)> editDoneItems;
    DialogDef newGame, settings, editDone;
};

void buildMenu(Definitions& d, Language language)
{
    int next = 0;
    for (int p = 0; p < countOf(popupLayouts); ++p) {
        const PopupLayout& layout = popupLayouts[p];
        d.popups[p] = {textOf(language, layout.title), &d.items[next], layout.itemCount};
        for (int i = 0; i < layout.itemCount; ++i)
            d.items[next++] = {layout.items[i].id, textOf(language, layout.items[i].text)};
    }
    d.menu = {d.popups.data(), countOf(popupLayouts)};
}

template <std::size_t N>
DialogDef buildDialog(const DialogLayout& layout, std::array<DialogItemDef, N>& items, Language language)
{
    for (int i = 0; i < layout.itemCount; ++i) {
        const ControlLayout& c = layout.items[i];
        items[i] = {c.kind, c.id, textOf(language, c.text), c.x, c.y, c.width, c.height};
    }
    return {textOf(language, layout.caption),
            layout.x,
            layout.y,
            layout.width,
            layout.height,
            "MS UI Gothic",
            10,
            items.data(),
            layout.itemCount};
}

const Definitions& definitions()
{
    static Definitions made[LanguageCount];
    static bool ready[LanguageCount] = {};
    const Language language = currentLanguage();
    const int index = static_cast<int>(language);
    Definitions& d = made[index];
    if (!ready[index]) {
        const bool japanese = language == Language::Japanese;
        buildMenu(d, language);
        d.newGame = buildDialog(japanese ? newGameLayout : roomyNewGameLayout, d.newGameItems, language);
        d.settings = buildDialog(japanese ? settingsLayout : roomySettingsLayout, d.settingsItems, language);
        d.editDone = buildDialog(japanese ? editDoneLayout : roomyEditDoneLayout, d.editDoneItems, language);
        ready[index] = true;
    }
    return d;
}

static_assert(countOf(newGameItems) == countOf(roomyNewGameItems) &&
              countOf(settingsItems) == countOf(roomySettingsItems) &&
              countOf(editDoneItems) == countOf(roomyEditDoneItems));

} // namespace

const MenuDef& mainMenuDef()
{
    return definitions().menu;
}

const AcceleratorTable& acceleratorDef()
{
    static const AcceleratorTable table{accelerators, countOf(accelerators)};
    return table;
}

const DialogDef& newGameDialogDef()
{
    return definitions().newGame;
}

const DialogDef& settingsDialogDef()
{
    return definitions().settings;
}

const DialogDef& editDoneDialogDef()
{
    return definitions().editDone;
}
