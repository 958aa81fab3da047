#include "sim/virtual_monitor_protocol.h"

#include "tables/patch_catalogue.h"

#include <QList>

#include <algorithm>
#include <utility>

namespace vqs::sim {

namespace {

const PatchCatalogue& catalogue() {
    static const PatchCatalogue targets = makePatchCatalogue();
    return targets;
}

std::optional<int> slotOfKey(const QByteArray& key) {
    for (int slot = 0; slot < kReportSlots; ++slot)
        if (isPatchSlot(slot) && catalogue()[slot].key.toLatin1() == key) return slot;
    return std::nullopt;
}

// "mode red green blue name": mode 1 shows the colour, anything else is black.
void hearPattern(const QByteArray& fields, HeardLine& heard) {
    const QList<QByteArray> numbers = fields.split(' ');
    auto level = [&](int i) { return std::clamp(numbers.value(i).toInt(), 0, 255); };
    heard.shown =
        numbers.value(0).toInt() == 1 ? QColor(level(1), level(2), level(3)) : QColor(Qt::black);
    // The name is everything after the fourth number, spaces included.
    qsizetype at = -1;
    for (int i = 0; i < 4; ++i)
        if ((at = fields.indexOf(' ', at + 1)) < 0) break;
    if (at >= 0) heard.patternName = fields.mid(at + 1);
}

}  // namespace

MonitorProtocol::MonitorProtocol(const QByteArray& serial, const QByteArray& name,
                                 const DisplayModel& display) {
    stored_.devsnid = serial;
    stored_.devname = name;
    stored_.repgamma = "2.4";
    DisplayModel measured = display;
    for (int slot = 0; slot < kReportSlots; ++slot) {
        if (!isPatchSlot(slot)) continue;
        const Ttarget& t = catalogue()[slot];
        measured.show(QColor(t.r, t.g, t.b));
        const Tristimulus xyz = measured.tristimulus();
        stored_.xyz[slot] = {xyz.X, xyz.Y, xyz.Z};
    }
}

HeardLine MonitorProtocol::hear(const QByteArray& line) {
    HeardLine heard;
    if (line == "VQS_?") {
        ++queries_;
        heard.queried = true;
    } else if (line.startsWith("VQS_SIM=")) {
        hearPattern(line.mid(8), heard);
    } else if (line == "SAVE?") {
        if (incoming_) {
            stored_ = *std::exchange(incoming_, std::nullopt);
            ++saves_;
            heard.stored = true;
        }
    } else if (const qsizetype equals = line.indexOf('='); equals > 0) {
        hearSaveLine(line.left(equals), line.mid(equals + 1));
    }
    return heard;
}

void MonitorProtocol::hearSaveLine(const QByteArray& key, const QByteArray& value) {
    const bool date = key == "VQS_REPDATE";
    const bool gamma = key == "VQS_REPGAMMA";
    const auto slot = slotOfKey(key);
    if (!date && !gamma && !slot) return;  // a push, or nothing a monitor keeps
    // A save starts from what is stored: results it does not carry stay as they were.
    if (!incoming_) incoming_ = stored_;
    if (date) incoming_->repdate = value;
    if (gamma) incoming_->repgamma = value;
    if (!slot) return;
    const QList<QByteArray> numbers = value.simplified().split(' ');
    for (int i = 0; i < 3 && i < numbers.size(); ++i)
        incoming_->xyz[*slot][i] = numbers[i].toDouble();  // C locale whatever the user's
}

QByteArray reportText(const StoredReport& report) {
    QByteArray text = "VQS_DEVSNID = " + report.devsnid + "\r\n";
    text += "VQS_DEVNAME = " + report.devname + "\r\n";
    text += "VQS_REPDATE = " + report.repdate + "\r\n";
    text += "VQS_REPGAMMA = " + report.repgamma + "\r\n";
    for (int slot = 0; slot < kReportSlots; ++slot) {
        if (!isPatchSlot(slot)) continue;
        text += catalogue()[slot].key.toLatin1() + " =";
        for (double v : report.xyz[slot]) text += ' ' + QByteArray::number(v, 'f', 3);
        text += "\r\n";
    }
    return text;
}

}  // namespace vqs::sim
