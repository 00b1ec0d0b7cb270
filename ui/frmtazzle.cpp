#include "ui/frmtazzle.h"

#include "buildinfo/buildinfo.h"
#include "core/clockseededgenerator.h"
#include "ui/accessibility.h"
#include "ui/artwork.h"
#include "ui/errorboundary.h"
#include "ui/imagecontrol.h"
#include "ui/linecontrol.h"
#include "ui/linkpointer.h"
#include "ui/pointerinput.h"
#include "ui/qtlayout.h"
#include "ui/urlopener.h"

#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <functional>

using WindowLayout::Id;
using WindowLayout::Kind;

namespace {

void createControl(const WindowLayout::Control &control, QWidget *window)
{
    QWidget *widget = nullptr;
    switch (control.kind) {
    case Kind::PushButton: {
        auto *button = new QPushButton(QtLayout::text(WindowLayout::buttonCaption), window);
        button->setAutoDefault(false);
        button->setDefault(false);
        widget = button;
        break;
    }
    case Kind::Image:
        widget = new ImageControl(QtLayout::picturePath(control), window);
        new PointerInput(widget);
        break;
    case Kind::Line:
        widget = new LineControl(QtLayout::colour(WindowLayout::inactiveBorder), window);
        break;
    case Kind::Label: {
        auto *label = new QLabel(window);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(QtLayout::alignment(control.alignment));
        widget = label;
        new PointerInput(widget);
        break;
    }
    }
    widget->setObjectName(QtLayout::text(control.name));
    widget->setGeometry(QtLayout::pixelRect(control));
    // Nothing in the window takes the keyboard: no key gets a dare.
    widget->setFocusPolicy(Qt::NoFocus);
    widget->setVisible(control.visibleAtStart);
}

} // namespace

FrmTazzle::FrmTazzle(QWidget *parent)
    : FrmTazzle(ClockSeededGenerator::processWide(), UrlOpener::desktop(), parent)
{ }

FrmTazzle::FrmTazzle(RandomSource &randomSource, UrlOpener &urlOpener, QWidget *parent)
    : QWidget(parent)
    , urlOpener(urlOpener)
    , behaviour(*this, randomSource, BuildInfo::websiteUrl)
{
    Accessibility::install();
    setObjectName(QStringLiteral("frmTazzle"));
    setWindowTitle(QtLayout::text(WindowLayout::title));
    setWindowIcon(Artwork::windowIcon());
    // Fixed size, no maximise button: the layout never moves or scales.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(QtLayout::clientSize());
    setFont(QtLayout::windowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QtLayout::colour(WindowLayout::background));
    colours.setColor(QPalette::WindowText, QtLayout::colour(WindowLayout::text));
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

    const auto find = [this](Id id) {
        return findChild<QWidget *>(QtLayout::text(WindowLayout::control(id).name),
                                    Qt::FindDirectChildrenOnly);
    };
    imgGetDare_over = static_cast<ImageControl *>(find(Id::imgGetDare_over));
    lblDare = static_cast<QLabel *>(find(Id::lblDare));
    auto *lblMore = static_cast<QLabel *>(find(Id::lblMore));

    lblDare->setText(QtLayout::text(behaviour.dareText()));
    lblMore->setText(QtLayout::text(WindowLayout::linkText(BuildInfo::websiteUrl)));

    // The line takes no input, so the pointer over it is over the label. Qt 6.4 then shows the
    // label's pointer by itself; giving the line the same one keeps that true everywhere.
    new LinkPointer({lblMore, find(Id::Line1)}, this);

    const QString getDare = QtLayout::text(WindowLayout::buttonCaption);
    find(Id::imgLogo)->setAccessibleName(QString::fromLatin1(BuildInfo::applicationName));
    find(Id::imgGetDare)->setAccessibleName(getDare);
    imgGetDare_over->setAccessibleName(getDare);
    lblMore->setAccessibleDescription(QtLayout::text(WindowLayout::linkDescription));
}

void FrmTazzle::connectHandlers()
{
    for (const WindowLayout::Control &control : WindowLayout::controls) {
        auto *widget = findChild<QWidget *>(QtLayout::text(control.name),
                                            Qt::FindDirectChildrenOnly);
        const Id id = control.id;
        if (auto *button = qobject_cast<QPushButton *>(widget)) {
            connect(button, &QPushButton::clicked, this, [this, id] { behaviour.clicked(id); });
        } else if (auto *input = widget->findChild<PointerInput *>(QString(),
                                                                   Qt::FindDirectChildrenOnly)) {
            connect(input, &PointerInput::clicked, this, [this, id] { behaviour.clicked(id); });
            connect(input, &PointerInput::moved, this, [this, id] { behaviour.pointerMoved(id); });
        }
    }
}

void FrmTazzle::enterEvent(QEnterEvent *event)
{
    // The pointer arriving counts as a movement where it arrives; the controls hear of their
    // own arrivals.
    if (!childAt(event->position().toPoint()))
        behaviour.pointerMoved(Id::Form);
}

void FrmTazzle::mouseMoveEvent(QMouseEvent *event)
{
    // Only movement over the bare client area reaches here; the controls take their own. While
    // a button is held Qt also reports movement outside the window, which is not client area.
    if (rect().contains(event->position().toPoint()))
        behaviour.pointerMoved(Id::Form);
}

void FrmTazzle::setHighlightShown(bool shown)
{
    imgGetDare_over->setVisible(shown);
}

void FrmTazzle::setDareText(std::string_view text)
{
    lblDare->setText(QtLayout::text(text));
}

void FrmTazzle::openWebsite(std::string_view url)
{
    urlOpener.open(QUrl(QtLayout::text(url)));
}

void FrmTazzle::announce(std::string_view text)
{
    Accessibility::announce(this, QtLayout::text(text));
}

void FrmTazzle::reportError(std::string_view message)
{
    ErrorBoundary::report(this, QtLayout::text(message));
}
