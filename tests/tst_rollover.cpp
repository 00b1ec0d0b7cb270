#include "core/daretable.h"
#include "windowtest.h"

#include <QEnterEvent>
#include <QLabel>
#include <QRandomGenerator>
#include <QScopeGuard>

namespace {

enum class Region { Bare, Logo, DareLabel, Picture, LinkLabel, Outside };

struct Place
{
    QPoint point;
    Region region;
};

// Samples of every region, edges and corners included. The underline and the lower part of
// the link label's box are the link label; the hidden button's rectangle is bare window.
const Place places[] = {
        {{0, 1}, Region::Bare},          {{60, 60}, Region::Bare},
        {{120, 105}, Region::Bare},      {{266, 204}, Region::Bare},
        {{266, 262}, Region::Bare},      {{199, 230}, Region::Bare},
        {{450, 230}, Region::Bare},      {{400, 290}, Region::Bare},
        {{532, 298}, Region::Bare},      {{136, 16}, Region::Logo},
        {{273, 54}, Region::Logo},       {{409, 92}, Region::Logo},
        {{16, 120}, Region::DareLabel},  {{266, 160}, Region::DareLabel},
        {{520, 200}, Region::DareLabel}, {{200, 208}, Region::Picture},
        {{266, 230}, Region::Picture},   {{332, 251}, Region::Picture},
        {{8, 272}, Region::LinkLabel},   {{100, 280}, Region::LinkLabel},
        {{120, 288}, Region::LinkLabel}, {{279, 288}, Region::LinkLabel},
        {{304, 298}, Region::LinkLabel}, {{-5, 100}, Region::Outside},
        {{600, 100}, Region::Outside},   {{200, 305}, Region::Outside},
};

// What the window should show, worked out from the rules alone.
struct Model
{
    bool highlighted = false;
    bool prompt = true;

    void move(Region region)
    {
        if (region == Region::Bare)
            highlighted = false;
        else if (region == Region::Picture)
            highlighted = true;
    }
    void click(Region region)
    {
        if (region == Region::Logo || region == Region::DareLabel)
            highlighted = false;
        else if (region == Region::Picture)
            prompt = false;
    }
};

} // namespace

// The rollover highlight and the events the window handles, against a model of the rules.
class tst_Rollover : public WindowTest
{
    Q_OBJECT

private slots:
    void followsTheModel_data();
    void followsTheModel();
    void arrivalIsAMovement_data();
    void arrivalIsAMovement();
    void pictureStraightOntoNeighbours_data();
    void pictureStraightOntoNeighbours();
    void clickOnHighlightedPicture();
    void clickIsPressAndReleaseOnOneControl_data();
    void clickIsPressAndReleaseOnOneControl();
    void quickSecondClickCounts();
    void sameStateRepaintsNothing();
    void noKeyGetsADare();

private:
    QString dareText() const { return driver->control<QLabel>("lblDare")->text(); }
};

void tst_Rollover::followsTheModel_data()
{
    QTest::addColumn<quint32>("seed");

    for (const quint32 seed : {1u, 2u, 20261208u})
        QTest::addRow("seed %u", seed) << seed;
}

void tst_Rollover::followsTheModel()
{
    QFETCH(quint32, seed);

    // QTest warns of every move outside the window; those moves are meant.
    static QtMessageHandler passOn = nullptr;
    passOn = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.contains(QLatin1String("outside target window")))
                    passOn(type, context, message);
            });
    const auto restore = qScopeGuard([] { qInstallMessageHandler(passOn); });

    QRandomGenerator random(seed);
    Model model;
    const Qt::Key keys[] = {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape,
                            Qt::Key_Tab,    Qt::Key_G,     Qt::Key_F1};
    for (int step = 0; step < 2000; ++step) {
        const Place &place = places[random.bounded(int(std::size(places)))];
        const int action = random.bounded(10);
        QString event;
        if (action < 6 || place.region == Region::Outside) {
            event = QStringLiteral("move");
            driver->moveTo(place.point);
            model.move(place.region);
        } else if (action < 9) {
            event = QStringLiteral("click");
            driver->random.r = random.generateDouble();
            driver->clickAt(place.point);
            model.move(place.region);
            model.click(place.region);
        } else {
            event = QStringLiteral("key");
            QTest::keyClick(driver->window.windowHandle(),
                            keys[random.bounded(int(std::size(keys)))]);
        }
        const QString where = QStringLiteral("step %1: %2 at (%3, %4)")
                                      .arg(step)
                                      .arg(event)
                                      .arg(place.point.x())
                                      .arg(place.point.y());
        QVERIFY2(driver->highlighted() == model.highlighted, qPrintable(where));
        QVERIFY2((dareText() == ExpectedWindow::prompt()) == model.prompt, qPrintable(where));
        if (!model.prompt) {
            QVERIFY2(isDare(dareText()), qPrintable(where));
        }
    }
}

void tst_Rollover::arrivalIsAMovement_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("after");

    QTest::addRow("onto the picture") << onPicture << false << true;
    QTest::addRow("onto bare window") << bareArea << true << false;
    QTest::addRow("onto the logo") << ExpectedWindow::point("logoCentre") << true << true;
    QTest::addRow("onto the dare label") << ExpectedWindow::point("dareLabel") << true << true;
    QTest::addRow("onto the link") << onLinkText << true << true;
    QTest::addRow("onto the underline") << onUnderline << true << true;
}

