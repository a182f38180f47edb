// Device contexts, bitmaps, brushes, pens, fonts and the drawing calls. Every
// context draws into an RGB32 image: the main window's image or a memory
// bitmap. Shapes are rasterised here, pixel by pixel, so that edges follow the
// classic rules exactly (right and bottom edges exclusive, no end point on
// lines, no antialiasing) whatever the paint engine would round to.
//
// Coordinates are logical pixels. Images are at device resolution (see
// resolution.cpp): a logical pixel is the block of device pixels from
// toDevice(x) to toDevice(x + 1), so at ratio 1 nothing changes and at ratio 2
// a one-pixel line covers two device pixels.
#include "platform/qt_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

Brush whiteBrush{rgb(255, 255, 255), true};
Brush blackBrush{rgb(0, 0, 0), true};
Pen stockPen{rgb(0, 0, 0)};

Font* defaultFont();

// A memory context starts with a 1 x 1 bitmap of its own, as drawing into a
// context without a selected bitmap must go somewhere harmless.
QImage& placeholderImage()
{
    static QImage image = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        i.fill(Qt::black);
        return i;
    }();
    return image;
}

QImage& targetOf(DeviceContext* dc)
{
    if (dc->window)
        return dc->window->image;
    if (dc->bitmap)
        return dc->bitmap->image;
    return placeholderImage();
}

void drew(DeviceContext* dc)
{
    if (dc->window)
        noteWindowDrawing(dc->window);
}

Brush* brushOf(DeviceContext* dc)
{
    return dc->brush ? dc->brush : &whiteBrush;
}
Pen* penOf(DeviceContext* dc)
{
    return dc->pen ? dc->pen : &stockPen;
}
Font* fontOf(DeviceContext* dc)
{
    return dc->font ? dc->font : defaultFont();
}

unsigned toPixel(Colour colour)
{
    return qRgb(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

// Fills device pixels [x0, x1) x [y0, y1), clipped to the image.
void fillDevice(QImage& image, int x0, int y0, int x1, int y1, unsigned pixel)
{
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, image.width());
    y1 = std::min(y1, image.height());
    for (int y = y0; y < y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::fill(line + x0, line + std::max(x0, x1), pixel);
    }
}

// Fills the device pixels of the logical rectangle [left, right) x [top, bottom).
void fillLogical(QImage& image, int left, int top, int right, int bottom, unsigned pixel)
{
    const double r = ratioOf(image);
    fillDevice(image, toDevice(left, r), toDevice(top, r), toDevice(right, r), toDevice(bottom, r), pixel);
}

void putPixel(QImage& image, int x, int y, unsigned pixel)
{
    fillLogical(image, x, y, x + 1, y + 1, pixel);
}

QString japaneseFamily()
{
    static const QString family = [] {
        if (QFontDatabase::hasFamily(QStringLiteral("IPAGothic")))
            return QStringLiteral("IPAGothic");
        // Fixed pitch first: the game clears text lines with runs of spaces.
        const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
        for (const QString& f : japanese)
            if (QFontDatabase::isFixedPitch(f))
                return f;
        return japanese.isEmpty() ? QString() : japanese.first();
    }();
    return family;
}

QString familyFor(const char* faceName)
{
    QString face = fromUtf8(faceName);
    if (!face.isEmpty() && QFontDatabase::hasFamily(face))
        return face;
    return japaneseFamily();
}

// Positive heights are cell heights, negative ones character heights. A cell
// height is used as the pixel size, as the Japanese faces' em fills their
// cell; the baseline divides the cell in the face's own ascent to descent
// ratio, so that text stays inside the cell that opaque mode paints.
void sizeFont(Font* f, int height)
{
    f->font.setPixelSize(height != 0 ? std::abs(height) : 12);
    QFontMetricsF m(f->font);
    double full = m.ascent() + m.descent();
    f->cellHeight = height > 0 ? height : qRound(full);
    f->ascent = height > 0 && full > 0 ? qRound(height * m.ascent() / full) : qRound(m.ascent());
}

Font* defaultFont()
{
    static Font* font = [] {
        FontDesc desc{};
        desc.height = 16;
        return createFont(desc);
    }();
    return font;
}

struct EllipseShape {
    double cx, cy, rx, ry;
    bool inside(int x, int y) const
    {
        double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
    // A pixel of the outline: one of its neighbours up to `width` pixels away
    // lies outside the shape.
    bool onEdge(int x, int y, int width) const
    {
        for (int d = 1; d <= width; ++d)
            if (!inside(x - d, y) || !inside(x + d, y) || !inside(x, y - d) || !inside(x, y + d))
                return true;
        return false;
    }
};

// Which source device pixel feeds each device pixel of a copied span: one to
// one at equal ratios, the nearest source pixel (no smoothing) otherwise.
std::vector<int> sourceSpan(int logicalDst, int logicalSrc, int logicalLength, double dstRatio,
                            double srcRatio)
{
    const int first = toDevice(logicalDst, dstRatio);
    const int count = toDevice(logicalDst + logicalLength, dstRatio) - first;
    std::vector<int> map(std::max(0, count));
    const int sourceFirst = toDevice(logicalSrc, srcRatio);
    for (int i = 0; i < count; ++i) {
        if (dstRatio == srcRatio) {
            map[i] = sourceFirst + i;
        } else {
            double logical = (first + i + 0.5) / dstRatio - logicalDst + logicalSrc;
            map[i] = static_cast<int>(std::floor(logical * srcRatio));
        }
    }
    return map;
}

// Source pixels combined into the destination; both RGB32. Device pixel
// (x + i, y + j) of the destination takes source pixel (columns[i], rows[j]).
template <typename Combine>
void blend(QImage& dst, int x, int y, const std::vector<int>& columns, const std::vector<int>& rows,
           const QImage& src, Combine combine)
{
    for (size_t j = 0; j < rows.size(); ++j) {
        int dy = y + int(j), syy = rows[j];
        if (dy < 0 || dy >= dst.height() || syy < 0 || syy >= src.height())
            continue;
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(dy));
        auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(syy));
        for (size_t i = 0; i < columns.size(); ++i) {
            int dx = x + int(i), sxx = columns[i];
            if (dx >= 0 && dx < dst.width() && sxx >= 0 && sxx < src.width())
                d[dx] = combine(s[sxx], d[dx]) | 0xFF000000u;
        }
    }
}

