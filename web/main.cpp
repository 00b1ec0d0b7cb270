// The window on a web page: the page's script reports the pointer's movements and clicks by the
// control they reach, and the window's behaviour answers through the page's elements.
#include "buildinfo/buildinfo.h"
#include "core/clockseededgenerator.h"
#include "core/windowbehaviour.h"
#include "web/pageface.h"

#include <emscripten.h>

namespace {

WindowBehaviour &window()
{
    static PageFace face;
    static WindowBehaviour window(face, ClockSeededGenerator::processWide(), BuildInfo::websiteUrl);
    return window;
}

// Ids outside the table are dropped: the page is not trusted to send only good ones.
bool known(int control)
{
    return control >= 0 && control <= static_cast<int>(WindowLayout::Id::Form);
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void tazzle_pointerMoved(int control)
{
    if (known(control))
        window().pointerMoved(static_cast<WindowLayout::Id>(control));
}

EMSCRIPTEN_KEEPALIVE void tazzle_clicked(int control)
{
    if (known(control))
        window().clicked(static_cast<WindowLayout::Id>(control));
}

} // extern "C"

// clang-format off
EM_JS(void, tazzle_listen, (), {
    listen(Module);
});
// clang-format on

int main()
{
    window();
    tazzle_listen();
    return 0;
}
