// What the window does, without any toolkit: every rule of the event table, played against a
// fake face that records what it is told. The faces' own drawing is tested with each face.
#include "../fakes.h"
#include "core/daretable.h"
#include "core/windowbehaviour.h"
#include "core/windowlayout.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

using WindowLayout::Id;

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const std::string &what)
{
    ++(ok ? passed : failed);
    if (!ok)
        std::printf("FAIL %s\n", what.c_str());
}

using Lines = std::vector<std::string>;

const std::string site = "https://games.example.org";

std::string dare(int number)
{
    return std::string(DareTable::dareFor(number));
}

// The rollover: shown on the picture, kept over the neighbours, hidden by bare window and by
// clicks on the logo or the dare label; the face hears only of real changes.
void rollover()
{
    RecordingFace face;
    FixedRandomSource source;
    WindowBehaviour window(face, source, site);
    check(!window.highlighted() && window.dareText() == WindowLayout::prompt, "the start");

    window.pointerMoved(Id::Form);
    check(face.take().empty(), "bare window while hidden changes nothing");
    window.pointerMoved(Id::imgGetDare);
    check(face.take() == Lines{"show"} && window.highlighted(), "the picture shows it");
    window.pointerMoved(Id::imgGetDare_over);
    window.pointerMoved(Id::imgGetDare);
    check(face.take().empty() && window.highlighted(), "moving on within the picture");
    for (const Id neighbour : {Id::lblDare, Id::imgLogo, Id::lblMore, Id::Line1}) {
        window.pointerMoved(neighbour);
        check(face.take().empty() && window.highlighted(), "moving onto a neighbour keeps it");
    }
    window.pointerMoved(Id::Form);
    check(face.take() == Lines{"hide"} && !window.highlighted(), "bare window hides it");
    for (const Id hider : {Id::imgLogo, Id::lblDare}) {
        window.pointerMoved(Id::imgGetDare);
        window.clicked(hider);
        check(face.take() == Lines({"show", "hide"}), "a click on the logo or the label hides it");
        window.clicked(hider);
        check(face.take().empty(), "and again changes nothing");
    }
    check(window.dareText() == WindowLayout::prompt, "none of that gets a dare");
}

// Get Dare: either picture, or the hidden button, shows and says the drawn dare; the highlight
// stays as it was.
void getDare()
{
    RecordingFace face;
    FixedRandomSource source;
    WindowBehaviour window(face, source, site);
    source.r = 0.35; // 1 + floor(3.5)
    window.clicked(Id::imgGetDare);
    check(face.take() == Lines({"text " + dare(4), "say " + dare(4)}), "the picture gets dare 4");
    window.pointerMoved(Id::imgGetDare);
    face.take();
    source.r = 0.999999;
    window.clicked(Id::imgGetDare_over);
    check(face.take() == Lines({"text " + dare(10), "say " + dare(10)}) && window.highlighted(),
          "the highlighted picture gets dare 10 and stays shown");
    window.clicked(Id::imgGetDare_over);
    check(face.take() == Lines({"text " + dare(10), "say " + dare(10)}),
          "the same dare twice is said twice");
    source.r = 0;
    window.clicked(Id::cmdGetDare);
    check(face.take() == Lines({"text " + dare(1), "say " + dare(1)})
                  && window.dareText() == dare(1),
          "the hidden button's command gets dare 1");
    window.clicked(Id::Form);
    check(face.take().empty(), "a click on bare window does nothing");
}

// The link opens the site once a click, the line being part of it, and changes nothing else.
void link()
{
    RecordingFace face;
    FixedRandomSource source;
    WindowBehaviour window(face, source, site);
    window.pointerMoved(Id::imgGetDare);
    face.take();
    window.clicked(Id::lblMore);
    window.clicked(Id::Line1);
    check(face.take() == Lines({"open " + site, "open " + site}) && window.highlighted()
                  && window.dareText() == WindowLayout::prompt,
          "two clicks, two requests, nothing else");
    check(WindowLayout::linkText(site) == "For more visit  games.example.org"
                  && WindowLayout::linkText("http://tazzle.example/")
                             == "For more visit  tazzle.example",
          "the link shows the host");
}

// A failed draw is reported once; the dare stays, and the window goes on.
void failedDraw()
{
    RecordingFace face;
    FixedRandomSource source;
    WindowBehaviour window(face, source, site);
    for (const double bad : {std::numeric_limits<double>::quiet_NaN(),
                             std::numeric_limits<double>::infinity(), 1e300}) {
        source.r = bad;
        window.clicked(Id::imgGetDare);
        check(face.take() == Lines{"error"} && window.dareText() == WindowLayout::prompt,
              "a failed draw is reported and shows nothing");
    }
    source.r = 0.5;
    window.clicked(Id::imgGetDare);
    check(window.dareText() == dare(6), "the next click still gets a dare");
}

// The stored layout is whole: every control findable by name, the link's box reaching past
// the client area's foot, the line inside it.
void layout()
{
    for (const WindowLayout::Control &control : WindowLayout::controls)
        check(WindowLayout::find(control.name) == &control, std::string(control.name));
    check(!WindowLayout::find("Form1"), "an unknown name");
    const auto more = WindowLayout::pixelRect(WindowLayout::control(Id::lblMore));
    const auto line = WindowLayout::pixelRect(WindowLayout::control(Id::Line1));
    const auto client = WindowLayout::clientRect();
    check(client.width == 533 && client.height == 299, "the client area");
    check(more.top + more.height - client.height == 14, "the link's box ends 14 px below");
    check(line.left == 120 && line.width == 160 && line.height == 1 && line.top > more.top
                  && line.top < client.height,
          "the line lies inside the link's box");
}

} // namespace

int main()
{
    rollover();
    getDare();
    link();
    failedDraw();
    layout();
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
