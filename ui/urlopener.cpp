#include "ui/urlopener.h"

#include <QDesktopServices>

UrlOpener::~UrlOpener() = default;

namespace {
class DesktopUrlOpener final : public UrlOpener
{
public:
    void open(const QUrl &url) override
    {
        // Nothing to tell the user when there is no browser: the result is not looked at.
        QDesktopServices::openUrl(url);
    }
};
} // namespace

UrlOpener &UrlOpener::desktop()
{
    static DesktopUrlOpener opener;
    return opener;
}
