// The window on a screen with two device pixels per logical pixel: the image
// behind the window, lines, stones and text must use the full resolution,
// with no blur, while the game keeps working in logical pixels.
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "offscreen_screen.h"
#include "platform/qt_window.h"
#include "res/resources.h"
#include "ui/gdi.h"
#include "window_harness.h"

namespace {

constexpr int Ratio = 2;
constexpr QRgb Black = 0xFF000000u, White = 0xFFFFFFFFu, Green = 0xFF009900u;

QRgb devicePixel(const QImage& image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000u;
}

class HiDpi : public GameWindow {
  protected:
    QImage shown; // the window image at device resolution, as saved

    void SetUp() override
    {
        GameWindow::SetUp();
        open(0, 0);
        invalidateWindow(window);
        updateWindow(window);
        std::string path = QDir::currentPath().toStdString() + "/window.png";
        ASSERT_TRUE(saveWindowImage(window, path.c_str()));
        shown = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
        std::remove(path.c_str());
    }

    // A mouse event at client (x, y), with the fraction Qt keeps in the window's position.
    void sendMouse(QEvent::Type type, double x, double y)
    {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const QPointF at(x, y), inWindow = at + QPointF(window->client->mapTo(window->widget, QPoint(0, 0)));
        QMouseEvent event(type, QPointF(at.toPoint()), inWindow, window->client->mapToGlobal(at.toPoint()),
                          button, button, Qt::NoModifier);
        QApplication::sendEvent(window->client, &event);
    }

    // Runs of black along device row y (or column x when vertical) over the board.
    std::vector<std::pair<int, int>> blackRuns(int at, bool vertical)
    {
        std::vector<std::pair<int, int>> runs; // (first device pixel, length)
        for (int i = 20 * Ratio; i < 261 * Ratio; ++i) {
            QRgb p = vertical ? devicePixel(shown, at, i) : devicePixel(shown, i, at);
            EXPECT_TRUE(p == Black || p == Green) << "device pixel " << i << " along " << at;
            if (p != Black)
                continue;
            if (!runs.empty() && runs.back().first + runs.back().second == i)
                ++runs.back().second;
            else
                runs.push_back({i, 1});
        }
        return runs;
    }
};

TEST_F(HiDpi, WindowImageHasTwiceTheLogicalSize)
{
    EXPECT_EQ(shown.width(), 534 * Ratio);
    EXPECT_EQ(shown.height(), 318 * Ratio);
    // Logical reads still land on the board's geometry.
    EXPECT_EQ(windowPixel(window, 30, 30), rgb(0, 153, 0));
    EXPECT_EQ(windowPixel(window, 20, 30), rgb(0, 0, 0));
    EXPECT_EQ(windowPixel(window, 533, 317), fromQRgb(devicePixel(shown, 1066, 634)));
    EXPECT_EQ(windowPixel(window, 534, 0), 0xFFFFFFFFu);
}

// Row 1 and column 1 hold no stones and no highlights at the start, so a scan
// across them meets only the green and the nine grid lines.
TEST_F(HiDpi, GridLinesAreTwoDevicePixelsOfPureBlack)
{
    for (bool vertical : {false, true}) {
        auto runs = blackRuns(35 * Ratio, vertical);
        ASSERT_EQ(runs.size(), 9u) << (vertical ? "column" : "row");
        for (int i = 0; i < 9; ++i) {
            EXPECT_EQ(runs[i].first, (20 + 30 * i) * Ratio);
            EXPECT_EQ(runs[i].second, Ratio);
        }
    }
}

// d4 holds White at the start: its device pixels must be the high-resolution
// picture masked onto the green, one to one, with nothing smoothed in.
TEST_F(HiDpi, StonesAreTheHighResolutionArtCopiedOneToOne)
{
    QImage picture = QImage(":/bitmaps/100@2x.png").convertToFormat(QImage::Format_RGB32);
    QImage mask = QImage(":/bitmaps/200@2x.png").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(25 * Ratio, 24 * Ratio));
    const int left = (30 * 4 - 7) * Ratio, top = (30 * 4 - 7) * Ratio;
    int differences = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            QRgb expected = ((Green | mask.pixel(x, y)) & picture.pixel(x, y)) | 0xFF000000u;
            differences += devicePixel(shown, left + x, top + y) != expected;
        }
    EXPECT_EQ(differences, 0);

    Bitmap* stone = loadBitmap(100);
    int w = 0, h = 0;
    bitmapSize(stone, &w, &h);
    EXPECT_EQ(w, 25); // the game's geometry stays logical
    EXPECT_EQ(h, 24);
    EXPECT_EQ(stone->image.size(), picture.size());
    deleteBitmap(stone);
}

