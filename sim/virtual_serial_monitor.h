#pragma once
// A monitor on the serial link: a pseudo-terminal published as COM n. What the program writes
// is recorded and handed on line by line; replies are sent by whoever speaks the monitor's
// messages.

#include "sim/display_model.h"
#include "sim/pseudo_terminal.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace vqs::sim {

enum class SerialMonitorFault {
    None,
    Silent,  // hears everything, says nothing
};

class VirtualSerialMonitor final : public QObject {
    Q_OBJECT
public:
    explicit VirtualSerialMonitor(QObject* parent = nullptr);

    // Publishes the monitor as linkPath (e.g. the serial folder's "COM5").
    bool start(const QString& linkPath);
    // The port vanishes, as when its cable is pulled.
    void stop() { terminal_.close(); }
    bool isRunning() const { return terminal_.isOpen(); }
    const QString& error() const { return terminal_.error(); }

    void setFault(SerialMonitorFault fault) { fault_ = fault; }
    DisplayModel& display() { return display_; }

    // Every byte the program wrote.
    const QByteArray& received() const { return received_; }
    // Sends bytes to the program; a silent monitor drops them.
    bool send(const QByteArray& bytes);

signals:
    // One line received, without its line end; empty lines included.
    void lineReceived(const QByteArray& line);

private:
    void receive(const QByteArray& bytes);

    PseudoTerminal terminal_;
    DisplayModel display_;
    SerialMonitorFault fault_ = SerialMonitorFault::None;
    QByteArray received_;
    QByteArray pendingLine_;
};

}  // namespace vqs::sim
