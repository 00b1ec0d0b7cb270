#pragma once

#include "core/face.h"

// The window as the page's own elements: the page arrives with them in place, and this changes
// them as the window's behaviour says.
class PageFace final : public Face
{
public:
    void setHighlightShown(bool shown) override;
    void setDareText(std::string_view text) override;
    void openWebsite(std::string_view url) override;
    void announce(std::string_view text) override;
    void reportError(std::string_view message) override;
};
