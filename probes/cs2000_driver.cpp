#include "probes/cs2000_driver.h"

#include "probes/cs2000_replies.h"
#include "tables/cie1931_observer.h"

#include <algorithm>

namespace vqs {

namespace {

constexpr int kBlockValues = 100;  // blocks 1..3; block 4 carries 101
constexpr int kIdentificationLength = 24;
constexpr int kMeasurementAnswerMinimum = 15;

int expectedBlockValues(int32_t state) {
    return state == kCs2000WaitBlock4 ? kBlockValues + 1 : kBlockValues;
}

}  // namespace

Cs2000Driver::Cs2000Driver(ProbeList& probes, bool& logNextMeasurement, Hooks hooks)
    : probes_(probes), logNextMeasurement_(logNextMeasurement), hooks_(std::move(hooks)) {}

// ---- Port search ----------------------------------------------------------------------------

void Cs2000Driver::startSearch(int skipPort) {
    skipPort_ = skipPort;
    openPort(1);
}

void Cs2000Driver::openPort(int port) {
    closePort();
    link_.portNumber = port;
    link_.clearReceived();
    link_.countdown = 3;
    if (port == skipPort_ || !hooks_.openPort) return;
    link_.handle = hooks_.openPort(port);
    if (!link_.handle) return;
    // A leading line end clears whatever half command the instrument may hold.
    if (!link_.handle->write(QByteArrayLiteral("\r\nRMTS,1\r\n"))) return closePort();
    link_.state = kCs2000WaitFirstAnswer;
}

void Cs2000Driver::closePort() {
    link_.handle.reset();
    link_.state = kCs2000Closed;
}

void Cs2000Driver::housekeeping() {
    if (link_.state == kCs2000WaitFirstAnswer) {
        if (link_.countdown > 0) {
            --link_.countdown;
        } else if (link_.rxCount > 0 && received("OK00")) {
            link_.clearReceived();
            send("IDDR", kCs2000WaitIdentification);
        } else {
            closePort();
        }
    }
    while (link_.portNumber < kCs2000LastSearchPort && link_.state == kCs2000Closed)
        openPort(link_.portNumber + 1);
}

// ---- Bytes in and out -----------------------------------------------------------------------

void Cs2000Driver::send(const char* command, int32_t newState) {
    link_.state = newState;
    if (!link_.handle || !link_.handle->write(QByteArray(command) + "\r\n")) closePort();
}

void Cs2000Driver::readBytes() {
    if (link_.state == kCs2000Closed || !link_.handle) return;
    for (const char byte : link_.handle->readAvailable()) link_.storeByte(static_cast<uint8_t>(byte));
    // An instrument unplugged mid-measurement leaves its probe entry without readings.
    if (!link_.handle->isHealthy()) closePort();
}

bool Cs2000Driver::received(const char* text) const {
    const QByteArray bytes(reinterpret_cast<const char*>(link_.rxBuffer.data()), link_.rxCount);
    return bytes.contains(text);
}

bool Cs2000Driver::lastByteIsLineFeed() const {
    return link_.rxCount > 0 && link_.rxBuffer[link_.rxCount - 1] == '\n';
}

// ---- Replies --------------------------------------------------------------------------------

void Cs2000Driver::interpretReplies() {
    if (waitedTooLong()) return;
    if (link_.rxCount == 0) return;
    switch (link_.state) {
        case kCs2000WaitIdentification: return interpretIdentification();
        case kCs2000Measuring: return interpretMeasurementEnd();
        case kCs2000Local:
            if (lastByteIsLineFeed()) link_.clearReceived();  // answers in local mode
            return;
        case kCs2000WaitRemote: return interpretRemoteAnswer();
        default:
            if (link_.state >= kCs2000WaitBlock1 && link_.state <= kCs2000WaitBlock4)
                interpretSpectralBlock();
            return;
    }
}

// The instrument's protocol has no time-outs of its own: an answer lost on the cable would
// leave the measurement waiting for ever. After a long silence the driver measures again (or,
// waiting for remote mode, asks again).
bool Cs2000Driver::waitedTooLong() {
    const int32_t state = link_.state;
    const bool awaiting = (state >= kCs2000Measuring && state <= kCs2000WaitBlock4) ||
                          state == kCs2000WaitRemote;
    if (!awaiting || link_.rxCount != lastRxCount_) {
        silentTicks_ = 0;
        lastRxCount_ = link_.rxCount;
        return false;
    }
    int limit = kCs2000AnswerTimeoutTicks;
    if (state == kCs2000Measuring) limit += 10 * announcedMeasuringSeconds();
    if (++silentTicks_ <= limit) return false;
    silentTicks_ = 0;
    link_.clearReceived();
    lastRxCount_ = 0;
    link_.state = state == kCs2000WaitRemote ? kCs2000Local : kCs2000Ready;
    return true;
}

// "OK00,ttt": the measuring time in seconds the instrument announces after "MEAS,1".
int Cs2000Driver::announcedMeasuringSeconds() const {
    const QByteArray bytes(reinterpret_cast<const char*>(link_.rxBuffer.data()), link_.rxCount);
    const qsizetype at = bytes.indexOf("OK00,");
    if (at < 0) return 0;
    bool ok = false;
    const int seconds = bytes.mid(at + 5).split('\r').first().toInt(&ok);
    return ok && seconds > 0 ? std::min(seconds, 3600) : 0;
}

void Cs2000Driver::interpretIdentification() {
    if (link_.rxCount <= kIdentificationLength || link_.rxBuffer[kIdentificationLength] != '\r')
        return;
    tokeniseReply(link_.rxBuffer, kIdentificationLength);
    const Identification id = parseIdentification(link_.rxBuffer);
    const int row = findFreeProbeRow(probes_);
    if (id.ok && row >= 0) {
        Tsmlist& probe = probes_[row];
        probe.type = kProbeCs2000;
        probe.serialNumber = QString::fromLatin1(id.serial);
        probe.displayName = QStringLiteral("KM %1 - SN%2")
                                .arg(QString::fromLatin1(id.model), probe.serialNumber);
        for (int i = 0; i < kCs2000Samples; ++i) probe.wavelength[i] = 380.0f + i;
        probe.sampleCount = kCs2000Samples;
        probe.firstPixel = 0;
        probe.lastPixel = kCs2000Samples - 1;
        if (hooks_.probeAdded) hooks_.probeAdded();
    }
    send("RMTS,0", kCs2000Local);
    link_.clearReceived();
}

void Cs2000Driver::interpretMeasurementEnd() {
    if (!lastByteIsLineFeed() || link_.rxCount <= kMeasurementAnswerMinimum) return;
    tokeniseReply(link_.rxBuffer, link_.rxCount);
    const QList<QByteArray> tokens = replyTokens(link_.rxBuffer, link_.rxCount, 3);
    if (tokens.size() == 3 && tokens[0].contains("OK00") && tokens[2].contains("OK00")) {
        link_.clearReceived();
        send("MEDR,1,0,01", kCs2000WaitBlock1);
    }
    if (link_.state == kCs2000Measuring) link_.state = kCs2000Ready;
    link_.clearReceived();
}

void Cs2000Driver::interpretSpectralBlock() {
    if (!lastByteIsLineFeed()) return;
    const int block = link_.state - kCs2000WaitBlock1;  // 0..3
    const int expected = expectedBlockValues(link_.state);
    tokeniseReply(link_.rxBuffer, link_.rxCount);
    const QList<float> values = parseSpectralBlock(link_.rxBuffer, link_.rxCount, expected);
    link_.clearReceived();
    if (values.size() < expected) {
        link_.state = kCs2000Ready;  // measure again at the next poll
        return;
    }
    std::copy(values.begin(), values.end(), spectrum_.begin() + block * kBlockValues);
    if (link_.state == kCs2000WaitBlock4) {
        link_.state = kCs2000SpectrumComplete;
        return;
    }
    const QByteArray next = "MEDR,1,0,0" + QByteArray::number(block + 2);
    send(next.constData(), link_.state + 1);
}

void Cs2000Driver::interpretRemoteAnswer() {
    if (!lastByteIsLineFeed()) return;
    const QList<QByteArray> tokens = replyTokens(link_.rxBuffer, link_.rxCount, 4);
    link_.state = !tokens.isEmpty() && tokens[0].contains("OK00") ? kCs2000Ready : kCs2000Local;
    link_.clearReceived();
}

// ---- Driver contract ------------------------------------------------------------------------

int Cs2000Driver::poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) {
    switch (link_.state) {
        case kCs2000Local: send("RMTS,1", kCs2000WaitRemote); return 0;
        case kCs2000Ready: send("MEAS,1", kCs2000Measuring); return 0;
        case kCs2000SpectrumComplete:
            deliver(row, X, Y, Z, spectrum);
            send("MEAS,1", kCs2000Measuring);
            return 1;
        default: return 0;
    }
}

