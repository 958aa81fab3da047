#include "sim/virtual_network_monitor.h"

#include <QHostAddress>
#include <QNetworkDatagram>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUdpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <utility>

namespace vqs::sim {

namespace {

constexpr quint16 kDiscoveryPort = 7001;
constexpr quint16 kWrongPort = 7002;
constexpr quint16 kTcpPort = 7000;
const QByteArray kRequest = QByteArrayLiteral("XHB1.0-AREYOUTHERE?");
constexpr auto kShared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;

sockaddr_in socketAddress(const QString& address, quint16 port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address.toLatin1().constData(), &a.sin_addr);
    return a;
}

void closeDescriptor(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

}  // namespace

VirtualNetworkMonitor::VirtualNetworkMonitor(const QString& address, const QByteArray& name,
                                             const QByteArray& serial, QObject* parent)
    : QObject(parent),
      address_(address),
      name_(name),
      serial_(serial),
      protocol_(serial, name, display_) {}

VirtualNetworkMonitor::~VirtualNetworkMonitor() {
    stop();
}

bool VirtualNetworkMonitor::start() {
    stop();
    running_ = true;
    if (!bindUdp() || !openTcp()) {
        const QString reason = error_;
        stop();
        error_ = reason;
        return false;
    }
    return true;
}

void VirtualNetworkMonitor::stop() {
    running_ = false;
    closeTcp();
    for (QUdpSocket** socket : {&listener_, &answerer_, &wrongPort_}) {
        delete *socket;
        *socket = nullptr;
    }
}

bool VirtualNetworkMonitor::bindUdp() {
    listener_ = new QUdpSocket(this);
    answerer_ = new QUdpSocket(this);
    const QHostAddress own(address_);
    if (!listener_->bind(QHostAddress::AnyIPv4, kDiscoveryPort, kShared) ||
        !answerer_->bind(own, kDiscoveryPort, kShared)) {
        error_ = QStringLiteral("cannot bind UDP %1:%2 (%3)")
                     .arg(address_)
                     .arg(kDiscoveryPort)
                     .arg(listener_->errorString() + QLatin1Char(' ') + answerer_->errorString());
        return false;
    }
    // A request sent to this address alone arrives on the more specific socket.
    for (QUdpSocket* socket : {listener_, answerer_})
        connect(socket, &QUdpSocket::readyRead, this, [this, socket] { readDatagrams(socket); });
    return true;
}

bool VirtualNetworkMonitor::openTcp() {
    if (fault_ == NetworkMonitorFault::RefuseTcp) return true;
    if (fault_ == NetworkMonitorFault::Silent) return openUnansweredListener();
    server_ = new QTcpServer(this);
    if (!server_->listen(QHostAddress(address_), kTcpPort)) {
        error_ = QStringLiteral("cannot listen on TCP %1:%2 (%3)")
                     .arg(address_)
                     .arg(kTcpPort)
                     .arg(server_->errorString());
        return false;
    }
    connect(server_, &QTcpServer::newConnection, this, &VirtualNetworkMonitor::acceptClients);
    return true;
}

void VirtualNetworkMonitor::closeTcp() {
    for (QTcpSocket* client : clients_) {
        client->disconnect(this);
        client->abort();
        client->deleteLater();
    }
    clients_.clear();
    pendingLine_.clear();
    delete server_;
    server_ = nullptr;
    closeDescriptor(backlogFiller_);
    closeDescriptor(unansweredListener_);
}

// A host that is switched off answers no SYN. A listener with a backlog of 0 whose one place
// is taken by our own connection drops every further SYN, and the client keeps trying.
bool VirtualNetworkMonitor::openUnansweredListener() {
    const sockaddr_in at = socketAddress(address_, kTcpPort);
    const auto* where = reinterpret_cast<const sockaddr*>(&at);
    unansweredListener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    ::setsockopt(unansweredListener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (::bind(unansweredListener_, where, sizeof at) != 0 ||
        ::listen(unansweredListener_, 0) != 0) {
        error_ = QStringLiteral("cannot listen on TCP %1:%2 (%3)")
                     .arg(address_)
                     .arg(kTcpPort)
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    backlogFiller_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    ::connect(backlogFiller_, where, sizeof at);  // completes in the kernel on loopback
    return true;
}

void VirtualNetworkMonitor::setFault(NetworkMonitorFault fault) {
    // Only a change of how port 7000 behaves drops the open connections.
    auto tcpMode = [](NetworkMonitorFault f) {
        return f == NetworkMonitorFault::Silent || f == NetworkMonitorFault::RefuseTcp
                   ? static_cast<int>(f)
                   : 0;
    };
    const bool tcpChanges = tcpMode(fault_) != tcpMode(fault);
    fault_ = fault;
    if (!running_ || !tcpChanges) return;
    closeTcp();
    if (!openTcp()) running_ = false;
}

void VirtualNetworkMonitor::readDatagrams(QUdpSocket* socket) {
    while (socket->hasPendingDatagrams()) {
        const QNetworkDatagram datagram = socket->receiveDatagram();
        if (datagram.data() == kRequest) {
            ++discoveryRequests_;
            if (fault_ != NetworkMonitorFault::Silent)
                answerDiscovery(datagram.senderAddress(), datagram.senderPort());
        } else {
            datagrams_ << datagram.data();
            emit datagramReceived(datagram.data());
        }
    }
}

QByteArray VirtualNetworkMonitor::answer() const {
    const QByteArray name = fault_ == NetworkMonitorFault::EmptyName ? QByteArray() : name_;
    const QByteArray serial = fault_ == NetworkMonitorFault::EmptySerial ? QByteArray() : serial_;
    switch (fault_) {
        case NetworkMonitorFault::GarbageReply:
            return QByteArray("XHB1.0-NO\0XHB1.0-YES!#", 22) + name + "#a#b#" + serial;
        case NetworkMonitorFault::OversizedReply: {
            QByteArray reply = "XHB1.0-YES!#" + QByteArray(100, 'N') + "#a#b#" + serial + '#';
            return reply + QByteArray(9000 - reply.size(), 'P');
        }
        default: return "XHB1.0-YES!#" + name + "#VQS-VM#1.0#" + serial;
    }
}

void VirtualNetworkMonitor::answerDiscovery(const QHostAddress& to, int port) {
    if (fault_ != NetworkMonitorFault::WrongPort) {
        answerer_->writeDatagram(answer(), to, static_cast<quint16>(port));
        return;
    }
    if (!wrongPort_) {
        wrongPort_ = new QUdpSocket(this);
        wrongPort_->bind(QHostAddress(address_), kWrongPort, kShared);
    }
    wrongPort_->writeDatagram(answer(), to, static_cast<quint16>(port));
}

void VirtualNetworkMonitor::acceptClients() {
    while (QTcpSocket* client = server_->nextPendingConnection()) {
        ++accepted_;
        clients_ << client;
        connect(client, &QTcpSocket::readyRead, this, [this, client] { readClient(client); });
        connect(client, &QTcpSocket::disconnected, this, [this, client] {
            clients_.removeOne(client);
            client->deleteLater();
        });
        if (!outbox_.isEmpty()) client->write(std::exchange(outbox_, {}));
    }
}

void VirtualNetworkMonitor::readClient(QTcpSocket* client) {
    const QByteArray bytes = client->readAll();
    tcpReceived_ += bytes;
    if (fault_ == NetworkMonitorFault::DropConnection) {
        client->abort();
        return;
    }
    pendingLine_ += bytes;
    for (qsizetype end; (end = pendingLine_.indexOf('\n')) >= 0;) {
        QByteArray line = pendingLine_.left(end);
        pendingLine_.remove(0, end + 1);
        if (line.endsWith('\r')) line.chop(1);
        emit lineReceived(line);
        hearLine(client, line);
    }
}

void VirtualNetworkMonitor::hearLine(QTcpSocket* client, const QByteArray& line) {
    const HeardLine heard = protocol_.hear(line);
    if (heard.shown) {
        display_.show(*heard.shown);
        emit patternShown(*heard.shown, heard.patternName);
    }
    if (heard.stored) emit reportStored();
    if (heard.queried && clients_.contains(client)) client->write(reportReply());
}

QByteArray VirtualNetworkMonitor::reportReply() const {
    switch (fault_) {
        case NetworkMonitorFault::NoReport:
            return {};
        case NetworkMonitorFault::HalfReport: {
            const QByteArray text = reportText(protocol_.report());
            return text.left(text.size() / 2);
        }
        case NetworkMonitorFault::OtherSerialInReport: {
            StoredReport report = protocol_.report();
            report.devsnid = "OTHER-" + serial_;
            return reportText(report);
        }
        default:
            return reportText(protocol_.report());
    }
}

void VirtualNetworkMonitor::sendToClient(const QByteArray& bytes) {
    if (clients_.isEmpty()) {
        outbox_ += bytes;
        return;
    }
    for (QTcpSocket* client : clients_) client->write(bytes);
}

}  // namespace vqs::sim
