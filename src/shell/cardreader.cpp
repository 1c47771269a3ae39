#include "shell/cardreader.h"

#include <QSerialPort>
#include <stdexcept>

namespace kelo::shell {

CardReader::CardReader(QObject *parent) : QObject(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this,
            [this] { emit received(QString::fromLatin1(m_port->readAll())); });
}

CardReader::~CardReader() {
    close();
}

QString CardReader::DevicePath(int comPort, const QString &configuredDevice) {
    if (!configuredDevice.isEmpty())
        return configuredDevice;
    return QStringLiteral("/dev/ttyS%1").arg(comPort - 1);
}

void CardReader::open(const QString &devicePath) {
    m_port->setPortName(devicePath);
    if (!m_port->open(QIODevice::ReadWrite))
        throw std::runtime_error(m_port->errorString().toStdString());
    if (!m_port->setBaudRate(QSerialPort::Baud19200) || !m_port->setDataBits(QSerialPort::Data8) ||
        !m_port->setParity(QSerialPort::NoParity) || !m_port->setStopBits(QSerialPort::OneStop) ||
        !m_port->setFlowControl(QSerialPort::NoFlowControl)) {
        const std::string error = m_port->errorString().toStdString();
        m_port->close();
        throw std::runtime_error(error);
    }
}

void CardReader::close() {
    if (m_port->isOpen())
        m_port->close();
}

bool CardReader::isOpen() const {
    return m_port->isOpen();
}

} // namespace kelo::shell
