#pragma once

#include <QString>

class QWidget;

// How the main window and its controls meet the desktop's assistive technologies.
namespace Accessibility {

// Puts the window's own accessible interfaces in place of Qt's. Qt keeps an interface once
// made, so this runs before the window makes any; running it again does nothing.
void install();

// Has a screen reader say text, a new dare shown in window.
void announce(QWidget *window, const QString &text);

} // namespace Accessibility
