#pragma once

#include <QUrl>
#include <QWidget>

class ImageControl;
class LineControl;
class QLabel;
class QPushButton;
class RandomSource;
class UrlOpener;

// The main window: the logo, the dare label, the "Get Dare" picture with its highlight, and
// the link to the makers' web site, built from the stored layout.
class FrmTazzle : public QWidget
{
    Q_OBJECT

public:
    // Draws from the process-wide generator and opens links with the desktop's opener.
    explicit FrmTazzle(QWidget *parent = nullptr);
    FrmTazzle(RandomSource &randomSource, UrlOpener &urlOpener, QWidget *parent = nullptr);

    // The makers' web site, fixed at build time.
    static QUrl websiteUrl();

    // Hides the highlighted "Get Dare" picture.
    void Reset_Button();
    // The Get Dare command: shows a dare drawn at random.
    void cmdGetDare_Click();

protected:
    void enterEvent(QEnterEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void buildControls();
    void connectHandlers();

    void imgGetDare_Click();
    void imgGetDare_over_Click();
    void imgGetDare_MouseMove();
    void Form_MouseMove();
    void imgLogo_Click();
    void lblDare_Click();
    void lblMore_Click();

    RandomSource &randomSource;
    UrlOpener &urlOpener;

    QPushButton *cmdGetDare = nullptr;
    ImageControl *imgGetDare_over = nullptr;
    LineControl *Line1 = nullptr;
    QLabel *lblMore = nullptr;
    ImageControl *imgGetDare = nullptr;
    ImageControl *imgLogo = nullptr;
    QLabel *lblDare = nullptr;
};
