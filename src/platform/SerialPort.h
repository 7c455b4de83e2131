#pragma once
// The serial control of the Sierra Sport printer. `CommPort` and `Settings` are configured at
// start-up and by the options dialog; the port is opened only around a print.
#include <QByteArray>
#include <QString>

class SerialPort {
public:
    virtual ~SerialPort() = default;
    virtual int CommPort() const = 0;
    // Throws TagwellError (InvalidPortNumber) for a port number below 1.
    virtual void setCommPort(int port) = 0;
    virtual QString Settings() const = 0;
    // "baud,parity,data,stop", e.g. "9600,n,8,1". Throws TagwellError (InvalidPropertyValue) for a
    // text it cannot read; the previous settings then stay.
    virtual void setSettings(const QString& settings) = 0;
    virtual bool PortOpen() const = 0;
    // Opening a port that will not open throws TagwellError with the error number and the
    // platform's description. Closing completes every pending write first.
    virtual void setPortOpen(bool open) = 0;
    // Sends the bytes exactly, nothing added. Throws TagwellError when the port is not open or
    // the write fails.
    virtual void Output(const QByteArray& bytes) = 0;
};

// Parsed line settings; `valid` is false when the text cannot be read.
struct SerialLineSettings {
    bool valid = false;
    int baud = 9600;
    char parity = 'n';     // n, e, o, m, s
    int dataBits = 8;      // 4..8
    double stopBits = 1;   // 1, 1.5, 2
};
SerialLineSettings ParseSerialSettings(const QString& text);
