// Pictures and icons of the program, from its Qt resources.
#include "platform/qt_window.h"

#include <QFile>

namespace {

// The picture drawn for `ratio` (100@2x.png for 2) when there is one and it
// has exactly that many pixels per logical pixel.
QImage drawnForRatio(int id, double ratio, QSize logical)
{
    const int whole = static_cast<int>(ratio);
    if (whole < 2 || whole != ratio)
        return {};
    QImage image(QStringLiteral(":/bitmaps/%1@%2x.png").arg(id).arg(whole));
    return image.size() == logical * whole ? image : QImage();
}

} // namespace

// At the resolution of the window's screen, so stones blit 1:1 onto its image.
// Pictures drawn for that ratio are used as they are; otherwise the base one is
// enlarged pixel by pixel, which keeps the masks' edges exact.
Bitmap* loadBitmap(int id)
{
    QImage base(QStringLiteral(":/bitmaps/%1.png").arg(id));
    if (base.isNull())
        return nullptr;
    const double ratio = currentRatio();
    QImage image = base;
    if (ratio != 1.0) {
        image = drawnForRatio(id, ratio, base.size());
        if (image.isNull())
            image = base.scaled(toDevice(base.width(), ratio), toDevice(base.height(), ratio),
                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    // One pixel format everywhere, so raster operations work on plain words.
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return new Bitmap{image, base.width(), base.height()};
}

// The sized picture when there is one, else the single picture of that name.
// Its @2x drawing, where there is one, joins it: a control draws an icon at
// its screen's device pixel ratio and picks the picture nearest that size.
Icon* loadIcon(const char* name, int size)
{
    if (!name)
        return nullptr;
    QString sized = QStringLiteral(":/icons/%1-%2.png").arg(QString::fromUtf8(name)).arg(size);
    QString plain = QStringLiteral(":/icons/%1.png").arg(QString::fromUtf8(name));
    QString path = QFile::exists(sized) ? sized : plain;
    if (!QFile::exists(path))
        return nullptr;
    QIcon icon(path);
    QString sharp = path.chopped(4) + QStringLiteral("@2x.png");
    if (QFile::exists(sharp))
        icon.addFile(sharp);
    return new Icon{icon};
}

void destroyIcon(Icon* icon)
{
    delete icon;
}
