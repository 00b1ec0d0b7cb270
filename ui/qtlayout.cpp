#include "ui/qtlayout.h"

#include <QFontDatabase>
#include <QStringList>

Qt::Alignment QtLayout::alignment(WindowLayout::Align align)
{
    switch (align) {
    case WindowLayout::Align::Left:
        return Qt::AlignLeft | Qt::AlignTop;
    case WindowLayout::Align::Centre:
        return Qt::AlignHCenter | Qt::AlignTop;
    case WindowLayout::Align::None:
        break;
    }
    return {};
}

QAccessible::Role QtLayout::role(WindowLayout::Role role)
{
    switch (role) {
    case WindowLayout::Role::Button:
        return QAccessible::Button;
    case WindowLayout::Role::Link:
        return QAccessible::Link;
    case WindowLayout::Role::Graphic:
        return QAccessible::Graphic;
    case WindowLayout::Role::StaticText:
        return QAccessible::StaticText;
    case WindowLayout::Role::None:
        break;
    }
    return QAccessible::NoRole;
}

const WindowLayout::Control *QtLayout::find(const QString &objectName)
{
    return WindowLayout::find(objectName.toStdString());
}

QFont QtLayout::windowFont()
{
    // A family that is not installed sends fontconfig through all its substitutes, which costs
    // more at start than the rest of the window: ask for the first one that is here.
    static const QStringList families = [] {
        QStringList faces;
        for (const std::string_view face : WindowLayout::fontFamilies)
            faces.append(text(face));
        // (Not hasFamily(): it takes an alias such as Arial -> Liberation Sans for the family.)
        const QStringList installed = QFontDatabase::families();
        for (const QString &face : faces) {
            if (installed.contains(face, Qt::CaseInsensitive))
                return QStringList{face};
        }
        return faces;
    }();
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(WindowLayout::fontPixelSize);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
