#include "shell/common/Cp1252.h"

#include <QStringDecoder>
#include <gtest/gtest.h>

// Every byte decodes as the platform's own Windows-1252 converter decodes it (where this Qt build
// has one) and encodes back to itself; characters outside the code page become "?".
TEST(CodePage, EveryByteAgreesWithThePlatformConverter) {
    EXPECT_EQ(EncodeCp1252(u"a\u4e2d\u0100\u0080b"), "a???b") << "U+0080 has no byte: 80 is the euro sign";
    QStringDecoder decoder("windows-1252");
    if (!decoder.isValid()) GTEST_SKIP() << "no Windows-1252 converter in this Qt build";
    for (int b = 0; b < 256; ++b) {
        const QByteArray byte(1, static_cast<char>(b));
        EXPECT_EQ(DecodeCp1252(byte), QString(decoder.decode(byte))) << "byte " << b;
        EXPECT_EQ(EncodeCp1252(DecodeCp1252(byte)), byte) << "byte " << b;
    }
}
