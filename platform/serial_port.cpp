#include "platform/serial_port.h"

#include "platform/serial_diagnosis.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>

namespace vqs {

namespace {

QSerialPort::DataBits dataBitsOf(int bits) {
    switch (bits) {
        case 5: return QSerialPort::Data5;
        case 6: return QSerialPort::Data6;
        case 7: return QSerialPort::Data7;
        default: return QSerialPort::Data8;
    }
}

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort(const QString& linkPath, const QString& devicePath) : linkPath_(linkPath) {
        port_.setPortName(devicePath);
    }

    bool open(const SerialLineSettings& line) {
        if (!port_.open(QIODevice::ReadWrite)) return false;
        const bool even = line.parity == SerialParity::Even;
        // Each setting on its own: one the driver refuses must not keep the others away.
        bool accepted = port_.setBaudRate(line.baudRate);
        accepted &= port_.setDataBits(dataBitsOf(line.dataBits));
        accepted &= port_.setParity(even ? QSerialPort::EvenParity : QSerialPort::NoParity);
        accepted &=
            port_.setStopBits(line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
        accepted &= port_.setFlowControl(QSerialPort::NoFlowControl);
        if (line.dataTerminalReady) port_.setDataTerminalReady(*line.dataTerminalReady);
        if (line.requestToSend) port_.setRequestToSend(*line.requestToSend);
        if (!accepted && line.framingRequired) {
            port_.close();
            return false;
        }
        port_.clearError();  // a refused setting is no reason to call the port unhealthy
        return true;
    }

    bool write(const QByteArray& bytes) override {
        if (!port_.isOpen() || port_.write(bytes) != bytes.size()) return false;
        // Hand the bytes to the device now; the event loop may not run before the next tick.
        port_.flush();
        return true;
    }

    QByteArray readAvailable() override {
        if (!port_.isOpen()) return {};
        port_.waitForReadyRead(0);  // collects what the device holds without waiting
        return port_.readAll();
    }

    // An unplugged adapter takes its device file along, which leaves the COM link dangling.
    bool isHealthy() const override {
        const auto error = port_.error();
        return port_.isOpen() && error != QSerialPort::ResourceError &&
               error != QSerialPort::DeviceNotFoundError &&
               error != QSerialPort::PermissionError && QFileInfo::exists(linkPath_);
    }

private:
    QString linkPath_;
    QSerialPort port_;
};

}  // namespace

QString serialFolder() {
    const QByteArray configured = qgetenv("VQS_SERIAL_DIR");
    if (!configured.isEmpty()) return QString::fromLocal8Bit(configured);
    return QDir::homePath() + QStringLiteral("/.local/share/lumiquest/serial");
}

QString comDevicePath(int comNumber) {
    return serialFolder() + QStringLiteral("/COM%1").arg(comNumber);
}

// A port the operator can make usable (permissions, a dangling link) is noted for the window.
static std::unique_ptr<SerialPort> noteWhyNot(int comNumber, const QString& path) {
    if (const auto problem = diagnoseComEntry(comNumber, path)) noteSerialProblem(*problem);
    return nullptr;
}

std::unique_ptr<SerialPort> openComPort(int comNumber, const SerialLineSettings& line) {
    const QString path = comDevicePath(comNumber);
    if (comNumber < 1) return nullptr;
    if (!QFileInfo::exists(path)) return noteWhyNot(comNumber, path);
    // QSerialPort resolves a name without a folder under /dev; give it the link's target.
    auto port = std::make_unique<QtSerialPort>(path, QFileInfo(path).canonicalFilePath());
    if (!port->open(line)) return noteWhyNot(comNumber, path);
    return port;
}

std::unique_ptr<SerialPort> openComPort(int comNumber, int baudRate) {
    SerialLineSettings line;
    line.baudRate = baudRate;
    return openComPort(comNumber, line);
}

}  // namespace vqs
