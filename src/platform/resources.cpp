// Pictures and icons of the program, from its Qt resources.
#include "platform/qt_window.h"

#include <QFile>

Bitmap* loadBitmap(int id)
{
    QImage image(QStringLiteral(":/bitmaps/%1.png").arg(id));
    if (image.isNull())
        return nullptr;
    // One pixel format everywhere, so raster operations work on plain words.
    return new Bitmap{image.convertToFormat(QImage::Format_RGB32)};
}

// The sized picture when there is one, else the single picture of that name.
Icon* loadIcon(const char* name, int size)
{
    if (!name)
        return nullptr;
    QString sized = QStringLiteral(":/icons/%1-%2.png").arg(QString::fromUtf8(name)).arg(size);
    QString plain = QStringLiteral(":/icons/%1.png").arg(QString::fromUtf8(name));
    QString path = QFile::exists(sized) ? sized : plain;
    if (!QFile::exists(path))
        return nullptr;
    return new Icon{QIcon(path)};
}

void destroyIcon(Icon* icon)
{
    delete icon;
}
