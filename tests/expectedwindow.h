#pragma once

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// The window as it must be, read from window.json, the record every test driver checks the
// program against.
namespace ExpectedWindow {

inline const QJsonObject &json()
{
    static const QJsonObject window = [] {
        QFile file(QStringLiteral(TAZZLE_TESTS_DIR "/window.json"));
        const QJsonDocument document = file.open(QIODevice::ReadOnly)
                                               ? QJsonDocument::fromJson(file.readAll())
                                               : QJsonDocument();
        if (!document.isObject()) {
            std::fprintf(stderr, "%s: cannot be read as JSON\n", qPrintable(file.fileName()));
            std::exit(2);
        }
        return document.object();
    }();
    return window;
}

inline QString text(const char *key)
{
    return json()[QLatin1String(key)].toString();
}
inline QString title()
{
    return text("title");
}
inline QString prompt()
{
    return text("prompt");
}
// What the link says before the site's host name.
inline QString linkPrefix()
{
    return text("linkPrefix");
}
inline QStringList dares()
{
    QStringList dares;
    for (const QJsonValue dare : json()[QLatin1String("dares")].toArray())
        dares << dare.toString();
    return dares;
}
inline QSize size()
{
    const QJsonArray size = json()[QLatin1String("size")].toArray();
    return {size[0].toInt(), size[1].toInt()};
}
inline QJsonObject controls()
{
    return json()[QLatin1String("controls")].toObject();
}
inline QRect rect(const char *control)
{
    const QJsonArray r = controls()[QLatin1String(control)][QLatin1String("rect")].toArray();
    return {r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt()};
}
inline QPoint point(const char *place)
{
    const QJsonArray p = json()[QLatin1String("points")][QLatin1String(place)].toArray();
    return {p[0].toInt(), p[1].toInt()};
}

} // namespace ExpectedWindow
