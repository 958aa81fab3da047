#include "probes/cs2000_driver.h"

#include "tables/cie1931_observer.h"

#include <algorithm>

namespace vqs {

namespace {

constexpr int kBlockValues = 100;  // blocks 1..3; block 4 carries 101
constexpr int kIdentificationLength = 24;
constexpr int kLongestMeasuringSeconds = 3600;

int expectedBlockValues(int32_t state) {
    return state == kCs2000WaitBlock4 ? kBlockValues + 1 : kBlockValues;
}

// The states in which the driver waits for the answer to the command it sent last.
bool awaitsAnswer(int32_t state) {
    return state == kCs2000WaitIdentification ||
           (state >= kCs2000Measuring && state <= kCs2000WaitBlock4) || state == kCs2000WaitRemote;
}

std::span<uint8_t> bytesOf(QByteArray& line) {
    return {reinterpret_cast<uint8_t*>(line.data()), static_cast<std::size_t>(line.size())};
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
    discardReceived();
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
    ledger_.clear();
}

void Cs2000Driver::housekeeping() {
    if (link_.state == kCs2000WaitFirstAnswer) {
        if (link_.countdown > 0) {
            --link_.countdown;
        } else if (link_.rxCount > 0 && received("OK00")) {
            homePort_ = link_.portNumber;
            discardReceived();
            ledger_.clear();  // what the opening line end may have drawn is not owed
            send("IDDR", kCs2000WaitIdentification);
        } else {
            closePort();
        }
    }
    if (link_.state != kCs2000Closed) return;
    // The instrument's port went away (unplugged adapter): try it again, never another one, so
    // a second instrument elsewhere is not taken for it.
    if (homePort_ != 0) return openPort(homePort_);
    while (link_.portNumber < kCs2000LastSearchPort && link_.state == kCs2000Closed)
        openPort(link_.portNumber + 1);
}

// ---- Bytes in and out -----------------------------------------------------------------------

void Cs2000Driver::send(const char* command, int32_t newState) {
    link_.state = newState;
    ledger_.commandSent(command, received_, awaitsAnswer(newState));
    if (!link_.handle || !link_.handle->write(QByteArray(command) + "\r\n")) closePort();
}

void Cs2000Driver::startMeasurement() {
    announcedSeconds_ = 0;
    send("MEAS,1", kCs2000Measuring);
}

void Cs2000Driver::readBytes() {
    if (link_.state == kCs2000Closed || !link_.handle) return;
    for (const char byte : link_.handle->readAvailable()) {
        link_.storeByte(static_cast<uint8_t>(byte));
        ++received_;
        if (link_.rxCount == 0) bufferStart_ = received_;  // wrapped: what it held is gone
    }
    // An instrument unplugged mid-measurement leaves its probe entry without readings.
    if (!link_.handle->isHealthy()) closePort();
}

bool Cs2000Driver::received(const char* text) const {
    const QByteArray bytes(reinterpret_cast<const char*>(link_.rxBuffer.data()), link_.rxCount);
    return bytes.contains(text);
}

void Cs2000Driver::discardReceived() {
    link_.clearReceived();
    bufferStart_ = received_;
}

// The oldest complete line, up to and with its LF, taken off the front of the buffer; `start`
// tells which received byte began it.
std::optional<QByteArray> Cs2000Driver::takeLine(int64_t& start) {
    uint8_t* const begin = link_.rxBuffer.data();
    uint8_t* const end = begin + link_.rxCount;
    uint8_t* const lineFeed = std::find(begin, end, uint8_t{'\n'});
    if (lineFeed == end) return std::nullopt;
    const int length = static_cast<int>(lineFeed - begin) + 1;
    QByteArray line(reinterpret_cast<const char*>(begin), length);
    std::copy(lineFeed + 1, end, begin);
    link_.rxCount -= length;
    start = bufferStart_;
    bufferStart_ += length;
    return line;
}

// ---- Replies --------------------------------------------------------------------------------

// Complete lines go, in order, to the commands that owe them; only the answer the state machine
// waits for is interpreted. A line without its LF waits for the rest in a later tick.
void Cs2000Driver::interpretReplies() {
    if (waitedTooLong()) return;
    // A freshly opened port is judged by the housekeeping on everything it received.
    if (link_.state == kCs2000Closed || link_.state == kCs2000WaitFirstAnswer) return;
    int64_t start = 0;
    while (link_.state != kCs2000Closed) {
        std::optional<QByteArray> line = takeLine(start);
        if (!line) return;
        const Cs2000LineAssignment owner = ledger_.assign(*line, start);
        if (owner.owner == Cs2000LineOwner::Awaited) interpret(owner.reply, std::move(*line));
    }
}

void Cs2000Driver::interpret(Cs2000Reply reply, QByteArray line) {
    switch (reply) {
        case Cs2000Reply::Identification: return interpretIdentification(std::move(line));
        case Cs2000Reply::MeasurementStart: return interpretMeasurementStart(std::move(line));
        case Cs2000Reply::MeasurementEnd: return interpretMeasurementEnd(std::move(line));
        case Cs2000Reply::SpectralBlock: return interpretSpectralBlock(std::move(line));
        case Cs2000Reply::Acknowledgement: return interpretRemoteAnswer(line);
    }
}

// The instrument's protocol has no time-outs of its own: an answer lost on the cable would
// leave the measurement waiting for ever. After a long silence the driver measures again (or,
// waiting for remote mode, asks again), and no longer expects the lost answers.
bool Cs2000Driver::waitedTooLong() {
    const int32_t state = link_.state;
    const bool awaiting = awaitsAnswer(state) && state != kCs2000WaitIdentification;
    if (!awaiting || received_ != lastReceived_) {
        silentTicks_ = 0;
        lastReceived_ = received_;
        return false;
    }
    int limit = kCs2000AnswerTimeoutTicks;
    if (state == kCs2000Measuring) limit += 10 * announcedSeconds_;
    if (++silentTicks_ <= limit) return false;
    silentTicks_ = 0;
    discardReceived();
    ledger_.clear();
    link_.state = state == kCs2000WaitRemote ? kCs2000Local : kCs2000Ready;
    return true;
}

// The identification is 24 bytes and CR: "OK00,model,flag,serial". The first one accepted adds
// the instrument to the probe list; after the port was opened again, an instrument with another
// serial number is left alone in local mode and never measures into that row.
void Cs2000Driver::interpretIdentification(QByteArray line) {
    if (line.size() <= kIdentificationLength || line[kIdentificationLength] != '\r') return;
    const std::span<uint8_t> bytes = bytesOf(line);
    tokeniseReply(bytes, kIdentificationLength);
    const Identification id = parseIdentification(bytes);
    if (!identified_)
        adopt(id);
    else
        stranger_ = !id.ok || id.serial != serial_;
    send("RMTS,0", kCs2000Local);
}

void Cs2000Driver::adopt(const Identification& id) {
    if (!id.ok) return;
    identified_ = true;
    serial_ = id.serial;
    row_ = findFreeProbeRow(probes_);
    if (row_ < 0) return;
    Tsmlist& probe = probes_[row_];
    probe.type = kProbeCs2000;
    probe.serialNumber = QString::fromLatin1(id.serial);
    probe.displayName =
        QStringLiteral("KM %1 - SN%2").arg(QString::fromLatin1(id.model), probe.serialNumber);
    for (int i = 0; i < kCs2000Samples; ++i) probe.wavelength[i] = 380.0f + i;
    probe.sampleCount = kCs2000Samples;
    probe.firstPixel = 0;
    probe.lastPixel = kCs2000Samples - 1;
    if (hooks_.probeAdded) hooks_.probeAdded();
}

// "OK00,ttt" announces the measuring time in seconds; anything else refuses the measurement,
// which starts again at the next poll.
void Cs2000Driver::interpretMeasurementStart(QByteArray line) {
    if (!isOkReply(line)) {
        link_.state = kCs2000Ready;
        return;
    }
    const std::span<uint8_t> bytes = bytesOf(line);
    tokeniseReply(bytes, static_cast<int>(line.size()));
    const QList<QByteArray> tokens = replyTokens(bytes, static_cast<int>(line.size()), 2);
    bool ok = false;
    const int seconds = tokens.value(1).toInt(&ok);
    announcedSeconds_ = ok && seconds > 0 ? std::min(seconds, kLongestMeasuringSeconds) : 0;
}

void Cs2000Driver::interpretMeasurementEnd(QByteArray line) {
    const std::span<uint8_t> bytes = bytesOf(line);
    tokeniseReply(bytes, static_cast<int>(line.size()));
    const QList<QByteArray> tokens = replyTokens(bytes, static_cast<int>(line.size()), 1);
    if (!tokens.isEmpty() && tokens[0].contains("OK00"))
        send("MEDR,1,0,01", kCs2000WaitBlock1);
    else
        link_.state = kCs2000Ready;
}

void Cs2000Driver::interpretSpectralBlock(QByteArray line) {
    const int32_t state = link_.state;
    if (state < kCs2000WaitBlock1 || state > kCs2000WaitBlock4) return;
    const int block = state - kCs2000WaitBlock1;  // 0..3
    const int expected = expectedBlockValues(state);
    const std::span<uint8_t> bytes = bytesOf(line);
    tokeniseReply(bytes, static_cast<int>(line.size()));
    const QList<float> values = parseSpectralBlock(bytes, static_cast<int>(line.size()), expected);
    if (values.size() < expected) {
        link_.state = kCs2000Ready;  // measure again at the next poll
        return;
    }
    std::copy(values.begin(), values.end(), spectrum_.begin() + block * kBlockValues);
    if (state == kCs2000WaitBlock4) {
        link_.state = kCs2000SpectrumComplete;
        return;
    }
    const QByteArray next = "MEDR,1,0,0" + QByteArray::number(block + 2);
    send(next.constData(), state + 1);
}

void Cs2000Driver::interpretRemoteAnswer(const QByteArray& line) {
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(line.constData()),
                                         static_cast<std::size_t>(line.size()));
    const QList<QByteArray> tokens = replyTokens(bytes, static_cast<int>(line.size()), 4);
    link_.state = !tokens.isEmpty() && tokens[0].contains("OK00") ? kCs2000Ready : kCs2000Local;
}

// ---- Driver contract ------------------------------------------------------------------------

int Cs2000Driver::poll(int row, float& X, float& Y, float& Z, Tsprad& spectrum) {
    // Only the instrument identified first measures into its row.
    if (stranger_ || row != row_) return 0;
    switch (link_.state) {
        case kCs2000Local: send("RMTS,1", kCs2000WaitRemote); return 0;
        case kCs2000Ready: startMeasurement(); return 0;
        case kCs2000SpectrumComplete:
            deliver(row, X, Y, Z, spectrum);
            startMeasurement();
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
