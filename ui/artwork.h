#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QPoint>
#include <QSize>
#include <QString>

// The pictures are vector drawings, shown crisp at the device pixel ratio of the screen. For the
// common ratios they come drawn already, at build time; for others they are drawn from the SVG
// at run time where the build has Qt Svg, else scaled down from the next larger raster.
namespace Artwork {

inline constexpr char iconPicture[] = ":/assets/icon.svg";
inline constexpr char linkCursorPicture[] = ":/assets/cursor-hand.svg";
inline constexpr QSize iconSize(16, 16);
inline constexpr QSize linkCursorSize(32, 32);
inline constexpr QPoint linkCursorHotSpot(12, 1); // the fingertip

// picture at size (device-independent pixels) times devicePixelRatio.
QPixmap render(const QString &picture, QSize size, qreal devicePixelRatio);
// The raster made at build time for exactly that ratio; null if there is none.
QPixmap built(const QString &picture, QSize size, qreal devicePixelRatio);
// The same, made now without such a raster.
QPixmap draw(const QString &picture, QSize size, qreal devicePixelRatio);
QIcon windowIcon();
QCursor linkCursor();

} // namespace Artwork
