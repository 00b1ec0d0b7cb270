#include "ui/artwork.h"

#include "buildinfo/buildinfo.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QResource>

#include <algorithm>
#include <iterator>

QPixmap Artwork::built(const QString &picture, QSize size, qreal devicePixelRatio)
{
    if (std::find(std::begin(BuildInfo::rasterRatios), std::end(BuildInfo::rasterRatios),
                  devicePixelRatio)
        == std::end(BuildInfo::rasterRatios))
        return {};
    const QString name = QStringLiteral(":/rasters/%1@%2x")
                                 .arg(QFileInfo(picture).completeBaseName())
                                 .arg(devicePixelRatio);
    const QSize pixels = size * devicePixelRatio;
    QImage image;
    // Raw: rows of blue, green, red and 255 bytes, which is Qt's RGB32 on a little-endian machine.
    const QResource raw(name + QStringLiteral(".rgb32"));
    if (raw.isValid()) {
        if (raw.compressionAlgorithm() != QResource::NoCompression
            || raw.size() != qint64(pixels.width()) * pixels.height() * 4
            || QSysInfo::ByteOrder != QSysInfo::LittleEndian)
            return {};
        image = QImage(raw.data(), pixels.width(), pixels.height(), pixels.width() * 4,
                       QImage::Format_RGB32);
    } else {
        image = QImage(name + QStringLiteral(".png"));
        if (image.size() != pixels)
            return {};
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

QPixmap Artwork::render(const QString &picture, QSize size, qreal devicePixelRatio)
{
    QPixmap pixmap = built(picture, size, devicePixelRatio);
    return pixmap.isNull() ? draw(picture, size, devicePixelRatio) : pixmap;
}

QIcon Artwork::windowIcon()
{
    const QString picture = QString::fromLatin1(iconPicture);
    // The screen's own ratio, and 1× and 2× for the places that show icons small or large; each
    // one more costs start-up time.
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(render(picture, iconSize, ratio));
    const qreal screenRatio = qGuiApp->devicePixelRatio();
    if (screenRatio != 1.0 && screenRatio != 2.0)
        icon.addPixmap(render(picture, iconSize, screenRatio));
    return icon;
}

QCursor Artwork::linkCursor()
{
    return QCursor(render(QString::fromLatin1(linkCursorPicture), linkCursorSize,
                          qGuiApp->devicePixelRatio()),
                   linkCursorHotSpot.x(), linkCursorHotSpot.y());
}
