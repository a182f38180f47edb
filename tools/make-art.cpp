// Draws the program's pictures and writes them as PNG files:
//   bitmaps/100..106.png  the seven stone pictures (flip frames 0..6), 25 x 24
//   bitmaps/200..206.png  their masks: white on the stone, black around it
//   bitmaps/100@2x.png .. 206@2x.png  the same at twice the resolution (50 x 48),
//                         for screens with a device pixel ratio of 2
//   icons/MAINICN-<n>.png, SUBICN-16.png, PLAYBIT.png, STOPBIT.png
//   icons/PLAYBIT@2x.png, STOPBIT@2x.png  the button icons at 32 x 32
// Usage: make-art <resource folder>   (normally src/res)
//
// The board combines mask and picture over its green as (green OR mask) AND
// picture. Outside the mask the picture is pure white, so the green stays;
// inside, the picture's colours show as they are. Edge pixels are therefore
// blended against the board green here, and only pixels inside the mask carry
// any colour.
#include <QColor>
#include <QDir>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int StoneWidth = 25;
constexpr int StoneHeight = 24;
// Centre and radius of the stone inside its 25 x 24 picture; the picture sits
// 3 pixels inside the cell's border lines, so this centres it in the cell.
constexpr double CentreX = 12.5;
constexpr double CentreY = 12.0;
constexpr double Radius = 11.4;
// Samples per pixel side for the coverage and the colour of edge pixels.
constexpr int Oversample = 8;
// Pixels covered less than this stay outside the mask (pure board green).
constexpr double MaskThreshold = 0.08;
const QColor BoardGreen(0, 153, 0);

struct Vec {
    double x, y, z;
};

Vec normalized(Vec v)
{
    double n = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / n, v.y / n, v.z / n};
}

double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// One flip frame: which face shows, and how far the disc has turned about the
// vertical axis (1 = facing the viewer, small = almost edge-on).
struct Frame {
    bool blackFace;
    double widthRatio;
    int turnSide; // -1: the face turns towards the left, +1: towards the right
};

const Frame Frames[7] = {
    {false, 1.0, 0},   // White
    {true, 0.30, 1},   // White to Black: narrow dark edge
    {true, 0.66, 1},   // White to Black: dark oval
    {true, 1.0, 0},    // Black
    {true, 0.30, -1},  // Black to White: narrow dark edge
    {false, 0.30, -1}, // Black to White: thin light edge
    {false, 1.0, 0},   // White
};

// Surface normal of a gently domed face at face coordinates (u, v) in the unit
// disc, turned about the vertical axis with the disc.
Vec faceNormal(double u, double v, const Frame& f)
{
    const double dome = 0.42;
    Vec n = normalized({u * dome, v * dome, 1.0});
    double c = f.widthRatio;
    double s = std::sqrt(std::max(0.0, 1.0 - c * c)) * f.turnSide;
    return {n.x * c + n.z * s, n.y, -n.x * s + n.z * c};
}

// Grey level of the face at (u, v): light from the upper left, a soft
// highlight, and a darker rim so the stone reads as round.
double shade(double u, double v, const Frame& f)
{
    const Vec light = normalized({-0.55, -0.65, 1.0});
    const Vec half = normalized({light.x, light.y, light.z + 1.0});
    Vec n = faceNormal(u, v, f);
    double diffuse = std::max(0.0, dot(n, light));
    double specular = std::pow(std::max(0.0, dot(n, half)), 40.0);
    double r = std::sqrt(u * u + v * v);
    double rim = 1.0 - 0.22 * std::clamp((r - 0.78) / 0.22, 0.0, 1.0);
    double grey =
        f.blackFace ? 10.0 + 34.0 * diffuse + 150.0 * specular : 140.0 + 104.0 * diffuse + 40.0 * specular;
    return std::clamp(grey * rim, 0.0, 255.0);
}

// Coverage of pixel (px, py) of a picture drawn `scale` times the base size by
// the frame's ellipse, and its mean grey level over the covered samples. The
// geometry stays in base pixels, so every scale shows the same stone.
void samplePixel(int px, int py, int scale, const Frame& f, double& coverage, double& grey)
{
    int inside = 0;
    double sum = 0;
    for (int sy = 0; sy < Oversample; ++sy) {
        for (int sx = 0; sx < Oversample; ++sx) {
            double u = ((px + (sx + 0.5) / Oversample) / scale - CentreX) / (Radius * f.widthRatio);
            double v = ((py + (sy + 0.5) / Oversample) / scale - CentreY) / Radius;
            if (u * u + v * v > 1.0)
                continue;
            ++inside;
            sum += shade(u, v, f);
        }
    }
    coverage = double(inside) / (Oversample * Oversample);
    grey = inside ? sum / inside : 0;
}

int blend(double grey, int board, double coverage)
{
    return int(std::lround(grey * coverage + board * (1.0 - coverage)));
}

void drawStoneFrame(const Frame& f, int scale, QImage& picture, QImage& mask)
{
    const int width = StoneWidth * scale, height = StoneHeight * scale;
    picture = QImage(width, height, QImage::Format_RGB32);
    mask = QImage(width, height, QImage::Format_Mono);
    mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    mask.fill(0); // also clears the row padding, so the files come out the same every run
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double coverage, grey;
            samplePixel(x, y, scale, f, coverage, grey);
            bool stone = coverage >= MaskThreshold;
            mask.setPixel(x, y, stone ? 1 : 0);
            QRgb c = qRgb(255, 255, 255);
            if (stone)
                c = qRgb(blend(grey, BoardGreen.red(), coverage), blend(grey, BoardGreen.green(), coverage),
                         blend(grey, BoardGreen.blue(), coverage));
            picture.setPixel(x, y, c);
        }
    }
}

