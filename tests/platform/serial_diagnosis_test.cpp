// Serial ports the operator can make usable: a device the user may not open, and a COM entry
// that is a link to a device that is gone. Each is noted once, however often the search tries.

#include "platform/serial_diagnosis.h"
#include "platform/serial_port.h"
#include "sim/pseudo_terminal.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vqs {
namespace {

class SerialDiagnosis : public testing::Test {
protected:
    SerialDiagnosis() {
        qputenv("VQS_SERIAL_DIR", dir_.path().toLocal8Bit());
        takeUntoldSerialProblems();  // what earlier tests left
    }
    ~SerialDiagnosis() override { qunsetenv("VQS_SERIAL_DIR"); }

    QTemporaryDir dir_;
};

TEST_F(SerialDiagnosis, ADanglingLinkIsNamedOnceWithWhereItPoints) {
    const QString gone = dir_.filePath("unplugged/ttyUSB9");
    ASSERT_TRUE(QFile::link(gone, comDevicePath(9)));
    for (int attempt = 0; attempt < 3; ++attempt) EXPECT_FALSE(openComPort(9, 9600));
    const std::vector<SerialProblem> told = takeUntoldSerialProblems();
    ASSERT_EQ(told.size(), 1u) << "the search tries the port every second, the operator hears once";
    EXPECT_EQ(told[0].kind, SerialProblemKind::DanglingLink);
    EXPECT_EQ(told[0].comNumber, 9);
    EXPECT_EQ(told[0].devicePath, gone);
    const QString text = serialProblemText(told[0]);
    EXPECT_TRUE(text.startsWith("COM9 cannot be opened: ")) << text.toStdString();
    EXPECT_TRUE(text.contains(comDevicePath(9)) && text.contains(gone)) << text.toStdString();
    EXPECT_FALSE(openComPort(9, 9600));
    EXPECT_TRUE(takeUntoldSerialProblems().empty()) << "told is told";
}

TEST_F(SerialDiagnosis, PortsThatAreMissingOrFineAreNoProblem) {
    sim::PseudoTerminal terminal;
    ASSERT_TRUE(terminal.open(comDevicePath(3))) << terminal.error().toStdString();
    EXPECT_TRUE(openComPort(3, 9600));
    EXPECT_FALSE(openComPort(4, 9600)) << "no entry: the search meets those on every port";
    EXPECT_FALSE(diagnoseComEntry(3, comDevicePath(3)));
    EXPECT_FALSE(diagnoseComEntry(4, comDevicePath(4)));
    EXPECT_TRUE(takeUntoldSerialProblems().empty());
}

// The check runs as a user without rights to the device: root may open anything, so a root
// test drops to "nobody" in a child process first.
TEST_F(SerialDiagnosis, ADeviceTheUserMayNotOpenNamesTheDeviceAndTheDialoutGroup) {
    sim::PseudoTerminal terminal;
    ASSERT_TRUE(terminal.open(comDevicePath(8))) << terminal.error().toStdString();
    const QByteArray device = QFileInfo(comDevicePath(8)).canonicalFilePath().toLocal8Bit();
    ASSERT_EQ(::chmod(device.constData(), 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir_.path()).constData(), 0755), 0);

    const pid_t child = ::fork();
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(10);
        if (openComPort(8, 9600)) ::_exit(11);
        const std::vector<SerialProblem> told = takeUntoldSerialProblems();
        if (told.size() != 1 || told[0].kind != SerialProblemKind::PermissionDenied) ::_exit(12);
        const QString text = serialProblemText(told[0]);
        if (!text.startsWith("COM8 cannot be opened: you have no permission to use " +
                             QString::fromLocal8Bit(device)))
            ::_exit(13);
        if (!text.contains("the group dialout") || !text.contains("sudo adduser ")) ::_exit(14);
        if (openComPort(8, 9600) || !takeUntoldSerialProblems().empty()) ::_exit(15);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "10 no other user, 11 opened, 12 not one permission problem, 13 device not named, "
           "14 no fix named, 15 told twice";
}

}  // namespace
}  // namespace vqs
