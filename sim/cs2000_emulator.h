#pragma once
// A CS-2000 on a pseudo-terminal: answers the remote commands as the instrument does and
// measures the colour its display model shows. Fault modes reproduce what real cables and
// instruments do wrong.

#include "sim/display_model.h"
#include "sim/pseudo_terminal.h"

#include <QObject>
#include <QStringList>

namespace vqs::sim {

enum class Cs2000Fault {
    None,
    Silence,      // answers nothing
    ErrorCode,    // the measurement ends with an error code
    ShortBlock,   // a spectral block lacks its last value
    SplitReply,   // every reply arrives in two parts, some ticks apart
    Garbage,      // a spectral block carries bytes that are no numbers
    Vanish,       // the port disappears at the next measurement
    DoubleReply,  // every reply line is sent twice
};

class Cs2000Emulator final : public QObject {
    Q_OBJECT
public:
    Cs2000Emulator(DisplayModel& display, QObject* parent = nullptr);

    // Publishes the instrument as linkPath (e.g. the serial folder's "COM4").
    bool start(const QString& linkPath);
    void stop() { terminal_.close(); }
    bool isRunning() const { return terminal_.isOpen(); }

    void setFault(Cs2000Fault fault) { fault_ = fault; }
    void setMeasurementTime(int milliseconds) { measurementMs_ = milliseconds; }
    void setIdentity(const QByteArray& model, const QByteArray& serial);

    // Every command received, without its line end.
    const QStringList& commands() const { return commands_; }
    // The radiance of the last completed measurement.
    const Cs2000Spectrum& lastSpectrum() const { return measured_; }
    int completedMeasurements() const { return measurements_; }

private:
    void receive(const QByteArray& bytes);
    void handle(const QByteArray& command);
    void reply(const QByteArray& line);
    void drainOutbox();
    void measure();
    QByteArray identification() const;
    QByteArray spectralBlock(int block) const;

    DisplayModel& display_;
    PseudoTerminal terminal_;
    Cs2000Fault fault_ = Cs2000Fault::None;
    int measurementMs_ = 0;
    QByteArray model_ = "CS-2000";
    QByteArray serial_ = "100012345";
    QByteArray pending_;
    QList<QByteArray> outbox_;  // parts of split replies still to send, in order
    bool draining_ = false;
    QStringList commands_;
    Cs2000Spectrum measured_{};
    int measurements_ = 0;
};

}  // namespace vqs::sim
