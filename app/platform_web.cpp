#include "app/platform.h"

#include "ui/windowlayout.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <emscripten/html5.h>
#include <emscripten/val.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

// In a browser the page is the screen and is always there, there is no session bus, and the
// browser runs the event loop. The page, not Qt, frames the window.

using emscripten::val;

namespace {
// Whichever of the viewport's sides is the tighter fit. Qt then lays the window out at its own
// size and draws it at the screen's resolution times this, instead of the browser stretching
// a finished picture: text and pictures stay sharp at any size.
double viewportScale()
{
    const val page = val::global("window");
    const QSize client = WindowLayout::clientSize();
    const double scale = std::min(page["innerWidth"].as<double>() / client.width(),
                                  page["innerHeight"].as<double>() / client.height());
    // Rounded down as Qt is told it, so that the window never outgrows the viewport.
    return scale > 0 ? std::floor(scale * 10000) / 10000 : 1.0;
}

double startedScale = 1.0;

// The window was fitted to the viewport as Qt started. When the viewport changes for good (a
// phone turned, a browser window resized) the page starts again to fit the new one.
EM_BOOL viewportResized(int, const EmscriptenUiEvent *, void *)
{
    static QTimer *settled = [] {
        auto *timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setInterval(400);
        QObject::connect(timer, &QTimer::timeout, timer, [] {
            // Cut off, or with room to be a tenth larger.
            const double scale = viewportScale();
            if (scale < 0.99 * startedScale || scale > 1.1 * startedScale)
                val::global("location").call<void>("reload");
        });
        return timer;
    }();
    settled->start();
    return EM_FALSE;
}

// Qt's screen, the element the page gave it, becomes just the window's size, in the middle of
// the viewport: Qt maps the pointer wrongly into a scaled window away from the screen's
// corner, so the window stays in the corner and the page centres the screen. On whole device
// pixels, so that it stays sharp.
void fitScreen(double scale)
{
    const val containers = val::module_property("qtContainerElements");
    if (containers.isUndefined() || containers["length"].as<int>() < 1)
        return;
    const val page = val::global("window");
    const double ratio = page["devicePixelRatio"].as<double>();
    const auto onDevicePixels = [ratio](double css) {
        return std::max(0.0, std::floor(css * ratio) / ratio);
    };
    const QSize client = WindowLayout::clientSize();
    const double width = std::ceil(client.width() * scale);
    const double height = std::ceil(client.height() * scale);
    const auto px = [](double css) {
        return val(std::to_string(css) + "px");
    };
    val style = containers[0]["style"];
    style.set("position", val("fixed"));
    style.set("left", px(onDevicePixels((page["innerWidth"].as<double>() - width) / 2)));
    style.set("top", px(onDevicePixels((page["innerHeight"].as<double>() - height) / 2)));
    style.set("width", px(width));
    style.set("height", px(height));
}

val announcer()
{
    val document = val::global("document");
    val region = document.call<val>("getElementById", val("tazzle-announcer"));
    if (!region.isNull())
        return region;
    // Read out by screen readers, shown to no one.
    region = document.call<val>("createElement", val("div"));
    region.set("id", val("tazzle-announcer"));
    region.call<void>("setAttribute", val("role"), val("status"));
    region.call<void>("setAttribute", val("aria-live"), val("polite"));
    region.call<void>("setAttribute", val("style"),
                      val("position:absolute;width:1px;height:1px;overflow:hidden;"
                          "clip-path:inset(50%);white-space:nowrap"));
    document["body"].call<void>("appendChild", region);
    return region;
}
} // namespace

Platform::ConnectGuard::~ConnectGuard() = default;

QString Platform::missingDisplay()
{
    return {};
}

void Platform::prepare()
{
    startedScale = viewportScale();
    qputenv("QT_SCALE_FACTOR", QByteArray::number(startedScale, 'f', 4));
    fitScreen(startedScale);
}

std::unique_ptr<Platform::ConnectGuard> Platform::guardConnect()
{
    return nullptr;
}

void Platform::started()
{
    // The browser platform knows only the fonts it was built with: the window's face comes
    // with the program.
    if (QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSans-Bold.ttf")) < 0)
        std::fprintf(stderr, "tazzle: the window's font cannot be loaded; a substitute is used\n");
}

void Platform::show(QWidget &window)
{
    // The browser has its own title bar and buttons (Qt keeps a frame for a window that asks
    // for any button). A normal window, as show() here fills the page.
    window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    window.move(window.screen()->availableGeometry().topLeft());
    window.showNormal();
    emscripten_set_resize_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE,
                                   viewportResized);
}

// Qt mirrors the window into the page for screen readers, but its announcements stay in Qt: a
// live region of the page's own tells them.
void Platform::announce(const QString &text)
{
    val region = announcer();
    // A new text node, so that the same dare twice in a row is read out twice.
    region.call<void>("replaceChildren",
                      val::global("document").call<val>("createTextNode", text.toStdString()));
}

int Platform::finish(int status)
{
    return status;
}
