#pragma once

#include "expectedwindow.h"
#include "qtfakes.h"
#include "ui/frmtazzle.h"

#include <QImage>
#include <QTest>
#include <QWindow>

// The real window with fake collaborators, driven through its native window so that Qt routes
// each event to the control under the pointer, as a desktop would.
struct WindowDriver
{
    FixedRandomSource random;
    RecordingUrlOpener opener;
    FrmTazzle window{random, opener};

    bool show()
    {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        // Start with the pointer outside: Qt drops a move to where the pointer already is.
        moveTo(QPoint(-20, -20));
        return true;
    }
    void moveTo(QPoint point) { QTest::mouseMove(window.windowHandle(), point); }
    // A desktop pointer always arrives before it clicks.
    void clickAt(QPoint point)
    {
        moveTo(point);
        QTest::mouseClick(window.windowHandle(), Qt::LeftButton, {}, point);
    }
    template<typename T = QWidget>
    T *control(const char *name) const
    {
        return window.findChild<T *>(QLatin1String(name));
    }
    bool highlighted() const { return control("imgGetDare_over")->isVisible(); }
    QImage grab() { return window.grab().toImage(); }
};

// Places in window coordinates.
inline const QPoint onPicture = ExpectedWindow::point("picture");
inline const QPoint onLinkText = ExpectedWindow::point("linkText");
inline const QPoint onUnderline = ExpectedWindow::point("underline");
inline const QPoint belowLinkText = ExpectedWindow::point("belowLinkText");
inline const QPoint bareArea = ExpectedWindow::point("bare");
