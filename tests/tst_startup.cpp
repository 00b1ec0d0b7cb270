#include "app/identity.h"
#include "app/startup.h"

#include <QProcess>
#include <QTest>

// The program without a display: one clear line and status 1, never Qt's abort.
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void missingDisplay_data();
    void missingDisplay();
    void noDisplayRun_data();
    void noDisplayRun();
    void identity();
};

void tst_Startup::missingDisplay_data()
{
    QTest::addColumn<QByteArray>("platform");
    QTest::addColumn<QByteArray>("display");
    QTest::addColumn<QByteArray>("wayland");
    QTest::addColumn<bool>("missing");

    QTest::addRow("nothing set") << QByteArray() << QByteArray() << QByteArray() << true;
    QTest::addRow("X display") << QByteArray() << QByteArray(":0") << QByteArray() << false;
    QTest::addRow("Wayland display")
            << QByteArray() << QByteArray() << QByteArray("wayland-0") << false;
    QTest::addRow("platform chosen")
            << QByteArray("offscreen") << QByteArray() << QByteArray() << false;
}

void tst_Startup::missingDisplay()
{
    QFETCH(QByteArray, platform);
    QFETCH(QByteArray, display);
    QFETCH(QByteArray, wayland);
    QFETCH(bool, missing);

    const QString reason = Startup::missingDisplay(platform, display, wayland);
    QCOMPARE(!reason.isEmpty(), missing);
    if (missing)
        QVERIFY(reason.contains(QLatin1String("xvfb-run")));
}

void tst_Startup::noDisplayRun_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("wayland");
    QTest::addColumn<QString>("said");

    QTest::addRow("no display at all") << QString() << QString() << "neither an X display";
    // Qt itself gives up on these and would abort; the guard turns that into a clean exit.
    QTest::addRow("X display nobody serves")
            << QStringLiteral(":4711") << QString() << "the X display \":4711\";";
    QTest::addRow("Wayland socket nobody serves")
            << QString() << QStringLiteral("tazzle-none") << "the Wayland socket \"tazzle-none\";";
    QTest::addRow("neither reachable") << QStringLiteral(":4711") << QStringLiteral("tazzle-none")
                                       << "either the X display \":4711\" or the Wayland socket";
}

void tst_Startup::noDisplayRun()
{
    QFETCH(QString, display);
    QFETCH(QString, wayland);
    QFETCH(QString, said);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
        environment.remove(QString::fromLatin1(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    if (!wayland.isEmpty())
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), wayland);

    QProcess tazzle;
    tazzle.setProcessEnvironment(environment);
    tazzle.start(QStringLiteral(TAZZLE_BINARY), {});
    QVERIFY(tazzle.waitForFinished(20'000));
    QCOMPARE(tazzle.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tazzle.exitCode(), 1);
    const QString err = QString::fromLocal8Bit(tazzle.readAllStandardError());
    QCOMPARE(err.count(u'\n'), 1);
    QVERIFY2(err.startsWith(QLatin1String("tazzle: ")) && err.contains(said)
                     && err.contains(QLatin1String("xvfb-run -a tazzle")),
             qPrintable(err));
}

void tst_Startup::identity()
{
    // The version is written once, as 1.0.0 in the build, and shown the program's way.
    Identity::apply();
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Tazzle"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Tazzle"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("1.00"));
}

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_startup.moc"
