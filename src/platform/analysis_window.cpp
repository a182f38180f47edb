// The analysis window: a graph of a game's values by turn drawn with
// QPainter, a list box, a status line, a progress bar and a cancel button, in
// a window of its own beside the main window.
#include "platform/qt_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int WindowWidth = 460;
constexpr int WindowHeight = 410;
constexpr int MinimumWidth = 300, MinimumHeight = 260;
constexpr int Margin = 10;
constexpr int GraphHeight = 210;
constexpr int PickDistance = 8; // a click this close to a point in x picks it

// Estimates and exact values, lost moves and the chosen point, each its own look.
const QColor ExactColour(0, 70, 160);
const QColor EstimateColour(90, 130, 200);
const QColor LostColour(220, 30, 30);
const QColor ChosenColour(230, 120, 0);
const QColor EstimateShade(238, 238, 238);

class GraphView : public QWidget {
  public:
    explicit GraphView(Window* window, QWidget* parent) : QWidget(parent), window_(window) {}

    void setGraph(int lastTurn, std::vector<GraphPoint> points, QString legend)
    {
        lastTurn_ = std::max(1, lastTurn);
        points_ = std::move(points);
        legend_ = std::move(legend);
        int largest = 8;
        for (const GraphPoint& p : points_)
            largest = std::max(largest, std::abs(p.value));
        range_ = std::min(64, (largest + 7) / 8 * 8);
        update();
    }

    void setSelection(int turn)
    {
        selected_ = turn;
        update();
    }

    // Where the point of a turn is drawn; false when there is none.
    bool pointOf(int turn, QPoint* at) const
    {
        for (const GraphPoint& p : points_)
            if (p.turn == turn) {
                *at = QPoint(xOf(p.turn), yOf(p.value));
                return true;
            }
        return false;
    }

  protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const QRect area = plotArea();
        drawEstimateRange(painter, area);
        drawAxes(painter, area);
        drawSelection(painter, area);
        drawValues(painter);
        painter.setPen(Qt::darkGray);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        const int x = logicalPoint(this, event).x();
        const GraphPoint* nearest = nullptr;
        for (const GraphPoint& p : points_)
            if (std::abs(xOf(p.turn) - x) <= PickDistance &&
                (!nearest || std::abs(xOf(p.turn) - x) < std::abs(xOf(nearest->turn) - x)))
                nearest = &p;
        if (nearest)
            sendMessage(window_, WM_COMMAND, AnalysisGraphId, nearest->turn);
    }

  private:
    QRect plotArea() const { return rect().adjusted(36, 22, -12, -22); }
    int xOf(int turn) const
    {
        const QRect a = plotArea();
        return a.left() + a.width() * turn / lastTurn_;
    }
    int yOf(int value) const
    {
        const QRect a = plotArea();
        return a.top() + a.height() * (range_ - value) / (2 * range_);
    }

    // The turns before the last run of exact values: estimated, or not
    // valued at all. Shaded, without text, so nothing crosses the lines.
    void drawEstimateRange(QPainter& painter, const QRect& area) const
    {
        int firstExact = lastTurn_ + 1;
        for (auto p = points_.rbegin(); p != points_.rend() && p->exact; ++p)
            firstExact = p->turn;
        if (firstExact <= 0)
            return;
        const int right = firstExact > lastTurn_ ? area.right() + 1 : xOf(firstExact);
        painter.fillRect(QRect(area.left(), area.top(), right - area.left(), area.height()), EstimateShade);
    }

    void drawAxes(QPainter& painter, const QRect& area) const
    {
        painter.setPen(Qt::black);
        const QRect header(4, 2, width() - 8, 18);
        painter.drawText(header, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("黒から見た最終石差"));
        const int titleWidth =
            painter.fontMetrics().horizontalAdvance(QStringLiteral("黒から見た最終石差　"));
        painter.drawText(
            header.adjusted(titleWidth, 0, 0, 0), Qt::AlignRight | Qt::AlignVCenter,
            painter.fontMetrics().elidedText(legend_, Qt::ElideRight, header.width() - titleWidth));
        for (int value : {range_, range_ / 2, 0, -range_ / 2, -range_}) {
            painter.setPen(value == 0 ? QColor(90, 90, 90) : QColor(215, 215, 215));
            painter.drawLine(area.left(), yOf(value), area.right(), yOf(value));
            painter.setPen(Qt::black);
            const QString label = value > 0 ? QStringLiteral("+%1").arg(value) : QString::number(value);
            painter.drawText(QRect(0, yOf(value) - 8, area.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                             label);
        }
        const int step = lastTurn_ > 40 ? 10 : 5;
        for (int turn = 0; turn <= lastTurn_; turn += step)
            painter.drawText(QRect(xOf(turn) - 15, area.bottom() + 3, 30, 16), Qt::AlignCenter,
                             QString::number(turn));
    }

    // A line across the plot at the chosen turn, under the values.
    void drawSelection(QPainter& painter, const QRect& area) const
    {
        if (selected_ < 0 || selected_ > lastTurn_)
            return;
        painter.setPen(QPen(ChosenColour, 1));
        painter.drawLine(xOf(selected_), area.top(), xOf(selected_), area.bottom());
    }

    // Exact values on a solid line with filled points; estimates on a dashed
    // line with hollow ones; lost moves in red; the chosen point ringed.
    void drawValues(QPainter& painter) const
    {
        painter.setRenderHint(QPainter::Antialiasing);
        for (size_t i = 1; i < points_.size(); ++i) {
            const GraphPoint& a = points_[i - 1];
            const GraphPoint& b = points_[i];
            const bool exact = a.exact && b.exact;
            painter.setPen(QPen(exact ? ExactColour : EstimateColour, exact ? 2 : 1.5,
                                exact ? Qt::SolidLine : Qt::DashLine));
            painter.drawLine(xOf(a.turn), yOf(a.value), xOf(b.turn), yOf(b.value));
        }
        for (const GraphPoint& p : points_) {
            const QColor colour = p.marked ? LostColour : ExactColour;
            painter.setPen(p.exact ? QPen(Qt::black) : QPen(colour, 1.5));
            painter.setBrush(p.exact ? colour : QColor(Qt::white));
            const int r = p.marked ? 4 : 3;
            painter.drawEllipse(QPoint(xOf(p.turn), yOf(p.value)), r, r);
            if (p.turn == selected_) {
                painter.setPen(QPen(ChosenColour, 2));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(QPoint(xOf(p.turn), yOf(p.value)), 7, 7);
            }
        }
    }

    Window* window_;
    int lastTurn_ = 1;
    int range_ = 8;
    int selected_ = -1;
    std::vector<GraphPoint> points_;
    QString legend_;
};

