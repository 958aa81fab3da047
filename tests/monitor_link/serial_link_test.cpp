// The serial monitor link against a virtual serial monitor on a pseudo-terminal.

#include "monitor_link/com_setting.h"
#include "monitor_link/serial_monitor_link.h"
#include "sim/virtual_serial_monitor.h"
#include "tests/monitor_link/link_test_support.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include <optional>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace vqs {
namespace {

using test::betweenTicks;
using test::timed;
using test::waitUntil;

[[maybe_unused]] const auto* const kLongest =
    testing::AddGlobalTestEnvironment(new test::LongestCall);

constexpr int kCom = 5;

// Some kernels refuse parity on a pseudo-terminal; the link must open all the same.
bool terminalsTakeParity() {
    sim::PseudoTerminal probe;
    QTemporaryDir dir;
    const QString link = dir.filePath("probe");
    if (!probe.open(link)) return false;
    const QByteArray device = QFileInfo(link).canonicalFilePath().toLocal8Bit();
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios line{};
    bool taken = fd >= 0 && ::tcgetattr(fd, &line) == 0;
    line.c_cflag |= PARENB;
    taken = taken && ::tcsetattr(fd, TCSANOW, &line) == 0;
    if (fd >= 0) ::close(fd);
    if (!taken) std::printf("note: this kernel's pseudo-terminals refuse parity\n");
    return taken;
}

class SerialMonitorLink : public testing::Test {
protected:
    SerialMonitorLink() { qputenv("VQS_SERIAL_DIR", serialDir_.path().toLocal8Bit()); }

    void SetUp() override {
        ASSERT_TRUE(monitor_.start(comDevicePath(kCom))) << monitor_.error().toStdString();
    }

    // One tick's worth of serial traffic: the event loop, then the link's read.
    void tick() {
        betweenTicks(1);
        timed("readLink", [&] { readLink(link_); });
    }

    QByteArray received() const {
        return QByteArray(reinterpret_cast<const char*>(link_.rxBuffer.data()), link_.rxCount);
    }

    QTemporaryDir serialDir_;
    sim::VirtualSerialMonitor monitor_;
    SerialLink link_;
};

// The settings of the terminal behind a COM link, read through a second descriptor; none
// when the open link holds it exclusively for this user.
std::optional<termios> lineOf(int com) {
    const QByteArray device = QFileInfo(comDevicePath(com)).canonicalFilePath().toLocal8Bit();
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    termios line{};
    const bool read = ::tcgetattr(fd, &line) == 0;
    ::close(fd);
    if (!read) return std::nullopt;
    return line;
}

// Another program left the port at 9600 baud, two stop bits and hardware flow control.
void leaveBehindOtherSettings(int com) {
    const QByteArray device = QFileInfo(comDevicePath(com)).canonicalFilePath().toLocal8Bit();
    const int fd = ::open(device.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios line{};
    ASSERT_EQ(::tcgetattr(fd, &line), 0);
    ::cfsetspeed(&line, B9600);
    line.c_cflag |= CSTOPB | CRTSCTS;
    line.c_iflag |= IXON | IXOFF;
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &line), 0);
    ::close(fd);
}

