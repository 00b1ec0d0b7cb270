#pragma once

#include <QUrl>

// Hands a URL to the desktop's default handler. Behind an interface so that a test can count
// the requests.
class UrlOpener
{
public:
    virtual ~UrlOpener();
    // Returns at once, without waiting for the browser.
    virtual void open(const QUrl &url) = 0;

    // The desktop's own opener (xdg-open on Linux).
    static UrlOpener &desktop();
};
