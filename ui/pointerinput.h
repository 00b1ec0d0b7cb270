#pragma once

#include <QObject>

class QWidget;

// Makes a control take its own pointer input. Qt passes a label's or a picture's unhandled
// mouse events on to the parent, and skips moves without a button over widgets that do not
// track the mouse; here the window must hear only about movement over its bare area.
class PointerInput : public QObject
{
    Q_OBJECT

public:
    explicit PointerInput(QWidget *control);

    // A click that comes another way than the pointer: an assistive technology's "Press".
    void click() { emit clicked(); }

signals:
    // A press and a release of the left button on the control.
    void clicked();
    // The pointer moved over the control, or arrived there.
    void moved();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *control;
    bool pressed = false;
};
