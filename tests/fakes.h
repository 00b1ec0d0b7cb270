#pragma once

#include "dare/randomsource.h"
#include "ui/urlopener.h"

#include <QList>
#include <QString>
#include <QUrl>

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