void tst_Rollover::arrivalIsAMovement()
{
    // A pointer that arrives without moving (on Wayland always; on X when the window opens
    // under it) reaches Qt as Enter alone, to the window and then to the control there, as
    // sent here. It counts as a movement where it arrives. That Qt routes it so is checked on
    // a real Wayland compositor.
    QFETCH(QPoint, point);
    QFETCH(bool, before);
    QFETCH(bool, after);

    if (before)
        driver->moveTo(onPicture);
    QCOMPARE(driver->highlighted(), before);
    driver->moveTo(QPoint(-20, -20));

    const QPoint global = driver->window.mapToGlobal(point);
    QEnterEvent intoWindow(point, point, global);
    QCoreApplication::sendEvent(&driver->window, &intoWindow);
    if (QWidget *control = driver->window.childAt(point)) {
        const QPoint local = control->mapFrom(&driver->window, point);
        QEnterEvent intoControl(local, point, global);
        QCoreApplication::sendEvent(control, &intoControl);
    }
    QCOMPARE(driver->highlighted(), after);
    QCOMPARE(dareText(), ExpectedWindow::prompt());
}

void tst_Rollover::pictureStraightOntoNeighbours_data()
{
    QTest::addColumn<QPoint>("neighbour");
    QTest::addColumn<bool>("clickHides");

    // Just inside each neighbour's edge nearest the picture.
    const int x = onPicture.x();
    QTest::addRow("dare label") << QPoint(x, ExpectedWindow::rect("lblDare").bottom()) << true;
    QTest::addRow("logo") << QPoint(x, ExpectedWindow::rect("imgLogo").bottom()) << true;
    const QRect link = ExpectedWindow::rect("lblMore");
    QTest::addRow("link label") << QPoint(link.right() - 4, link.center().y()) << false;
}

void tst_Rollover::pictureStraightOntoNeighbours()
{
    QFETCH(QPoint, neighbour);
    QFETCH(bool, clickHides);

    // A quick pointer can skip the bare window between: the highlight then stays on.
    driver->moveTo(onPicture);
    QVERIFY(driver->highlighted());
    driver->moveTo(neighbour);
    QVERIFY(driver->highlighted());
    driver->clickAt(neighbour);
    QCOMPARE(driver->highlighted(), !clickHides);
    QCOMPARE(dareText(), ExpectedWindow::prompt());
}

void tst_Rollover::clickOnHighlightedPicture()
{
    driver->moveTo(onPicture);
    QCOMPARE(driver->window.childAt(onPicture)->objectName(), QStringLiteral("imgGetDare_over"));
    driver->random.r = 0.05;
    driver->clickAt(onPicture);
    QCOMPARE(dareText(), dareNumber(1));
    QVERIFY(driver->highlighted());
    // Showing the highlight on top of the picture must not pass for a move over bare window.
    driver->moveTo(onPicture + QPoint(1, 1));
    QVERIFY(driver->highlighted());
}

void tst_Rollover::clickIsPressAndReleaseOnOneControl_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("dare");

    const Qt::MouseButton left = Qt::LeftButton;
    QTest::addRow("both on the picture") << left << onPicture << onPicture + QPoint(40, 5) << true;
    QTest::addRow("picture, dragged off")
            << left << onPicture << ExpectedWindow::point("dareLabel") << false;
    QTest::addRow("bare window, released on the picture")
            << left << ExpectedWindow::point("abovePicture") << onPicture << false;
    QTest::addRow("right button") << Qt::RightButton << onPicture << onPicture << false;
}

void tst_Rollover::clickIsPressAndReleaseOnOneControl()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, dare);

    const Qt::MouseButton button = QByteArray(QTest::currentDataTag()) == "right button"
                                           ? Qt::RightButton
                                           : Qt::LeftButton;
    driver->moveTo(press);
    QTest::mousePress(driver->window.windowHandle(), button, {}, press);
    QTest::mouseRelease(driver->window.windowHandle(), button, {}, release);
    QCOMPARE(dareText() != ExpectedWindow::prompt(), dare);
}

void tst_Rollover::quickSecondClickCounts()
{
    // The second click of a double click is a click too: every click gets a dare.
    driver->moveTo(onPicture);
    QTest::mouseDClick(driver->window.windowHandle(), Qt::LeftButton, {}, onPicture);
    QCOMPARE(driver->random.calls, std::string("RNRN"));
}

void tst_Rollover::sameStateRepaintsNothing()
{
    driver->moveTo(onPicture);
    QVERIFY(driver->highlighted());
    QCoreApplication::processEvents();

    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            paints += event->type() == QEvent::Paint;
            return false;
        }
    } counter;
    for (QWidget *widget : driver->window.findChildren<QWidget *>())
        widget->installEventFilter(&counter);
    driver->window.installEventFilter(&counter);

    driver->moveTo(onPicture + QPoint(3, 0));
    driver->moveTo(ExpectedWindow::point("dareLabel")); // over the dare label
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);

    // A real change does repaint, so the counter can see one.
    driver->moveTo(ExpectedWindow::point("abovePicture"));
    QTRY_VERIFY(counter.paints > 0);
}

void tst_Rollover::noKeyGetsADare()
{
    driver->moveTo(onPicture);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        QTest::keyClick(driver->window.windowHandle(), key);
        QCOMPARE(dareText(), ExpectedWindow::prompt());
    }
    QCOMPARE(QApplication::focusWidget(), nullptr);
    QVERIFY(driver->window.isVisible());
    QCOMPARE(driver->random.calls, std::string());
}

QTEST_MAIN(tst_Rollover)
#include "tst_rollover.moc"
