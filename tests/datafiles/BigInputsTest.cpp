// Inputs too large to keep as case files, generated in a temporary folder: records that straddle
// the reader's read-ahead window, a 50 MB data file with a 2 MB line, a dictionary of a million lines.
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct BigInputs : ::testing::Test {
    QTemporaryDir dir;
    cwDct dct;
    cwDatFile dat;
    QString write(const QByteArray& bytes) {
        QFile f(dir.filePath(QStringLiteral("big")));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size());
        return f.fileName();
    }
    QStringList records() {
        QStringList lines;
        while (dat.gr()) lines << dat.LineBuf();
        return lines;
    }
};

TEST_F(BigInputs, LineEndsAcrossTheReadAheadWindow) {
    for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f) dct.setDLen(f, 200);
    // A record of 99 bytes has its CR on the 100th byte of a block; the others straddle the read-ahead
    // window with their CR LF, or span many windows. A NUL ends the data.
    const QStringList lines{QString(99, u'a'), QString(120, u'b') + u',' + QString(129, u'c'),
                            QString(64 * 1024 - 1 - (5 + 101 + 252), u'd'), QString(200000, u'e'), QStringLiteral("last")};
    ASSERT_EQ(dat.fopen(write("1,2\r\n" + lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n" + QByteArray(300, '\0') + "after\r\n"), dct), 0);
    EXPECT_EQ(records(), lines);
    QString v;
    EXPECT_TRUE(dat.gr(2) && dat.gf(2, v) == 0 && v == QString(129, u'c'));
    // The header's CR as the last byte of the read-ahead window, or its LF, or the first byte after.
    for (int headerLen : {65534, 65535, 65536}) {
        ASSERT_EQ(dat.fopen(write("1" + QByteArray(headerLen - 1, ' ') + "\r\nvalue\r\nz"), dct), 0) << headerLen;
        EXPECT_EQ(dat.FieldList() + ':' + records().join(' '), " 1, 0:value z") << headerLen;
    }
}

TEST_F(BigInputs, FiftyMegabyteDataFileWithATwoMegabyteLine) {
    QByteArray bytes = "1,10,48\r\n";
    bytes.reserve(52 * 1000 * 1000);
    for (int i = 1; i <= 640000; ++i)
        bytes += i == 1000 ? "\"LONG\",\"" + QByteArray(2 * 1024 * 1024, 'D') + "\",1.00\r\n"
                           : "\"S" + QByteArray::number(i) + "\",\"ITEM " + QByteArray::number(i) + " WITH A DESCRIPTION OF ORDINARY LENGTH ......\",\"12.99\"\r\n";
    ASSERT_GT(bytes.size(), 50 * 1000 * 1000);
    dct.setDLen(1, 12);
    dct.setDLen(10, 30);
    dct.setDLen(48, 9);
    ASSERT_EQ(dat.fopen(write(bytes), dct), 0);
    int count = 0;
    QString sku, desc, price;
    for (; dat.gr(); ++count) {
        dat.gf(1, sku);
        dat.gf(10, desc);
        ASSERT_LE(desc.size(), 30);
        // The 2 MB value is cut to its field's length, and the field after it is still found.
        if (sku == u"LONG") { EXPECT_TRUE(desc == QString(30, u'D') && dat.gf(48, price) == 0 && price == "1.00") << desc.left(40).toStdString() << price.toStdString(); }
    }
    EXPECT_EQ(QString::number(count) + ' ' + sku, "640000 S640000");
}

TEST_F(BigInputs, DictionaryOfAMillionLines) {
    QByteArray bytes = "[INV]\r\n";
    for (int i = 0; i < 1000000; ++i)  // fields 200..249 are beyond the dictionary and skipped
        bytes += QByteArray::number(i % 250) + ",1," + QByteArray::number(i % 40 + 1) + ":Field " + QByteArray::number(i) + "\r\n";
    const QString path = write(bytes + "[END]\r\n%BEGIN%\r\n48,P\r\n21,S\r\n%END%\r\n");
    ASSERT_EQ(dct.setup(path, QStringLiteral("INV"), 0), 0);
    // The last definition of a field wins: field 199 was last written on line 999949.
    EXPECT_EQ(QStringLiteral("%1 %2 %3").arg(dct.dLast()).arg(dct.dDesc(199)).arg(dct.dLen(199)), QStringLiteral("199 Field 999949 %1").arg(999949 % 40 + 1));
    ASSERT_EQ(dct.setupms(path, false), 0);
    EXPECT_TRUE(dct.dStDat(48) && dct.dStDat(21) && dct.dMaster(1));
}

}  // namespace
