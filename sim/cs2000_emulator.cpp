#include "sim/cs2000_emulator.h"

#include <QTimer>

namespace vqs::sim {

namespace {

constexpr int kSplitDelayMs = 120;  // more than one measurement tick

}  // namespace

Cs2000Emulator::Cs2000Emulator(DisplayModel& display, QObject* parent)
    : QObject(parent), display_(display) {
    connect(&terminal_, &PseudoTerminal::received, this, &Cs2000Emulator::receive);
}

bool Cs2000Emulator::start(const QString& linkPath) { return terminal_.open(linkPath); }

void Cs2000Emulator::setIdentity(const QByteArray& model, const QByteArray& serial) {
    model_ = model;
    serial_ = serial;
}

void Cs2000Emulator::receive(const QByteArray& bytes) {
    pending_ += bytes;
    qsizetype end;
    while ((end = pending_.indexOf("\r\n")) >= 0) {
        const QByteArray command = pending_.left(end).trimmed();
        pending_.remove(0, end + 2);
        if (!command.isEmpty()) handle(command);
    }
}

void Cs2000Emulator::handle(const QByteArray& command) {
    commands_ << QString::fromLatin1(command);
    if (fault_ == Cs2000Fault::Silence) return;
    if (command == "RMTS,1" || command == "RMTS,0") return reply("OK00");
    if (command == "IDDR") return reply(identification());
    if (command == "MEAS,1") return measure();
    if (command.startsWith("MEDR,1,0,0")) {
        const int block = command.right(1).toInt();
        if (block >= 1 && block <= 4) return reply(spectralBlock(block));
    }
    reply("ER00");
}

void Cs2000Emulator::reply(const QByteArray& line) {
    const QByteArray bytes = line + "\r\n";
    if (fault_ == Cs2000Fault::DoubleReply) {
        terminal_.write(bytes + bytes);
        return;
    }
    if (fault_ != Cs2000Fault::SplitReply) {
        terminal_.write(bytes);
        return;
    }
    const qsizetype half = bytes.size() / 2;
    outbox_ << bytes.left(half) << bytes.mid(half);
    if (!draining_) drainOutbox();
}

// Sends the parts of split replies one at a time, a pause apart, keeping their order.
void Cs2000Emulator::drainOutbox() {
    draining_ = !outbox_.isEmpty();
    if (!draining_) return;
    terminal_.write(outbox_.takeFirst());
    QTimer::singleShot(kSplitDelayMs, this, [this] { drainOutbox(); });
}

// The instrument announces its measuring time in seconds, then reports the end.
void Cs2000Emulator::measure() {
    if (fault_ == Cs2000Fault::Vanish) {
        terminal_.close();
        return;
    }
    reply("OK00,003");
    QTimer::singleShot(measurementMs_, this, [this] {
        if (fault_ == Cs2000Fault::ErrorCode) return reply("ER10");
        measured_ = display_.radiance();
        ++measurements_;
        reply("OK00");
    });
}

// The serial field is padded so that the line's CR is its 25th byte, as the instrument sends it.
QByteArray Cs2000Emulator::identification() const {
    QByteArray line = "OK00," + model_ + ",0,";
    line += serial_.rightJustified(24 - line.size(), '0', true);
    return line;
}

QByteArray Cs2000Emulator::spectralBlock(int block) const {
    const int first = (block - 1) * 100;
    int count = block == 4 ? 101 : 100;
    if (fault_ == Cs2000Fault::ShortBlock) --count;
    QByteArray line = "OK00";
    for (int i = 0; i < count; ++i) {
        line += ',';
        line += QByteArray::number(measured_[first + i], 'e', 6);
    }
    if (fault_ == Cs2000Fault::Garbage) line.replace(30, 6, "\x01#?@!x");
    return line;
}

}  // namespace vqs::sim
