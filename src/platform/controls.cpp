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
#include <QProxyStyle>
#include <QPushButton>
#include <QScrollBar>
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

// Scroll bars as wide as the window's scale makes them.
class ScaledStyle : public QProxyStyle {
  public:
    double scale = 1.0;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        const bool grows = metric == PM_ScrollBarExtent || metric == PM_ScrollBarSliderMin;
        return grows ? toDevice(base, scale) : base;
    }
};

// A list whose lines may stop above its bottom edge, where another control
// lies over it; its frame and scroll bar keep the whole height. Only whole
// lines show: none is cut off by that control.
class ListBox : public DeviceFrame<QListWidget> {
  public:
    using DeviceFrame::DeviceFrame;
    void endLinesAt(int y) // in the parent's coordinates; -1 for the whole height
    {
        linesEnd_ = y;
        fitLines();
    }
    void scaleScrollBar(double scale)
    {
        if (!style_ && scale == 1.0)
            return;
        if (!style_) {
            style_ = new ScaledStyle;
            style_->setParent(this);
            verticalScrollBar()->setStyle(style_);
        }
        style_->scale = scale;
        verticalScrollBar()->updateGeometry();
        updateGeometries();
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

    // Rows are known here: as they come, as the font changes and as it resizes.
    void updateGeometries() override
    {
        DeviceFrame::updateGeometries();
        fitLines();
    }

  private:
    // The lines' area ends at a whole number of lines, above linesEnd_.
    void fitLines()
    {
        const int inner = height() - 2 * frameWidth();
        int room = linesEnd_ < 0 ? inner : std::min(inner, linesEnd_ - y() - frameWidth());
        const int line = count() > 0 ? sizeHintForRow(0) : 0;
        if (line > 0 && room >= line)
            room -= room % line;
        const QMargins wanted(0, 0, 0, std::max(0, inner - room));
        if (viewportMargins() != wanted)
            setViewportMargins(wanted);
    }

    int linesEnd_ = -1;
    ScaledStyle* style_ = nullptr;

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

constexpr int ButtonIconSize = 16;

QWidget* makeIconButton(Window* control, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setIconSize(QSize(ButtonIconSize, ButtonIconSize));
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
    // Controls choose their own cursor instead of inheriting the board's.
    widget->setCursor(Qt::ArrowCursor);
    control->widget = widget;
    control->placed = QRect(x, y, width, height);
    scaleControl(control);
    widget->show();
    return control;
}

// The font's pixel size grows with the window; the glyphs are smoothed as
// the game's own text is at that ratio.
void scaleControl(Window* control)
{
    QWidget* widget = control ? control->widget.data() : nullptr;
    if (!widget)
        return;
    const double scale = control->parent ? control->parent->scale : 1.0;
    widget->setGeometry(scaledRect(control->placed, scale));
    if (control->hasFont) {
        QFont font = control->placedFont;
        if (font.pixelSize() > 0)
            font.setPixelSize(std::max(1, toDevice(font.pixelSize(), scale)));
        else
            font.setPointSizeF(font.pointSizeF() * scale);
        widget->setFont(fontForRatio(font, windowRatio(control->parent) * scale));
    }
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setIconSize(scaledRect(QRect(0, 0, ButtonIconSize, ButtonIconSize), scale).size());
    if (auto* list = dynamic_cast<ListBox*>(widget)) {
        list->scaleScrollBar(scale);
        list->endLinesAt(control->linesEndAt < 0 ? -1 : toDevice(control->linesEndAt, scale));
    }
}

void setControlFont(Window* control, Font* font)
{
    if (!control || !control->widget || !font)
        return;
    control->placedFont = font->font;
    control->hasFont = true;
    scaleControl(control);
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
    if (listOf(list)) {
        list->linesEndAt = y;
        scaleControl(list);
    }
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
