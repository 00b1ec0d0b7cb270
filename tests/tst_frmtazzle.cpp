#include "buildinfo/buildinfo.h"
#include "core/clockseededgenerator.h"
#include "core/daretable.h"
#include "ui/artwork.h"
#include "windowtest.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <limits>

namespace {

bool isBlack(QRgb pixel)
{
    return qGray(pixel) <= 24;
}
bool isWhite(QRgb pixel)
{
    return qGray(pixel) >= 232;
}
bool isPale(QRgb pixel)
{
    return qGray(pixel) >= 150 && !isWhite(pixel);
}

struct TextLine
{
    int top, bottom, left, right;
};

// The lines of light text inside box, found from the pixels.
QList<TextLine> textLines(const QImage &image, QRect box)
{
    QList<TextLine> lines;
    bool inLine = false;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        int left = box.right() + 1, right = box.left() - 1;
        for (int x = box.left(); x <= box.right(); ++x) {
            if (qGray(image.pixel(x, y)) > 100) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
        if (left > right) {
            inLine = false;
            continue;
        }
        if (!inLine)
            lines.append({y, y, left, right});
        inLine = true;
        TextLine &line = lines.last();
        line = {line.top, y, std::min(line.left, left), std::max(line.right, right)};
    }
    return lines;
}

} // namespace

// The main window as built: layout, look, artwork, and what a click on the picture does.
class tst_FrmTazzle : public WindowTest
{
    Q_OBJECT

private slots:
    void startsAsLaidOut_data();
    void startsAsLaidOut();
    void window();
    void stackingOrder();
    void pixels_data();
    void pixels();
    void logoLetteringCentred();
    void textLayout_data();
    void textLayout();
    void hostUnderlined();
    void linkPointer_data();
    void linkPointer();
    void icon();
    void pictureClickShowsDare_data();
    void pictureClickShowsDare();
    void manyClicksShowOnlyTheTen();
    void errorBecomesMessageBox();
    void screenReaderHearsNewDare();
};

void tst_FrmTazzle::startsAsLaidOut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<bool>("visible");

    const QJsonObject controls = ExpectedWindow::controls();
    QCOMPARE(controls.size(), 7);
    for (auto it = controls.begin(); it != controls.end(); ++it) {
        const QByteArray name = it.key().toLatin1();
        QTest::addRow("%s", name.constData()) << it.key() << ExpectedWindow::rect(name)
                                              << it->toObject()[QLatin1String("visible")].toBool();
    }
}

void tst_FrmTazzle::startsAsLaidOut()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(bool, visible);

    const QWidget *control = driver->control(qPrintable(name));
    QVERIFY(control);
    QCOMPARE(control->geometry(), rect);
    QCOMPARE(control->isVisible(), visible);
}

void tst_FrmTazzle::window()
{
    const FrmTazzle &window = driver->window;
    QCOMPARE(window.objectName(), QStringLiteral("frmTazzle"));
    QCOMPARE(window.windowTitle(), ExpectedWindow::title());
    QCOMPARE(window.size(), ExpectedWindow::size());
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(QApplication::topLevelWidgets().count(), 1);
    QCOMPARE(window.findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly).count(), 7);

    QCOMPARE(driver->control<QLabel>("lblDare")->text(), ExpectedWindow::prompt());
    const auto *button = driver->control<QPushButton>("cmdGetDare");
    QCOMPARE(button->text(), QStringLiteral("Get Dare"));
    QVERIFY(!button->isDefault() && !button->autoDefault());
    for (const QWidget *widget : window.findChildren<QWidget *>())
        QCOMPARE(widget->focusPolicy(), Qt::NoFocus);

    const QFontInfo font(driver->control("lblDare")->font());
    QVERIFY2(QStringList({"Arial", "Liberation Sans", "Arimo"}).contains(font.family()),
             qPrintable(font.family()));
    QCOMPARE(font.pixelSize(), 16);
    QVERIFY(font.bold());
}

