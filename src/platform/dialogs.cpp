// Modal dialogs built from a dialog definition, and the OK/Cancel message box.
// Both run a nested event loop, so window timers and sends from other threads
// keep arriving while they are up. The modal hook gets each one once it shows.
// While the session closes the program they are cancelled, and new ones are
// not shown.
#include "platform/qt_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpacerItem>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

ModalHook modalHook = nullptr;

// Centred over the owner before it is mapped, and kept on the screen once framed.
void placeWhenShown(QWidget* top, Window* owner, QShowEvent* event)
{
    if (event->spontaneous())
        return;
    placeOverOwner(top, owner);
    keepOnScreenWhenFramed(top);
}

// Places a dialog as placeWhenShown does, for dialogs that are not ours to subclass.
class PlaceOnShow : public QObject {
  public:
    PlaceOnShow(QWidget* top, Window* owner) : QObject(top), owner_(owner) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            placeWhenShown(static_cast<QWidget*>(watched), owner_, static_cast<QShowEvent*>(event));
        return false;
    }

  private:
    Window* owner_;
};

// The window manager draws the title in a font of its own beside its
// buttons, and cuts what does not fit. The box is made as wide as the title
// in a large bold font, with room for an icon and three buttons.
void makeRoomForTitle(QMessageBox* box)
{
    QFont font = box->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    const int room =
        QFontMetrics(font).horizontalAdvance(box->windowTitle()) + 6 * QFontMetrics(font).height();
    auto* grid = qobject_cast<QGridLayout*>(box->layout());
    if (grid)
        grid->addItem(new QSpacerItem(room, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0,
                      1, grid->columnCount());
}

// Radio buttons that never check themselves: the dialog procedure does.
class PlainRadioButton : public QRadioButton {
  public:
    using QRadioButton::QRadioButton;

  protected:
    void nextCheckState() override {}
};

// Escape and the title bar's close button come to the procedure as Cancel; a
// procedure that does not end the dialog then sees it end with IDCANCEL.
class ProcDialog : public QDialog {
  public:
    ProcDialog(Window* window, QWidget* parent) : QDialog(parent), window_(window) {}
    void reject() override
    {
        if (window_->dialogProc && !window_->ended)
            window_->dialogProc(window_, WM_COMMAND, IDCANCEL, 0);
        if (!window_->ended)
            endDialog(window_, IDCANCEL);
    }

  protected:
    void showEvent(QShowEvent* event) override
    {
        QDialog::showEvent(event);
        placeWhenShown(this, window_->parent, event);
    }

  private:
    Window* window_;
};

// A message box sizes itself as it is shown; then it is placed, wide enough
// for its title.
class PlacedMessageBox : public QMessageBox {
  public:
    PlacedMessageBox(Window* window, Icon icon, const char* caption, const char* text,
                     StandardButtons buttons)
        : QMessageBox(icon, fromUtf8(caption), fromUtf8(text), buttons,
                      window->parent ? window->parent->widget.data() : nullptr),
          window_(window)
    {
    }

  protected:
    void showEvent(QShowEvent* event) override
    {
        if (!roomMade) // its layout is final now
            makeRoomForTitle(this);
        roomMade = true;
        QMessageBox::showEvent(event);
        placeWhenShown(this, window_->parent, event);
    }

  private:
    Window* window_;
    bool roomMade = false;
};

// Dialog units: x in quarters of the average character width, y in eighths of
// the character height, both of the dialog's font.
struct DialogUnits {
    int baseX, baseY;
    QRect toPixels(int x, int y, int w, int h) const
    {
        return QRect(x * baseX / 4, y * baseY / 8, w * baseX / 4, h * baseY / 8);
    }
};

DialogUnits unitsOf(const QFont& font)
{
    QFontMetrics metrics(font);
    int alphabet =
        metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabet / 26 + 1) / 2, metrics.height()};
}

