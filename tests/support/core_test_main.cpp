// Test entry for tests without widgets; the C locale gives a full stop as decimal separator.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

int main(int argc, char** argv) {
    QLocale::setDefault(QLocale::c());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