// The title bar's close button goes through WM_CLOSE, as the main window's does.
class AnalysisFrame : public QWidget {
  public:
    AnalysisFrame(Window* window, QWidget* owner) : QWidget(owner, Qt::Window), window_(window) {}

  protected:
    void closeEvent(QCloseEvent* event) override
    {
        event->ignore();
        callProcedure(window_, WM_CLOSE, 0, 0);
    }

  private:
    Window* window_;
};

struct AnalysisParts {
    GraphView* graph;
    QLabel* text;
    QProgressBar* bar;
    QPushButton* cancel;
    Window* list;
};

std::vector<std::pair<Window*, AnalysisParts>> partsOfWindows;

AnalysisParts* partsOf(Window* window)
{
    if (!window || window->destroyed || !window->widget)
        return nullptr;
    for (auto& [w, parts] : partsOfWindows)
        if (w == window)
            return &parts;
    return nullptr;
}

Window* makeList(Window* window, QWidget* frame)
{
    Window* list = newWindow(WindowKind::Control);
    list->id = AnalysisListId;
    list->parent = window;
    list->widget = makeListBox(list, frame);
    return list;
}

// The graph on top, the status and the progress below it, the list in the
// rest. On a screen too small for the whole window the graph and the list
// share what there is.
void layOut(const AnalysisParts& parts, QSize size)
{
    constexpr int Below = 58; // the status line and the progress bar
    const int width = size.width() - 2 * Margin;
    const int rest = size.height() - 3 * Margin - Below;
    const int graph = std::min(GraphHeight, rest * 3 / 5);
    const int below = graph + 2 * Margin;
    parts.graph->setGeometry(Margin, Margin, width, graph);
    parts.text->setGeometry(Margin, below, width, 20);
    parts.bar->setGeometry(Margin, below + 28, width - Margin - 90, 22);
    parts.cancel->setGeometry(size.width() - Margin - 90, below + 26, 90, 26);
    parts.list->widget->setGeometry(Margin, below + Below, width, rest - graph);
}

