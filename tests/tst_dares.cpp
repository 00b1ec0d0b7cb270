#include "core/clockseededgenerator.h"
#include "core/daretable.h"
#include "core/random.h"
#include "core/runtimeerror.h"
#include "expectedwindow.h"
#include "qtfakes.h"

#include <QTest>

#include <cfenv>
#include <cmath>
#include <limits>

using Limits = std::numeric_limits<std::int32_t>;

// Random, the generator behind it and the table of dares.
class tst_Dares : public QObject
{
    Q_OBJECT

private slots:
    void arithmetic_data();
    void arithmetic();
    void reseedsBeforeEveryDraw();
    void floatingPointError_data();
    void floatingPointError();
    void staleFlagsAreNotAnError();
    void toInt32_data();
    void toInt32();
    void distribution_data();
    void distribution();
    void dareFor_data();
    void dareFor();
};

void tst_Dares::arithmetic_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("lowerbound");
    QTest::addColumn<int>("upperbound");
    QTest::addColumn<double>("expected");

    const double belowOne = std::nextafter(1.0, 0.0);
    QTest::addRow("r 0 gives Lowerbound") << 0.0 << 1 << 10 << 1.0;
    QTest::addRow("r below 1 gives the last outcome") << belowOne << 1 << 10 << 10.0;
    QTest::addRow("r 0.35 of 1..10") << 0.35 << 1 << 10 << 4.0;
    QTest::addRow("one outcome") << 0.7 << 5 << 1 << 5.0;
    QTest::addRow("no outcomes") << belowOne << 7 << 0 << 7.0;
    QTest::addRow("negative Lowerbound") << 0.5 << -3 << 4 << -1.0;
    // floor, not truncation: toward minus infinity.
    QTest::addRow("negative Upperbound") << 0.25 << 0 << -10 << -3.0;
    QTest::addRow("widest range, r below 1") << belowOne << Limits::min() << Limits::max()
                                             << double(Limits::min()) + Limits::max() - 1;
}

void tst_Dares::arithmetic()
{
    QFETCH(double, r);
    QFETCH(int, lowerbound);
    QFETCH(int, upperbound);
    QFETCH(double, expected);

    FixedRandomSource source(r);
    const double result = Random(source, lowerbound, upperbound);
    QCOMPARE(result, expected);
    QCOMPARE(std::floor(result), result);
}

void tst_Dares::reseedsBeforeEveryDraw()
{
    FixedRandomSource source(0.5);
    for (int i = 0; i < 3; ++i)
        Random(source, 1, 10);
    QCOMPARE(source.calls, std::string("RNRNRN"));
}

void tst_Dares::floatingPointError_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<int>("upperbound");

    QTest::addRow("infinity times 0 is invalid") << std::numeric_limits<double>::infinity() << 0;
    QTest::addRow("product overflows") << std::numeric_limits<double>::max() << 10;
}

void tst_Dares::floatingPointError()
{
    QFETCH(double, r);
    QFETCH(int, upperbound);

    FixedRandomSource source(r);
    try {
        Random(source, 1, upperbound);
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.kind(), RuntimeError::Kind::FloatingPoint);
        QVERIFY(QString::fromUtf8(error.what()).contains(QLatin1String("Random")));
    }
}

void tst_Dares::staleFlagsAreNotAnError()
{
    // Flags left by someone else's arithmetic are not this draw's failure.
    std::feraiseexcept(FE_OVERFLOW | FE_INVALID);
    FixedRandomSource source(0.5);
    QCOMPARE(Random(source, 1, 10), 6.0);
}

void tst_Dares::toInt32_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");

    QTest::addRow("10") << 10.0 << true;
    QTest::addRow("smallest") << double(Limits::min()) << true;
    QTest::addRow("largest") << double(Limits::max()) << true;
    QTest::addRow("one past the largest") << double(Limits::max()) + 1 << false;
    QTest::addRow("one below the smallest") << double(Limits::min()) - 1 << false;
    QTest::addRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
}

void tst_Dares::toInt32()
{
    QFETCH(double, value);
    QFETCH(bool, fits);

    if (fits)
        QCOMPARE(::toInt32(value), static_cast<std::int32_t>(value));
    else
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ::toInt32(value));
}

void tst_Dares::distribution_data()
{
    QTest::addColumn<int>("clockStep"); // ns between readings; 0 freezes the clock, -1 is real

    QTest::addRow("ticking clock") << 1000;
    QTest::addRow("frozen clock") << 0;
    QTest::addRow("system clock") << -1;
}

void tst_Dares::distribution()
{
    QFETCH(int, clockStep);
    // Five standard deviations of a count of 10,000 draws, 1.5 percentage points.
    const int tolerance = 150;

    std::uint64_t now = 1'700'000'000'000'000'000ULL;
    ClockSeededGenerator generator(
            clockStep < 0 ? ClockSeededGenerator::Clock(ClockSeededGenerator::systemClock)
                          : [&] { return now += clockStep; });
    QMap<double, int> counts;
    int repeats = 0;
    int previous = 0;
    for (int i = 0; i < 10'000; ++i) {
        const double value = Random(generator, 1, 10);
        ++counts[value];
        repeats += value == previous;
        previous = value;
    }
    QCOMPARE(counts.keys(), QList<double>({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        QVERIFY2(std::abs(it.value() - 1000) <= tolerance,
                 qPrintable(QStringLiteral("%1 came out %2 times").arg(it.key()).arg(it.value())));
    // Independent draws repeat the previous value one time in ten, not every time.
    QVERIFY2(std::abs(repeats - 1000) <= tolerance, qPrintable(QString::number(repeats)));
}

void tst_Dares::dareFor_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("expected");

    // Written out again on purpose, in the tests' record of the window: the table must match
    // them character for character.
    const QStringList texts = ExpectedWindow::dares();
    QCOMPARE(texts.size(), 10);
    for (int n = 1; n <= 10; ++n)
        QTest::addRow("dare %d", n) << n << texts[n - 1];
    for (const int other : {0, 11, -5, Limits::min(), Limits::max()})
        QTest::addRow("%d falls through to dare 10", other) << other << texts[9];
}

void tst_Dares::dareFor()
{
    QFETCH(int, number);
    QFETCH(QString, expected);

    QCOMPARE(dareNumber(number), expected);
}

QTEST_APPLESS_MAIN(tst_Dares)
#include "tst_dares.moc"