void Cs2000Driver::deliver(int row, float& X, float& Y, float& Z, Tsprad& spectrum) {
    spectrum.firstWavelength = 380;
    spectrum.lastWavelength = 780;
    spectrum.count = kCs2000Samples;
    for (int i = 0; i < kCs2000Samples; ++i) spectrum.values[i] = spectrum_[i] * 1e6f;
    cs2000Tristimulus(spectrum, X, Y, Z);
    if (logNextMeasurement_) {
        if (hooks_.logMeasurement) hooks_.logMeasurement(row, X, Y, Z, spectrum_);
        logNextMeasurement_ = false;
    }
}

void Cs2000Driver::release(int) {
    if (link_.state != kCs2000Closed) send("RMTS,0", kCs2000Local);
}

void Cs2000Driver::close() {
    release(0);
    closePort();
}

void cs2000Tristimulus(const Tsprad& spectrum, float& X, float& Y, float& Z) {
    // Walk the observer from 360 nm up to 780 nm; rows from 380 nm meet the spectrum's values.
    float sumX = 0.0f, sumY = 0.0f, sumZ = 0.0f;
    int walked = 0;
    for (std::size_t k = 1; k < cie1931Observer.size(); ++k) {
        const ObserverRow& row = cie1931Observer[k];
        if (row.wavelength == 0.0f || row.wavelength >= 781.0f) break;
        ++walked;
        if (row.wavelength < 380.0f) continue;
        const float value = spectrum.values[static_cast<int>(row.wavelength) - 380];
        sumX += value * row.xbar;
        sumY += value * row.ybar;
        sumZ += value * row.zbar;
    }
    // With 421 rows walked the factor is 10^6 × 143.8 / (501 × 420) = 683.4 lm/W applied to
    // the radiance, so Y is the luminance in cd/m².
    auto scaled = [walked](float sum) {
        return static_cast<float>(static_cast<double>(sum) / (walked - 1) / 501.0 * 143.8);
    };
    X = scaled(sumX);
    Y = scaled(sumY);
    Z = scaled(sumZ);
}

}  // namespace vqs
