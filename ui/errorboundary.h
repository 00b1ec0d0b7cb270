#pragma once

#include <QString>

class QWidget;

// Where the window's errors stop: every handler runs inside the window's error boundary, which
// hands what it caught here. The program goes on afterwards.
namespace ErrorBoundary {

// Shows the error in a modal message box, titled with the program's name, over owner.
void report(QWidget *owner, const QString &message);

} // namespace ErrorBoundary
