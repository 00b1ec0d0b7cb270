#include "ui/linecontrol.h"

#include <QPainter>

LineControl::LineControl(QColor color, QWidget *parent)
    : QWidget(parent)
    , color(color)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), color);
}
