#pragma once

#include "core/windowlayout.h"

#include <string>
#include <string_view>

class Face;
class RandomSource;

// What the main window does, whatever draws it: the handlers of its event table, the rollover
// state and the dare shown. A face reports the pointer's movements and clicks by the control
// they reach; this runs the handler the table names, inside the error boundary, and tells the
// face what to show.
class WindowBehaviour
{
public:
    WindowBehaviour(Face &face, RandomSource &randomSource, std::string_view websiteUrl);

    // The pointer moved over the control at the top of the stack under it, or arrived there.
    void pointerMoved(WindowLayout::Id over);
    // A click (a press and a release of the main button, a tap, or an assistive technology's
    // press) on the control at the top of the stack under it.
    void clicked(WindowLayout::Id on);

    bool highlighted() const { return highlight; }
    const std::string &dareText() const { return dare; }

    // The window's methods.
    void Reset_Button();
    // The Get Dare command: shows a dare drawn at random.
    void cmdGetDare_Click();

    // The handlers of the event table.
    void imgGetDare_Click();
    void imgGetDare_over_Click();
    void imgGetDare_MouseMove();
    void Form_MouseMove();
    void imgLogo_Click();
    void lblDare_Click();
    void lblMore_Click();

private:
    enum class Event { Click, MouseMove };
    void dispatch(WindowLayout::Id source, Event event) noexcept;
    void setHighlight(bool shown);

    Face &face;
    RandomSource &randomSource;
    std::string website;
    bool highlight = WindowLayout::control(WindowLayout::Id::imgGetDare_over).visibleAtStart;
    std::string dare{WindowLayout::prompt};
};
