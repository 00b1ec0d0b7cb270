#include "ui/artwork.h"

#include "buildinfo/buildinfo.h"

#include <QImage>

#include <algorithm>
#include <iterator>

// No SVG renderer in this build: the raster for the next larger ratio scaled down, which stays
// sharper than one scaled up (the largest, scaled up, beyond them all).
QPixmap Artwork::draw(const QString &picture, QSize size, qreal devicePixelRatio)
{
    const auto *larger = std::find_if(std::begin(BuildInfo::rasterRatios),
                                      std::end(BuildInfo::rasterRatios),
                                      [=](double ratio) { return ratio >= devicePixelRatio; });
    if (larger == std::end(BuildInfo::rasterRatios))
        larger = std::prev(larger);
    const QPixmap source = built(picture, size, *larger);
    QImage image;
    if (source.isNull()) {
        qWarning("tazzle: the picture %s cannot be drawn", qPrintable(picture));
        image = QImage(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
    } else {
        image = source.toImage().scaled(size * devicePixelRatio, Qt::IgnoreAspectRatio,
                                        Qt::SmoothTransformation);
    }
    image.setDevicePixelRatio(devicePixelRatio);
    return QPixmap::fromImage(std::move(image));
}
