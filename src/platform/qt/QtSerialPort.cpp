#include "platform/qt/QtSerialPort.h"

#include "platform/FileAccess.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPort>

namespace {
// The serial platform's own numbers for what went wrong, beside the shared ones.
constexpr int kCommStateError = 8015;  // the line settings could not be set

int errorNumberFor(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError: return ErrorNumber::InvalidPortNumber;
    case QSerialPort::PermissionError:
    case QSerialPort::OpenError: return ErrorNumber::PortAlreadyOpen;
    case QSerialPort::UnsupportedOperationError: return kCommStateError;
    case QSerialPort::TimeoutError: return ErrorNumber::PortWriteTimeout;
    default: return ErrorNumber::DeviceIo;
    }
}

QSerialPort::Parity parityFor(char p) {
    switch (p) {
    case 'e': return QSerialPort::EvenParity;
    case 'o': return QSerialPort::OddParity;
    case 'm': return QSerialPort::MarkParity;
    case 's': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits stopBitsFor(double s) {
    if (s == 1.5) return QSerialPort::OneAndHalfStop;
    if (s == 2) return QSerialPort::TwoStop;
    return QSerialPort::OneStop;
}

// The IT person reading a port error must learn which device was tried: the number alone does not
// say whether the COM<N> key was read or the platform's default was used.
TagwellError deviceError(int number, const QString& device, const QString& description) {
    return TagwellError(number, device + QStringLiteral(": ") + description);
}

TagwellError invalidSettings() {
    return TagwellError(ErrorNumber::InvalidPropertyValue, QStringLiteral("Invalid property value"));
}
}  // namespace

QtSerialPort::QtSerialPort(SettingsStore& store) : store_(store) {}

QtSerialPort::~QtSerialPort() {
    try {
        closePort();
    } catch (const TagwellError&) {
        // Closing at exit must not throw out of a destructor; the bytes were waited for at Output.
    }
}

void QtSerialPort::setCommPort(int port) {
    if (port < 1) throw TagwellError(ErrorNumber::InvalidPortNumber, QStringLiteral("Invalid port number"));
    if (PortOpen()) throw TagwellError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
    port_ = port;
}

void QtSerialPort::setSettings(const QString& settings) {
    const SerialLineSettings parsed = ParseSerialSettings(settings);
    // QSerialPort drives 5 to 8 data bits; a 4-bit setting is refused here rather than at the
    // first print.
    if (!parsed.valid || parsed.dataBits < 5) throw invalidSettings();
    const QString previous = settings_;
    settings_ = settings;
    if (serial_) {
        try {
            applySettings();
        } catch (const TagwellError&) {
            settings_ = previous;
            applySettings();
            throw;
        }
    }
}

bool QtSerialPort::PortOpen() const { return serial_ != nullptr || file_ != nullptr; }

void QtSerialPort::setPortOpen(bool open) {
    if (open) {
        if (PortOpen()) throw TagwellError(ErrorNumber::PortAlreadyOpen, QStringLiteral("Port already open"));
        openPort();
    } else {
        closePort();
    }
}

QString QtSerialPort::DefaultDevicePath(int port) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QString QtSerialPort::DevicePath() const {
    const QString key = QStringLiteral("COM%1").arg(port_);
    const QString configured = store_.GetSetting(kRegApp, kRegSec, key, QString()).trimmed();
    return configured.isEmpty() ? DefaultDevicePath(port_) : configured;
}

bool QtSerialPort::IsSerialDevicePath(const QString& path) {
#ifdef Q_OS_WIN
    static const QRegularExpression comName(QStringLiteral(R"(^(\\\\\.\\)?COM\d+$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (comName.match(path).hasMatch()) return true;
    return !QFileInfo(path).isFile() && path.startsWith(QLatin1String("\\\\.\\"));
#else
    const QFileInfo info(path);
    if (info.exists()) return !info.isFile() && !info.isDir();
    // A port that does not exist must fail to open like one, not become a new file in /dev.
    return path.startsWith(QLatin1String("/dev/"));
#endif
}

void QtSerialPort::openPort() {
    const QString path = DevicePath();
    if (!IsSerialDevicePath(path)) {
        // The file gets what this run sent before, then this job's bytes.
        auto file = std::make_unique<FileWriter>(path);
        const QByteArray& before = fileBytes_[path];
        if (!file->open() || !file->write(before)) throw deviceError(ErrorNumber::PathFileAccess, path, file->errorString());
        file_ = std::move(file);
        device_ = path;
        return;
    }
    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(path);
    if (!serial->open(QIODevice::ReadWrite))
        throw deviceError(errorNumberFor(serial->error()), path, serial->errorString());
    serial_ = std::move(serial);
    device_ = path;
    try {
        applySettings();
    } catch (const TagwellError&) {
        serial_->close();
        serial_.reset();
        throw;
    }
}

void QtSerialPort::applySettings() {
    const SerialLineSettings s = ParseSerialSettings(settings_);
    if (!s.valid) throw invalidSettings();
    const bool ok = serial_->setBaudRate(s.baud) &&
                    serial_->setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)) &&
                    serial_->setParity(parityFor(s.parity)) && serial_->setStopBits(stopBitsFor(s.stopBits));
    if (!ok) throw deviceError(errorNumberFor(serial_->error()), device_, serial_->errorString());
}

int QtSerialPort::writeTimeoutMs(qint64 bytes) const {
    // Ten bit times per character at the line's speed, twice over, plus the margin.
    const SerialLineSettings s = ParseSerialSettings(settings_);
    const qint64 lineMs = bytes * 10 * 1000 / (s.valid ? s.baud : 9600);
    return static_cast<int>(qMin<qint64>(2 * lineMs + writeMarginMs_, 3600 * 1000));
}

void QtSerialPort::Output(const QByteArray& bytes) {
    if (file_) {
        if (!file_->write(bytes)) throw deviceError(ErrorNumber::DeviceIo, device_, file_->errorString());
        fileBytes_[device_] += bytes;
        return;
    }
    if (!serial_)
        throw TagwellError(ErrorNumber::PortNotOpen, QStringLiteral("Operation valid only when the port is open"));
    if (bytes.isEmpty()) return;
    if (serial_->write(bytes) != bytes.size())
        throw deviceError(errorNumberFor(serial_->error()), device_, serial_->errorString());
    // Without an event loop QSerialPort only writes while waited for; wait until the driver has
    // every byte, so that order and completeness never depend on when the port is closed.
    const int timeout = writeTimeoutMs(bytes.size());
    while (serial_->bytesToWrite() > 0) {
        if (!serial_->waitForBytesWritten(timeout)) {
            if (serial_->error() == QSerialPort::TimeoutError || serial_->error() == QSerialPort::NoError)
                throw TagwellError(ErrorNumber::PortWriteTimeout, QStringLiteral("Write to %1 timed out").arg(device_));
            throw deviceError(errorNumberFor(serial_->error()), device_, serial_->errorString());
        }
    }
}

void QtSerialPort::closePort() {
    if (file_) {
        const std::unique_ptr<FileWriter> file = std::move(file_);
        if (!file->commit()) throw deviceError(ErrorNumber::DeviceIo, device_, file->errorString());
        return;
    }
    if (!serial_) return;
    std::unique_ptr<QSerialPort> serial = std::move(serial_);
    // Output already waits for every byte; this catches anything still queued before the close.
    bool drained = true;
    while (serial->bytesToWrite() > 0 && drained) drained = serial->waitForBytesWritten(writeTimeoutMs(serial->bytesToWrite()));
    serial->close();
    if (!drained)
        throw TagwellError(ErrorNumber::PortWriteTimeout, QStringLiteral("Write to %1 timed out").arg(device_));
}
