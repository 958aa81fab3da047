#pragma once
// Which command each CS-2000 reply line answers. The instrument answers its commands in order,
// one line each, a measurement two (its announced time, later its end), but the driver does not
// wait for an answer before it sends again: a release can come in the middle of a measurement,
// and remote mode can be asked for in the tick that left it. The ledger keeps the answers still
// owed, so a late answer is taken by the command it belongs to, never by a newer one.

#include <QByteArrayView>

#include <cstdint>
#include <deque>

namespace vqs {

enum class Cs2000Reply {
    Acknowledgement,   // "RMTS,0" and "RMTS,1"
    Identification,    // "IDDR"
    MeasurementStart,  // "MEAS,1": "OK00,ttt" with the measuring time in seconds
    MeasurementEnd,    // "MEAS,1" later: "OK00" when the measurement is done
    SpectralBlock,     // "MEDR,1,0,0n"
};

// Who a received line belongs to.
enum class Cs2000LineOwner {
    Nobody,      // owed to no command: noise, or a copy of an answer already taken
    Superseded,  // the answer of a command the driver no longer waits for
    Awaited,     // the answer the driver waits for
};

struct Cs2000LineAssignment {
    Cs2000LineOwner owner = Cs2000LineOwner::Nobody;
    Cs2000Reply reply = Cs2000Reply::Acknowledgement;  // what the line answers, unless Nobody
};

class Cs2000ReplyLedger {
public:
    // A command went out after `received` bytes had come in (its answer cannot start earlier).
    // Only the newest command can be awaited; the answers older ones still owe are taken and
    // dropped.
    void commandSent(QByteArrayView command, int64_t received, bool awaited);

    // One complete line, with its line end, whose first byte was byte `start` of all received.
    Cs2000LineAssignment assign(QByteArrayView line, int64_t start);

    // Forgets every answer still owed: the port was (re)opened, or the answers were given up.
    void clear() { owed_.clear(); }
    bool owesAnswers() const { return !owed_.empty(); }

private:
    struct Owed {
        Cs2000Reply next;
        int64_t notBefore;
        bool awaited;
    };

    std::deque<Owed> owed_;
};

// True when the line says "OK00" in its first field.
bool isOkReply(QByteArrayView line);

}  // namespace vqs
