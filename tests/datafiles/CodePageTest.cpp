#include "datafiles/Cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <gtest/gtest.h>

// The fixed table must agree with the platform's own Windows-1252 converter wherever this Qt build
// has one, byte for byte in both directions.
TEST(CodePage, TableAgreesWithThePlatformConverter) {
    QStringDecoder decoder("windows-1252");
    QStringEncoder encoder("windows-1252");
    if (!decoder.isValid() || !encoder.isValid()) GTEST_SKIP() << "no Windows-1252 converter in this Qt build";
    QByteArray all(256, Qt::Uninitialized);
    for (int b = 0; b < 256; ++b) all[b] = static_cast<char>(b);
    const QString ours = DecodeCp1252(all);
    const QString theirs = decoder.decode(all);
    ASSERT_EQ(ours.size(), 256);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(ours[b].unicode(), theirs[b].unicode()) << "byte " << b;
    EXPECT_EQ(EncodeCp1252(ours), all);
    EXPECT_EQ(encoder.encode(ours), all);
}

TEST(CodePage, CharactersOutsideTheCodePage) {
    EXPECT_EQ(EncodeCp1252(u"a\u4e2d\u0100b"), "a??b");
    EXPECT_EQ(EncodeCp1252(u"\u0080"), "?") << "the C1 control 80 has no byte; 80 is the euro sign";
    EXPECT_EQ(DecodeCp1252(QByteArray("\x80\x9f\xff", 3)), QString::fromUtf16(u"\u20ac\u0178\u00ff"));
}
