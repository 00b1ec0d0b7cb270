#pragma once

#include "core/windowlayout.h"

#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

#include <string_view>

// The stored layout in Qt's terms.
namespace QtLayout {

inline QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

inline QRect rect(const WindowLayout::Rect &r)
{
    return QRect(r.left, r.top, r.width, r.height);
}

inline QRect pixelRect(const WindowLayout::Control &control)
{
    return rect(WindowLayout::pixelRect(control));
}

inline QSize clientSize()
{
    return rect(WindowLayout::clientRect()).size();
}

inline QColor colour(WindowLayout::Colour c)
{
    return QColor(c.red, c.green, c.blue);
}

// The SVG a control's picture is drawn from, among the resources.
inline QString picturePath(const WindowLayout::Control &control)
{
    return QStringLiteral(":/assets/%1.svg").arg(text(control.picture));
}

Qt::Alignment alignment(WindowLayout::Align align);
QAccessible::Role role(WindowLayout::Role role);
// The control of a widget's object name, or nullptr.
const WindowLayout::Control *find(const QString &objectName);
// The window's font, the first of the stored faces that is installed.
QFont windowFont();

} // namespace QtLayout
