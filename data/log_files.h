#pragma once
// The daily log and spectrum files of the report folder. A log file per probe and day holds
// single readings with their whole spectrum; a spectrum file per day holds the first probe's
// processed spectrum, one line per click of the chart panel's save button. Both are 8-bit
// text with CR LF line ends, numbers as C's printf writes them whatever the user's locale;
// they are only ever written.

#include "platform/append_file.h"
#include "platform/clock.h"

#include <QByteArray>
#include <QString>

#include <span>

namespace vqs {

// "LOGFILE_" + probe name + "_" + date + ".txt" and "SPECTRUM_" + date + ".txt", under the
// same file-name rule as report files.
QString logFileName(const QString& probeName, const QString& date);
QString spectrumFileName(const QString& date);

// The four header lines of a log file: identification, "WAVES", the wavelengths as "%5.1f "
// each, the column legend.
QByteArray logFileHeader(std::span<const float> wavelengths);

// One reading: "%s %f %f %f %f %f " with the time, X, Y, Z, x, y, then "%f " per spectral
// value. x and y are 0 when X + Y + Z is 0.
QByteArray logLine(const QString& time, float X, float Y, float Z, std::span<const float> spectrum);

// Identification and "%d,%d" with the first and last wavelength.
QByteArray spectrumFileHeader(int firstWavelength, int lastWavelength);

// "%s: " with the time, then the values as "%f" separated by commas; only the time without
// values.
QByteArray spectrumLine(const QString& time, std::span<const float> values);

// A reading to be logged, as a driver hands it over.
struct LoggedReading {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    std::span<const float> spectrum;  // one value per wavelength of the probe
};

// The probe a log line is written for: its name and its wavelength table (sample count long).
struct LoggedProbe {
    QString displayName;
    std::span<const float> wavelengths;
};

// Appends one line to today's log file of the probe in `folder`, the header first when the
// file is new or empty.
FileWriteResult appendLogLine(const QString& folder, const Clock& clock, const LoggedProbe& probe,
                              const LoggedReading& reading);

// A spectrum block: first and last wavelength and its values (the count is the span's size).
struct LoggedSpectrum {
    int firstWavelength = 0;
    int lastWavelength = 0;
    std::span<const float> values;
};

// Appends one line to today's spectrum file in `folder`, the header first when it is new.
FileWriteResult appendSpectrumLine(const QString& folder, const Clock& clock,
                                   const LoggedSpectrum& spectrum);

}  // namespace vqs
