#pragma once
// Serial ports by COM number. COM n is the device file "COMn" in the serial folder: a link to
// the real device (such as /dev/ttyUSB0), much as Wine's dosdevices folder works. The folder is
// $VQS_SERIAL_DIR when set, else ~/.local/share/lumiquest/serial. Tests and the virtual lab
// always set VQS_SERIAL_DIR to a folder of pseudo-terminal links.

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>

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

enum class SerialParity { None, Even };

// Line settings of a port. Flow control is always off.
struct SerialLineSettings {
    int baudRate = 9600;
    int dataBits = 8;
    SerialParity parity = SerialParity::None;
    int stopBits = 1;
    // The modem lines after opening; unset leaves them as opening the device left them. A
    // device without modem lines (a pseudo-terminal) refuses to switch them, which is no fault.
    std::optional<bool> dataTerminalReady;
    std::optional<bool> requestToSend;
    // Whether a port that rejects the framing (baud rate, bits, parity) is given up. The monitor
    // link keeps it, as that link always has.
    bool framingRequired = true;
};

// The monitor link: 115200 baud, 8 data bits, even parity (sent, not checked), 1 stop bit,
// DTR and RTS off.
inline constexpr SerialLineSettings kMonitorLinkLine{.baudRate = 115200,
                                                     .parity = SerialParity::Even,
                                                     .dataTerminalReady = false,
                                                     .requestToSend = false,
                                                     .framingRequired = false};

// Opens COM n exclusively with the given line settings. Null when the device does not exist, is
// busy, or rejects a setting that is required.
std::unique_ptr<SerialPort> openComPort(int comNumber, const SerialLineSettings& line);

// Opens COM n at the given baud rate, 8 data bits, no parity, one stop bit, no flow control.
std::unique_ptr<SerialPort> openComPort(int comNumber, int baudRate);

}  // namespace vqs