// What a context's compatible bitmaps and contexts are made at.
double compatibleRatio(DeviceContext* dc)
{
    if (!dc)
        return currentRatio();
    if (dc->window)
        return ratioOf(dc->window->image);
    return dc->ratio;
}

} // namespace

DeviceContext* createCompatibleDC(DeviceContext* dc)
{
    auto* memory = new DeviceContext;
    memory->ratio = compatibleRatio(dc);
    return memory;
}

void deleteDC(DeviceContext* dc)
{
    delete dc;
}

Bitmap* createCompatibleBitmap(DeviceContext* dc, int width, int height)
{
    auto* bitmap = new Bitmap;
    bitmap->width = std::max(1, width);
    bitmap->height = std::max(1, height);
    bitmap->image = deviceImage(bitmap->width, bitmap->height, compatibleRatio(dc), Qt::black);
    return bitmap;
}

void deleteBitmap(Bitmap* bitmap)
{
    forgetResourceBitmap(bitmap);
    delete bitmap;
}

void bitmapSize(Bitmap* bitmap, int* width, int* height)
{
    if (width)
        *width = bitmap ? bitmap->width : 0;
    if (height)
        *height = bitmap ? bitmap->height : 0;
}

Brush* createSolidBrush(Colour colour)
{
    return new Brush{colour, false};
}

Brush* stockBrush(StockBrush which)
{
    return which == StockBrush::Black ? &blackBrush : &whiteBrush;
}

void deleteBrush(Brush* brush)
{
    if (brush && !brush->stock)
        delete brush;
}

Pen* blackPen()
{
    return &stockPen;
}

Font* createFont(const FontDesc& desc)
{
    auto* f = new Font;
    f->font = QFont(familyFor(desc.faceName));
    f->font.setWeight(desc.weight > 0 ? QFont::Weight(std::clamp(desc.weight, 100, 900)) : QFont::Normal);
    f->font.setItalic(desc.italic);
    f->font.setUnderline(desc.underline);
    f->font.setStrikeOut(desc.strikeOut);
    // Crisp bitmap-like text unless proof quality is asked for.
    f->font.setStyleStrategy(desc.quality == PROOF_QUALITY ? QFont::PreferAntialias : QFont::NoAntialias);
    sizeFont(f, desc.height);
    return f;
}

void deleteFont(Font* font)
{
    delete font;
}

Bitmap* selectBitmap(DeviceContext* dc, Bitmap* bitmap)
{
    Bitmap* old = dc->bitmap;
    if (!dc->window)
        dc->bitmap = bitmap;
    return old;
}

Brush* selectBrush(DeviceContext* dc, Brush* brush)
{
    Brush* old = brushOf(dc);
    dc->brush = brush;
    return old;
}

Pen* selectPen(DeviceContext* dc, Pen* pen)
{
    Pen* old = penOf(dc);
    dc->pen = pen;
    return old;
}

Font* selectFont(DeviceContext* dc, Font* font)
{
    Font* old = fontOf(dc);
    dc->font = font;
    return old;
}

void setTextColour(DeviceContext* dc, Colour colour)
{
    dc->textColour = colour;
}

void setBackgroundMode(DeviceContext* dc, BackgroundMode mode)
{
    dc->background = mode;
}

