#include "ui/pointerinput.h"

#include <QMouseEvent>
#include <QWidget>

PointerInput::PointerInput(QWidget *control)
    : QObject(control)
    , control(control)
{
    control->setMouseTracking(true);
    control->setAttribute(Qt::WA_NoMousePropagation);
    control->installEventFilter(this);
}

bool PointerInput::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter: // the pointer arriving without a move of its own (Wayland, a new window)
    case QEvent::MouseMove:
        emit moved();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: // every click counts, however quick
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            pressed = true;
        break;
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            const bool click = pressed && control->rect().contains(mouse->position().toPoint());
            pressed = false;
            if (click)
                emit clicked();
        }
        break;
    }
    default:
        break;
    }
    return false;
}
