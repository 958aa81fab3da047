#pragma once
// The messages to the monitors under test, as bytes: the reading and date pushes, the pattern,
// the report query and the downstream save. Texts are narrowed, numbers written as printf writes
// them in the "C" locale whatever the user's locale, and every message ends in CR LF. Pure.

#include "data/monitor_records.h"

#include <QByteArray>
#include <QString>

namespace vqs {

// A monitor reads at most this many bytes per message. A text that would make a message longer
// is cut at the end; the message keeps its line end.
inline constexpr qsizetype kMaxMessageBytes = 251;

inline constexpr int kPatternOff = 0;
inline constexpr int kPatternShow = 1;

// The report query: these bytes on the serial link; on TCP the line "VQS_?" (sendLine adds the
// line end).
inline const QByteArray kReportQuery = QByteArrayLiteral("VQS_?\r\n");
inline const QByteArray kReportQueryLine = QByteArrayLiteral("VQS_?");
// The last message of a downstream save.
inline const QByteArray kSaveEnd = QByteArrayLiteral("SAVE?\r\n");
// What a serial monitor sends to say it is there.
inline const QByteArray kPresenceText = QByteArrayLiteral("OK!");

// "VQS_XYZ=%7.3f %7.3f %7.3f\r\n". A float's widest value fits the message.
QByteArray readingMessage(float X, float Y, float Z);
// "VQS_DATE=%s\r\n" with today's date as the user's short date.
QByteArray dateMessage(const QString& date);
// "VQS_SIM=%d %d %d %d %s\r\n": mode (1 show, 0 off), red, green, blue, patch name.
QByteArray patternMessage(int mode, int red, int green, int blue, const QString& name);
// "VQS_REPDATE=%s\r\n" and "VQS_REPGAMMA=%s\r\n" of the report being saved.
QByteArray saveDateMessage(const QString& repdate);
QByteArray saveGammaMessage(const QString& repgamma);
// "%s=%f %f %f\r\n": a slot's catalogue key and its X, Y, Z with six decimals.
QByteArray saveResultMessage(const QString& key, const XyzTriple& xyz);

}  // namespace vqs
