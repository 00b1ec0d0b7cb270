#include "ui/windowlayout.h"

#include "app/platform.h"

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
    static const QStringList families = Platform::fontFamilies(
            {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(16);
    font.setWeight(QFont::Bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}
