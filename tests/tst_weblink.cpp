#include "buildinfo/buildinfo.h"
#include "core/daretable.h"
#include "windowtest.h"

#include <QLabel>

// The link at the foot of the window: one request to the desktop per click, nothing else.
class tst_WebLink : public WindowTest
{
    Q_OBJECT

private slots:
    void oneBuildTimeAddress();
    void everyClickOpensTheSite_data();
    void everyClickOpensTheSite();
    void clickChangesNothingElse();
};

void tst_WebLink::oneBuildTimeAddress()
{
    const QUrl configured(QString::fromLatin1(BuildInfo::websiteUrl));
    QVERIFY(configured.isValid());
    QVERIFY(configured.scheme().startsWith(QLatin1String("http")));
    QCOMPARE(FrmTazzle::websiteUrl(), configured);
    QCOMPARE(driver->control<QLabel>("lblMore")->text(),
             ExpectedWindow::linkPrefix() + configured.host());
}

void tst_WebLink::everyClickOpensTheSite_data()
{
    QTest::addColumn<QPoint>("point");

    QTest::addRow("text") << onLinkText;
    QTest::addRow("underline") << onUnderline;
    QTest::addRow("box below the text") << belowLinkText;
}

void tst_WebLink::everyClickOpensTheSite()
{
    QFETCH(QPoint, point);

    const QUrl site(QString::fromLatin1(BuildInfo::websiteUrl));
    driver->clickAt(point);
    QCOMPARE(driver->opener.opened, QList<QUrl>({site}));
    driver->clickAt(point);
    QCOMPARE(driver->opener.opened, QList<QUrl>({site, site}));
}

void tst_WebLink::clickChangesNothingElse()
{
    driver->random.r = 0.45;
    driver->clickAt(onPicture);
    // Straight from the picture onto the link: the highlight stays on.
    driver->moveTo(onLinkText);
    QVERIFY(driver->highlighted());

    driver->clickAt(onLinkText);
    QCOMPARE(driver->opener.opened.count(), 1);
    QVERIFY(driver->highlighted());
    QCOMPARE(driver->control<QLabel>("lblDare")->text(), dareNumber(5));
}

QTEST_MAIN(tst_WebLink)
#include "tst_weblink.moc"
