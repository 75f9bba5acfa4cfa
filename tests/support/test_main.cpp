#include "servers/LanServerFinder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHostAddress>
#include <QLocale>

namespace {
// A program run that ended outside an event loop leaves its quit posted; it must not end the
// next test's first dialog.
class DropLeftoverQuit : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override {
        QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
    }
};
} // namespace

int main(int argc, char **argv) {
    // Tests never need a display; the number rules follow the C locale's full stop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new DropLeftoverQuit);
    // No test searches a real network: only the test networks that tests make inside network
    // namespaces of their own may be asked (any test that opens every window opens the search).
    LanServerFinder::setTargetCheck([](const QHostAddress &address) {
        return address.isInSubnet(QHostAddress(QStringLiteral("198.18.0.0")), 15);
    });
    return RUN_ALL_TESTS();
}