void tst_FrmTazzle::stackingOrder()
{
    // Qt paints and hit-tests later siblings above earlier ones.
    QStringList bottomToTop;
    for (const QObject *child : driver->window.children()) {
        if (child->isWidgetType())
            bottomToTop << child->objectName();
    }
    QCOMPARE(bottomToTop, QStringList({"lblDare", "imgLogo", "imgGetDare", "lblMore", "Line1",
                                       "imgGetDare_over", "cmdGetDare"}));
}

void tst_FrmTazzle::pixels_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("shade");

    const QRect picture = ExpectedWindow::rect("imgGetDare");
    const QRect underline = ExpectedWindow::rect("Line1");
    QTest::addRow("bare background") << bareArea << "black";
    QTest::addRow("bare beside the hidden button")
            << ExpectedWindow::rect("cmdGetDare").center() << "black";
    QTest::addRow("pill outline") << ExpectedWindow::point("pictureOutline") << "white";
    QTest::addRow("pill left end") << QPoint(picture.left() + 2, onPicture.y()) << "white";
    QTest::addRow("pill inside") << ExpectedWindow::point("pictureInside") << "black";
    QTest::addRow("picture corner") << picture.topLeft() << "black";
    QTest::addRow("underline start") << underline.topLeft() << "pale";
    QTest::addRow("underline middle") << onUnderline << "pale";
    QTest::addRow("underline end") << underline.topRight() << "pale";
    QTest::addRow("before the underline") << underline.topLeft() - QPoint(2, 0) << "black";
    QTest::addRow("after the underline") << underline.topRight() + QPoint(3, 0) << "black";
}

void tst_FrmTazzle::pixels()
{
    QFETCH(QPoint, point);
    QFETCH(QString, shade);

    const QRgb pixel = driver->grab().pixel(point);
    const bool matches = shade == "black"   ? isBlack(pixel)
                         : shade == "white" ? isWhite(pixel)
                                            : isPale(pixel);
    QVERIFY2(matches, qPrintable(QColor(pixel).name()));
}

void tst_FrmTazzle::logoLetteringCentred()
{
    const QRect logo(136, 16, 274, 77);
    const QImage image = driver->grab();
    QRect lettering;
    for (int y = logo.top(); y <= logo.bottom(); ++y) {
        for (int x = logo.left(); x <= logo.right(); ++x) {
            if (isWhite(image.pixel(x, y)))
                lettering |= QRect(x, y, 1, 1);
        }
    }
    QVERIFY2(std::abs(lettering.width() - 252) <= 4 && std::abs(lettering.height() - 63) <= 4,
             qPrintable(QStringLiteral("%1 x %2").arg(lettering.width()).arg(lettering.height())));
    QVERIFY(std::abs(lettering.center().x() - logo.center().x()) <= 2);
    QVERIFY(std::abs(lettering.center().y() - logo.center().y()) <= 2);
}

void tst_FrmTazzle::textLayout_data()
{
    QTest::addColumn<int>("dare"); // 0 for the prompt
    QTest::addColumn<int>("lineCount");

    QTest::addRow("prompt") << 0 << 1;
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("dare %d", n) << n << (n == 3 ? 2 : 1);
}

void tst_FrmTazzle::textLayout()
{
    QFETCH(int, dare);
    QFETCH(int, lineCount);

    if (dare > 0) {
        driver->random.r = (dare - 0.5) / 10;
        driver->clickAt(onPicture);
        QCOMPARE(driver->control<QLabel>("lblDare")->text(), dareNumber(dare));
    }
    const QRect box(16, 120, 505, 81);
    const QList<TextLine> lines = textLines(driver->grab(), box);
    QCOMPARE(lines.count(), lineCount);
    QVERIFY(lines.first().top - box.top() <= 6); // from the top edge down
    for (const TextLine &line : lines) {
        const int leftMargin = line.left - box.left(), rightMargin = box.right() - line.right;
        QVERIFY2(std::abs(leftMargin - rightMargin) <= 2,
                 qPrintable(QStringLiteral("margins %1 and %2").arg(leftMargin).arg(rightMargin)));
    }
}

