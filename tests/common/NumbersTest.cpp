#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"

#include <QStringList>
#include <gtest/gtest.h>

TEST(Numbers, LeadingNumberOfText) {
    struct Case { const char16_t* text; double expected; };
    const Case cases[] = {
        {u"1 2", 12},        {u"&HFF", 255},    {u"&O17", 15},     {u"3 apples", 3},
        {u"-1.5e1x", -15},   {u"12,99", 12},    {u"", 0},          {u"apples", 0},
        {u"  \t42", 42},     {u"- 7", -7},      {u"+5", 5},        {u".5", 0.5},
        {u"1.2.3", 1.2},     {u"1e", 1},        {u"2E3", 2000},    {u"1 e 2", 100},
        {u"&hff", 255},      {u"&HFFFF", -1},   {u"&H10000", 65536}, {u"&", 0},
        {u"&Z1", 0},         {u"-", 0},         {u".", 0},         {u"3\t1", 31},
        {u"1299", 1299},     {u"0012.50", 12.5}, {u"1e-2", 0.01},
        // Blanks inside a hex or octal number are skipped as in any other.
        {u"&H1 F", 31},      {u"& H\t7 F", 127}, {u"&O1 7", 15},  {u"&HF F F F", -1},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromUtf16(c.text)), c.expected) << QString::fromUtf16(c.text).toStdString();
}

TEST(Numbers, RoundsHalfToEvenAndChecksSixteenBits) {
    const struct { double value; int rounded; } cases[] = {{2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {32767.4, 32767}, {-32768, -32768}};
    for (const auto& c : cases) EXPECT_EQ(ToInt16(c.value), c.rounded) << c.value;
    EXPECT_EQ(TextToInt16(u"3 apples"), 3);
    for (double v : {32767.5, -32768.6}) EXPECT_THROW(ToInt16(v), TagwellError) << v;
    EXPECT_THROW(TextToInt16(u"1e9"), TagwellError);
    try {
        ToInt16(40000);
        ADD_FAILURE() << "no overflow";
    } catch (const TagwellError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
        EXPECT_EQ(e.description(), QStringLiteral("Overflow"));
    }
    EXPECT_EQ(ToInt32(2147483647.0), 2147483647);
    EXPECT_THROW(ToInt32(2147483648.0), TagwellError);
}

TEST(Numbers, NumberToTextPutsASpaceBeforeNonNegative) {
    QStringList texts;
    for (double v : {4.0, 0.0, -1.0, 8002.0, 1.5}) texts << NumberToText(v);
    EXPECT_EQ(texts, QStringList({" 4", " 0", "-1", " 8002", " 1.5"}));
}
