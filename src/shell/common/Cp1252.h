#pragma once
// The stores' files are single-byte text in the Windows-1252 code page. The conversion lives here, as
// a fixed table, so that reading and writing those files gives the same characters on every platform
// whether or not the Qt build carries the ICU converters.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// One character per byte. The five bytes that the code page leaves undefined (81, 8D, 8F, 90, 9D)
// become the control characters of the same number, as Windows itself maps them; NUL stays NUL.
QChar Cp1252ToChar(unsigned char byte);
QString DecodeCp1252(QByteArrayView bytes);

// One byte per character; a character the code page cannot hold is written as "?".
QByteArray EncodeCp1252(QStringView text);
