#include "ui/artwork.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

// Drawn from the SVG, as the build draws its rasters.
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