// The column labels: above ratio 1 the game's text is smoothed, as unsmoothed
// glyphs of a scaled font vary in weight; it is drawn at device resolution,
// not made of 2 x 2 blocks as an enlarged picture would be.
TEST_F(HiDpi, TextIsSmoothedAndDrawnAtDeviceResolution)
{
    int black = 0, white = 0, other = 0, mixedBlocks = 0;
    for (int y = 0; y < 20 * Ratio; y += 2)
        for (int x = 20 * Ratio; x < 260 * Ratio; x += 2) {
            QRgb block[4] = {devicePixel(shown, x, y), devicePixel(shown, x + 1, y),
                             devicePixel(shown, x, y + 1), devicePixel(shown, x + 1, y + 1)};
            for (QRgb p : block)
                (p == Black ? black : p == White ? white : other)++;
            mixedBlocks += !(block[0] == block[1] && block[0] == block[2] && block[0] == block[3]);
        }
    EXPECT_GT(black + other, 8 * 40); // eight letters, each well over 40 device pixels
    EXPECT_GT(other, black / 4) << "smoothed edges";
    EXPECT_GT(mixedBlocks, 8);
}

// The play and stop icons come with pictures drawn at twice their size,
// which a button on this screen draws one to one.
TEST_F(HiDpi, ButtonIconsHaveTheirOwnPicturesAtRatioTwo)
{
    for (const char* name : {"PLAYBIT", "STOPBIT"}) {
        Icon* icon = loadIcon(name, 16);
        ASSERT_NE(icon, nullptr);
        QImage drawn =
            icon->icon.pixmap(QSize(16, 16), Ratio).toImage().convertToFormat(QImage::Format_ARGB32);
        QImage art =
            QImage(QStringLiteral(":/icons/%1@2x.png").arg(name)).convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(art.size(), QSize(32, 32)) << name;
        EXPECT_EQ(drawn.size(), art.size()) << name;
        EXPECT_TRUE(drawn == art) << name;
        destroyIcon(icon);
    }
}

// Device pixels lie at halves of logical pixels here. The last device column
// of b4 (x 79.5) is b4, not a move at the start; that of c4 (x 109.5) is c4,
// Black's move, not the taken d4. The cursor and the click agree. Qt gives
// the widget its position rounded and the window's exact.
TEST_F(HiDpi, HalfPixelPositionsBelongToTheCellDrawnThere)
{
    showWindow(window);
    auto send = [this](QEvent::Type type, double x) { sendMouse(type, x, 125); };
    send(QEvent::MouseMove, 79.5);
    EXPECT_EQ(window->client->cursor().shape(), Qt::ForbiddenCursor);
    send(QEvent::MouseButtonPress, 79.5);
    EXPECT_EQ(liveBoard[cellIndex(2, 4)], Stone::Empty);
    send(QEvent::MouseMove, 109.5);
    EXPECT_EQ(window->client->cursor().shape(), Qt::ArrowCursor);
    send(QEvent::MouseButtonPress, 109.5);
    EXPECT_EQ(liveBoard[cellIndex(3, 4)], Stone::Black);
}

