#pragma once
// A monitor on the network, on its own loopback address (127.0.0.2, 127.0.0.3, ...): it answers
// discovery from UDP port 7001 and serves TCP port 7000 on that address. Every monitor listens
// on 0.0.0.0:7001 with the address shared, so a broadcast to 127.255.255.255 reaches each of
// them (inside a private network namespace), and answers from a second socket bound to its own
// address and port 7001, so the program sees distinct senders. What the program says to it
// over TCP is recorded and handed on line by line, and answered as a monitor does: patterns go
// to its display, the report query is answered with its stored report, a save replaces it.

#include "sim/display_model.h"
#include "sim/virtual_monitor_protocol.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

class QHostAddress;
class QTcpServer;
class QTcpSocket;
class QUdpSocket;

namespace vqs::sim {

enum class NetworkMonitorFault {
    None,
    Silent,          // switched off: no answers, and a connect is never answered
    RefuseTcp,       // answers discovery, refuses port 7000
    DropConnection,  // accepts, then drops the connection when the first bytes arrive
    GarbageReply,    // answers discovery with bytes that are no answer
    OversizedReply,  // answers with 9000 bytes: a 100-character name, padding past 8192
    WrongPort,       // answers from port 7002
    EmptyName,       // the answer's name field is empty
    EmptySerial,     // the answer's serial field is empty
    HalfReport,      // answers the report query with the first half of its report, then nothing
    NoReport,        // never answers the report query
    OtherSerialInReport,  // its report names the serial "OTHER-" + the discovery answer's
};

class VirtualNetworkMonitor final : public QObject {
    Q_OBJECT
public:
    VirtualNetworkMonitor(const QString& address, const QByteArray& name, const QByteArray& serial,
                          QObject* parent = nullptr);
    ~VirtualNetworkMonitor() override;

    // Binds the ports; false (with the reason in error()) when the address or a port is taken.
    bool start();
    void stop();
    const QString& error() const { return error_; }

    // Takes effect at once, also while running.
    void setFault(NetworkMonitorFault fault);
    NetworkMonitorFault fault() const { return fault_; }

    const QString& address() const { return address_; }
    // What the monitor shows: black until a pattern message says otherwise.
    DisplayModel& display() { return display_; }
    // The report it answers the query with; a save replaces it.
    StoredReport& storedReport() { return protocol_.report(); }
    int reportQueries() const { return protocol_.queries(); }
    int savesStored() const { return protocol_.savesStored(); }

    int discoveryRequests() const { return discoveryRequests_; }
    // Datagrams other than the discovery request (pushed readings, the date).
    const QList<QByteArray>& datagrams() const { return datagrams_; }
    // Every byte that arrived over TCP, and the connections accepted so far.
    const QByteArray& tcpReceived() const { return tcpReceived_; }
    int connectionsAccepted() const { return accepted_; }
    int openConnections() const { return static_cast<int>(clients_.size()); }

    // Sends bytes to the connected program, or to the next connection when none is open.
    void sendToClient(const QByteArray& bytes);

signals:
    // One line received over TCP, without its line end; empty lines included.
    void lineReceived(const QByteArray& line);
    void datagramReceived(const QByteArray& bytes);
    // A pattern message was shown (black for "off").
    void patternShown(const QColor& colour, const QByteArray& name);
    // A save ended with "SAVE?" and its report is stored.
    void reportStored();

private:
    bool bindUdp();
    bool openTcp();
    void closeTcp();
    bool openUnansweredListener();
    void readDatagrams(QUdpSocket* socket);
    void answerDiscovery(const QHostAddress& to, int port);
    QByteArray answer() const;
    void acceptClients();
    void readClient(QTcpSocket* client);
    void hearLine(QTcpSocket* client, const QByteArray& line);
    QByteArray reportReply() const;

    QString address_;
    QByteArray name_;
    QByteArray serial_;
    DisplayModel display_;
    MonitorProtocol protocol_;
    NetworkMonitorFault fault_ = NetworkMonitorFault::None;
    bool running_ = false;
    QString error_;

    QUdpSocket* listener_ = nullptr;   // 0.0.0.0:7001, shared by every monitor
    QUdpSocket* answerer_ = nullptr;   // own address, port 7001
    QUdpSocket* wrongPort_ = nullptr;  // own address, port 7002
    QTcpServer* server_ = nullptr;
    int unansweredListener_ = -1;  // a listener whose backlog is full, so SYNs go unanswered
    int backlogFiller_ = -1;
    QList<QTcpSocket*> clients_;
    QByteArray pendingLine_;
    QByteArray outbox_;

    int discoveryRequests_ = 0;
    QList<QByteArray> datagrams_;
    QByteArray tcpReceived_;
    int accepted_ = 0;
};

}  // namespace vqs::sim
