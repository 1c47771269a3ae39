#pragma once

#include <QObject>
#include <QString>

class QSerialPort;

namespace kelo::shell {

// The RFID card reader on a serial port: "COMn" at 19200 baud, 8 data bits, no
// parity, one stop bit, no flow control. A COM port maps to a device through
// Kelo_S.ini ([RF15693] DEVICE=), by default /dev/ttyS<n-1>. Received
// characters arrive as the received signal on the thread that owns the reader.
class CardReader : public QObject {
    Q_OBJECT
public:
    explicit CardReader(QObject *parent = nullptr);
    ~CardReader() override;

    static QString DevicePath(int comPort, const QString &configuredDevice);
    // Throws std::runtime_error when the port cannot be opened.
    void open(const QString &devicePath);
    void close();
    bool isOpen() const;

signals:
    void received(const QString &characters);

private:
    QSerialPort *m_port;
};

} // namespace kelo::shell
