// Prints the font family the window's text is drawn in here, for the reference program.
#include "ui/windowlayout.h"

#include <QFontInfo>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    std::printf("%s\n", qPrintable(QFontInfo(WindowLayout::windowFont()).family()));
    return 0;
}
