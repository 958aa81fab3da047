#include "platform/serial_port.h"

#include <QDir>
#include <QFileInfo>
#include <QSerialPort>

namespace vqs {

namespace {

class QtSerialPort final : public SerialPort {
public:
    QtSerialPort(const QString& linkPath, const QString& devicePath) : linkPath_(linkPath) {
        port_.setPortName(devicePath);
    }

    bool open(int baudRate) {
        if (!port_.open(QIODevice::ReadWrite)) return false;
        const bool accepted = port_.setBaudRate(baudRate) &&
                              port_.setDataBits(QSerialPort::Data8) &&
                              port_.setParity(QSerialPort::NoParity) &&
                              port_.setStopBits(QSerialPort::OneStop) &&
                              port_.setFlowControl(QSerialPort::NoFlowControl);
        if (!accepted) port_.close();
        return accepted;
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

std::unique_ptr<SerialPort> openComPort(int comNumber, int baudRate) {
    const QString path = comDevicePath(comNumber);
    if (comNumber < 1 || !QFileInfo::exists(path)) return nullptr;
    // QSerialPort resolves a name without a folder under /dev; give it the link's target.
    auto port = std::make_unique<QtSerialPort>(path, QFileInfo(path).canonicalFilePath());
    if (!port->open(baudRate)) return nullptr;
    return port;
}

}  // namespace vqs
