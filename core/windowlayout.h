#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The stored layout of the main window: every control's place, in twips as the window was
// designed, its texts and colours, and what each control is to a screen reader. Every face
// builds the window from this and nothing else.
namespace WindowLayout {

enum class Kind { PushButton, Image, Line, Label };

// The controls in table order; Form stands for the bare client area.
enum class Id { cmdGetDare, imgGetDare_over, Line1, lblMore, imgGetDare, imgLogo, lblDare, Form };

// How each line of a label's text sits in its box.
enum class Align { None, Left, Centre };

// What a screen reader is told the control is; None keeps it from the user.
enum class Role { None, Button, Link, Graphic, StaticText };

struct Colour
{
    std::uint8_t red, green, blue;
};

// Pixels from the top-left corner of the client area.
struct Rect
{
    int left, top, width, height;
};

struct Control
{
    Id id;
    Kind kind;
    std::string_view name;
    // Twips from the top-left corner of the client area. A line runs from (left, top) to
    // (left + width, top + height).
    int left, top, width, height;
    int stack; // 1 is the top of the stack
    bool visibleAtStart;
    Align alignment; // labels only
    std::string_view picture; // images: the artwork's name in assets/
    Role role;
};

inline constexpr int twipsPerPixel = 15;
inline constexpr int clientWidthTwips = 7995;
inline constexpr int clientHeightTwips = 4485;

// A table reads best in columns.
// clang-format off
inline constexpr std::array<Control, 7> controls = {{
    // id                  kind              name               left   top  width height stack
    //     visible alignment      picture          role
    {Id::cmdGetDare,      Kind::PushButton, "cmdGetDare",      6480, 3240, 1335,  615, 1,
         false, Align::None,   "",              Role::None},
    {Id::imgGetDare_over, Kind::Image,      "imgGetDare_over", 3000, 3120, 1995,  660, 2,
         false, Align::None,   "getdare-over",  Role::Button},
    {Id::Line1,           Kind::Line,       "Line1",           1800, 4320, 2400,    0, 3,
         true,  Align::None,   "",              Role::None},
    {Id::lblMore,         Kind::Label,      "lblMore",          120, 4080, 4455,  615, 4,
         true,  Align::Left,   "",              Role::Link},
    {Id::imgGetDare,      Kind::Image,      "imgGetDare",      3000, 3120, 1995,  660, 5,
         true,  Align::None,   "getdare",       Role::Button},
    {Id::imgLogo,         Kind::Image,      "imgLogo",         2040,  240, 4110, 1155, 6,
         true,  Align::None,   "logo",          Role::Graphic},
    {Id::lblDare,         Kind::Label,      "lblDare",          240, 1800, 7575, 1215, 7,
         true,  Align::Centre, "",              Role::StaticText},
}};
// clang-format on

inline constexpr std::string_view title = "Tazzle - Random dare generator";
inline constexpr std::string_view prompt = "Click below for your dare...";
inline constexpr std::string_view linkPrefix = "For more visit  ";
inline constexpr std::string_view buttonCaption = "Get Dare";
// What a screen reader adds about the link.
inline constexpr std::string_view linkDescription = "Opens the makers' web site";

inline constexpr Colour background{0, 0, 0};
inline constexpr Colour text{255, 255, 255};
// The line's colour is the desktop's "inactive border", which has no counterpart here: a pale
// grey as on the classic desktop.
inline constexpr Colour inactiveBorder{212, 208, 200};

// Arial bold, 12 points at 96 dpi, given in pixels so that it does not grow with the screen's
// dpi; metric-compatible faces stand in where Arial is missing, in this order.
inline constexpr int fontPixelSize = 16;
inline constexpr std::array<std::string_view, 3> fontFamilies = {"Arial", "Liberation Sans",
                                                                 "Arimo"};

constexpr bool isWholePixels(int twips)
{
    return twips % twipsPerPixel == 0;
}

constexpr bool wellFormed()
{
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control &c = controls[i];
        if (static_cast<std::size_t>(c.id) != i || !isWholePixels(c.left) || !isWholePixels(c.top)
            || !isWholePixels(c.width) || !isWholePixels(c.height))
            return false;
    }
    return isWholePixels(clientWidthTwips) && isWholePixels(clientHeightTwips);
}
static_assert(wellFormed(), "controls in Id order, every rectangle a whole number of pixels");

constexpr const Control &control(Id id)
{
    return controls[static_cast<std::size_t>(id)];
}

constexpr Rect clientRect()
{
    return {0, 0, clientWidthTwips / twipsPerPixel, clientHeightTwips / twipsPerPixel};
}

// The control of that name, or nullptr.
const Control *find(std::string_view name);
// The control's rectangle in pixels; a line gets the 1-pixel-wide strip it is drawn in, which
// stops short of its end point.
Rect pixelRect(const Control &control);

// The host name of a web address "scheme://host[/]".
std::string_view hostOf(std::string_view url);
// The link's text: the prefix, then the host of the makers' web site.
std::string linkText(std::string_view websiteUrl);

} // namespace WindowLayout
