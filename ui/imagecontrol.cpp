#include "ui/imagecontrol.h"

#include "ui/artwork.h"

#include <QPainter>

ImageControl::ImageControl(const QString &picture, QWidget *parent)
    : QWidget(parent)
    , picture(picture)
{ }

void ImageControl::paintEvent(QPaintEvent *)
{
    const qreal ratio = devicePixelRatioF();
    if (rendered.isNull() || rendered.devicePixelRatio() != ratio)
        rendered = Artwork::render(picture, size(), ratio);
    QPainter(this).drawPixmap(0, 0, rendered);
}
