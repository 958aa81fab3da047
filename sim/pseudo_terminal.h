#pragma once
// A pseudo-terminal published as a serial port: the program opens the link "COMn" in the
// serial folder, the emulator behind it talks through the master side.

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace vqs::sim {

class PseudoTerminal final : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // Creates the terminal and links it as linkPath; false (with the reason in error()) when
    // that fails.
    bool open(const QString& linkPath);
    // Removes the link and closes the terminal, as when a cable is pulled.
    void close();
    bool isOpen() const { return master_ >= 0; }

    bool write(const QByteArray& bytes);
    const QString& error() const { return error_; }

signals:
    void received(const QByteArray& bytes);

private:
    void readMaster();

    int master_ = -1;
    int slave_ = -1;  // kept open so the master never sees a hang-up between clients
    QString linkPath_;
    QString error_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vqs::sim
