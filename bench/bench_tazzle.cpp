#include "core/clockseededgenerator.h"
#include "core/daretable.h"
#include "core/random.h"
#include "ui/artwork.h"
#include "windowdriver.h"

#include <QLabel>

// Costs of the things a user waits for, each beside a bare-Qt reference doing the least that
// could stand in for it. Run on the offscreen platform; not part of the test suite.
class bench_Tazzle : public QObject
{
    Q_OBJECT

private slots:
    void draw();
    void getDareCommand();
    void windowUntilPainted_data();
    void windowUntilPainted();
    void clickToDare_data();
    void clickToDare();
    void hoverInAndOut();
    void renderArtwork_data();
    void renderArtwork();
};

void bench_Tazzle::draw()
{
    auto &generator = ClockSeededGenerator::processWide();
    double sum = 0;
    QBENCHMARK
    {
        sum += Random(generator, 1, 10);
    }
    QVERIFY(sum > 0);
}

void bench_Tazzle::getDareCommand()
{
    WindowDriver driver;
    QVERIFY(driver.show());
    int i = 0;
    QBENCHMARK
    {
        driver.random.r = (i++ % 10) / 10.0;
        driver.window.cmdGetDare_Click();
    }
}

void bench_Tazzle::windowUntilPainted_data()
{
    QTest::addColumn<bool>("tazzle");
    QTest::addRow("Tazzle window") << true;
    QTest::addRow("reference: empty QWidget") << false;
}

void bench_Tazzle::windowUntilPainted()
{
    QFETCH(bool, tazzle);
    QBENCHMARK
    {
        std::unique_ptr<QWidget> window(tazzle ? new FrmTazzle : new QWidget);
        window->resize(533, 299);
        window->grab();
    }
}

void bench_Tazzle::clickToDare_data()
{
    QTest::addColumn<bool>("tazzle");
    QTest::addRow("click on the picture") << true;
    QTest::addRow("reference: QLabel::setText and repaint") << false;
}

void bench_Tazzle::clickToDare()
{
    QFETCH(bool, tazzle);
    WindowDriver driver;
    QVERIFY(driver.show());
    auto *label = driver.control<QLabel>("lblDare");
    int i = 0;
    QBENCHMARK
    {
        // The same dares in the same order both ways: only the way to them differs.
        driver.random.r = (i % 10) / 10.0;
        if (tazzle)
            driver.clickAt(onPicture);
        else
            label->setText(dareNumber(i % 10 + 1));
        ++i;
        // Until painted: the label asks for its repaint through the event loop.
        QCoreApplication::processEvents();
    }
}

void bench_Tazzle::hoverInAndOut()
{
    // The highlight shown and hidden again, each painted.
    WindowDriver driver;
    QVERIFY(driver.show());
    QBENCHMARK
    {
        driver.moveTo(onPicture);
        QCoreApplication::processEvents();
        driver.moveTo(bareArea);
        QCoreApplication::processEvents();
    }
    QVERIFY(!driver.highlighted());
}

void bench_Tazzle::renderArtwork_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("ratio");
    QTest::addRow("logo at 1x") << ":/assets/logo.svg" << QSize(274, 77) << 1.0;
    QTest::addRow("logo at 2x") << ":/assets/logo.svg" << QSize(274, 77) << 2.0;
    QTest::addRow("Get Dare at 1x") << ":/assets/getdare.svg" << QSize(133, 44) << 1.0;
}

void bench_Tazzle::renderArtwork()
{
    QFETCH(QString, picture);
    QFETCH(QSize, size);
    QFETCH(qreal, ratio);
    QBENCHMARK
    {
        Artwork::render(picture, size, ratio);
    }
}

QTEST_MAIN(bench_Tazzle)
#include "bench_tazzle.moc"