// The size a control needs to show its text whole, with the font it draws
// with; an empty size for controls whose text scrolls or drops down.
QSize textNeeds(QWidget* widget)
{
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
        // Its size hint adds a minimum width for looks; only the text counts here.
        QStyle* style = button->style();
        const int frame = style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                          2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button);
        QFontMetrics metrics = button->fontMetrics();
        return QSize(metrics.horizontalAdvance(button->text()) + frame, metrics.height() + frame);
    }
    if (qobject_cast<QLabel*>(widget) || qobject_cast<QRadioButton*>(widget) ||
        qobject_cast<QGroupBox*>(widget))
        return widget->minimumSizeHint();
    return QSize();
}

// Dialog units come from the font's Latin letters, but the game's texts are
// mostly full-width: where a text would not fit its rectangle, the units grow
// until it does. Growing them all keeps the layout's proportions, so nothing
// comes to overlap.
DialogUnits roomForText(DialogUnits units, QWidget* widget, const DialogItemDef& item)
{
    const QSize needs = textNeeds(widget);
    if (needs.width() > 0 && item.width > 0)
        units.baseX = std::max(units.baseX, (4 * needs.width() + item.width - 1) / item.width);
    // A drop-down list's rectangle is its open height; closed it takes its own.
    if (needs.height() > 0 && item.height > 0 && item.kind != DialogControl::DropDownList)
        units.baseY = std::max(units.baseY, (8 * needs.height() + item.height - 1) / item.height);
    return units;
}

QFont dialogFont(const DialogDef& def)
{
    FontDesc desc{};
    desc.faceName = def.fontFace;
    Font* made = createFont(desc);
    QFont font = made->font;
    deleteFont(made);
    font.setPointSize(def.pointSize > 0 ? def.pointSize : 9);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

void notifyProc(Window* dialog, int id)
{
    if (!dialog->ended && dialog->dialogProc)
        dialog->dialogProc(dialog, WM_COMMAND, WPARAM(id & 0xFFFF) | (WPARAM(BN_CLICKED) << 16), 0);
}

QWidget* makeButton(Window* dialog, QAbstractButton* button, int id)
{
    QObject::connect(button, &QAbstractButton::clicked, button, [dialog, id] { notifyProc(dialog, id); });
    return button;
}

QWidget* makeItem(Window* dialog, QDialog* parent, const DialogItemDef& item)
{
    QString text = fromUtf8(item.text);
    switch (item.kind) {
    case DialogControl::GroupBox:
        return new QGroupBox(text, parent);
    case DialogControl::RadioButton: {
        auto* radio = new PlainRadioButton(text, parent);
        radio->setAutoExclusive(false);
        return makeButton(dialog, radio, item.id);
    }
    case DialogControl::DropDownList:
        return new QComboBox(parent);
    case DialogControl::PushButton:
    case DialogControl::DefaultPushButton: {
        auto* button = new QPushButton(text, parent);
        button->setDefault(item.kind == DialogControl::DefaultPushButton);
        return makeButton(dialog, button, item.id);
    }
    case DialogControl::StaticText:
        return new QLabel(text, parent);
    case DialogControl::Edit:
        return new QLineEdit(text, parent);
    }
    return nullptr;
}

void placeItem(QWidget* widget, const DialogItemDef& item, const DialogUnits& units)
{
    QRect r = units.toPixels(item.x, item.y, item.width, item.height);
    // A drop-down list's height is that of its open list; closed it is one line.
    if (item.kind == DialogControl::DropDownList)
        r.setHeight(widget->sizeHint().height());
    widget->setGeometry(r);
}

QWidget* itemOf(Window* dialog, int id)
{
    if (!dialog || !dialog->dialog)
        return nullptr;
    auto it = dialog->items.find(id);
    return it == dialog->items.end() ? nullptr : it->second;
}

// Ends a message box's life as a window once it has closed.
void forgetMessageBox(Window* window, QMessageBox* box)
{
    window->ended = true;
    window->destroyed = true;
    window->items.clear();
    delete box;
}

void buildDialog(Window* window, ProcDialog* dialog, const DialogDef& def)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowCloseButtonHint);
    dialog->setWindowTitle(fromUtf8(def.caption));
    dialog->setFont(dialogFont(def));
    std::vector<QWidget*> widgets;
    for (int i = 0; i < def.itemCount; ++i) {
        const DialogItemDef& item = def.items[i];
        widgets.push_back(makeItem(window, dialog, item));
        if (item.id != -1)
            window->items[item.id] = widgets.back();
    }
    DialogUnits units = unitsOf(dialog->font());
    for (int i = 0; i < def.itemCount; ++i)
        units = roomForText(units, widgets[i], def.items[i]);
    for (int i = 0; i < def.itemCount; ++i)
        placeItem(widgets[i], def.items[i], units);
    dialog->setFixedSize(units.toPixels(0, 0, def.width, def.height).size());
}

} // namespace

