#pragma once
// A serial port that records what is sent, for byte-exact checks of the printer stream.
#include "platform/SerialPort.h"
#include "platform/TagwellError.h"

#include <QByteArray>
#include <QStringList>

class FakeSerialPort : public SerialPort {
public:
    QByteArray sent;
    int opens = 0, closes = 0;
    bool failOpen = false;            // opening throws like a missing port
    int failOutputAfterBytes = -1;    // Output throws once this many bytes were sent

    int CommPort() const override { return port_; }
    void setCommPort(int port) override {
        if (port < 1) throw TagwellError(ErrorNumber::InvalidPortNumber, QStringLiteral("Invalid port number"));
        port_ = port;
    }
    QString Settings() const override { return settings_; }
    void setSettings(const QString& s) override {
        if (!ParseSerialSettings(s).valid) throw TagwellError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
        settings_ = s;
    }
    bool PortOpen() const override { return open_; }
    void setPortOpen(bool open) override {
        if (open && open_) throw TagwellError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
        if (open && failOpen) throw TagwellError(ErrorNumber::InvalidPortNumber, QStringLiteral("No such file or directory"));
        if (open) ++opens;
        else if (open_) ++closes;
        open_ = open;
    }
    void Output(const QByteArray& bytes) override {
        if (!open_) throw TagwellError(ErrorNumber::PortNotOpen, QStringLiteral("Operation valid only when the port is open"));
        if (failOutputAfterBytes >= 0 && sent.size() + bytes.size() > failOutputAfterBytes)
            throw TagwellError(ErrorNumber::DeviceIo, QStringLiteral("Device I/O error"));
        sent += bytes;
    }

private:
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    bool open_ = false;
};