TEST_F(SerialMonitorLink, opensWithEvenParityAndNoFlowControlOnAPseudoTerminal) {
    leaveBehindOtherSettings(kCom);
    ASSERT_TRUE(timed("openLink", [&] { return openLink(link_, kCom); }));
    EXPECT_EQ(link_.state, kLinkOpen);
    EXPECT_EQ(link_.portNumber, kCom);

    const auto line = lineOf(kCom);
    if (!line) GTEST_SKIP() << "the open link holds the terminal exclusively for this user";
    EXPECT_EQ(::cfgetospeed(&*line), static_cast<speed_t>(B115200));
    EXPECT_EQ(line->c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    if (terminalsTakeParity()) {
        EXPECT_TRUE(line->c_cflag & PARENB);
        EXPECT_FALSE(line->c_cflag & PARODD);
    }
    EXPECT_FALSE(line->c_cflag & CSTOPB);
    EXPECT_FALSE(line->c_cflag & CRTSCTS);
    EXPECT_FALSE(line->c_iflag & (IXON | IXOFF));
    EXPECT_FALSE(line->c_iflag & INPCK) << "the parity of received bytes is not checked";
}

TEST_F(SerialMonitorLink, carriesBytesBothWaysUnchanged) {
    ASSERT_TRUE(openLink(link_, kCom));
    const QByteArray message = "VQS_XYZ=  1.500 100.000  98.250\r\nVQS_SIM=1 0 0 0 R\xE9gie\r\n";
    EXPECT_TRUE(timed("writeLink", [&] { return writeLink(link_, message); }));
    ASSERT_TRUE(waitUntil([&] { return monitor_.received().size() >= message.size(); }));
    EXPECT_EQ(monitor_.received(), message);

    ASSERT_TRUE(monitor_.send("OK!\r\n"));
    ASSERT_TRUE(waitUntil([&] {
        tick();
        return link_.rxCount >= 5;
    }));
    EXPECT_EQ(received(), "OK!\r\n");
}

// 32767 bytes without a reply check emptying the buffer: the 32767th lands at index 32766, the
// next one at index 0, and index 32767 is never written.
TEST_F(SerialMonitorLink, wrapsToTheStartAfter32767Bytes) {
    ASSERT_TRUE(openLink(link_, kCom));
    link_.rxBuffer[kRxBufferSize - 1] = 0xEE;
    constexpr int kTotal = 32768;
    auto byteAt = [](int i) { return static_cast<char>('A' + i % 23); };
    int sent = 0;
    auto expectedCount = [](int n) { return n <= kRxWrapCount ? n : n - kRxWrapCount - 1; };
    while (sent < kTotal) {
        QByteArray chunk;
        for (int i = 0; i < 1000 && sent < kTotal; ++i) chunk += byteAt(sent++);
        ASSERT_TRUE(monitor_.send(chunk));
        ASSERT_TRUE(waitUntil([&] {
            tick();
            return link_.rxCount == expectedCount(sent);
        })) << "after "
            << sent << " bytes the count is " << link_.rxCount;
    }
    EXPECT_EQ(link_.rxCount, 1);
    EXPECT_EQ(link_.rxBuffer[0], static_cast<uint8_t>(byteAt(32767)));
    EXPECT_EQ(link_.rxBuffer[1], static_cast<uint8_t>(byteAt(1)));
    EXPECT_EQ(link_.rxBuffer[32766], static_cast<uint8_t>(byteAt(32766)));
    EXPECT_EQ(link_.rxBuffer[32767], 0xEE);
}

TEST_F(SerialMonitorLink, portThatIsMissingLeavesTheLinkClosedAndDropsMessages) {
    ASSERT_TRUE(openLink(link_, kCom));
    EXPECT_FALSE(timed("openLink", [&] { return openLink(link_, 9); }));
    EXPECT_EQ(link_.state, 0);
    EXPECT_EQ(link_.portNumber, 9);
    EXPECT_FALSE(writeLink(link_, "VQS_?\r\n"));
    readLink(link_);
    betweenTicks(20);
    EXPECT_TRUE(monitor_.received().isEmpty());
    // The failed reopen closed COM5 first, so it is free again.
    EXPECT_TRUE(openComPort(kCom, 9600));
}

TEST_F(SerialMonitorLink, comFieldOpensReopensAndClosesTheLink) {
    EXPECT_EQ(timed("takeOverComNumber", [&] { return takeOverComNumber(link_, " 5x"); }), "5");
    EXPECT_TRUE(isLinkOpen(link_));
    // Applying the same number again reopens the port, which the exclusive open must allow.
    EXPECT_EQ(takeOverComNumber(link_, "5"), "5");
    EXPECT_TRUE(isLinkOpen(link_));
    EXPECT_EQ(takeOverComNumber(link_, "300"), "0");
    EXPECT_FALSE(isLinkOpen(link_));
    EXPECT_TRUE(openComPort(kCom, 9600)) << "a closed link holds no port";
}

TEST_F(SerialMonitorLink, portThatVanishesClosesTheLink) {
    ASSERT_TRUE(openLink(link_, kCom));
    monitor_.stop();
    tick();
    EXPECT_FALSE(isLinkOpen(link_));
    EXPECT_FALSE(writeLink(link_, "VQS_?\r\n"));
}

}  // namespace
}  // namespace vqs