void tst_FrmTazzle::hostUnderlined()
{
    // With the font actually resolved, the host name lies over the fixed underline.
    const auto *more = driver->control<QLabel>("lblMore");
    const QString host = QUrl(QString::fromLatin1(BuildInfo::websiteUrl)).host();

    const QFontMetrics metrics(more->font());
    const int hostLeft = more->x() + metrics.horizontalAdvance(ExpectedWindow::linkPrefix());
    const int hostRight = hostLeft + metrics.horizontalAdvance(host);
    if (host != QLatin1String("www.tazzle.example"))
        QSKIP("the underline is placed for the default host name");
    QVERIFY2(std::abs(hostLeft - 123) <= 4 && std::abs(hostRight - 276) <= 4,
             qPrintable(QStringLiteral("host from %1 to %2").arg(hostLeft).arg(hostRight)));
}

void tst_FrmTazzle::linkPointer_data()
{
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("link");

    QTest::addRow("link text") << onLinkText << true;
    QTest::addRow("underline") << onUnderline << true;
    QTest::addRow("below the text") << belowLinkText << true;
    QTest::addRow("bare area") << bareArea << false;
    QTest::addRow("picture") << onPicture << false;
}

void tst_FrmTazzle::linkPointer()
{
    QFETCH(QPoint, point);
    QFETCH(bool, link);

    driver->moveTo(bareArea + QPoint(1, 0));
    driver->moveTo(point);
    const QCursor cursor = driver->window.windowHandle()->cursor();
    if (!link) {
        QCOMPARE(cursor.shape(), Qt::ArrowCursor);
        return;
    }
    QCOMPARE(cursor.shape(), Qt::BitmapCursor);
    QCOMPARE(cursor.pixmap().deviceIndependentSize(), QSizeF(32, 32));
    QCOMPARE(cursor.hotSpot(), QPoint(12, 1));
    // The fingertip is drawn at the hot spot; the corners are see-through.
    const QImage hand = cursor.pixmap().toImage();
    QVERIFY(qAlpha(hand.pixel(12, 1)) > 0);
    QCOMPARE(qAlpha(hand.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(hand.pixel(31, 0)), 0);
}

void tst_FrmTazzle::icon()
{
    const QPixmap icon = driver->window.windowIcon().pixmap(QSize(16, 16), 1.0);
    QCOMPARE(icon.size(), QSize(16, 16));
    const QImage image = icon.toImage();
    int white = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            QCOMPARE(qAlpha(image.pixel(x, y)), 255);
            white += isWhite(image.pixel(x, y));
        }
    }
    QVERIFY(isBlack(image.pixel(0, 15)));
    QVERIFY(white > 10 && white < 100);
}

void tst_FrmTazzle::pictureClickShowsDare_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<bool>("highlighted");
    QTest::addColumn<int>("dare");

    for (const bool over : {false, true}) {
        const char *picture = over ? "highlighted" : "plain";
        QTest::addRow("%s picture, r 0", picture) << 0.0 << over << 1;
        QTest::addRow("%s picture, r 0.55", picture) << 0.55 << over << 6;
        QTest::addRow("%s picture, r below 1", picture) << std::nextafter(1.0, 0.0) << over << 10;
    }
}

