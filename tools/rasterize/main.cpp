// Build-time tool: draws one SVG picture as the rasters the program ships with.
//   rasterize png <picture.svg> <size> <out.png>        opaque RGB
//   rasterize png-alpha <picture.svg> <size> <out.png>  RGB with alpha, for the link pointer
//   rasterize raw <picture.svg> <size> <out.rgb32>      the pixels as they are drawn from:
//                                                       rows of blue, green, red, 255 bytes
//   rasterize ico <picture.svg> <size> <out.ico>        one 24-bit image
//   rasterize rt-icon <picture.svg> <size> <out.bin>    that image as a Windows icon resource
//   rasterize rt-group-icon <size> <icon-id> <out.bin>  the icon group naming that resource
// A size is N (N × N pixels) or @S (the picture's own size, S times, rounded as Qt rounds a
// size times a device pixel ratio). The pictures but the pointer are opaque by design; one
// that is not is refused rather than flattened in silence. They are drawn as
// the program draws them at run time, so that both give the same pixels.

#include "tools/rasterize/iconimage.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

#include <cstdio>
#include <optional>

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

// N or @S; nothing for anything else.
std::optional<QSize> parseSize(const QString &text, QSize own)
{
    bool ok = false;
    if (text.startsWith(u'@')) {
        const double scale = text.mid(1).toDouble(&ok);
        if (ok && scale >= 1 && scale <= 8)
            return own * scale;
        return {};
    }
    const int side = text.toInt(&ok);
    if (ok && side >= 1 && side <= 1024)
        return QSize(side, side);
    return {};
}

bool opaque(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
        }
    }
    return true;
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
    const bool withAlpha = format == QLatin1String("png-alpha");
    const bool icon = format != QLatin1String("png") && format != QLatin1String("raw")
                      && !withAlpha;

    if (format == QLatin1String("rt-group-icon")) {
        const std::optional<QSize> size = parseSize(arguments.at(2), {});
        bool idOk = false;
        const uint id = arguments.at(3).toUInt(&idOk);
        if (!size || size->width() > 256)
            return fail(QStringLiteral("an icon is 1 to 256 pixels, not %1").arg(arguments.at(2)));
        if (!idOk || id < 1 || id > 0xffff)
            return fail(QStringLiteral("icon id must be 1 to 65535, got %1").arg(arguments.at(3)));
        return write(output, IconImage::groupResource(*size, quint16(id)))
                       ? 0
                       : fail(QStringLiteral("cannot write %1").arg(output));
    }

    const QString &picture = arguments.at(2);
    QSvgRenderer renderer(picture);
    if (!renderer.isValid())
        return fail(QStringLiteral("%1 is not a picture that can be drawn").arg(picture));
    const std::optional<QSize> size = parseSize(arguments.at(3), renderer.defaultSize());
    if (!size || (icon && (size->width() != size->height() || size->width() > 256)))
        return fail(QStringLiteral("%1 is not a size for %2").arg(arguments.at(3), format));

    QImage image(*size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter);
    }
    if (!withAlpha && !opaque(image))
        return fail(QStringLiteral("%1 is not opaque at %2").arg(picture, arguments.at(3)));
    image = image.convertToFormat(withAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    // 96 dpi, the same on every build machine: the same bytes from the same picture.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);

    bool written = false;
    if (format == QLatin1String("png") || withAlpha) {
        QSaveFile file(output);
        // Quality 0: the smallest file, the same pixels.
        written = file.open(QIODevice::WriteOnly) && image.save(&file, "PNG", 0) && file.commit();
    } else if (format == QLatin1String("raw")) {
        QByteArray pixels;
        pixels.reserve(image.width() * image.height() * 4);
        for (int y = 0; y < image.height(); ++y) {
            const uchar *row = image.constScanLine(y);
            for (int x = 0; x < image.width(); ++x) {
                const char bgra[] = {char(row[3 * x + 2]), char(row[3 * x + 1]), char(row[3 * x]),
                                     char(255)};
                pixels.append(bgra, 4);
            }
        }
        written = write(output, pixels);
    } else if (format == QLatin1String("ico")) {
        written = write(output, IconImage::iconFile(image));
    } else if (format == QLatin1String("rt-icon")) {
        written = write(output, IconImage::resource(image));
    } else {
        return fail(QStringLiteral("unknown format %1").arg(format));
    }
    return written ? 0 : fail(QStringLiteral("cannot write %1").arg(output));
}
