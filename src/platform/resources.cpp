// Pictures and icons of the program, from its Qt resources.
#include "platform/qt_window.h"

#include <QFile>
#include <map>

namespace {

// Every picture loadBitmap made and not yet deleted, with its resource id.
std::map<Bitmap*, int> loadedPictures;

// The drawing made for the largest whole ratio up to ratio (100@2x.png for
// 2, and for 3 or 4), else the base one, scaled pixel by pixel to the ratio:
// a mask and its picture are scaled alike, so their edges stay together.
QImage pictureAt(int id, double ratio, const QImage& base)
{
    QImage image = base;
    if (ratio >= 2) {
        QImage sharp(QStringLiteral(":/bitmaps/%1@2x.png").arg(id));
        if (sharp.size() == base.size() * 2)
            image = sharp;
    }
    const QSize wanted(toDevice(base.width(), ratio), toDevice(base.height(), ratio));
    if (image.size() != wanted)
        image = image.scaled(wanted, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    // One pixel format everywhere, so raster operations work on plain words.
    image = image.convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage basePicture(int id)
{
    return QImage(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

} // namespace

// At the ratio of the main window's image, so stones blit 1:1 onto it.
Bitmap* loadBitmap(int id)
{
    const QImage base = basePicture(id);
    if (base.isNull())
        return nullptr;
    auto* bitmap = new Bitmap{pictureAt(id, currentRatio(), base), base.width(), base.height()};
    loadedPictures[bitmap] = id;
    return bitmap;
}

void reloadResourceBitmaps()
{
    const double ratio = currentRatio();
    for (auto& [bitmap, id] : loadedPictures)
        if (ratioOf(bitmap->image) != ratio)
            bitmap->image = pictureAt(id, ratio, basePicture(id));
}

void forgetResourceBitmap(Bitmap* bitmap)
{
    loadedPictures.erase(bitmap);
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