void placeOnShow(QDialog* dialog, Window* owner)
{
    dialog->installEventFilter(new PlaceOnShow(dialog, owner));
}

void callHookWhenShown(Window* window, QDialog* dialog)
{
    if (!modalHook)
        return;
    QTimer::singleShot(0, dialog, [window] {
        if (modalHook && !window->ended)
            modalHook(window);
    });
}

int runDialog(Window* owner, const DialogDef& def, DialogProc procedure)
{
    if (sessionClosing())
        return IDCANCEL;
    Window* window = newWindow(WindowKind::Dialog);
    window->parent = owner;
    window->dialogProc = procedure;
    auto* dialog = new ProcDialog(window, owner ? owner->widget.data() : nullptr);
    window->dialog = dialog;
    window->widget = dialog;
    buildDialog(window, dialog, def);
    if (procedure)
        procedure(window, WM_INITDIALOG, 0, 0);
    if (!window->ended) { // the procedure may end it during its initialisation
        callHookWhenShown(window, dialog);
        dialog->exec();
    }
    window->destroyed = true;
    window->items.clear();
    delete dialog;
    return window->ended ? window->endCode : IDCANCEL;
}

void endDialog(Window* dialog, int code)
{
    if (!dialog || dialog->ended)
        return;
    dialog->ended = true;
    dialog->endCode = code;
    if (dialog->dialog)
        dialog->dialog->done(code);
}

void checkRadioButton(Window* dialog, int firstId, int lastId, int checkId)
{
    for (int id = firstId; id <= lastId; ++id)
        if (auto* button = qobject_cast<QAbstractButton*>(itemOf(dialog, id))) {
            button->setCheckable(true);
            button->setChecked(id == checkId);
        }
}

bool isButtonChecked(Window* dialog, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(itemOf(dialog, id));
    return button && button->isChecked();
}

void comboAddString(Window* dialog, int id, const char* text)
{
    if (auto* combo = qobject_cast<QComboBox*>(itemOf(dialog, id)))
        combo->addItem(fromUtf8(text));
}

void comboSetSelection(Window* dialog, int id, int index)
{
    if (auto* combo = qobject_cast<QComboBox*>(itemOf(dialog, id)))
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
}

int comboSelection(Window* dialog, int id)
{
    auto* combo = qobject_cast<QComboBox*>(itemOf(dialog, id));
    return combo ? combo->currentIndex() : -1;
}

void enableDialogItem(Window* dialog, int id, bool enabled)
{
    if (QWidget* item = itemOf(dialog, id))
        item->setEnabled(enabled);
}

bool isDialogItemEnabled(Window* dialog, int id)
{
    QWidget* item = itemOf(dialog, id);
    return item && !item->testAttribute(Qt::WA_ForceDisabled);
}

void setDialogItemText(Window* dialog, int id, const char* text)
{
    if (QWidget* item = itemOf(dialog, id))
        setWidgetText(item, fromUtf8(text));
}

