#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char **argv) {
    // Tests never need a display; the number rules follow the C locale's full stop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
