#pragma once

#include "windowdriver.h"

#include <QObject>
#include <QTest>

#include <memory>

// A test whose every function starts from a fresh window, shown, with the pointer outside.
class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        driver = std::make_unique<WindowDriver>();
        QVERIFY(driver->show());
    }
    void cleanup() { driver.reset(); }

protected:
    std::unique_ptr<WindowDriver> driver;
};