int getDialogItemText(Window* dialog, int id, char* buffer, int bufferSize)
{
    QWidget* item = itemOf(dialog, id);
    return copyUtf8(item ? widgetText(item).toUtf8() : QByteArray(), buffer, bufferSize);
}

int messageBoxOkCancel(Window* owner, const char* text, const char* caption)
{
    if (sessionClosing())
        return IDCANCEL;
    Window* window = newWindow(WindowKind::MessageBox);
    window->parent = owner;
    auto* box = new PlacedMessageBox(window, QMessageBox::Question, caption, text,
                                     QMessageBox::Ok | QMessageBox::Cancel);
    box->setEscapeButton(QMessageBox::Cancel); // closing the box is Cancel too
    // Qt's own button texts are English unless a translation is installed;
    // the game's dialogs read these two.
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    box->button(QMessageBox::Cancel)->setText(QStringLiteral("キャンセル"));
    window->dialog = box;
    window->widget = box;
    window->items[IDOK] = box->button(QMessageBox::Ok);
    window->items[IDCANCEL] = box->button(QMessageBox::Cancel);
    callHookWhenShown(window, box);
    box->exec();
    bool ok = window->ended ? window->endCode == IDOK : box->clickedButton() == box->button(QMessageBox::Ok);
    forgetMessageBox(window, box);
    return ok ? IDOK : IDCANCEL;
}

int messageBoxYesNo(Window* owner, const char* text, const char* caption)
{
    if (sessionClosing())
        return IDCANCEL;
    Window* window = newWindow(WindowKind::MessageBox);
    window->parent = owner;
    auto* box = new PlacedMessageBox(window, QMessageBox::Question, caption, text,
                                     QMessageBox::Yes | QMessageBox::No);
    box->button(QMessageBox::Yes)->setText(QStringLiteral("はい"));
    box->button(QMessageBox::No)->setText(QStringLiteral("いいえ"));
    box->setDefaultButton(QMessageBox::Yes);
    // Qt would make いいえ the escape button; a hidden one keeps a box closed
    // without an answer from reading as いいえ.
    QAbstractButton* unanswered = box->addButton(QMessageBox::Cancel);
    unanswered->hide();
    box->setEscapeButton(unanswered);
    window->dialog = box;
    window->widget = box;
    window->items[IDYES] = box->button(QMessageBox::Yes);
    window->items[IDNO] = box->button(QMessageBox::No);
    callHookWhenShown(window, box);
    box->exec();
    int answer = IDCANCEL;
    if (window->ended)
        answer = window->endCode == IDYES || window->endCode == IDNO ? window->endCode : IDCANCEL;
    else if (box->clickedButton() == box->button(QMessageBox::Yes))
        answer = IDYES;
    else if (box->clickedButton() == box->button(QMessageBox::No))
        answer = IDNO;
    forgetMessageBox(window, box);
    return sessionClosing() ? IDCANCEL : answer;
}

void messageBoxWarning(Window* owner, const char* text, const char* caption)
{
    Window* window = newWindow(WindowKind::MessageBox);
    window->parent = owner;
    auto* box = new PlacedMessageBox(window, QMessageBox::Warning, caption, text, QMessageBox::Ok);
    box->setEscapeButton(QMessageBox::Ok);
    box->button(QMessageBox::Ok)->setText(QStringLiteral("OK"));
    window->dialog = box;
    window->widget = box;
    window->items[IDOK] = box->button(QMessageBox::Ok);
    callHookWhenShown(window, box);
    box->exec();
    forgetMessageBox(window, box);
}

void setModalHook(ModalHook hook)
{
    modalHook = hook;
}

void clickDialogButton(Window* dialog, int id)
{
    if (auto* button = qobject_cast<QAbstractButton*>(itemOf(dialog, id)))
        button->click();
}

void answerMessageBox(Window* box, int code)
{
    if (!box || box->kind != WindowKind::MessageBox)
        return;
    endDialog(box, code == IDOK || code == IDYES || code == IDNO ? code : IDCANCEL);
}
