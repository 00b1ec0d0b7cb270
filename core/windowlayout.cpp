#include "core/windowlayout.h"

#include <algorithm>

namespace {
constexpr int pixels(int twips)
{
    return twips / WindowLayout::twipsPerPixel;
}
} // namespace

const WindowLayout::Control *WindowLayout::find(std::string_view name)
{
    // (Not std::ranges: Emscripten's standard library lacks it.)
    const auto found = std::find_if(controls.begin(), controls.end(),
                                    [name](const Control &c) { return c.name == name; });
    return found == controls.end() ? nullptr : &*found;
}

WindowLayout::Rect WindowLayout::pixelRect(const Control &control)
{
    if (control.kind == Kind::Line) {
        // Only level and upright lines occur; drawn like the platform draws them, 1 px wide.
        return {pixels(control.left), pixels(control.top), std::max(pixels(control.width), 1),
                std::max(pixels(control.height), 1)};
    }
    return {pixels(control.left), pixels(control.top), pixels(control.width),
            pixels(control.height)};
}

std::string_view WindowLayout::hostOf(std::string_view url)
{
    if (const auto scheme = url.find("://"); scheme != std::string_view::npos)
        url.remove_prefix(scheme + 3);
    return url.substr(0, url.find_first_of("/:?#"));
}

std::string WindowLayout::linkText(std::string_view websiteUrl)
{
    return std::string(linkPrefix).append(hostOf(websiteUrl));
}
