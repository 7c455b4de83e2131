#include "platform/SerialPort.h"

#include <QStringList>

SerialLineSettings ParseSerialSettings(const QString& text) {
    SerialLineSettings s;
    const QStringList parts = text.split(u',');
    if (parts.size() != 4) return s;
    bool ok = false;
    const int baud = parts[0].trimmed().toInt(&ok);
    if (!ok || baud <= 0) return s;
    const QString parity = parts[1].trimmed().toLower();
    if (parity.size() != 1 || !QStringLiteral("neoms").contains(parity)) return s;
    const int data = parts[2].trimmed().toInt(&ok);
    if (!ok || data < 4 || data > 8) return s;
    const QString stop = parts[3].trimmed();
    double stopBits = 0;
    if (stop == QLatin1String("1")) stopBits = 1;
    else if (stop == QLatin1String("1.5")) stopBits = 1.5;
    else if (stop == QLatin1String("2")) stopBits = 2;
    else return s;
    s.valid = true;
    s.baud = baud;
    s.parity = parity[0].toLatin1();
    s.dataBits = data;
    s.stopBits = stopBits;
    return s;
}
