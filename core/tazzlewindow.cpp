#include "core/tazzlewindow.h"

#include "core/daretable.h"
#include "core/face.h"
#include "core/random.h"

#include <exception>

using WindowLayout::Id;

Face::~Face() = default;

TazzleWindow::TazzleWindow(Face &face, RandomSource &randomSource, std::string_view websiteUrl)
    : face(face)
    , randomSource(randomSource)
    , website(websiteUrl)
{ }

void TazzleWindow::pointerMoved(Id over)
{
    dispatch(over, Event::MouseMove);
}

void TazzleWindow::clicked(Id on)
{
    dispatch(on, Event::Click);
}

void TazzleWindow::dispatch(Id source, Event event) noexcept
{
    struct Handled
    {
        Id source;
        Event event;
        void (TazzleWindow::*handler)();
    };
    // Every other event of every control is left alone.
    static constexpr Handled table[] = {
            {Id::cmdGetDare, Event::Click, &TazzleWindow::cmdGetDare_Click},
            {Id::imgGetDare, Event::Click, &TazzleWindow::imgGetDare_Click},
            {Id::imgGetDare_over, Event::Click, &TazzleWindow::imgGetDare_over_Click},
            {Id::imgGetDare, Event::MouseMove, &TazzleWindow::imgGetDare_MouseMove},
            {Id::Form, Event::MouseMove, &TazzleWindow::Form_MouseMove},
            {Id::imgLogo, Event::Click, &TazzleWindow::imgLogo_Click},
            {Id::lblDare, Event::Click, &TazzleWindow::lblDare_Click},
            {Id::lblMore, Event::Click, &TazzleWindow::lblMore_Click},
    };
    // The line takes no pointer input, and lies wholly inside the link's box.
    if (source == Id::Line1)
        source = Id::lblMore;
    for (const Handled &row : table) {
        if (row.source != source || row.event != event)
            continue;
        // The error boundary: a failed handler is reported and the window goes on.
        try {
            (this->*row.handler)();
        } catch (const std::exception &error) {
            face.reportError(error.what());
        } catch (...) {
            face.reportError("Unknown error.");
        }
        return;
    }
}

void TazzleWindow::setHighlight(bool shown)
{
    // Setting the state it already has changes nothing on the screen.
    if (shown == highlight)
        return;
    highlight = shown;
    face.setHighlightShown(shown);
}

void TazzleWindow::Reset_Button()
{
    setHighlight(false);
}

void TazzleWindow::cmdGetDare_Click()
{
    const std::int32_t number = toInt32(Random(randomSource, 1, 10));
    dare = DareTable::dareFor(number);
    face.setDareText(dare);
    face.announce(dare);
}

void TazzleWindow::imgGetDare_Click()
{
    cmdGetDare_Click();
}

void TazzleWindow::imgGetDare_over_Click()
{
    cmdGetDare_Click();
}

void TazzleWindow::imgGetDare_MouseMove()
{
    setHighlight(true);
}

void TazzleWindow::Form_MouseMove()
{
    Reset_Button();
}

void TazzleWindow::imgLogo_Click()
{
    Reset_Button();
}

void TazzleWindow::lblDare_Click()
{
    Reset_Button();
}

void TazzleWindow::lblMore_Click()
{
    face.openWebsite(website);
}
