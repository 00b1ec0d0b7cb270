#include "web/pageface.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, tazzle_setHighlightShown, (int shown), {
    document.getElementById("imgGetDare_over").hidden = !shown;
});

// A new text node each time, so that the live region tells a screen reader of every dare,
// the same one twice in a row included.
EM_JS(void, tazzle_setDareText, (const char *text, int length), {
    document.getElementById("lblDare").replaceChildren(
        document.createTextNode(UTF8ToString(text, length)));
});

EM_JS(void, tazzle_openWebsite, (const char *url, int length), {
    window.open(UTF8ToString(url, length), "_blank", "noopener");
});

EM_JS(void, tazzle_reportError, (const char *message, int length), {
    window.alert("Run-time error: " + UTF8ToString(message, length));
});
// clang-format on

void PageFace::setHighlightShown(bool shown)
{
    tazzle_setHighlightShown(shown);
}

void PageFace::setDareText(std::string_view text)
{
    tazzle_setDareText(text.data(), int(text.size()));
}

void PageFace::openWebsite(std::string_view url)
{
    tazzle_openWebsite(url.data(), int(url.size()));
}

// The dare label is a live region: showing the dare says it.
void PageFace::announce(std::string_view) { }

void PageFace::reportError(std::string_view message)
{
    tazzle_reportError(message.data(), int(message.size()));
}
