#pragma once

#include <QObject>
#include <QWidgetList>

// Gives the link's controls the link pointer when the pointer first comes over one of them.
// Drawing the pointer at start would cost every start, and many games never go near the link.
class LinkPointer : public QObject
{
    Q_OBJECT

public:
    LinkPointer(const QWidgetList &controls, QObject *parent);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidgetList controls;
};
