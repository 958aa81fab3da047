// Which command each reply line answers, step by step: commands sent and lines received, each
// at a byte position of everything received.

#include "probes/cs2000_reply_ledger.h"
#include "tests/support/case_name.h"

#include <gtest/gtest.h>

#include <QByteArray>

#include <string>
#include <vector>

namespace vqs {
namespace {

// ">RMTS,1@6": the command went out after 6 bytes had come (">~" when not awaited);
// "<OK00@6=A": a line that began at byte 6 goes to the awaited command (S superseded, N nobody).
struct LedgerCase {
    const char* what;
    std::vector<std::string> steps;
};

void PrintTo(const LedgerCase& c, std::ostream* os) {
    *os << c.what;
}

class ReplyLedger : public testing::TestWithParam<LedgerCase> {};

TEST_P(ReplyLedger, GivesEachLineToItsCommand) {
    Cs2000ReplyLedger ledger;
    for (const std::string& step : GetParam().steps) {
        const QByteArray text = QByteArray::fromStdString(step);
        const qsizetype at = text.indexOf('@');
        const qsizetype owner = text.indexOf('=');
        if (text.startsWith('>')) {
            const bool awaited = text[1] != '~';
            ledger.commandSent(text.mid(awaited ? 1 : 2, at - (awaited ? 1 : 2)),
                               text.mid(at + 1).toLongLong(), awaited);
            continue;
        }
        const QByteArray line = text.mid(1, at - 1) + "\r\n";
        const Cs2000LineOwner expected = text[owner + 1] == 'A'   ? Cs2000LineOwner::Awaited
                                         : text[owner + 1] == 'S' ? Cs2000LineOwner::Superseded
                                                                  : Cs2000LineOwner::Nobody;
        EXPECT_EQ(ledger.assign(line, text.mid(at + 1, owner - at - 1).toLongLong()).owner,
                  expected)
            << step;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyLedger,
    testing::Values(
        LedgerCase{"nothing owed", {"<OK00@0=N"}},
        LedgerCase{"release and remote mode in one tick",
                   {">~RMTS,0@0", ">RMTS,1@0", "<OK00@0=S", "<OK00@6=A", "<OK00@12=N"}},
        LedgerCase{"a measurement owes its announcement and its end",
                   {">MEAS,1@0", "<OK00,003@0=A", "<OK00@10=A", "<OK00@16=N"}},
        LedgerCase{"a refused measurement owes no end", {">MEAS,1@0", "<ER17@0=A", "<OK00@6=N"}},
        LedgerCase{"a failed measurement still ends", {">MEAS,1@0", "<OK00,003@0=A", "<ER10@10=A"}},
        LedgerCase{"a copy of an acknowledgement is no announcement",
                   {">RMTS,1@0", "<OK00@0=A", ">MEAS,1@6", "<OK00@6=N", "<OK00,003@12=A",
                    "<OK00,003@22=N", "<OK00@32=A"}},
        LedgerCase{"a copy received before the next command is nobody's",
                   {">MEDR,1,0,01@0", "<OK00,1,2@0=A", ">MEDR,1,0,02@20", "<OK00,1,2@10=N",
                    "<OK00,3,4@20=A"}},
        LedgerCase{"a release in the middle of a measurement",
                   {">MEAS,1@0", "<OK00,003@0=A", ">~RMTS,0@10", ">RMTS,1@10", "<OK00@10=S",
                    "<OK00@16=S", "<OK00@22=A"}},
        LedgerCase{"an empty line answers nothing", {">RMTS,1@0", "<@0=N", "<OK00@2=A"}},
        LedgerCase{"an error answers any command", {">MEDR,1,0,01@0", "<ER00@0=A"}}),
    test::CaseName());

}  // namespace
}  // namespace vqs
