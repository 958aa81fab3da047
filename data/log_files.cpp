#include "data/log_files.h"

#include "data/text_narrowing.h"
#include "platform/c_number.h"

#include <QDir>

namespace vqs {

namespace {

const QByteArray kLineEnd = "\r\n";

QByteArray fixed(double value) {
    return formatCFixed(value, 6);
}

QString today(const Clock& clock) {
    return clock.shortDate(clock.today());
}

QString now(const Clock& clock) {
    return clock.longTime(clock.timeOfDay());
}

}  // namespace

QString logFileName(const QString& probeName, const QString& date) {
    return narrowFileName(QStringLiteral("LOGFILE_") + probeName + u'_' + date +
                          QStringLiteral(".txt"));
}

QString spectrumFileName(const QString& date) {
    return narrowFileName(QStringLiteral("SPECTRUM_") + date + QStringLiteral(".txt"));
}

QByteArray logFileHeader(std::span<const float> wavelengths) {
    QByteArray text = "VQS_FILEID = VQS1.0LOGFILE" + kLineEnd + "WAVES" + kLineEnd;
    for (float wavelength : wavelengths) text += formatCFixed(wavelength, 1, 5) + ' ';
    text += kLineEnd + "Data (Time X Y Z x y  nnmm Spectralvalues)" + kLineEnd;
    return text;
}

QByteArray logLine(const QString& time, float X, float Y, float Z,
                   std::span<const float> spectrum) {
    // The sum of three singles, as the instruments' software forms it in extended precision.
    const double sum = double(X) + double(Y) + double(Z);
    const double x = sum == 0.0 ? 0.0 : X / sum;
    const double y = sum == 0.0 ? 0.0 : Y / sum;
    QByteArray line = narrowText(time);
    for (double value : {double(X), double(Y), double(Z), x, y}) line += ' ' + fixed(value);
    line += ' ';
    for (float value : spectrum) line += fixed(value) + ' ';
    return line + kLineEnd;
}

QByteArray spectrumFileHeader(int firstWavelength, int lastWavelength) {
    return "VQS_FILEID = VQS1.0SPECTRUM" + kLineEnd + QByteArray::number(firstWavelength) + ',' +
           QByteArray::number(lastWavelength) + kLineEnd;
}

QByteArray spectrumLine(const QString& time, std::span<const float> values) {
    QByteArray line = narrowText(time) + ": ";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ',';
        line += fixed(values[i]);
    }
    return line + kLineEnd;
}

FileWriteResult appendLogLine(const QString& folder, const Clock& clock, const LoggedProbe& probe,
                              const LoggedReading& reading) {
    const QString path = QDir(folder).filePath(logFileName(probe.displayName, today(clock)));
    const QByteArray line = logLine(now(clock), reading.X, reading.Y, reading.Z, reading.spectrum);
    return appendToFile(path, logFileHeader(probe.wavelengths), line);
}

FileWriteResult appendSpectrumLine(const QString& folder, const Clock& clock,
                                   const LoggedSpectrum& spectrum) {
    const QString path = QDir(folder).filePath(spectrumFileName(today(clock)));
    return appendToFile(path, spectrumFileHeader(spectrum.firstWavelength, spectrum.lastWavelength),
                        spectrumLine(now(clock), spectrum.values));
}

}  // namespace vqs
