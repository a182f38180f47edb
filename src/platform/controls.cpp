// Child controls of the main window: the list box, the icon button and the
// read-only multi-line edit. Their notifications reach the parent's procedure
// as WM_COMMAND with the control's id in the low word.
#include "platform/qt_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyleOptionFrame>
#include <algorithm>

namespace {

void notifyParent(Window* control, unsigned code)
{
    sendMessage(control->parent, WM_COMMAND, WPARAM(control->id & 0xFFFF) | (WPARAM(code) << 16),
                reinterpret_cast<LPARAM>(control));
}

// Light text on a dark selection would turn a selected line's "●" into a
// "○": the selection is light and its text dark, focused or not.
void keepMarksApart(QListWidget* list)
{
    QPalette palette = list->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, QColor(204, 228, 247));
        palette.setColor(group, QPalette::HighlightedText, Qt::black);
    }
    list->setPalette(palette);
}

// The device pixels a logical rectangle covers once scaled, as Qt clips and
// fills them: each edge rounded on its own.
QRect devicePixels(const QTransform& toDevice, const QRect& logical)
{
    const QRectF area = toDevice.mapRect(QRectF(logical));
    const int left = qRound(area.left()), top = qRound(area.top());
    return QRect(left, top, qRound(area.right()) - left, qRound(area.bottom()) - top);
}

// A control whose frame the style draws in device pixels, one device pixel
// wide along the outermost pixels the control covers. Drawn in logical
// pixels, as styles do, the frame's lines fall between device pixels at a
// fractional ratio such as 1.5 and whole edges go missing; at ratio 1 nothing
// changes. The children inside the frame start a logical pixel in, so they
// never cover it.
template <typename Base> class DeviceFrame : public Base {
  public:
    using Base::Base;

  protected:
    bool event(QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return Base::event(event);
        QStyleOptionFrame option;
        this->initStyleOption(&option);
        QPainter painter(this);
        const QTransform toDevice = painter.deviceTransform();
        option.rect = devicePixels(toDevice, this->frameRect());
        painter.setWorldTransform(toDevice.inverted());
        this->style()->drawControl(QStyle::CE_ShapedFrame, &option, &painter, this);
        return true;
    }
};

// A list whose lines may stop above its bottom edge, where another control
// lies over it; its frame and scroll bar keep the whole height.
class ListBox : public DeviceFrame<QListWidget> {
  public:
    using DeviceFrame::DeviceFrame;
    void endLinesAt(int y) // in the parent's coordinates
    {
        const int innerBottom = height() - frameWidth();
        setViewportMargins(0, 0, 0, std::max(0, innerBottom - (y - this->y())));
    }

  protected:
    // A click on the last device pixel of a line belongs to that line, as the
    // line is drawn there: positions are floored, not rounded.
    bool viewportEvent(QEvent* event) override
    {
        auto* mouse = isMouse(event->type()) ? static_cast<QMouseEvent*>(event) : nullptr;
        const QPointF shift =
            mouse ? QPointF(logicalPoint(viewport(), mouse)) - mouse->position() : QPointF();
        if (shift.isNull())
            return DeviceFrame::viewportEvent(event);
        QMouseEvent floored(mouse->type(), mouse->position() + shift, mouse->scenePosition() + shift,
                            mouse->globalPosition() + shift, mouse->button(), mouse->buttons(),
                            mouse->modifiers(), mouse->pointingDevice());
        const bool handled = DeviceFrame::viewportEvent(&floored);
        event->setAccepted(floored.isAccepted());
        return handled;
    }

  private:
    static bool isMouse(QEvent::Type type)
    {
        return type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
               type == QEvent::MouseButtonDblClick || type == QEvent::MouseMove;
    }
};

using MessageEdit = DeviceFrame<QPlainTextEdit>;

} // namespace

QWidget* makeListBox(Window* control, QWidget* parent)
{
    auto* list = new ListBox(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn); // shown even when not needed
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    keepMarksApart(list);
    // Programmatic changes block the signals, so only the user's reach here.
    // Not on the current row's change: a click moves the current row before
    // the selection, and the parent reads the selection.
    QObject::connect(list, &QListWidget::itemSelectionChanged, list,
                     [control] { notifyParent(control, LBN_SELCHANGE); });
    return list;
}

