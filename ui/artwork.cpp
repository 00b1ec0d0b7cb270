#include "ui/artwork.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

QPixmap Artwork::render(const QString &picture, QSize size, qreal devicePixelRatio)
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
