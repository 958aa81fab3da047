// Test entry for tests that create widgets: one QApplication for the whole binary.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // Some tests keep the program's default network address (a LAN broadcast) to check it; the
    // network layer must refuse it however the binary is started, not only under CTest.
    qputenv("VQS_LOOPBACK_ONLY", "1");
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen"
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale::c());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
