#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

// A picture at its natural size, unscaled, drawn from the control's top-left corner.
class ImageControl : public QWidget
{
    Q_OBJECT

public:
    ImageControl(const QString &picture, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString picture;
    QPixmap rendered; // at the device pixel ratio it was last painted at
};
