#pragma once
// The serial control of the Sierra Sport printer over QSerialPort.
//
// Port N is "COMN" on Windows and "/dev/ttyS{N-1}" elsewhere, unless the settings key "COM<N>"
// (application "BRONTA", section "TAGWELL") names another device path; the key is read each time
// the port opens, so a changed key takes effect at the next print.
//
// A device path that is not a serial device (an existing regular file, or a path that does not
// exist outside the system's device folder) receives the same byte stream as a plain file. After a
// run such a file holds exactly the bytes the run sent, job after job (what `tagwell-cli --device
// FILE` relies on). It is written like every other file the program writes: staged, and put in
// place when the port closes, so a failed write (a full disk) leaves the file as it was.
//
// Every error of the port names the device it concerns ("/dev/ttyS0: No such file or directory").
//
// Every Output is written in order, nothing added, and waited for until the driver has taken all
// of it; a write that does not complete within its time-out raises a TagwellError, so a label is
// never silently cut off, and closing the port never drops bytes still queued.
#include "platform/SerialPort.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>

class FileWriter;
class QSerialPort;
class SettingsStore;

class QtSerialPort : public SerialPort {
public:
    explicit QtSerialPort(SettingsStore& store);
    ~QtSerialPort() override;

    int CommPort() const override { return port_; }
    // Throws InvalidPortNumber below 1 and PortAlreadyOpen while the port is open.
    void setCommPort(int port) override;
    QString Settings() const override { return settings_; }
    // Throws InvalidPropertyValue for a text it cannot read or line settings the serial driver
    // cannot take (4 data bits); applied at once when the port is open.
    void setSettings(const QString& settings) override;
    bool PortOpen() const override;
    void setPortOpen(bool open) override;
    void Output(const QByteArray& bytes) override;

    // The device the port number stands for now (the "COM<N>" key or the platform's default).
    QString DevicePath() const;
    static QString DefaultDevicePath(int port);
    // True when `path` is to be driven as a serial device rather than written as a file.
    static bool IsSerialDevicePath(const QString& path);

    // Time allowed for one Output to be taken by the driver beyond the time the line needs for it
    // at the set baud rate. Tests shorten it.
    void setWriteMarginMs(int ms) { writeMarginMs_ = ms; }

private:
    void openPort();
    void closePort();
    void applySettings();
    int writeTimeoutMs(qint64 bytes) const;

    SettingsStore& store_;
    int port_ = 1;
    QString settings_ = QStringLiteral("9600,n,8,1");
    int writeMarginMs_ = 5000;
    std::unique_ptr<QSerialPort> serial_;
    std::unique_ptr<FileWriter> file_;
    QString device_;  // the device path of the open port
    QHash<QString, QByteArray> fileBytes_;  // what this run sent to each plain file
};