namespace {

QWidget* makeIconButton(Window* control, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setIconSize(QSize(16, 16));
    // Clicked with the mouse only: it never holds the focus, so no key presses it.
    button->setFocusPolicy(Qt::NoFocus);
    QObject::connect(button, &QPushButton::clicked, button, [control] { notifyParent(control, BN_CLICKED); });
    return button;
}

QWidget* makeReadOnlyEdit(QWidget* parent)
{
    auto* edit = new MessageEdit(parent);
    edit->setReadOnly(true);
    // Shown, never typed into: the focus stays with the record list, whose
    // Up and Down move through the record.
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return edit;
}

QListWidget* listOf(Window* window)
{
    return window && !window->destroyed ? qobject_cast<QListWidget*>(window->widget.data()) : nullptr;
}

} // namespace

QString widgetText(QWidget* widget)
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget))
        return edit->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (auto* line = qobject_cast<QLineEdit*>(widget))
        return line->text();
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title();
    if (auto* combo = qobject_cast<QComboBox*>(widget))
        return combo->currentText();
    return widget ? widget->windowTitle() : QString();
}

void setWidgetText(QWidget* widget, const QString& text)
{
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        QString plain = text;
        edit->setPlainText(plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (widget) {
        widget->setWindowTitle(text);
    }
}

Window* createControl(Window* parent, ControlKind kind, int id, int x, int y, int width, int height)
{
    if (!parent || parent->destroyed || !parent->client)
        return nullptr;
    Window* control = newWindow(WindowKind::Control);
    control->id = id;
    control->parent = parent;
    QWidget* widget = kind == ControlKind::ListBox      ? makeListBox(control, parent->client)
                      : kind == ControlKind::IconButton ? makeIconButton(control, parent->client)
                                                        : makeReadOnlyEdit(parent->client);
    widget->setGeometry(x, y, width, height);
    // Controls choose their own cursor instead of inheriting the board's.
    widget->setCursor(Qt::ArrowCursor);
    widget->show();
    control->widget = widget;
    return control;
}

void setControlFont(Window* control, Font* font)
{
    if (control && control->widget && font)
        control->widget->setFont(fontForRatio(font->font, windowRatio(control->parent)));
}

void setFocus(Window* control)
{
    if (control && !control->destroyed && control->widget)
        control->widget->setFocus(Qt::OtherFocusReason);
}

void setButtonIcon(Window* control, Icon* icon)
{
    if (auto* button = control ? qobject_cast<QAbstractButton*>(control->widget.data()) : nullptr)
        button->setIcon(icon ? icon->icon : QIcon());
}

void enableWindow(Window* control, bool enabled)
{
    if (control && control->widget)
        control->widget->setEnabled(enabled);
}

// The window's own flag, not its parents': a control of a blocked window still counts as enabled.
bool isWindowEnabled(Window* control)
{
    return control && control->widget && !control->widget->testAttribute(Qt::WA_ForceDisabled);
}

void setWindowText(Window* control, const char* text)
{
    if (control && control->widget)
        setWidgetText(control->widget, fromUtf8(text));
}

int getWindowText(Window* control, char* buffer, int bufferSize)
{
    QString text = control && control->widget ? widgetText(control->widget) : QString();
    return copyUtf8(text.toUtf8(), buffer, bufferSize);
}

void listBoxEndLinesAt(Window* list, int y)
{
    if (auto* w = dynamic_cast<ListBox*>(listOf(list)))
        w->endLinesAt(y);
}

int listBoxAddString(Window* list, const char* text)
{
    QListWidget* w = listOf(list);
    if (!w)
        return -1;
    QSignalBlocker block(w);
    w->addItem(fromUtf8(text));
    return w->count() - 1;
}

void listBoxReset(Window* list)
{
    if (QListWidget* w = listOf(list)) {
        QSignalBlocker block(w);
        w->clear();
    }
}

void listBoxSetSelection(Window* list, int index)
{
    QListWidget* w = listOf(list);
    if (!w)
        return;
    QSignalBlocker block(w);
    if (index < 0 || index >= w->count()) {
        w->setCurrentRow(-1);
        w->clearSelection();
        return;
    }
    w->setCurrentRow(index);
    w->scrollToItem(w->item(index));
}

int listBoxSelection(Window* list)
{
    QListWidget* w = listOf(list);
    if (!w)
        return -1;
    QList<QListWidgetItem*> selected = w->selectedItems();
    return selected.isEmpty() ? -1 : w->row(selected.first());
}

int listBoxCount(Window* list)
{
    QListWidget* w = listOf(list);
    return w ? w->count() : 0;
}

int listBoxText(Window* list, int index, char* buffer, int bufferSize)
{
    QListWidget* w = listOf(list);
    if (!w || index < 0 || index >= w->count())
        return copyUtf8(QByteArray(), buffer, bufferSize);
    return copyUtf8(w->item(index)->text().toUtf8(), buffer, bufferSize);
}
