#pragma once

#include "core/face.h"
#include "core/windowbehaviour.h"

#include <QUrl>
#include <QWidget>

class ImageControl;
class QLabel;
class RandomSource;
class UrlOpener;

// The main window in Qt's widgets: the logo, the dare label, the "Get Dare" picture with its
// highlight, and the link to the makers' web site, built from the stored layout. What the
// window does is WindowBehaviour's; this turns Qt's events into its events and draws what it says.
class FrmTazzle : public QWidget, private Face
{
    Q_OBJECT

public:
    // Draws from the process-wide generator and opens links with the desktop's opener.
    explicit FrmTazzle(QWidget *parent = nullptr);
    FrmTazzle(RandomSource &randomSource, UrlOpener &urlOpener, QWidget *parent = nullptr);

    // The makers' web site, fixed at build time.
    static QUrl websiteUrl();

    // Hides the highlighted "Get Dare" picture.
    void Reset_Button() { behaviour.Reset_Button(); }
    // The Get Dare command: shows a dare drawn at random.
    void cmdGetDare_Click() { behaviour.cmdGetDare_Click(); }

protected:
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();

    void setHighlightShown(bool shown) override;
    void setDareText(std::string_view text) override;
    void openWebsite(std::string_view url) override;
    void announce(std::string_view text) override;
    void reportError(std::string_view message) override;

    UrlOpener &urlOpener;
    WindowBehaviour behaviour;

    ImageControl *imgGetDare_over = nullptr;
    QLabel *lblDare = nullptr;
};
