#pragma once

#include "core/daretable.h"
#include "core/randomsource.h"
#include "ui/qtlayout.h"
#include "ui/urlopener.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <algorithm>

// Hands out r as given; records the order of calls.
class FixedRandomSource final : public RandomSource
{
public:
    explicit FixedRandomSource(double r = 0)
        : r(r)
    { }
    void randomize() override { calls += QLatin1Char('R'); }
    double next() override
    {
        calls += QLatin1Char('N');
        return r;
    }

    double r;
    QString calls;
};

class RecordingUrlOpener final : public UrlOpener
{
public:
    void open(const QUrl &url) override { opened.append(url); }

    QList<QUrl> opened;
};

// Dare number as the window shows it.
inline QString dareNumber(std::int32_t number)
{
    return QtLayout::text(DareTable::dareFor(number));
}

// Whether text is one of the ten dares.
inline bool isDare(const QString &text)
{
    return std::ranges::find(DareTable::dares, text.toStdString()) != DareTable::dares.end();
}
