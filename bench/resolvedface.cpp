// Prints the font family the window's text is drawn in here, for the reference program.
#include "ui/qtlayout.h"

#include <QFontInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    std::printf("%s\n", qPrintable(QFontInfo(QtLayout::windowFont()).family()));
    return 0;
}
