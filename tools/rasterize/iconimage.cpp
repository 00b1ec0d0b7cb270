#include "tools/rasterize/iconimage.h"

#include <QDataStream>
#include <QIODevice>

namespace {

constexpr int bitsPerPixel = 24;
constexpr quint32 headerBytes = 40; // BITMAPINFOHEADER
constexpr quint16 iconType = 1;

// Rows of a bitmap are padded to whole 32-bit words.
int rowBytes(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

quint32 resourceBytes(QSize size)
{
    return headerBytes
           + size.height() * (rowBytes(size.width(), bitsPerPixel) + rowBytes(size.width(), 1));
}

// Every number in these formats is little-endian.
class Writer : public QDataStream
{
public:
    explicit Writer(QByteArray *bytes)
        : QDataStream(bytes, QIODevice::WriteOnly)
    {
        setByteOrder(LittleEndian);
    }

    // The part shared by a file's directory entry and a group's entry; 256 is written as 0.
    void entryStart(QSize size)
    {
        *this << quint8(size.width() & 0xff) << quint8(size.height() & 0xff) << quint8(0)
              << quint8(0) << quint16(1) << quint16(bitsPerPixel) << resourceBytes(size);
    }
};

} // namespace

QByteArray IconImage::resource(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int width = image.width();
    const int height = image.height();
    QByteArray bytes;
    Writer out(&bytes);
    // The height counts the colour rows and the mask rows together.
    out << headerBytes << qint32(width) << qint32(2 * height) << quint16(1) << quint16(bitsPerPixel)
        << quint32(0) << quint32(resourceBytes(image.size()) - headerBytes) << qint32(0)
        << qint32(0) << quint32(0) << quint32(0);

    const int padding = rowBytes(width, bitsPerPixel) - width * 3;
    for (int y = height - 1; y >= 0; --y) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < width; ++x)
            out << quint8(row[3 * x + 2]) << quint8(row[3 * x + 1]) << quint8(row[3 * x]);
        for (int i = 0; i < padding; ++i)
            out << quint8(0);
    }
    // A clear mask bit is an opaque pixel.
    for (int i = 0; i < height * rowBytes(width, 1); ++i)
        out << quint8(0);
    return bytes;
}

QByteArray IconImage::iconFile(const QImage &image)
{
    QByteArray bytes;
    Writer out(&bytes);
    constexpr quint32 imageOffset = 6 + 16;
    out << quint16(0) << iconType << quint16(1);
    out.entryStart(image.size());
    out << imageOffset;
    return bytes + resource(image);
}

QByteArray IconImage::groupResource(QSize size, quint16 iconId)
{
    QByteArray bytes;
    Writer out(&bytes);
    out << quint16(0) << iconType << quint16(1);
    out.entryStart(size);
    out << iconId;
    return bytes;
}
