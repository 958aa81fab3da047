// Test entry for tests without widgets; the C locale gives a full stop as decimal separator.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

int main(int argc, char** argv) {
    // Some tests keep the program's default network address (a LAN broadcast) to check it; the
    // network layer must refuse it however the binary is started, not only under CTest.
    qputenv("VQS_LOOPBACK_ONLY", "1");
    QLocale::setDefault(QLocale::c());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
