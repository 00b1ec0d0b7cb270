#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

// The pictures are vector drawings compiled into the program, rendered at the device pixel
// ratio they are shown at so that they stay crisp on any screen. At 1× and 2× they come drawn
// already, at build time, by the same renderer.
namespace Artwork {

inline constexpr char iconPicture[] = ":/assets/icon.svg";
inline constexpr char linkCursorPicture[] = ":/assets/cursor-hand.svg";
inline constexpr QSize iconSize(16, 16);
inline constexpr QSize linkCursorSize(32, 32);
inline constexpr QPoint linkCursorHotSpot(12, 1); // the fingertip

// picture at size (device-independent pixels) times devicePixelRatio.
QPixmap render(const QString &picture, QSize size, qreal devicePixelRatio);
// The same, always drawn from the SVG now.
QPixmap draw(const QString &picture, QSize size, qreal devicePixelRatio);
QIcon windowIcon();
QCursor linkCursor();

} // namespace Artwork
