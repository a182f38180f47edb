// The menu bar. Each popup asks the window procedure for its items' state
// (WM_INITMENUPOPUP) just before it opens, and so does every accelerator before
// it acts, so a disabled item's accelerator does nothing.
#include "platform/qt_window.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace {

// The text after a tab is shown as the item's shortcut text; it is no real
// shortcut, since accelerators are handled apart from the menu.
void addItem(Window* window, Menu* popup, const MenuItemDef& def)
{
    if (def.id == 0) {
        popup->items.push_back({0, popup->menu->addSeparator()});
        return;
    }
    QAction* action = popup->menu->addAction(fromUtf8(def.text));
    int id = def.id;
    QObject::connect(action, &QAction::triggered, action,
                     [window, id] { sendMessage(window, WM_COMMAND, WPARAM(id & 0xFFFF), 0); });
    popup->items.push_back({id, action});
}

QAction* findAction(Window* window, int id, Menu** holder)
{
    if (!window)
        return nullptr;
    for (auto& popup : window->menus)
        for (const MenuItem& item : popup->items)
            if (item.id == id && id != 0) {
                if (holder)
                    *holder = popup.get();
                return item.action;
            }
    return nullptr;
}

void initPopup(Window* window, Menu* popup)
{
    auto index = std::find_if(window->menus.begin(), window->menus.end(),
                              [popup](const auto& m) { return m.get() == popup; }) -
                 window->menus.begin();
    sendMessage(window, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), LPARAM(index));
}

} // namespace

void buildMenus(Window* window, const MenuDef& def)
{
    QMenuBar* bar = window->frame->menuBar();
    bar->setNativeMenuBar(false); // a global menu would change the client area's place
    for (int p = 0; p < def.popupCount; ++p) {
        const PopupDef& popupDef = def.popups[p];
        window->menus.push_back(
            std::make_unique<Menu>(Menu{window, bar->addMenu(fromUtf8(popupDef.title)), {}}));
        Menu* popup = window->menus.back().get();
        for (int i = 0; i < popupDef.itemCount; ++i)
            addItem(window, popup, popupDef.items[i]);
        QObject::connect(popup->menu, &QMenu::aboutToShow, popup->menu, [window, popup] {
            if (!window->destroyed)
                initPopup(window, popup);
        });
    }
}

int menuItemCount(Menu* popup)
{
    return popup ? int(popup->items.size()) : 0;
}

int menuItemId(Menu* popup, int position)
{
    if (!popup || position < 0 || position >= int(popup->items.size()))
        return 0;
    return popup->items[position].id;
}

// An item is checkable only while checked, so unchecked items show no empty
// box; the items of a choice always are, and show their empty dots.
void setMenuItemState(Menu* popup, int position, bool enabled, bool checked)
{
    if (!popup || position < 0 || position >= int(popup->items.size()))
        return;
    QAction* action = popup->items[position].action;
    action->setEnabled(enabled);
    if (!action->actionGroup())
        action->setCheckable(checked);
    action->setChecked(checked);
}

void checkMenuRadioItem(Menu* popup, int firstId, int lastId, int checkId)
{
    if (!popup)
        return;
    QActionGroup* group = nullptr;
    for (const MenuItem& item : popup->items) {
        if (item.id == 0 || item.id < firstId || item.id > lastId)
            continue;
        if (!item.action->actionGroup()) {
            group = group ? group : new QActionGroup(popup->menu);
            group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
            item.action->setCheckable(true);
            group->addAction(item.action);
        }
        item.action->setChecked(item.id == checkId);
    }
}

bool menuItemEnabled(Window* window, int id)
{
    QAction* action = findAction(window, id, nullptr);
    return action && action->isEnabled();
}

bool menuItemChecked(Window* window, int id)
{
    QAction* action = findAction(window, id, nullptr);
    return action && action->isChecked();
}

void invokeMenuCommand(Window* window, int id)
{
    Menu* popup = nullptr;
    QAction* action = findAction(window, id, &popup);
    if (!action || window->destroyed)
        return;
    initPopup(window, popup);
    if (action->isEnabled() && !window->destroyed)
        sendMessage(window, WM_COMMAND, WPARAM(id & 0xFFFF), 0);
}
