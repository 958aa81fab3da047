#pragma once
// A monitor on the serial link: a pseudo-terminal published as COM n. What the program writes
// is recorded and handed on line by line, and answered as a serial monitor does: it says "OK!"
// now and then to show it is there (when a presence interval is set), shows the colour of every
// pattern message on its display, answers the report query with "OK!", its stored report and
// "OK!" again, and stores the report a save sends it.

#include "sim/display_model.h"
#include "sim/pseudo_terminal.h"
#include "sim/virtual_monitor_protocol.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace vqs::sim {

enum class SerialMonitorFault {
    None,
    Silent,      // hears everything, says nothing
    HalfReport,  // answers the report query with the first half of its report only
    NoReport,    // says it is there but never answers the report query
};

inline const QByteArray kSerialMonitorSerial = QByteArrayLiteral("VSM-0001");
inline const QByteArray kSerialMonitorName = QByteArrayLiteral("Virtual Serial Monitor");

class VirtualSerialMonitor final : public QObject {
    Q_OBJECT
public:
    explicit VirtualSerialMonitor(QObject* parent = nullptr);
    VirtualSerialMonitor(const QByteArray& serial, const QByteArray& name,
                         QObject* parent = nullptr);

    // Publishes the monitor as linkPath (e.g. the serial folder's "COM5").
    bool start(const QString& linkPath);
    // The port vanishes, as when its cable is pulled.
    void stop();
    bool isRunning() const { return terminal_.isOpen(); }
    const QString& error() const { return terminal_.error(); }

    void setFault(SerialMonitorFault fault) { fault_ = fault; }
    // Sends "OK!\r\n" every `milliseconds` while running; 0 (the default) sends none.
    void setPresenceInterval(int milliseconds);

    // What the monitor shows: black until a pattern message says otherwise.
    DisplayModel& display() { return display_; }
    // The report it answers the query with; a save replaces it.
    StoredReport& storedReport() { return protocol_.report(); }
    int reportQueries() const { return protocol_.queries(); }
    int savesStored() const { return protocol_.savesStored(); }

    // Every byte the program wrote.
    const QByteArray& received() const { return received_; }
    // Sends bytes to the program; a silent monitor drops them.
    bool send(const QByteArray& bytes);

signals:
    // One line received, without its line end; empty lines included.
    void lineReceived(const QByteArray& line);
    // A pattern message was shown (black for "off").
    void patternShown(const QColor& colour, const QByteArray& name);
    // A save ended with "SAVE?" and its report is stored.
    void reportStored();

private:
    void receive(const QByteArray& bytes);
    void hearLine(const QByteArray& line);
    QByteArray reportReply() const;

    PseudoTerminal terminal_;
    DisplayModel display_;
    MonitorProtocol protocol_;
    SerialMonitorFault fault_ = SerialMonitorFault::None;
    QTimer presence_;
    QByteArray received_;
    QByteArray pendingLine_;
};

}  // namespace vqs::sim
