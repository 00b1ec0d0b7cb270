// The least Qt program that shows what Tazzle first shows: a 533 × 299 black window with the
// prompt in white, bold 16 px, at the dare label's place. The face is given, so that it is the
// one Tazzle resolves. Usage: reference <font family>
#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.setFixedSize(533, 299);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, Qt::white);
    window.setPalette(colours);
    window.setAutoFillBackground(true);

    QFont font(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    font.setBold(true);
    QLabel label(QStringLiteral("Click below for your dare..."), &window);
    label.setFont(font);
    label.setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label.setGeometry(16, 120, 505, 81);

    window.show();
    return application.exec();
}
