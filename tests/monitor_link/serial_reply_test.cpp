// The serial report query on the received bytes alone: the presence text, the 30-tick countdown,
// and the reply read with the report grammar.

#include "monitor_link/serial_reply.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vqs {
namespace {

class SerialReply : public testing::Test {
protected:
    void receive(const QByteArray& bytes) {
        for (const char b : bytes) link_.storeByte(static_cast<uint8_t>(b));
    }

    SerialReplyAction step() {
        parsed_ = Tcaldaten{};
        return serialReplyStep(link_, parsed_, targets_);
    }

    // A complete report as a monitor sends it, with its presence text.
    QByteArray report(const char* devsnid) const {
        QByteArray text =
            QByteArray("OK!\r\nVQS_DEVSNID = ") + devsnid +
            "\r\nVQS_DEVNAME = Studio\r\nVQS_REPDATE = 1.2.26\r\nVQS_REPGAMMA = 2.4\r\n";
        for (int slot = 1; slot <= kLastSlot; ++slot)
            if (isPatchSlot(slot))
                text +=
                    targets_[slot].key.toLatin1() + " = " + QByteArray::number(slot) + " 1 2\r\n";
        return text;
    }

    bool bufferIsZero() const {
        return std::all_of(link_.rxBuffer.begin(), link_.rxBuffer.end(),
                           [](uint8_t b) { return b == 0; });
    }

    PatchCatalogue targets_ = makePatchCatalogue();
    SerialLink link_;
    Tcaldaten parsed_;
};

TEST_F(SerialReply, presenceStartsAQueryAndTheReplyIsReadAfter30Ticks) {
    receive("OK!\r\n");
    EXPECT_EQ(step(), SerialReplyAction::Query);
    EXPECT_EQ(link_.countdown, kSerialReplyTicks);
    EXPECT_EQ(link_.rxCount, 0);
    EXPECT_TRUE(bufferIsZero());

    receive(report("SN-7"));
    for (int tick = 1; tick < kSerialReplyTicks; ++tick)
        ASSERT_EQ(step(), SerialReplyAction::None) << tick;
    EXPECT_EQ(step(), SerialReplyAction::Complete);
    EXPECT_EQ(parsed_.devsnid, "SN-7");
    EXPECT_EQ(parsed_.repgamma, "2.4");
    EXPECT_EQ(parsed_.xyz[61].X, 61.0f);
    EXPECT_EQ(link_.countdown, 0);
    EXPECT_TRUE(bufferIsZero());

    // A monitor that keeps saying it is there is asked again.
    receive("OK!");
    EXPECT_EQ(step(), SerialReplyAction::Query);
}

TEST_F(SerialReply, incompleteReplyIsAskedForAgain) {
    receive("OK!");
    ASSERT_EQ(step(), SerialReplyAction::Query);
    const QByteArray whole = report("SN-7");
    receive(whole.left(whole.indexOf("VQS_EBU14")));
    for (int tick = 1; tick <= kSerialReplyTicks; ++tick)
        EXPECT_EQ(step(), SerialReplyAction::None);
    EXPECT_EQ(link_.countdown, 0);
    EXPECT_EQ(step(), SerialReplyAction::Query);
    EXPECT_EQ(link_.rxCount, 0);
}

// Without the presence text the count is reset every tick, so later bytes overwrite the
// buffer; a presence text behind a zero byte is not seen.
TEST_F(SerialReply, bytesWithoutPresenceAreOverwrittenNeverQueried) {
    receive(QByteArray("hello\0OK!", 9));
    EXPECT_EQ(step(), SerialReplyAction::None);
    EXPECT_EQ(link_.rxCount, 0);
    EXPECT_EQ(link_.countdown, 0);
    receive("HE");
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(link_.rxBuffer.data()), 5), "HEllo");
}

// Text behind the count is older than the current reply and does not count.
TEST_F(SerialReply, keysBehindTheCountAreMissing) {
    receive(report("OLD") + "OK!");
    link_.countdown = 1;
    link_.rxCount = 3;  // "OK!" only
    EXPECT_EQ(step(), SerialReplyAction::None);
    EXPECT_TRUE(parsed_.devsnid.isEmpty());
}

}  // namespace
}  // namespace vqs