// At 150% a pixel of the game's is 3 x 3 device pixels here: the stone
// pictures are made again from their finer drawing, and a click on the last
// device column of b4 (79 of the game's, 119.5 of the client's) stays in b4,
// not a move, and that of c4 plays c4. There is no room for 150% on this
// 640 x 450 screen: the window says so, for the game to refuse it.
TEST_F(HiDpi, AScaledWindowRedrawsItsPicturesAndMapsClicksBack)
{
    EXPECT_TRUE(windowScaleFits(window, 100));
    EXPECT_FALSE(windowScaleFits(window, 150));
    showWindow(window);
    setWindowScale(window, 150);
    EXPECT_EQ(window->image.size(), QSize(534 * 3, 318 * 3));
    const QImage sharp = QImage(":/bitmaps/100@2x.png").convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(stonePictures[0]->image ==
                sharp.scaled(75, 72, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    sendMouse(QEvent::MouseButtonPress, 119.5, 190);
    EXPECT_EQ(liveBoard[cellIndex(2, 4)], Stone::Empty);
    sendMouse(QEvent::MouseButtonPress, 164.5, 190);
    EXPECT_EQ(liveBoard[cellIndex(3, 4)], Stone::Black);
    setWindowScale(window, 100);
    EXPECT_EQ(stonePictures[0]->image.size(), sharp.size());
}

// Memory bitmaps made while the window is up follow its ratio.
struct DeviceBitmap {
    DeviceContext* dc = createCompatibleDC(nullptr);
    Bitmap* bitmap;
    DeviceBitmap(int w, int h) : bitmap(createCompatibleBitmap(dc, w, h))
    {
        selectBitmap(dc, bitmap);
        fillRect(dc, {0, 0, w, h}, stockBrush(StockBrush::White));
    }
    ~DeviceBitmap()
    {
        deleteDC(dc);
        deleteBitmap(bitmap);
    }
    // Device pixels of colour c inside device rectangle [x0, x1) x [y0, y1).
    int count(QRgb c, int x0, int y0, int x1, int y1) const
    {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                n += devicePixel(bitmap->image, x, y) == c;
        return n;
    }
    int count(QRgb c) const { return count(c, 0, 0, bitmap->image.width(), bitmap->image.height()); }
};

// Fills and lines cover whole blocks of device pixels; the ellipse stays in
// its box, with an outline of the pen's scaled width and no blended colours.
TEST_F(HiDpi, ShapesCoverExactlyTheirDevicePixels)
{
    DeviceBitmap m(12, 12);
    EXPECT_EQ(m.bitmap->image.width(), 12 * Ratio);
    fillRect(m.dc, {2, 2, 5, 4}, stockBrush(StockBrush::Black));
    EXPECT_EQ(m.count(Black, 4, 4, 10, 8), 6 * 4);
    EXPECT_EQ(getPixel(m.dc, 5, 3), rgb(255, 255, 255));
    moveTo(m.dc, 0, 8);
    lineTo(m.dc, 6, 8); // the end point is left out
    lineTo(m.dc, 6, 11);
    EXPECT_EQ(m.count(Black, 12, 16, 14, 22), 2 * 6);
    EXPECT_EQ(m.count(Black), 6 * 4 + 12 * 2 + 2 * 6);

    DeviceBitmap ring(12, 12);
    ellipse(ring.dc, 1, 1, 11, 11); // black pen, white brush
    EXPECT_EQ(ring.count(Black, 2, 2, 22, 22), ring.count(Black));
    EXPECT_EQ(ring.count(Black) + ring.count(White), 24 * 24);
    EXPECT_EQ(devicePixel(ring.bitmap->image, 2, 2), White); // rounded corners
    for (int x = 2; x < 22; ++x) {
        QRgb expected = x < 2 + Ratio || x >= 22 - Ratio ? Black : White;
        EXPECT_EQ(devicePixel(ring.bitmap->image, x, 12), expected) << x;
    }
}

// A picture made at another ratio is enlarged pixel by pixel when copied.
TEST_F(HiDpi, CopiesBetweenRatiosPickTheNearestPixel)
{
    Bitmap base{deviceImage(2, 1, 1.0, Qt::black), 2, 1};
    base.image.setPixel(1, 0, qRgb(200, 10, 10));
    DeviceContext* source = createCompatibleDC(nullptr);
    selectBitmap(source, &base);
    DeviceBitmap m(4, 2);
    bitBlt(m.dc, 1, 1, 2, 1, source, 0, 0, RasterOp::Copy);
    EXPECT_EQ(m.count(Black, 2, 2, 4, 4), 4);
    EXPECT_EQ(m.count(qRgb(200, 10, 10), 4, 2, 6, 4), 4);
    EXPECT_EQ(m.count(White), 8 * 4 - 8);
    deleteDC(source);
}

} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_SCALE_FACTOR", "2", 0);
    const std::string screen = useOffscreenScreen(1280, 900); // 640 x 450 at ratio 2
    char directory[] = "/tmp/reverse-hidpi-tests-XXXXXX";
    if (mkdtemp(directory) == nullptr || !initPlatform(argc, argv))
        return 1;
    std::remove(screen.c_str());
    useConfigHome(directory);
    registerWindowClass({"Blantu", mainWindowProc, "MAINICN", "SUBICN", &MYAPP});
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(directory);
    return result;
}