void fillRect(DeviceContext* dc, const Rect& rect, Brush* brush)
{
    if (!dc || !brush || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    fillLogical(targetOf(dc), rect.left, rect.top, rect.right, rect.bottom, toPixel(brush->colour));
    drew(dc);
}

namespace {
TextHook textHook = nullptr;
} // namespace

void setTextHook(TextHook hook)
{
    textHook = hook;
}

void textOut(DeviceContext* dc, int x, int y, const char* text)
{
    if (!dc || !text)
        return;
    if (textHook)
        textHook(x, y, text);
    Font* font = fontOf(dc);
    QString s = QString::fromUtf8(text);
    QRect cell(x, y, QFontMetrics(font->font).horizontalAdvance(s), font->cellHeight);
    QImage& image = targetOf(dc);
    if (dc->background == BackgroundMode::Opaque)
        fillLogical(image, cell.left(), cell.top(), cell.left() + cell.width(), cell.top() + cell.height(),
                    qRgb(255, 255, 255));
    // The painter follows the image's ratio: glyphs are drawn at device
    // resolution from logical coordinates.
    QPainter painter(&image);
    painter.setFont(fontForRatio(font->font, ratioOf(image)));
    painter.setClipRect(cell); // no pixel outside what a later opaque text covers
    painter.setPen(toQColor(dc->textColour));
    painter.drawText(x, y + font->ascent, s);
    painter.end();
    drew(dc);
}

int textWidth(DeviceContext* dc, const char* text)
{
    if (!dc || !text)
        return 0;
    return QFontMetrics(fontOf(dc)->font).horizontalAdvance(QString::fromUtf8(text));
}

// The outline is one pen pixel wide: every pixel of the shape with a neighbour
// outside it. The rest is the brush. The shape is traced at device resolution
// inside the device pixels of its box, so a high-resolution screen gets a
// round outline of the pen's scaled width rather than enlarged steps.
void ellipse(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (!dc || right <= left || bottom <= top)
        return;
    QImage& image = targetOf(dc);
    const double r = ratioOf(image);
    const int x0 = toDevice(left, r), y0 = toDevice(top, r), x1 = toDevice(right, r),
              y1 = toDevice(bottom, r);
    const EllipseShape shape{(x0 + x1) / 2.0, (y0 + y1) / 2.0, (x1 - x0) / 2.0, (y1 - y0) / 2.0};
    const int penWidth = std::max(1, static_cast<int>(std::lround(r)));
    unsigned pen = toPixel(penOf(dc)->colour), fill = toPixel(brushOf(dc)->colour);
    for (int y = std::max(y0, 0); y < std::min(y1, image.height()); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = std::max(x0, 0); x < std::min(x1, image.width()); ++x)
            if (shape.inside(x, y))
                line[x] = shape.onEdge(x, y, penWidth) ? pen : fill;
    }
    drew(dc);
}

void moveTo(DeviceContext* dc, int x, int y)
{
    if (dc)
        dc->position = QPoint(x, y);
}

void lineTo(DeviceContext* dc, int x, int y)
{
    if (!dc)
        return;
    QImage& image = targetOf(dc);
    unsigned pen = toPixel(penOf(dc)->colour);
    int x0 = dc->position.x(), y0 = dc->position.y();
    int dx = std::abs(x - x0), dy = -std::abs(y - y0);
    int stepX = x0 < x ? 1 : -1, stepY = y0 < y ? 1 : -1;
    int error = dx + dy;
    while (x0 != x || y0 != y) { // Bresenham; the end point itself is left out
        putPixel(image, x0, y0, pen);
        int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x0 += stepX;
        }
        if (e2 <= dx) {
            error += dx;
            y0 += stepY;
        }
    }
    dc->position = QPoint(x, y);
    drew(dc);
}

void bitBlt(DeviceContext* dst, int x, int y, int width, int height, DeviceContext* src, int sx, int sy,
            RasterOp op)
{
    if (!dst || !src || width <= 0 || height <= 0)
        return;
    QImage& to = targetOf(dst);
    // A copy when both are the same image, so overlapping areas read the old pixels.
    QImage from = &targetOf(src) == &to ? to.copy() : targetOf(src);
    const double toRatio = ratioOf(to), fromRatio = ratioOf(from);
    const std::vector<int> columns = sourceSpan(x, sx, width, toRatio, fromRatio);
    const std::vector<int> rows = sourceSpan(y, sy, height, toRatio, fromRatio);
    const int dx = toDevice(x, toRatio), dy = toDevice(y, toRatio);
    if (op == RasterOp::Or)
        blend(to, dx, dy, columns, rows, from, [](QRgb s, QRgb d) { return s | d; });
    else if (op == RasterOp::And)
        blend(to, dx, dy, columns, rows, from, [](QRgb s, QRgb d) { return s & d; });
    else
        blend(to, dx, dy, columns, rows, from, [](QRgb s, QRgb) { return s; });
    drew(dst);
}

Colour getPixel(DeviceContext* dc, int x, int y)
{
    if (!dc)
        return 0xFFFFFFFF;
    QRgb pixel;
    return logicalPixel(targetOf(dc), x, y, &pixel) ? fromQRgb(pixel) : 0xFFFFFFFF;
}
