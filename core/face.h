#pragma once

#include <string_view>

// What the window's behaviour asks of whatever draws the window: Qt's widgets, a web page, or
// a test's fake. A face draws what it is told and decides no rule of the window.
class Face
{
public:
    virtual ~Face();

    // Shows or hides the highlighted "Get Dare" picture over the plain one.
    virtual void setHighlightShown(bool shown) = 0;
    // Replaces the whole text of the dare label.
    virtual void setDareText(std::string_view text) = 0;
    // Hands a web address to the system's browser and returns without waiting for it; whether
    // the browser opens it is not looked at.
    virtual void openWebsite(std::string_view url) = 0;
    // Tells a screen reader of a new dare where showing it does not.
    virtual void announce(std::string_view text) = 0;
    // Tells the user that a handler failed; the window goes on afterwards.
    virtual void reportError(std::string_view message) = 0;
};
