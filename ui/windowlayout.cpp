#include "ui/windowlayout.h"

#include <QFontDatabase>

#include <algorithm>

namespace {
constexpr int pixels(int twips)
{
    return twips / WindowLayout::twipsPerPixel;
}
} // namespace

QSize WindowLayout::clientSize()
{
    return {pixels(clientWidthTwips), pixels(clientHeightTwips)};
}

const WindowLayout::Control *WindowLayout::find(QStringView name)
{
    const auto found = std::ranges::find_if(controls, [name](const Control &control) {
        return name == QLatin1String(control.name);
    });
    return found == controls.end() ? nullptr : &*found;
}

QRect WindowLayout::pixelRect(const Control &control)
{
    if (control.kind == Kind::Line) {
        // Only level and upright lines occur; drawn like the platform draws them, 1 px wide.
        return QRect(pixels(control.left), pixels(control.top), std::max(pixels(control.width), 1),
                     std::max(pixels(control.height), 1));
    }
    return QRect(pixels(control.left), pixels(control.top), pixels(control.width),
                 pixels(control.height));
}

QFont WindowLayout::windowFont()
{
    // A family that is not installed sends fontconfig through all its substitutes, which costs
    // more at start than the rest of the window: ask for the first one that is here.
    static const QStringList families = [] {
        const QStringList faces = {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                   QStringLiteral("Arimo")};
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
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
