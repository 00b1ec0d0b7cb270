#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// Windows icons of one opaque 24-bit image: the .ico file, and the two resources a program
// file carries (the image, and the group that names it).
namespace IconImage {

// The image as an icon stores it: header, bottom-up BGR rows, an all-opaque mask.
QByteArray resource(const QImage &image);
QByteArray iconFile(const QImage &image);
QByteArray groupResource(QSize size, quint16 iconId);

} // namespace IconImage
