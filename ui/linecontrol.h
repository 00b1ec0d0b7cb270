#pragma once

#include <QColor>
#include <QWidget>

// A 1-pixel line filling the control. It takes no pointer input: the pointer over it is over
// whatever lies beneath.
class LineControl : public QWidget
{
    Q_OBJECT

public:
    LineControl(QColor color, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor color;
};
