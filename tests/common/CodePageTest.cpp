// The one Windows-1252 codec, checked against the code page itself rather than against whatever
// converter the Qt build happens to carry (the format files' fixed text is a golden output case).
#include "shell/common/Cp1252.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

TEST(Cp1252, BytesAndCharacters) {
    // Byte, the character it stands for. NUL and the low controls pass through; 80..9F are the
    // code page's own characters, and its five undefined bytes stand for the control characters
    // of the same number; A0..FF coincide with Latin-1.
    const struct {
        unsigned char byte;
        char16_t ch;
    } cases[] = {{0x00, 0x0000}, {0x01, 0x0001}, {0x02, 0x0002}, {0x41, u'A'},   {0x7F, 0x007F},
                 {0x80, 0x20AC}, {0x81, 0x0081}, {0x8A, 0x0160}, {0x8D, 0x008D}, {0x8F, 0x008F},
                 {0x90, 0x0090}, {0x93, 0x201C}, {0x99, 0x2122}, {0x9D, 0x009D}, {0x9F, 0x0178},
                 {0xA0, 0x00A0}, {0xE9, 0x00E9}, {0xFF, 0x00FF}};
    for (const auto& c : cases) {
        const QByteArray byte(1, static_cast<char>(c.byte));
        EXPECT_EQ(Cp1252ToChar(c.byte), QChar(c.ch)) << "byte " << int(c.byte);
        EXPECT_EQ(DecodeCp1252(byte), QString(QChar(c.ch))) << "byte " << int(c.byte);
        EXPECT_EQ(EncodeCp1252(QString(QChar(c.ch))), byte) << "byte " << int(c.byte);
    }
    // Every byte comes back as itself, so a file read and written again is unchanged.
    QByteArray all;
    for (int b = 0; b < 256; ++b) all.append(static_cast<char>(b));
    EXPECT_EQ(EncodeCp1252(DecodeCp1252(all)), all);
    // Where this Qt build has a converter of its own, every byte agrees with it.
    if (QStringDecoder platform("windows-1252"); platform.isValid()) EXPECT_EQ(DecodeCp1252(all), QString(platform.decode(all)));
    // What the code page cannot hold: U+0080 (its byte is the euro sign), Latin Extended, CJK, and
    // each half of a surrogate pair.
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("a\u0080\u0100\u4e2d\U0001F600b")), "a?????b");
}
