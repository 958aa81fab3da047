#include "data/report_file.h"

#include "data/text_narrowing.h"
#include "platform/c_number.h"
#include "platform/regular_file.h"

#include <QDir>

#include <array>
#include <string>
#include <string_view>

namespace vqs {

namespace {

const QByteArray kFileIdKey = QByteArrayLiteral("VQS_FILEID");
const QByteArray kFileIdValue = QByteArrayLiteral("VQS1.0FILE");
constexpr int kLastRequiredSlot = 38;  // EBU15 and the DICOM steps may be missing

QByteArray textLine(const char* key, const QString& value) {
    return QByteArray(key) + " = " + narrowText(value) + "\r\n";
}

QByteArray resultLine(const Ttarget& target, const XyzTriple& xyz) {
    return narrowText(target.key) + " = " + formatCFixed(xyz.X, 3) + ' ' + formatCFixed(xyz.Y, 3) +
           ' ' + formatCFixed(xyz.Z, 3) + "\r\n";
}

bool isWhite(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// "%s": skips white space, then takes the run of non-white bytes.
QByteArray scanWord(const QByteArray& text, qsizetype& at) {
    while (at < text.size() && isWhite(text[at])) ++at;
    const qsizetype start = at;
    while (at < text.size() && !isWhite(text[at]) && text[at] != '\0') ++at;
    return text.mid(start, at - start);
}

// The text ends at its first zero byte, as the reader's zeroed buffer has it.
qsizetype textEnd(const QByteArray& text) {
    const qsizetype zero = text.indexOf('\0');
    return zero < 0 ? text.size() : zero;
}

bool endsValue(char c) {
    return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80;
}

void readTriple(const QByteArray& text, qsizetype start, XyzTriple& xyz) {
    std::string_view rest(text.constData() + start, textEnd(text) - start);
    for (float* field : {&xyz.X, &xyz.Y, &xyz.Z}) {
        const auto number = readCNumber(rest);
        if (!number) return;
        *field = static_cast<float>(number->value);
        rest.remove_prefix(number->consumed);
    }
}

}  // namespace

QString reportFileName(const Tcaldaten& report) {
    return narrowFileName(QStringLiteral("VQSREPORT_") + report.devsnid + u'_' + report.devname +
                          u'_' + report.repdate + QStringLiteral(".txt"));
}

QString reportFilePath(const QString& directory, const Tcaldaten& report) {
    return QDir(directory).filePath(reportFileName(report));
}

QByteArray reportText(const Tcaldaten& report, const PatchCatalogue& targets) {
    QByteArray text = kFileIdKey + " = " + kFileIdValue + "\r\n";
    text += textLine("VQS_DEVSNID", report.devsnid);
    text += textLine("VQS_DEVNAME", report.devname);
    text += textLine("VQS_REPDATE", report.repdate);
    text += textLine("VQS_REPGAMMA", report.repgamma);
    for (int slot = 1; slot < kPatchSlots; ++slot)
        if (isPatchSlot(slot)) text += resultLine(targets[slot], report.xyz[slot]);
    return text;
}

FileWriteResult writeReportFile(const QString& directory, const Tcaldaten& report,
                                const PatchCatalogue& targets) {
    return writeFileAtomically(reportFilePath(directory, report), reportText(report, targets));
}

bool isReportFile(const QString& path) {
    const auto head = readRegularFile(path, 4096);
    return head && startsAsReportFile(*head);
}

bool startsAsReportFile(const QByteArray& head) {
    qsizetype at = 0;
    if (scanWord(head, at) != kFileIdKey) return false;
    while (at < head.size() && isWhite(head[at])) ++at;
    if (at >= head.size() || head[at] != '=') return false;
    ++at;
    return scanWord(head, at) == kFileIdValue;
}

void readReportFile(const QString& path, Tcaldaten& target, const PatchCatalogue& targets) {
    // Longer files are read as far as the buffer reaches; keys past it count as missing.
    // One byte of the buffer stays free for the end mark.
    const auto text = readRegularFile(path, kReportTextCapacity - 1);
    if (!text) return;
    parseReport(*text, text->size(), target, targets);
}

std::optional<qsizetype> findReportKey(const QByteArray& text, qsizetype length,
                                       const QByteArray& key) {
    const std::string_view all(text.constData(), textEnd(text));
    const std::string name = key.toStdString();
    std::size_t at = all.find(name + " =");
    if (at == std::string_view::npos) at = all.find(name + "=");
    if (at == std::string_view::npos || static_cast<qsizetype>(at) >= length) return std::nullopt;
    while (at < all.size() && all[at] != '=' && !endsValue(all[at])) ++at;
    if (at >= all.size() || all[at] != '=') return std::nullopt;
    ++at;
    while (at < all.size() && all[at] == ' ') ++at;
    if (all.find_first_of("\r\n", at) == std::string_view::npos) return std::nullopt;
    return static_cast<qsizetype>(at);
}

QString reportTextValue(const QByteArray& text, qsizetype start) {
    qsizetype end = start;
    while (end < text.size() && !endsValue(text[end])) ++end;
    return QString::fromLatin1(text.mid(start, end - start));
}

bool parseReport(const QByteArray& text, qsizetype length, Tcaldaten& target,
                 const PatchCatalogue& targets) {
    bool complete = true;
    const std::array<std::pair<const char*, QString*>, 4> texts = {{
        {"VQS_DEVSNID", &target.devsnid},
        {"VQS_DEVNAME", &target.devname},
        {"VQS_REPDATE", &target.repdate},
        {"VQS_REPGAMMA", &target.repgamma},
    }};
    for (const auto& [key, field] : texts) {
        const auto start = findReportKey(text, length, key);
        if (start)
            *field = reportTextValue(text, *start);
        else
            complete = false;
    }
    for (int slot = 1; slot < kPatchSlots; ++slot) {
        const auto start = findReportKey(text, length, narrowText(targets[slot].key));
        if (start)
            readTriple(text, *start, target.xyz[slot]);
        else if (slot <= kLastRequiredSlot)
            complete = false;
    }
    return complete;
}

void scanReportDir(const QString& directory, MonitorList& monitors, const PatchCatalogue& targets) {
    int next = usedMonitorCount(monitors);
    const QDir dir(directory);
    const QStringList names = dir.entryList({QStringLiteral("VQSREPORT_*.txt")}, QDir::Files);
    for (const QString& name : names) {
        if (next >= kMonitorCapacity) break;
        const QString path = dir.filePath(name);
        if (!isReportFile(path)) continue;
        Tdevices& record = monitors[next++];
        record = Tdevices{};
        record.sourceType = kSourceFile;
        record.source = path;
        readReportFile(path, record.report, targets);
    }
    sortMonitors(monitors);
}

}  // namespace vqs
