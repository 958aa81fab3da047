#pragma once
// Serial ports by COM number. COM n is the device file "COMn" in the serial folder: a link to
// the real device (such as /dev/ttyUSB0), much as Wine's dosdevices folder works. The folder is
// $VQS_SERIAL_DIR when set, else ~/.local/share/lumiquest/serial. Tests and the virtual lab
// always set VQS_SERIAL_DIR to a folder of pseudo-terminal links.

#include <QByteArray>
#include <QString>

#include <memory>

namespace vqs {

QString serialFolder();
QString comDevicePath(int comNumber);

// An open port. Reads never wait: they take what has arrived.
class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual QByteArray readAvailable() = 0;
    // False once the device went away (unplugged, or the peer closed a pseudo-terminal).
    virtual bool isHealthy() const = 0;
};

// Opens COM n exclusively at the given baud rate, 8 data bits, no parity, one stop bit, no flow
// control. Null when the device does not exist, is busy or rejects the settings.
std::unique_ptr<SerialPort> openComPort(int comNumber, int baudRate);

}  // namespace vqs
