// Writes the window as the page's own elements, from the stored layout, at build time:
//   pagewriter style   the style sheet: every control at its rectangle, in units of one
//                      window pixel scaled to fit the viewport by its tighter side
//   pagewriter window  the window's elements; @PICTURE:name@ stands for assets/name.svg
//   pagewriter chars   every character the window shows, for the font's subset
//   pagewriter names   what the page's templates name, as JSON: NAME, TITLE, DESCRIPTION and
//                      FONT_FAMILY
#include "buildinfo/buildinfo.h"
#include "core/daretable.h"
#include "core/windowlayout.h"

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <string_view>
#include <vector>

using namespace WindowLayout;

namespace {

std::string escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string number(int value)
{
    return std::to_string(value);
}

std::string scaled(int pixels)
{
    return pixels == 0 ? "0" : "calc(" + number(pixels) + "*var(--u))";
}

std::string colour(Colour c)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

// The controls the page shows; the hidden push button has no part in it, since the "Get Dare"
// picture is the page's button.
bool onPage(const Control &c)
{
    return c.kind != Kind::PushButton;
}

std::string style()
{
    const Rect client = clientRect();
    // The page brings its own face; the others are the desktop's, in case it cannot.
    std::string fonts = "\"" TAZZLE_WEB_FONT_FAMILY "\"";
    for (const std::string_view family : fontFamilies) {
        if (family != TAZZLE_WEB_FONT_FAMILY)
            fonts += ",\"" + std::string(family) + "\"";
    }
    std::string css =
            // One window pixel: the window fits the viewport by its tighter side.
            ":root{--u:min(100vw/" + number(client.width) + ",100vh/" + number(client.height)
            + ")}@supports(height:100dvh){:root{--u:min(100dvw/" + number(client.width) + ",100dvh/"
            + number(client.height)
            + ")}}"
              "html,body{margin:0;height:100%;overflow:hidden;background:"
            + colour(background)
            + "}[hidden]{display:none!important}"
              "#frmTazzle,#status{position:fixed;inset:0;margin:auto;width:"
            + scaled(client.width) + ";height:" + scaled(client.height) + ";color:" + colour(text)
            + ";font:700 " + scaled(fontPixelSize) + "/normal " + fonts
            + ",sans-serif}"
              // Clipped, not hidden: focusing the link must not scroll the window.
              "#frmTazzle{overflow:clip;-webkit-tap-highlight-color:transparent}"
              "#frmTazzle>*{position:absolute;display:block;box-sizing:border-box;margin:0;padding:"
              "0;"
              "border:0;background:none;color:inherit;font:inherit;text-decoration:none;"
              "white-space:pre-wrap}"
              "#frmTazzle svg,#frmTazzle span{display:block;width:100%;height:100%}"
              // The link pointer, which some engines leave to the platform.
              "#frmTazzle a{cursor:pointer}"
              "#status{display:flex;align-items:center;justify-content:center;text-align:center}";
    for (const Control &c : controls) {
        if (!onPage(c))
            continue;
        const Rect r = pixelRect(c);
        css += "#" + std::string(c.name) + "{left:" + scaled(r.left) + ";top:" + scaled(r.top)
               + ";width:" + scaled(r.width) + ";height:" + scaled(r.height)
               + ";z-index:" + number(int(controls.size()) + 1 - c.stack);
        if (c.alignment == Align::Centre)
            css += ";text-align:center";
        if (c.kind == Kind::Line)
            // The line takes no pointer input: the pointer over it is over the link.
            css += ";background:" + colour(inactiveBorder) + ";pointer-events:none";
        css += "}";
    }
    return css;
}

std::string element(const Control &c)
{
    const std::string id = std::string(c.name);
    const std::string control = " data-control=\"" + number(int(c.id)) + "\"";
    const std::string hidden = c.visibleAtStart ? "" : " hidden";
    const std::string picture = "@PICTURE:" + std::string(c.picture) + "@";
    if (c.id == Id::imgGetDare_over) {
        // Drawn over the button while the pointer is on it: a picture for the pointer only.
        return "<div id=\"" + id + "\"" + control + " aria-hidden=\"true\"" + hidden + ">" + picture
               + "</div>";
    }
    switch (c.role) {
    case Role::Button:
        // Out of the keyboard's reach, as every control of the window; a screen reader
        // still finds and presses it.
        return "<button id=\"" + id + "\"" + control
               + " type=\"button\" tabindex=\"-1\" aria-label=\"" + escaped(buttonCaption) + "\""
               + hidden + ">" + picture + "</button>";
    case Role::Link:
        return "<a id=\"" + id + "\"" + control + " href=\"" + escaped(BuildInfo::websiteUrl)
               + "\" target=\"_blank\" rel=\"noopener\" title=\"" + escaped(linkDescription) + "\">"
               + escaped(linkText(BuildInfo::websiteUrl)) + "</a>";
    case Role::Graphic:
        // The logo names the page.
        return "<h1 id=\"" + id + "\"" + control + "><span role=\"img\" aria-label=\""
               + escaped(BuildInfo::applicationName) + "\">" + picture + "</span></h1>";
    case Role::StaticText:
        // The dare label says each new dare to a screen reader as it is shown.
        return "<div id=\"" + id + "\"" + control + " aria-live=\"polite\" aria-atomic=\"true\">"
               + escaped(prompt) + "</div>";
    case Role::None:
        break;
    }
    return "<div id=\"" + id + "\" aria-hidden=\"true\"></div>";
}

std::string window()
{
    std::vector<const Control *> order;
    for (const Control &c : controls) {
        if (onPage(c))
            order.push_back(&c);
    }
    // In reading order, top to bottom; the stack decides what shows.
    std::stable_sort(order.begin(), order.end(),
                     [](const Control *a, const Control *b) { return a->top < b->top; });
    std::string html = "<main id=\"frmTazzle\" data-control=\"" + number(int(Id::Form)) + "\">";
    for (const Control *c : order)
        html += element(*c);
    return html + "</main>";
}

std::string chars()
{
    std::set<char> shown;
    const auto add = [&shown](std::string_view text) {
        shown.insert(text.begin(), text.end());
    };
    add(prompt);
    add(linkText(BuildInfo::websiteUrl));
    for (const std::string_view dare : DareTable::dares)
        add(dare);
    return std::string(shown.begin(), shown.end());
}

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + "\"";
}

std::string names()
{
    return "{\"NAME\":" + jsonString(BuildInfo::applicationName) + ",\"TITLE\":" + jsonString(title)
           + ",\"DESCRIPTION\":" + jsonString(BuildInfo::description)
           + ",\"FONT_FAMILY\":" + jsonString(TAZZLE_WEB_FONT_FAMILY) + "}\n";
}

} // namespace

int main(int argc, char *argv[])
{
    const std::string_view mode = argc == 2 ? argv[1] : "";
    std::string out;
    if (mode == "style")
        out = style();
    else if (mode == "window")
        out = window();
    else if (mode == "chars")
        out = chars();
    else if (mode == "names")
        out = names();
    else {
        std::fputs("usage: pagewriter style|window|chars|names\n", stderr);
        return 2;
    }
    std::fputs(out.c_str(), stdout);
    return std::ferror(stdout) ? 1 : 0;
}
