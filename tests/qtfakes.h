#pragma once

#include "core/daretable.h"
#include "expectedwindow.h"
#include "fakes.h"
#include "ui/qtlayout.h"
#include "ui/urlopener.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// What the Qt face is given, and the dares as it shows them.

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

// Whether text is one of the ten dares, as the tests know them.
inline bool isDare(const QString &text)
{
    static const QStringList dares = ExpectedWindow::dares();
    return dares.contains(text);
}
