#pragma once

#include <QString>

#include <exception>
#include <utility>

class QWidget;

// The one place where errors stop. Qt's event loop is not exception-safe, so every handler
// runs inside run(): whatever it throws becomes a modal message box and the program goes on.
namespace ErrorBoundary {

// Shows the error in a modal message box, titled with the program's name, over owner.
void report(QWidget *owner, const QString &message);

template<typename Handler>
void run(QWidget *owner, Handler &&handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception &error) {
        report(owner, QString::fromUtf8(error.what()));
    } catch (...) {
        report(owner, QStringLiteral("Unknown error."));
    }
}

} // namespace ErrorBoundary
