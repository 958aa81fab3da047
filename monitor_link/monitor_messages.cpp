#include "monitor_link/monitor_messages.h"

#include "data/text_narrowing.h"
#include "platform/c_number.h"

#include <algorithm>

namespace vqs {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

// The head, as much of the narrowed text as the message has room for, and the line end.
QByteArray withText(const QByteArray& head, const QString& text) {
    const qsizetype room = std::max<qsizetype>(0, kMaxMessageBytes - head.size() - kLineEnd.size());
    return head + narrowText(text).left(room) + kLineEnd;
}

QByteArray decimal(int value) {
    return QByteArray::number(value);
}

}  // namespace

QByteArray readingMessage(float X, float Y, float Z) {
    return "VQS_XYZ=" + formatCFixed(X, 3, 7) + ' ' + formatCFixed(Y, 3, 7) + ' ' +
           formatCFixed(Z, 3, 7) + kLineEnd;
}

QByteArray dateMessage(const QString& date) {
    return withText(QByteArrayLiteral("VQS_DATE="), date);
}

QByteArray patternMessage(int mode, int red, int green, int blue, const QString& name) {
    const QByteArray head = "VQS_SIM=" + decimal(mode) + ' ' + decimal(red) + ' ' + decimal(green) +
                            ' ' + decimal(blue) + ' ';
    return withText(head, name);
}

QByteArray saveDateMessage(const QString& repdate) {
    return withText(QByteArrayLiteral("VQS_REPDATE="), repdate);
}

QByteArray saveGammaMessage(const QString& repgamma) {
    return withText(QByteArrayLiteral("VQS_REPGAMMA="), repgamma);
}

QByteArray saveResultMessage(const QString& key, const XyzTriple& xyz) {
    // The keys are the catalogue's own, a dozen bytes; the numbers of a float fit beside them.
    return narrowText(key) + '=' + formatCFixed(xyz.X, 6) + ' ' + formatCFixed(xyz.Y, 6) + ' ' +
           formatCFixed(xyz.Z, 6) + kLineEnd;
}

}  // namespace vqs
