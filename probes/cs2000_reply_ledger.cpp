#include "probes/cs2000_reply_ledger.h"

namespace vqs {

namespace {

Cs2000Reply replyTo(QByteArrayView command) {
    if (command.startsWith("IDDR")) return Cs2000Reply::Identification;
    if (command.startsWith("MEAS")) return Cs2000Reply::MeasurementStart;
    if (command.startsWith("MEDR")) return Cs2000Reply::SpectralBlock;
    return Cs2000Reply::Acknowledgement;
}

// Whether the text of a line can be the reply owed. An error code answers any command (the
// driver then starts over); a success has its known number of fields, which tells a copy of the
// previous answer from the one owed.
bool fits(Cs2000Reply reply, QByteArrayView text) {
    if (text.isEmpty()) return false;
    if (!isOkReply(text)) return true;
    const qsizetype fields = text.count(',') + 1;
    switch (reply) {
        case Cs2000Reply::MeasurementStart: return fields == 2;
        case Cs2000Reply::MeasurementEnd: return fields == 1;
        case Cs2000Reply::SpectralBlock: return fields > 1;
        default: return true;
    }
}

}  // namespace

bool isOkReply(QByteArrayView line) {
    const qsizetype comma = line.indexOf(',');
    return (comma < 0 ? line : line.first(comma)).contains("OK00");
}

void Cs2000ReplyLedger::commandSent(QByteArrayView command, int64_t received, bool awaited) {
    for (Owed& owed : owed_) owed.awaited = false;
    owed_.push_back({replyTo(command), received, awaited});
}

Cs2000LineAssignment Cs2000ReplyLedger::assign(QByteArrayView line, int64_t start) {
    if (owed_.empty()) return {};
    Owed& head = owed_.front();
    const QByteArrayView text = line.trimmed();
    // A reply cannot begin before its command went out: such a line is a copy or noise.
    if (start < head.notBefore || !fits(head.next, text)) return {};
    const Cs2000LineAssignment assignment{
        head.awaited ? Cs2000LineOwner::Awaited : Cs2000LineOwner::Superseded, head.next};
    // A measurement that started owes its end; one refused at once owes nothing more.
    if (head.next == Cs2000Reply::MeasurementStart && isOkReply(text))
        head.next = Cs2000Reply::MeasurementEnd;
    else
        owed_.pop_front();
    return assignment;
}

}  // namespace vqs