// The window's size where it fits, else what the screen has room for, and
// its place: beside the main window where the screen has room, else as far
// right as it goes.
QRect placeBeside(QWidget* owner, QWidget* frame)
{
    const QRect main = frameRectOf(owner);
    const QRect area = screenAreaFor(main);
    const QSize decorations = frameRectOf(owner).size() - owner->size();
    const QSize size = QSize(WindowWidth, WindowHeight)
                           .boundedTo(area.size() - decorations)
                           .expandedTo(frame->minimumSize());
    const QSize outer = size + decorations;
    return QRect(insideArea(QPoint(main.right() + 8, main.top()), outer, area), size);
}

} // namespace

Window* createAnalysisWindow(Window* owner, const char* title, WindowProc procedure)
{
    if (!owner || owner->destroyed || !owner->widget)
        return nullptr;
    Window* window = newWindow(WindowKind::Analysis);
    window->parent = owner;
    window->procedure = procedure;
    auto* frame = new AnalysisFrame(window, owner->widget);
    frame->setWindowTitle(fromUtf8(title));
    frame->setMinimumSize(MinimumWidth, MinimumHeight);
    window->widget = frame;

    AnalysisParts parts{};
    parts.graph = new GraphView(window, frame);
    parts.text = new QLabel(frame);
    parts.bar = new QProgressBar(frame);
    parts.bar->setFormat(QStringLiteral("%v / %m"));
    parts.cancel = new QPushButton(QStringLiteral("キャンセル"), frame);
    QObject::connect(parts.cancel, &QPushButton::clicked, parts.cancel,
                     [window] { sendMessage(window, WM_COMMAND, AnalysisCancelId, 0); });
    parts.list = makeList(window, frame);
    // Escape closes it as its close button does.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), frame);
    QObject::connect(escape, &QShortcut::activated, frame,
                     [window] { callProcedure(window, WM_CLOSE, 0, 0); });
    partsOfWindows.emplace_back(window, parts);

    const QRect placed = placeBeside(owner->widget, frame);
    frame->setFixedSize(placed.size());
    layOut(parts, placed.size());
    frame->move(placed.topLeft());
    frame->show();
    keepOnScreenWhenFramed(frame);
    return window;
}

Window* analysisList(Window* window)
{
    AnalysisParts* parts = partsOf(window);
    return parts ? parts->list : nullptr;
}

void setAnalysisText(Window* window, const char* text)
{
    if (AnalysisParts* parts = partsOf(window))
        parts->text->setText(fromUtf8(text));
}

void setAnalysisProgress(Window* window, int done, int total)
{
    AnalysisParts* parts = partsOf(window);
    if (!parts)
        return;
    parts->bar->setVisible(total > 0);
    parts->cancel->setVisible(total > 0);
    if (total > 0) {
        parts->bar->setRange(0, total);
        parts->bar->setValue(std::clamp(done, 0, total));
    }
}

void setAnalysisGraph(Window* window, int lastTurn, const GraphPoint* points, int count, const char* legend)
{
    if (AnalysisParts* parts = partsOf(window))
        parts->graph->setGraph(lastTurn, std::vector<GraphPoint>(points, points + std::max(0, count)),
                               fromUtf8(legend));
}

void setAnalysisSelection(Window* window, int turn)
{
    if (AnalysisParts* parts = partsOf(window))
        parts->graph->setSelection(turn);
}

void clickAnalysisPoint(Window* window, int turn)
{
    AnalysisParts* parts = partsOf(window);
    QPoint at;
    if (!parts || !parts->graph->pointOf(turn, &at))
        return;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), parts->graph->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(parts->graph, &press);
}

void clickAnalysisCancel(Window* window)
{
    if (AnalysisParts* parts = partsOf(window))
        parts->cancel->click();
}

Colour analysisGraphPixel(Window* window, int turn, int dx, int dy)
{
    AnalysisParts* parts = partsOf(window);
    QPoint at;
    if (!parts || !parts->graph->pointOf(turn, &at))
        return 0xFFFFFFFF;
    const QImage image = parts->graph->grab().toImage();
    const QPoint pixel = (QPointF(at + QPoint(dx, dy)) * image.devicePixelRatio()).toPoint();
    if (!image.rect().contains(pixel))
        return 0xFFFFFFFF;
    const QColor c = image.pixelColor(pixel);
    return rgb(c.red(), c.green(), c.blue());
}
