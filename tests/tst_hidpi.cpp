#include "buildinfo/buildinfo.h"
#include "ui/artwork.h"
#include "windowdriver.h"

#include <QPainter>
#include <QResource>

// Run with QT_SCALE_FACTOR=2: the window doubles in device pixels and the artwork is drawn at
// that resolution, not blown up from the small picture.
class tst_HiDpi : public QObject
{
    Q_OBJECT

private slots:
    void artworkRenderedAtDeviceResolution_data();
    void artworkRenderedAtDeviceResolution();
    void builtPicturesMatchDrawing_data();
    void builtPicturesMatchDrawing();
};

void tst_HiDpi::artworkRenderedAtDeviceResolution_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QRect>("rect");

    QTest::addRow("logo") << ":/assets/logo.svg" << ExpectedWindow::rect("imgLogo");
    QTest::addRow("Get Dare") << ":/assets/getdare.svg" << ExpectedWindow::rect("imgGetDare");
}

void tst_HiDpi::artworkRenderedAtDeviceResolution()
{
    QFETCH(QString, picture);
    QFETCH(QRect, rect);

    WindowDriver driver;
    QVERIFY(driver.show());
    QCOMPARE(driver.window.devicePixelRatio(), 2);
    const QImage window = driver.grab();
    QCOMPARE(window.size(), ExpectedWindow::size() * 2);

    const QRect device(rect.topLeft() * 2, rect.size() * 2);
    const QImage shown = window.copy(device).convertToFormat(QImage::Format_RGB32);
    const QImage sharp = Artwork::render(picture, rect.size(), 2)
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
    QImage blownUp(device.size(), QImage::Format_RGB32);
    {
        QPainter painter(&blownUp);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(blownUp.rect(), Artwork::render(picture, rect.size(), 1));
    }
    QCOMPARE(shown.size(), sharp.size());
    QVERIFY(shown == sharp);
    QVERIFY(shown != blownUp); // the comparison can tell the two apart
}

void tst_HiDpi::builtPicturesMatchDrawing_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");

    for (const qreal ratio : BuildInfo::rasterRatios) {
        QTest::addRow("icon at %gx", ratio) << "icon" << QSize(16, 16) << ratio;
        QTest::addRow("logo at %gx", ratio) << "logo" << QSize(274, 77) << ratio;
        QTest::addRow("Get Dare at %gx", ratio) << "getdare" << QSize(133, 44) << ratio;
        QTest::addRow("Get Dare highlighted at %gx", ratio)
                << "getdare-over" << QSize(133, 44) << ratio;
        QTest::addRow("link pointer at %gx", ratio) << "cursor-hand" << QSize(32, 32) << ratio;
    }
}

void tst_HiDpi::builtPicturesMatchDrawing()
{
    // At the common ratios the pictures come drawn at build time; they must be what the program
    // would draw itself, pixel for pixel, transparency included.
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);

    const QString picture = QStringLiteral(":/assets/%1.svg").arg(name);
    const QImage built = Artwork::built(picture, size, ratio).toImage();
    const QImage drawn = Artwork::draw(picture, size, ratio).toImage();
    QCOMPARE(built.size(), size * ratio);
    QCOMPARE(built.devicePixelRatio(), ratio);
    QVERIFY(built.convertToFormat(QImage::Format_ARGB32)
            == drawn.convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(tst_HiDpi)
#include "tst_hidpi.moc"
