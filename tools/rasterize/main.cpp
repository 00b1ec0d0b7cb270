// Build-time tool: draws one SVG picture as the rasters the program ships with.
//   rasterize png <picture.svg> <size> <out.png>        opaque RGB, size × size
//   rasterize ico <picture.svg> <size> <out.ico>        one 24-bit image
//   rasterize rt-icon <picture.svg> <size> <out.bin>    that image as a Windows icon resource
//   rasterize rt-group-icon <size> <icon-id> <out.bin>  the icon group naming that resource
// The pictures are opaque by design; an output that is not is refused rather than flattened
// in silence.

#include "tools/rasterize/iconimage.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "rasterize: %s\n", qPrintable(message));
    return 1;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    // The pictures are paths only: drawing them into an image needs no display and no fonts.
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 5) {
        return fail(QStringLiteral("usage: rasterize png|ico|rt-icon <picture.svg> <size> <out>\n"
                                   "       rasterize rt-group-icon <size> <icon-id> <out>"));
    }

    const QString &format = arguments.at(1);
    const QString &output = arguments.at(4);
    const bool group = format == QLatin1String("rt-group-icon");
    bool sizeOk = false;
    const int size = arguments.at(group ? 2 : 3).toInt(&sizeOk);
    if (!sizeOk || size < 1 || size > 256)
        return fail(
                QStringLiteral("size must be 1 to 256, got %1").arg(arguments.at(group ? 2 : 3)));

    if (group) {
        bool idOk = false;
        const uint id = arguments.at(3).toUInt(&idOk);
        if (!idOk || id < 1 || id > 0xffff)
            return fail(QStringLiteral("icon id must be 1 to 65535, got %1").arg(arguments.at(3)));
        return write(output, IconImage::groupResource(QSize(size, size), quint16(id)))
                       ? 0
                       : fail(QStringLiteral("cannot write %1").arg(output));
    }

    const QString &picture = arguments.at(2);

    QSvgRenderer renderer(picture);
    if (!renderer.isValid())
        return fail(QStringLiteral("%1 is not a picture that can be drawn").arg(picture));

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) != 255)
                return fail(QStringLiteral("%1 is not opaque at %2×%2 (pixel %3, %4)")
                                    .arg(picture)
                                    .arg(size)
                                    .arg(x)
                                    .arg(y));
        }
    }
    image = image.convertToFormat(QImage::Format_RGB888);
    // 96 dpi, the same on every build machine: the same bytes from the same picture.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);

    bool written = false;
    if (format == QLatin1String("png")) {
        QSaveFile file(output);
        written = file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
    } else if (format == QLatin1String("ico")) {
        written = write(output, IconImage::iconFile(image));
    } else if (format == QLatin1String("rt-icon")) {
        written = write(output, IconImage::resource(image));
    } else {
        return fail(QStringLiteral("unknown format %1").arg(format));
    }
    return written ? 0 : fail(QStringLiteral("cannot write %1").arg(output));
}
