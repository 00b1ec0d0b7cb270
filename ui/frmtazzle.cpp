#include "ui/frmtazzle.h"

#include "app/buildinfo.h"
#include "app/errorboundary.h"
#include "dare/clockseededgenerator.h"
#include "dare/daretable.h"
#include "dare/random.h"
#include "ui/accessibility.h"
#include "ui/artwork.h"
#include "ui/imagecontrol.h"
#include "ui/linecontrol.h"
#include "ui/linkpointer.h"
#include "ui/pointerinput.h"
#include "ui/urlopener.h"
#include "ui/windowlayout.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <functional>

using WindowLayout::Kind;

namespace {

void createControl(const WindowLayout::Control &control, QWidget *window)
{
    QWidget *widget = nullptr;
    switch (control.kind) {
    case Kind::PushButton: {
        auto *button = new QPushButton(QString::fromLatin1(WindowLayout::buttonCaption), window);
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
    }
    case Kind::Image:
        widget = new ImageControl(QString::fromLatin1(control.picture), window);
        new PointerInput(widget);
        break;
    case Kind::Line:
        widget = new LineControl(WindowLayout::inactiveBorder, window);
        break;
    case Kind::Label: {
        auto *label = new QLabel(window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(control.alignment);
        widget = label;
        new PointerInput(widget);
        break;
    }
    }
    widget->setObjectName(QString::fromLatin1(control.name));
    widget->setGeometry(WindowLayout::pixelRect(control));
    // Nothing in the window takes the keyboard: no key gets a dare.
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setVisible(control.visibleAtStart);
}

PointerInput *pointerInput(QWidget *control)
{
    return control->findChild<PointerInput *>(QString(), Qt::FindDirectChildrenOnly);
}

} // namespace

FrmTazzle::FrmTazzle(QWidget *parent)
    : FrmTazzle(ClockSeededGenerator::processWide(), UrlOpener::desktop(), parent)
{ }

FrmTazzle::FrmTazzle(RandomSource &randomSource, UrlOpener &urlOpener, QWidget *parent)
    : QWidget(parent)
    , randomSource(randomSource)
    , urlOpener(urlOpener)
{
    Accessibility::install();
    setObjectName(QStringLiteral("frmTazzle"));
    setWindowTitle(QString::fromLatin1(WindowLayout::title));
    setWindowIcon(Artwork::windowIcon());
    // Fixed size, no maximise button: the layout never moves or scales.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(WindowLayout::clientSize());
    setFont(WindowLayout::windowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, WindowLayout::background);
    colours.setColor(QPalette::WindowText, WindowLayout::text);
    setPalette(colours);
    setAutoFillBackground(true);
    setMouseTracking(true);

    buildControls();
    connectHandlers();
}

QUrl FrmTazzle::websiteUrl()
{
    return QUrl(QString::fromLatin1(BuildInfo::websiteUrl));
}

void FrmTazzle::buildControls()
{
    // Created bottom of the stack first: Qt stacks later siblings above earlier ones.
    auto bottomFirst = WindowLayout::controls;
    std::ranges::sort(bottomFirst, std::greater{}, &WindowLayout::Control::stack);
    for (const WindowLayout::Control &control : bottomFirst)
        createControl(control, this);

    const auto find = [this](const char *name) {
        return findChild<QWidget *>(QString::fromLatin1(name), Qt::FindDirectChildrenOnly);
    };
    cmdGetDare = static_cast<QPushButton *>(find("cmdGetDare"));
    imgGetDare_over = static_cast<ImageControl *>(find("imgGetDare_over"));
    Line1 = static_cast<LineControl *>(find("Line1"));
    lblMore = static_cast<QLabel *>(find("lblMore"));
    imgGetDare = static_cast<ImageControl *>(find("imgGetDare"));
    imgLogo = static_cast<ImageControl *>(find("imgLogo"));
    lblDare = static_cast<QLabel *>(find("lblDare"));

    lblDare->setText(QString::fromLatin1(WindowLayout::prompt));
    lblMore->setText(QString::fromLatin1(WindowLayout::linkPrefix) + websiteUrl().host());

    // The line takes no input, so the pointer over it is over the label. Qt 6.4 then shows the
    // label's pointer by itself; giving the line the same one keeps that true everywhere.
    new LinkPointer({lblMore, Line1}, this);

    const QString getDare = QString::fromLatin1(WindowLayout::buttonCaption);
    imgLogo->setAccessibleName(QString::fromLatin1(BuildInfo::applicationName));
    imgGetDare->setAccessibleName(getDare);
    imgGetDare_over->setAccessibleName(getDare);
    lblMore->setAccessibleDescription(QStringLiteral("Opens the makers' web site"));
}

void FrmTazzle::connectHandlers()
{
    // Every handler runs inside the error boundary.
    const auto guarded = [this](void (FrmTazzle::*handler)()) {
        return [this, handler] {
            ErrorBoundary::run(this, [&] { (this->*handler)(); });
        };
    };
    connect(cmdGetDare, &QPushButton::clicked, this, guarded(&FrmTazzle::cmdGetDare_Click));
    connect(pointerInput(imgGetDare), &PointerInput::clicked, this,
            guarded(&FrmTazzle::imgGetDare_Click));
    connect(pointerInput(imgGetDare_over), &PointerInput::clicked, this,
            guarded(&FrmTazzle::imgGetDare_over_Click));
    connect(pointerInput(imgGetDare), &PointerInput::moved, this,
            guarded(&FrmTazzle::imgGetDare_MouseMove));
    connect(pointerInput(imgLogo), &PointerInput::clicked, this, guarded(&FrmTazzle::imgLogo_Click));
    connect(pointerInput(lblDare), &PointerInput::clicked, this, guarded(&FrmTazzle::lblDare_Click));
    connect(pointerInput(lblMore), &PointerInput::clicked, this, guarded(&FrmTazzle::lblMore_Click));
}

void FrmTazzle::enterEvent(QEnterEvent *event)
{
    // The pointer arriving counts as a movement where it arrives; the controls hear of their
    // own arrivals.
    if (!childAt(event->position().toPoint()))
        ErrorBoundary::run(this, [this] { Form_MouseMove(); });
}

void FrmTazzle::mouseMoveEvent(QMouseEvent *event)
{
    // Only movement over the bare client area reaches here; the controls take their own. While
    // a button is held Qt also reports movement outside the window, which is not client area.
    if (rect().contains(event->position().toPoint()))
        ErrorBoundary::run(this, [this] { Form_MouseMove(); });
}

void FrmTazzle::Reset_Button()
{
    imgGetDare_over->setVisible(false);
}

void FrmTazzle::cmdGetDare_Click()
{
    const std::int32_t number = toInt32(Random(randomSource, 1, 10));
    const QString dare = DareTable::dareFor(number);
    lblDare->setText(dare);
    Accessibility::announce(this, dare);
}

void FrmTazzle::imgGetDare_Click()
{
    cmdGetDare_Click();
}

void FrmTazzle::imgGetDare_over_Click()
{
    cmdGetDare_Click();
}

void FrmTazzle::imgGetDare_MouseMove()
{
    imgGetDare_over->setVisible(true);
}

void FrmTazzle::Form_MouseMove()
{
    Reset_Button();
}

void FrmTazzle::imgLogo_Click()
{
    Reset_Button();
}

void FrmTazzle::lblDare_Click()
{
    Reset_Button();
}

void FrmTazzle::lblMore_Click()
{
    urlOpener.open(websiteUrl());
}
