// What a network monitor's answer to discovery yields, byte by byte.

#include "monitor_link/discovery_reply.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

namespace vqs {
namespace {

struct ReplyCase {
    std::string what;
    QByteArray datagram;
    bool accepted;
    QString devname;
    QString devsnid;
};

class DiscoveryReply : public testing::TestWithParam<ReplyCase> {};

TEST_P(DiscoveryReply, yieldsNameAndSerialOnlyFromACompleteAnswer) {
    const ReplyCase& c = GetParam();
    const auto answer = parseDiscoveryReply(c.datagram);
    ASSERT_EQ(answer.has_value(), c.accepted);
    if (!answer) return;
    EXPECT_EQ(answer->devname, c.devname);
    EXPECT_EQ(answer->devsnid, c.devsnid);
}

const QByteArray k63(63, 'n');
const QByteArray k64(64, 'n');

INSTANTIATE_TEST_SUITE_P(
    Cases, DiscoveryReply,
    testing::Values(
        ReplyCase{"typical", "XHB1.0-YES!#Studio A#x#y#SN123", true, "Studio A", "SN123"},
        ReplyCase{"no hash", "XHB1.0-YES!Studio A x y SN123", false, {}, {}},
        ReplyCase{"empty name", "XHB1.0-YES!##x#y#SN123", false, {}, {}},
        ReplyCase{"empty serial", "XHB1.0-YES!#Studio A#x#y#", false, {}, {}},
        ReplyCase{"three fields", "XHB1.0-YES!#Studio A#x#y", false, {}, {}},
        ReplyCase{"no answer text", "XHB1.0-NO!#Studio A#x#y#SN123", false, {}, {}},
        ReplyCase{"answer text behind a zero byte",
                  QByteArray("#Studio A#x#y#SN123\0XHB1.0-YES!", 31),
                  false,
                  {},
                  {}},
        ReplyCase{"zero byte ends the serial", QByteArray("XHB1.0-YES!#A#x#y#SN1\0#SN2", 26), true,
                  "A", "SN1"},
        ReplyCase{"fields after the first hash, even before the answer text",
                  "#A#x#y#SN XHB1.0-YES!", true, "A", "SN XHB1.0-YES!"},
        ReplyCase{"fifth field ignored", "XHB1.0-YES!#A#x#y#SN1#more", true, "A", "SN1"},
        ReplyCase{"name of 63 kept whole", "XHB1.0-YES!#" + k63 + "#x#y#S", true,
                  QString::fromLatin1(k63), "S"},
        ReplyCase{"name of 64 cut to 63", "XHB1.0-YES!#" + k64 + "#x#y#S", true,
                  QString::fromLatin1(k63), "S"},
        // The rest of an overlong field must not become the next field.
        ReplyCase{"overlong middle field keeps the serial in place",
                  "XHB1.0-YES!#A#" + QByteArray(200, 'x') + "#y#SN", true, "A", "SN"},
        ReplyCase{"serial cut to 63", "XHB1.0-YES!#A#x#y#" + QByteArray(100, 's'), true, "A",
                  QString(63, QLatin1Char('s'))},
        ReplyCase{"bytes are Latin-1",
                  "XHB1.0-YES!#R\xE9gie#x#y#\xA7"
                  "1",
                  true, QString::fromUtf8("Régie"), QString::fromUtf8("§1")}),
    test::CaseName{});

}  // namespace
}  // namespace vqs
