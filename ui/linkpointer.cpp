#include "ui/linkpointer.h"

#include "ui/artwork.h"

#include <QEvent>
#include <QWidget>

LinkPointer::LinkPointer(const QWidgetList &controls, QObject *parent)
    : QObject(parent)
    , controls(controls)
{
    for (QWidget *control : controls)
        control->installEventFilter(this);
}

bool LinkPointer::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::Enter && !controls.isEmpty()) {
        const QCursor link = Artwork::linkCursor();
        for (QWidget *control : std::as_const(controls)) {
            control->setCursor(link);
            control->removeEventFilter(this);
        }
        controls.clear();
    }
    return false;
}
