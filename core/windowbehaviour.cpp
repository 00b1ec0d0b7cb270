#include "core/windowbehaviour.h"

#include "core/daretable.h"
#include "core/face.h"
#include "core/random.h"

#include <exception>

using WindowLayout::Id;

Face::~Face() = default;

WindowBehaviour::WindowBehaviour(Face &face, RandomSource &randomSource, std::string_view websiteUrl)
    : face(face)
    , randomSource(randomSource)
    , website(websiteUrl)
{ }

void WindowBehaviour::pointerMoved(Id over)
{
    dispatch(over, Event::MouseMove);
}

void WindowBehaviour::clicked(Id on)
{
    dispatch(on, Event::Click);
}

void WindowBehaviour::dispatch(Id source, Event event) noexcept
{
    struct Handled
    {
        Id source;
        Event event;
        void (WindowBehaviour::*handler)();
    };
    // Every other event of every control is left alone.
    static constexpr Handled table[] = {
            {Id::cmdGetDare, Event::Click, &WindowBehaviour::cmdGetDare_Click},
            {Id::imgGetDare, Event::Click, &WindowBehaviour::imgGetDare_Click},
            {Id::imgGetDare_over, Event::Click, &WindowBehaviour::imgGetDare_over_Click},
            {Id::imgGetDare, Event::MouseMove, &WindowBehaviour::imgGetDare_MouseMove},
            {Id::Form, Event::MouseMove, &WindowBehaviour::Form_MouseMove},
            {Id::imgLogo, Event::Click, &WindowBehaviour::imgLogo_Click},
            {Id::lblDare, Event::Click, &WindowBehaviour::lblDare_Click},
            {Id::lblMore, Event::Click, &WindowBehaviour::lblMore_Click},
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

void WindowBehaviour::setHighlight(bool shown)
{
    // Setting the state it already has changes nothing on the screen.
    if (shown == highlight)
        return;
    highlight = shown;
    face.setHighlightShown(shown);
}

void WindowBehaviour::Reset_Button()
{
    setHighlight(false);
}

void WindowBehaviour::cmdGetDare_Click()
{
    const std::int32_t number = toInt32(Random(randomSource, 1, 10));
    dare = DareTable::dareFor(number);
    face.setDareText(dare);
    face.announce(dare);
}

void WindowBehaviour::imgGetDare_Click()
{
    cmdGetDare_Click();
}

void WindowBehaviour::imgGetDare_over_Click()
{
    cmdGetDare_Click();
}

void WindowBehaviour::imgGetDare_MouseMove()
{
    setHighlight(true);
}

void WindowBehaviour::Form_MouseMove()
{
    Reset_Button();
}

void WindowBehaviour::imgLogo_Click()
{
    Reset_Button();
}

void WindowBehaviour::lblDare_Click()
{
    Reset_Button();
}

void WindowBehaviour::lblMore_Click()
{
    face.openWebsite(website);
}
