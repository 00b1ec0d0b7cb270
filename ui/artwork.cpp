#include "ui/artwork.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QResource>
#include <QSvgRenderer>

namespace {

// The raster drawn from picture at build time for that ratio, if there is one: rows of blue,
// green, red and 255 bytes, which is Qt's RGB32 on a little-endian machine.
QPixmap builtRaster(const QString &picture, QSize size, qreal devicePixelRatio)
{
    if ((devicePixelRatio != 1.0 && devicePixelRatio != 2.0)
        || QSysInfo::ByteOrder != QSysInfo::LittleEndian)
        return {};
    const QResource raster(QStringLiteral(":/rasters/%1@%2x.rgb32")
                                   .arg(QFileInfo(picture).completeBaseName())
                                   .arg(int(devicePixelRatio)));
    const QSize pixels = size * devicePixelRatio;
    if (!raster.isValid() || raster.compressionAlgorithm() != QResource::NoCompression
        || raster.size() != qint64(pixels.width()) * pixels.height() * 4)
        return {};
    QPixmap pixmap = QPixmap::fromImage(QImage(raster.data(), pixels.width(), pixels.height(),
                                               pixels.width() * 4, QImage::Format_RGB32));
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

QPixmap Artwork::render(const QString &picture, QSize size, qreal devicePixelRatio)
{
    QPixmap built = builtRaster(picture, size, devicePixelRatio);
    return built.isNull() ? draw(picture, size, devicePixelRatio) : built;
}

QPixmap Artwork::draw(const QString &picture, QSize size, qreal devicePixelRatio)
{
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(picture);
    if (renderer.isValid()) {
        QPainter painter(&image);
        renderer.render(&painter);
    } else {
        qWarning("tazzle: the picture %s cannot be drawn", qPrintable(picture));
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(std::move(image));
}

QIcon Artwork::windowIcon()
{
    const QString picture = QString::fromLatin1(iconPicture);
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0})
        icon.addPixmap(render(picture, iconSize, ratio));
    return icon;
}

QCursor Artwork::linkCursor()
{
    return QCursor(render(QString::fromLatin1(linkCursorPicture), linkCursorSize,
                          qGuiApp->devicePixelRatio()),
                   linkCursorHotSpot.x(), linkCursorHotSpot.y());
}
