// Device contexts, bitmaps, brushes, pens, fonts and the drawing calls. Every
// context draws into an RGB32 image: the main window's image or a memory
// bitmap. Shapes are rasterised here, pixel by pixel, so that edges follow the
// classic rules exactly (right and bottom edges exclusive, no end point on
// lines, no antialiasing) whatever the paint engine would round to.
#include "platform/qt_window.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

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

void putPixel(QImage& image, int x, int y, unsigned pixel)
{
    if (image.valid(x, y))
        reinterpret_cast<QRgb*>(image.scanLine(y))[x] = pixel;
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

bool insideEllipse(double cx, double cy, double rx, double ry, int x, int y)
{
    double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
    return dx * dx + dy * dy <= 1.0;
}

// Source pixels combined into the destination; both RGB32.
template <typename Combine>
void blend(QImage& dst, int x, int y, int width, int height, const QImage& src, int sx, int sy,
           Combine combine)
{
    for (int j = 0; j < height; ++j) {
        int dy = y + j, syy = sy + j;
        if (dy < 0 || dy >= dst.height() || syy < 0 || syy >= src.height())
            continue;
        auto* d = reinterpret_cast<QRgb*>(dst.scanLine(dy));
        auto* s = reinterpret_cast<const QRgb*>(src.constScanLine(syy));
        for (int i = 0; i < width; ++i) {
            int dx = x + i, sxx = sx + i;
            if (dx >= 0 && dx < dst.width() && sxx >= 0 && sxx < src.width())
                d[dx] = combine(s[sxx], d[dx]) | 0xFF000000u;
        }
    }
}

} // namespace

DeviceContext* createCompatibleDC(DeviceContext*)
{
    return new DeviceContext;
}

void deleteDC(DeviceContext* dc)
{
    delete dc;
}

Bitmap* createCompatibleBitmap(DeviceContext*, int width, int height)
{
    auto* bitmap = new Bitmap;
    bitmap->image = QImage(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
    bitmap->image.fill(Qt::black);
    return bitmap;
}

void deleteBitmap(Bitmap* bitmap)
{
    delete bitmap;
}

void bitmapSize(Bitmap* bitmap, int* width, int* height)
{
    if (width)
        *width = bitmap ? bitmap->image.width() : 0;
    if (height)
        *height = bitmap ? bitmap->image.height() : 0;
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
    QPainter painter(&targetOf(dc));
    painter.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                     toQColor(brush->colour));
    painter.end();
    drew(dc);
}

void textOut(DeviceContext* dc, int x, int y, const char* text)
{
    if (!dc || !text)
        return;
    Font* font = fontOf(dc);
    QString s = QString::fromUtf8(text);
    QRect cell(x, y, QFontMetrics(font->font).horizontalAdvance(s), font->cellHeight);
    QPainter painter(&targetOf(dc));
    painter.setFont(font->font);
    if (dc->background == BackgroundMode::Opaque)
        painter.fillRect(cell, Qt::white);
    painter.setClipRect(cell); // no pixel outside what a later opaque text covers
    painter.setPen(toQColor(dc->textColour));
    painter.drawText(x, y + font->ascent, s);
    painter.end();
    drew(dc);
}

// The outline is one pen pixel wide: every pixel of the shape with a neighbour
// outside it. The rest is the brush.
void ellipse(DeviceContext* dc, int left, int top, int right, int bottom)
{
    if (!dc || right <= left || bottom <= top)
        return;
    QImage& image = targetOf(dc);
    double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
    double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
    unsigned pen = toPixel(penOf(dc)->colour), fill = toPixel(brushOf(dc)->colour);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            if (!insideEllipse(cx, cy, rx, ry, x, y))
                continue;
            bool edge = !insideEllipse(cx, cy, rx, ry, x - 1, y) ||
                        !insideEllipse(cx, cy, rx, ry, x + 1, y) ||
                        !insideEllipse(cx, cy, rx, ry, x, y - 1) || !insideEllipse(cx, cy, rx, ry, x, y + 1);
            putPixel(image, x, y, edge ? pen : fill);
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
    if (op == RasterOp::Or)
        blend(to, x, y, width, height, from, sx, sy, [](QRgb s, QRgb d) { return s | d; });
    else if (op == RasterOp::And)
        blend(to, x, y, width, height, from, sx, sy, [](QRgb s, QRgb d) { return s & d; });
    else
        blend(to, x, y, width, height, from, sx, sy, [](QRgb s, QRgb) { return s; });
    drew(dst);
}

Colour getPixel(DeviceContext* dc, int x, int y)
{
    if (!dc)
        return 0xFFFFFFFF;
    const QImage& image = targetOf(dc);
    return image.valid(x, y) ? fromQRgb(image.pixel(x, y)) : 0xFFFFFFFF;
}