bool save(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "make-art: cannot write %s\n", qPrintable(path));
    return false;
}

// Scale 1 writes 100.png, scale 2 writes 100@2x.png, the name Qt's own
// high-resolution lookups use too.
bool writeStones(const QString& dir, int scale)
{
    const QString suffix = scale == 1 ? QString() : QString("@%1x").arg(scale);
    for (int k = 0; k < 7; ++k) {
        QImage picture, mask;
        drawStoneFrame(Frames[k], scale, picture, mask);
        if (!save(picture, QString("%1/%2%3.png").arg(dir).arg(100 + k).arg(suffix)) ||
            !save(mask, QString("%1/%2%3.png").arg(dir).arg(200 + k).arg(suffix)))
            return false;
    }
    return true;
}

QImage transparentImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// A stone for the icons: a radial gradient lit from the upper left.
void paintIconStone(QPainter& p, QPointF centre, double radius, bool black)
{
    QRadialGradient g(centre + QPointF(-radius * 0.35, -radius * 0.4), radius * 1.5);
    g.setColorAt(0.0, black ? QColor(120, 120, 120) : QColor(255, 255, 255));
    g.setColorAt(0.25, black ? QColor(45, 45, 45) : QColor(240, 240, 240));
    g.setColorAt(1.0, black ? QColor(5, 5, 5) : QColor(150, 150, 150));
    p.setBrush(g);
    p.setPen(QPen(black ? QColor(0, 0, 0) : QColor(90, 90, 90), radius * 0.06));
    p.drawEllipse(centre, radius, radius);
}

// The top-left corner of a board, drawn in a 256 x 256 design space: a frame
// on two sides, green cloth, grid lines (left out at small sizes, where they
// would only blur) and a white and a black stone on the diagonal. At 16
// pixels only the cloth and two larger stones are left.
void paintMainIcon(QPainter& p, int size)
{
    const double s = size / 256.0;
    p.scale(s, s);
    QPainterPath board;
    board.addRoundedRect(QRectF(8, 8, 240, 240), 28, 28);
    QLinearGradient cloth(0, 0, 256, 256);
    cloth.setColorAt(0, QColor(0, 176, 0));
    cloth.setColorAt(1, QColor(0, 128, 0));
    p.fillPath(board, cloth);
    if (size <= 16) {
        paintIconStone(p, QPointF(84.5, 84.5), 60, false);
        paintIconStone(p, QPointF(171.5, 171.5), 60, true);
        return;
    }
    p.setClipPath(board);
    p.fillRect(QRectF(8, 8, 240, 22), QColor(120, 72, 30));
    p.fillRect(QRectF(8, 8, 22, 240), QColor(120, 72, 30));
    p.setPen(QPen(QColor(0, 0, 0), std::max(4.0, 1.0 / s)));
    for (double at : {30.0, 139.0, size >= 48 ? 248.0 : -10.0}) {
        p.drawLine(QPointF(at, 30), QPointF(at, 256));
        p.drawLine(QPointF(30, at), QPointF(256, at));
    }
    p.setClipping(false);
    paintIconStone(p, QPointF(84.5, 84.5), 47, false);
    paintIconStone(p, QPointF(193.5, 193.5), 47, true);
}

QImage mainIcon(int size)
{
    QImage image = transparentImage(size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintMainIcon(p, size);
    return image;
}

// The small icon (title bar, task list): two overlapping stones only, which
// still read at 16 pixels.
QImage subIcon()
{
    QImage image = transparentImage(16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintIconStone(p, QPointF(6.0, 6.0), 5.2, false);
    paintIconStone(p, QPointF(10.0, 10.0), 5.2, true);
    return image;
}

// Play and stop symbols for the record list's replay button, drawn in a
// 16 x 16 design space at `scale` times that size.
QImage buttonIcon(bool play, int scale)
{
    QImage image = transparentImage(16 * scale);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 24, 24));
    if (play)
        p.drawPolygon(QPolygonF({QPointF(5, 2.5), QPointF(13, 8), QPointF(5, 13.5)}));
    else
        p.drawRect(QRectF(4, 4, 8, 8));
    return image;
}

bool writeIcons(const QString& dir)
{
    for (int size : {16, 32, 48, 64, 128, 256})
        if (!save(mainIcon(size), QString("%1/MAINICN-%2.png").arg(dir).arg(size)))
            return false;
    if (!save(subIcon(), dir + "/SUBICN-16.png"))
        return false;
    // PLAYBIT.png and PLAYBIT@2x.png, like the stones.
    for (int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QString("@%1x").arg(scale);
        if (!save(buttonIcon(true, scale), QString("%1/PLAYBIT%2.png").arg(dir, suffix)) ||
            !save(buttonIcon(false, scale), QString("%1/STOPBIT%2.png").arg(dir, suffix)))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-art <resource folder>\n");
        return 2;
    }
    QString res = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(res + "/bitmaps") || !QDir().mkpath(res + "/icons")) {
        std::fprintf(stderr, "make-art: cannot create folders under %s\n", argv[1]);
        return 1;
    }
    bool ok =
        writeStones(res + "/bitmaps", 1) && writeStones(res + "/bitmaps", 2) && writeIcons(res + "/icons");
    return ok ? 0 : 1;
}
