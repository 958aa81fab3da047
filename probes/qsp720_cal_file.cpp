#include "probes/qsp720_cal_file.h"

#include "platform/c_number.h"
#include "platform/regular_file.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <optional>
#include <span>

namespace vqs {

namespace {

constexpr std::array<int32_t, 4> kDefaultIntegrationTimes{50, 100, 200, 2400};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The text of a calibration file as words and numbers, in the manner of scanf.
class CalText {
  public:
    explicit CalText(std::string_view text) : text_(text) {}

    // The next run of non-blank characters; none at the end of the text.
    std::optional<std::string_view> word() {
        skipBlanks();
        if (pos_ >= text_.size()) return std::nullopt;
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
        return text_.substr(start, pos_ - start);
    }

    // A number at the reading position; nothing is taken when there is none. Numbers beyond
    // the range of a float are none: the values end up in floats.
    std::optional<float> number() {
        const auto read = readCNumber(text_.substr(pos_));
        if (!read || std::abs(read->value) > FLT_MAX) return std::nullopt;
        pos_ += read->consumed;
        return static_cast<float>(read->value);
    }

    // "= number" after a key: the equals sign is taken when it is there, the number after it
    // too. Says whether an equals sign was there.
    bool equals(std::optional<float>& value) {
        skipBlanks();
        if (pos_ >= text_.size() || text_[pos_] != '=') return false;
        ++pos_;
        value = number();
        return true;
    }

  private:
    void skipBlanks() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

using CalList = std::array<float, kQsp720CalListCapacity>;

// Reads a list into `into`; returns the number of values read.
int readList(CalText& text, CalList& into) {
    int count = 0;
    while (count < kQsp720CalListCapacity) {
        const auto value = text.number();
        if (!value) break;
        into[count++] = *value;
    }
    return count;
}

int readPairs(CalText& text, CalList& W, CalList& V) {
    int count = 0;
    while (count < kQsp720CalListCapacity) {
        const auto wavelength = text.number();
        const auto value = wavelength ? text.number() : std::nullopt;
        if (!value) break;
        W[count] = *wavelength;
        V[count] = *value;
        ++count;
    }
    return count;
}

// Between list points j - 1 and j; equal wavelengths give the first point's value instead of
// dividing by nothing.
float interpolate(const CalList& W, const CalList& V, int j, float lambda) {
    const float span = W[j] - W[j - 1];
    if (span == 0.0f) return V[j - 1];
    return V[j - 1] + (V[j] - V[j - 1]) * (lambda - W[j - 1]) / span;
}

// The largest value, starting from 0; a curve without a positive value is left undivided.
float normaliser(std::span<const float> values) {
    float largest = 0.0f;
    for (const float v : values) largest = std::max(largest, v);
    return largest > 0.0f ? largest : 1.0f;
}

void legalRadCal(const CalList& W, const CalList& V, int n, Tsmlist& probe) {
    if (n < 0) return;  // an empty list says nothing about the curve
    std::array<float, kProbeSamples> curve{};
    int j = 1;
    for (int k = 0; k < kProbeSamples; ++k) {
        const float lambda = probe.wavelength[k];
        while (j < n && W[j] < lambda) ++j;
        if (lambda < W[0])
            curve[k] = V[0];
        else if (lambda > W[n])
            curve[k] = V[n];
        else
            curve[k] = interpolate(W, V, std::max(j, 1), lambda);
    }
    const float largest = normaliser(curve);
    for (int k = 0; k < kProbeSamples; ++k) probe.calCurve[k] = curve[k] / largest;
}

void refRadCal(const CalList& W, CalList& V, int n, Tsmlist& probe) {
    if (n < 0) return;
    const float largestReference = normaliser(std::span<const float>(V.data(), n + 1));
    for (int i = 0; i <= n; ++i) V[i] /= largestReference;
    const float largestCurve = normaliser(probe.calCurve);
    for (float& c : probe.calCurve) c /= largestCurve;
    int j = 0;
    for (int k = 0; k < kProbeSamples; ++k) {
        const float lambda = probe.wavelength[k];
        while (j < n && W[j] < lambda) ++j;
        float reference = 0.0f;
        if (lambda <= W[0])
            reference = V[0];
        else if (lambda > W[n])
            reference = V[n];
        else
            reference = interpolate(W, V, std::max(j, 1), lambda);
        float& c = probe.calCurve[k];
        c = c != 0.0f ? reference / c : 0.0f;
    }
}

void setIntegrationTime(Tsmlist& probe, int occurrence, float ms) {
    if (occurrence >= 4) return;
    if (ms < kQsp720ShortestTimeMs || ms > kQsp720LongestTimeMs) return;
    probe.integrationTime[occurrence] = static_cast<int32_t>(ms);
}

// Overflowing arithmetic of a hostile file must not reach the readings.
void keepCurveFinite(Tsmlist& probe) {
    for (float& c : probe.calCurve)
        if (!std::isfinite(c)) c = 0.0f;
}

}  // namespace

void applyCalFileText(std::string_view fileText, Tsmlist& probe) {
    CalText text(fileText);
    CalList W{};
    CalList V{};
    CalList ignored{};
    int timesSeen = 0;
    bool radCalDataSeen = false;
    while (const auto key = text.word()) {
        std::optional<float> value;
        if (*key == "ENDCALFILE") break;
        if (*key == "RADCALCOR") {
            if (text.equals(value) && value) probe.radCalCor = *value;
        } else if (*key == "INTEGRATIONTIME") {
            if (text.equals(value) && value) setIntegrationTime(probe, timesSeen++, *value);
        } else if (*key == "RADCALWAVES" || *key == "REFWAVES") {
            text.equals(value);
            readList(text, W);
        } else if (*key == "RADCALDATA") {
            text.equals(value);
            if (radCalDataSeen) {
                readList(text, ignored);
                continue;
            }
            radCalDataSeen = true;
            const int count = readList(text, V);
            std::copy_n(V.begin(), count, probe.calCurve.begin());
        } else if (*key == "LEGALRADCAL") {
            text.equals(value);
            legalRadCal(W, V, readPairs(text, W, V) - 1, probe);
        } else if (*key == "REFRADCAL") {
            text.equals(value);
            refRadCal(W, V, readList(text, V) - 1, probe);
        }
    }
    keepCurveFinite(probe);
}

QString calFileOpenPath(const QString& calFilePath) {
    QString path;
    for (const QChar c : calFilePath)
        if (c.unicode() >= 0x20 && c != QLatin1Char('"')) path += c;
    return path;
}

bool readCalFile(Tsmlist& probe) {
    std::copy(kDefaultIntegrationTimes.begin(), kDefaultIntegrationTimes.end(),
              probe.integrationTime.begin());
    const QString path = calFileOpenPath(probe.calFilePath);
    const WholeFile file =
        path.isEmpty() ? WholeFile{} : readWholeRegularFile(path, kQsp720CalFileMaxBytes);
    const std::optional<QByteArray>& bytes = file.bytes;
    if (!bytes) {
        probe.calStatus =
            file.tooLarge ? kCalFileTooLargeStatus + probe.calFilePath : kNoCalFileStatus;
        probe.calStatusColour = kCalStatusRed;
        return false;
    }
    probe.calStatus = probe.calFilePath;
    probe.calStatusColour = kCalStatusWhite;
    applyCalFileText(std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())),
                     probe);
    return true;
}

}  // namespace vqs