void tst_FrmTazzle::pictureClickShowsDare()
{
    QFETCH(double, r);
    QFETCH(bool, highlighted);
    QFETCH(int, dare);

    driver->random.r = r;
    if (highlighted) {
        driver->clickAt(onPicture);
        QVERIFY(driver->highlighted());
    } else {
        // The plain picture takes a click only while the pointer rests on it unhighlighted.
        driver->moveTo(onPicture);
        driver->window.Reset_Button();
        QTest::mouseClick(driver->window.windowHandle(), Qt::LeftButton, {}, onPicture);
        QVERIFY(!driver->highlighted());
    }
    QCOMPARE(driver->control<QLabel>("lblDare")->text(), dareNumber(dare));
    QCOMPARE(driver->random.calls, std::string("RN"));
}

void tst_FrmTazzle::manyClicksShowOnlyTheTen()
{
    // The real generator and clock behind the window.
    ClockSeededGenerator generator;
    FrmTazzle window(generator, driver->opener);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const auto *label = window.findChild<QLabel *>(QStringLiteral("lblDare"));

    QSet<QString> seen;
    for (int i = 0; i < 400; ++i) {
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, onPicture);
        QVERIFY2(isDare(label->text()), qPrintable(label->text()));
        seen.insert(label->text());
    }
    QCOMPARE(seen.count(), 10);
}

void tst_FrmTazzle::errorBecomesMessageBox()
{
    QString title, text;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    poll.start(10);

    // r so large that r * 10 overflows: the draw fails, the program goes on.
    driver->random.r = std::numeric_limits<double>::max();
    driver->clickAt(onPicture);
    QCOMPARE(title, QStringLiteral("Tazzle"));
    QVERIFY2(text.contains(QLatin1String("Floating-point error")), qPrintable(text));
    QCOMPARE(driver->control<QLabel>("lblDare")->text(), ExpectedWindow::prompt());

    driver->random.r = 0;
    driver->clickAt(onPicture);
    QCOMPARE(driver->control<QLabel>("lblDare")->text(), dareNumber(1));
}

void tst_FrmTazzle::screenReaderHearsNewDare()
{
    // What a screen reader reads and can do for each control: the picture's and the link's
    // "Press" act as a click does. (Qt raises accessibility events only with an assistive
    // technology attached, which the offscreen platform never has: the announcement itself is
    // checked over the real accessibility bus.)
    const auto accessible = [this](const char *control) {
        return QAccessible::queryAccessibleInterface(driver->control(control));
    };
    const auto nameOf = [&](const char *control) {
        return accessible(control)->text(QAccessible::Name);
    };
    QCOMPARE(accessible("imgLogo")->role(), QAccessible::Graphic);
    QCOMPARE(nameOf("imgLogo"), QStringLiteral("Tazzle"));
    QCOMPARE(accessible("imgGetDare")->role(), QAccessible::Button);
    QCOMPARE(nameOf("imgGetDare"), QStringLiteral("Get Dare"));
    QCOMPARE(nameOf("imgGetDare_over"), QStringLiteral("Get Dare"));
    QCOMPARE(accessible("lblMore")->role(), QAccessible::Link);
    QCOMPARE(nameOf("lblMore"), driver->control<QLabel>("lblMore")->text());
    QCOMPARE(accessible("lblDare")->role(), QAccessible::StaticText);
    QCOMPARE(QAccessible::queryAccessibleInterface(&driver->window)->role(), QAccessible::Window);

    driver->random.r = 0.35;
    accessible("imgGetDare")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(nameOf("lblDare"), dareNumber(4));
    QVERIFY(!driver->highlighted());

    driver->moveTo(onPicture);
    QVERIFY(accessible("imgGetDare")->state().invisible);
    QVERIFY(!accessible("imgGetDare_over")->state().invisible);
    driver->random.r = 0.05;
    accessible("imgGetDare_over")
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(nameOf("lblDare"), dareNumber(1));

    accessible("lblMore")->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(driver->opener.opened, QList<QUrl>{FrmTazzle::websiteUrl()});
    QCOMPARE(nameOf("lblDare"), dareNumber(1));
    QVERIFY(driver->highlighted());
}

QTEST_MAIN(tst_FrmTazzle)
#include "tst_frmtazzle.moc"
