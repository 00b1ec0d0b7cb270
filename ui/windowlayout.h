#pragma once

#include <QAccessible>
#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

#include <array>

// The stored layout of the main window: every control's place, in twips as the window was
// designed, and the window's own look. The window is built from this and nothing else.
namespace WindowLayout {

enum class Kind { PushButton, Image, Line, Label };

struct Control
{
    Kind kind;
    const char *name;
    // Twips from the top-left corner of the client area. A line runs from (left, top) to
    // (left + width, top + height).
    int left, top, width, height;
    int stack; // 1 is the top of the stack
    bool visibleAtStart;
    Qt::Alignment alignment; // labels: how each line of text sits in the box
    const char *picture; // images: the artwork resource
    // What a screen reader is told the control is; NoRole keeps it from the user.
    QAccessible::Role role;
};

inline constexpr int twipsPerPixel = 15;
inline constexpr int clientWidthTwips = 7995;
inline constexpr int clientHeightTwips = 4485;

// A table reads best in columns.
// clang-format off
inline constexpr std::array<Control, 7> controls = {{
    // kind            name               left   top  width height stack visible
    //     alignment                      picture                      role
    {Kind::PushButton, "cmdGetDare",      6480, 3240, 1335,  615, 1, false,
         {},                              nullptr,                     QAccessible::NoRole},
    {Kind::Image,      "imgGetDare_over", 3000, 3120, 1995,  660, 2, false,
         {},                              ":/assets/getdare-over.svg", QAccessible::Button},
    {Kind::Line,       "Line1",           1800, 4320, 2400,    0, 3, true,
         {},                              nullptr,                     QAccessible::NoRole},
    {Kind::Label,      "lblMore",          120, 4080, 4455,  615, 4, true,
         Qt::AlignLeft | Qt::AlignTop,    nullptr,                     QAccessible::Link},
    {Kind::Image,      "imgGetDare",      3000, 3120, 1995,  660, 5, true,
         {},                              ":/assets/getdare.svg",      QAccessible::Button},
    {Kind::Image,      "imgLogo",         2040,  240, 4110, 1155, 6, true,
         {},                              ":/assets/logo.svg",         QAccessible::Graphic},
    {Kind::Label,      "lblDare",          240, 1800, 7575, 1215, 7, true,
         Qt::AlignHCenter | Qt::AlignTop, nullptr,                     QAccessible::StaticText},
}};
// clang-format on

inline constexpr char title[] = "Tazzle - Random dare generator";
inline constexpr char prompt[] = "Click below for your dare...";
inline constexpr char linkPrefix[] = "For more visit  ";
inline constexpr char buttonCaption[] = "Get Dare";

inline constexpr QColor background = QColor(0, 0, 0);
inline constexpr QColor text = QColor(255, 255, 255);
// The line's colour is the desktop's "inactive border", which has no counterpart here: a pale
// grey as on the classic desktop.
inline constexpr QColor inactiveBorder = QColor(212, 208, 200);

constexpr bool isWholePixels(int twips)
{
    return twips % twipsPerPixel == 0;
}

constexpr bool allWholePixels()
{
    for (const Control &c : controls) {
        if (!isWholePixels(c.left) || !isWholePixels(c.top) || !isWholePixels(c.width)
            || !isWholePixels(c.height))
            return false;
    }
    return isWholePixels(clientWidthTwips) && isWholePixels(clientHeightTwips);
}
static_assert(allWholePixels(), "every rectangle must be a whole number of pixels");

QSize clientSize();
// The control of that name, or nullptr.
const Control *find(QStringView name);
// The control's rectangle in pixels; a line gets the 1-pixel-wide strip it is drawn in, which
// stops short of its end point.
QRect pixelRect(const Control &control);
// Arial bold, 12 points at 96 dpi, given in pixels so that it does not grow with the screen's
// dpi; metric-compatible faces stand in where Arial is missing.
QFont windowFont();

} // namespace WindowLayout
