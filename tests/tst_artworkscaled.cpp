#include "ui/artwork.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <cmath>

// The drawing of builds without Qt Svg (Windows), tried here against the SVG it stands in for.
class tst_ArtworkScaled : public QObject
{
    Q_OBJECT

private slots:
    void ratiosWithoutARaster();
};

namespace {
QImage svgAt(const QString &name, QSize pixels)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    QSvgRenderer(QStringLiteral("%1/../assets/%2.svg").arg(TAZZLE_TESTS_DIR, name)).render(&painter);
    return image;
}

// Mean difference per channel, 0 to 255.
double difference(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int column = 0; column < x.width(); ++column) {
            const QRgb p = x.pixel(column, row), q = y.pixel(column, row);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                   + std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
        }
    }
    return sum / (4.0 * x.width() * x.height());
}
} // namespace

void tst_ArtworkScaled::ratiosWithoutARaster()
{
    // Between the built ratios, and past them all, a raster scaled to the size asked for: of
    // the right size and ratio, and close to the vector drawing (a blank picture is off by 78
    // or more; these are off by 1 to 5, on the edges).
    const struct
    {
        const char *name;
        QSize size;
    } pictures[] = {{"logo", {274, 77}}, {"getdare", {133, 44}}, {"cursor-hand", {32, 32}}};
    for (const auto &picture : pictures) {
        const QString path = QStringLiteral(":/assets/%1.svg").arg(QLatin1String(picture.name));
        for (const qreal ratio : {1.1, 1.4, 2.2, 4.0}) {
            const QPixmap drawn = Artwork::render(path, picture.size, ratio);
            const QSize pixels = picture.size * ratio;
            QCOMPARE(drawn.size(), pixels);
            QCOMPARE(drawn.devicePixelRatio(), ratio);
            const QImage truth = svgAt(QLatin1String(picture.name), pixels);
            const double error = difference(drawn.toImage(), truth);
            QVERIFY2(error < 6, qPrintable(QStringLiteral("%1 at %2: off by %3")
                                                   .arg(QLatin1String(picture.name))
                                                   .arg(ratio)
                                                   .arg(error)));
        }
    }
}

QTEST_MAIN(tst_ArtworkScaled)
#include "tst_artworkscaled.moc"
