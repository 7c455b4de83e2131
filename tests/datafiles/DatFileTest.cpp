#include "TempFiles.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "platform/TagwellError.h"

namespace {

struct DatFile : ::testing::Test {
    TempFiles tmp;
    ScriptedDialogs dialogs;
    cwDct dct;
    cwDatFile dat;
    DatFile() { for (std::int16_t f = 0; f <= 199; ++f) dct.setDLen(f, 40); }
    int open(const QByteArray& bytes) { return dat.fopen(tmp.write("data.txt", bytes), dct, "", 0, 0); }
    QString field(std::int16_t f, int expectedResult) {
        QString v = "junk";
        EXPECT_EQ(dat.gf(f, v), expectedResult) << "field " << f;
        return v;
    }
    QStringList rest() {
        QStringList lines;
        while (dat.gr()) lines << dat.LineBuf();
        return lines;
    }
};

}  // namespace

TEST_F(DatFile, Opening) {
    struct Case { const char* name; QByteArray file; int result, layout; const char* fieldList; };
    const Case cases[] = {
        {"commas", "1,10,11\r\n1\r\n", 0, 0, " 1, 10, 11"},
        {"spaces", "1 10 11\r\n1\r\n", 0, 1, " 1, 10, 11"},
        {"tab", "1\t10\r\n1\r\n", 0, 2, " 1, 10"},
        {"commas and tab", "1,10\t11\r\n1\r\n", 3, 0, " 1, 10, 11"},
        {"semicolon", "1;10\r\n1\r\n", 3, 1, ""},
        {"empty column", "1,,10\r\n1\r\n", 0, 0, " 1, 0, 10"},
        {"leading zeros", "001\t0149\r\n1\r\n", 0, 2, " 1, 149"},
        {"largest 16-bit number", "32767\r\n1\r\n", 0, 1, " 32767"},
        {"number beyond 16 bits", "1,70000,10\r\n1\r\n", 3, 0, " 1"},
        {"empty file", "", 2, 1, ""},
        {"NUL first", QByteArray("\0 1,2\r\n", 7), 2, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = tmp.write("h.dat", c.file);
        EXPECT_EQ(dat.fopen(path, dct), c.result);
        EXPECT_EQ(dat.fopenOutcome().failed(), c.result != 0);
        ShowOutcome(dat.fopenOutcome(), dialogs);
        EXPECT_EQ(dat.layout(), c.layout);
        EXPECT_EQ(dat.FieldList(), QString::fromLatin1(c.fieldList));
        const char* message = c.result == 3 ? "Invalid Header: " : c.result == 2 ? "Data file is empty: " : nullptr;
        EXPECT_EQ(Shown(dialogs), message ? "Fopen: 48 " + QString(message) + path + "\n" : "");
        EXPECT_FALSE(c.result == 2 && dat.gr()) << "an empty file has no record";
        dat.fclose();
    }
}

TEST_F(DatFile, Values) {
    struct Case { const char* name; QByteArray file; std::int16_t field; int len, result; const char* value; };
    const Case cases[] = {
        {"quoted value with a comma", "1,2\r\n\"ABC, INC\",12\r\n", 1, 8, 0, "ABC, INC"},
        {"quoted value cut", "1,2\r\n\"ABC, INC\",12\r\n", 1, 3, 0, "ABC"},
        {"quote not before a comma", "1,2,3\r\n\"\",\"say \"hi\" now\",c\r\n", 2, 20, 0, "say \"hi\" now"},
        {"quote never closed", "1,2\r\n\"open, never closed\r\n", 1, 40, 0, "\"open, never closed"},
        {"byte 2 around a word", "1\r\n\x02Hello\x02\r\n", 1, 40, 0, "\"Hello\""},
        {"byte 1 is an apostrophe", "1,2\r\nx,it\x01s\r\n", 2, 40, 0, "it's"},
        {"trailing spaces go, leading stay", "1\t2\r\n  ab  \tx\r\n", 1, 40, 0, "  ab"},
        {"only spaces is blank", "1\t2\r\n   \tx\r\n", 1, 40, 1, ""},
        {"cut then trimmed", "1\r\nab  cd\r\n", 1, 4, 0, "ab"},
        {"tab layout: quotes do not group", "1\t2\r\n\"a\tb\"\r\n", 1, 40, 0, "\"a"},
        {"tab layout: enclosing quotes dropped", "1\t2\r\n\"X Y\"\tz\r\n", 1, 40, 0, "X Y"},
        {"space layout splits at commas", "1 2\r\na,b\r\n", 2, 40, 0, "b"},
        {"field in header, record short", "1,2,3\r\nx\r\n", 3, 40, 1, ""},
        {"first of two equal columns", "5,5\r\na,b\r\n", 5, 40, 0, "a"},
        {"field not in header", "1,2,3\r\nx,y,z\r\n", 10, 40, -1, ""},
        {"dictionary length of field mod 1000", "1010\r\nabcdef\r\n", 1010, 3, 0, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(open(c.file), 0);
        dct.setDLen(c.field, static_cast<std::int16_t>(c.len));
        ASSERT_TRUE(dat.gr());
        EXPECT_EQ(field(c.field, c.result), QString::fromUtf8(c.value));
        dct.setDLen(c.field, 40);
        dat.fclose();
    }
}

TEST_F(DatFile, NegativeDictionaryLengthFailsTheRead) {
    ASSERT_EQ(open("1,2\r\nabc,def\r\n"), 0);
    dct.setDLen(2, -5);
    ASSERT_TRUE(dat.gr());
    QString v;
    EXPECT_EQ(dat.gf(1, v), 0);
    try {
        dat.gf(2, v);
        ADD_FAILURE() << "no error raised";
    } catch (const TagwellError& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InvalidProcedureCall);
        EXPECT_TRUE(e.description().startsWith("Invalid procedure call or argument")) << e.description().toStdString();
    }
}

TEST_F(DatFile, RecordsForwardAndBack) {
    ASSERT_EQ(open("1\r\nr1\r\nr2\r\n\r\nr4\nr5\r\nr6"), 0);
    // Record number to read (0: the next one) and the line read, "-" when the read fails.
    const std::pair<int, const char*> steps[] = {{0, "r1"}, {0, "r2"}, {0, ""},  {0, "r4"}, {0, "r5"},
                                                 {0, "r6"}, {0, "-"},  {5, "r5"}, {3, ""},  {6, "r6"},
                                                 {9, "-"},  {1, "r1"}, {0, "r2"}, {0, ""}};
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(i);
        const bool read = dat.gr(steps[i].first);
        EXPECT_EQ(read ? dat.LineBuf() : QString("-"), steps[i].second);
    }
    EXPECT_EQ(dat.lineNumber(), 3);
    EXPECT_EQ(field(1, 1), "") << "an empty line is a record with every field blank";
    dat.fclose();
    EXPECT_FALSE(dat.gr());
}

TEST_F(DatFile, LineEndsAcrossBlocks) {
    // A record of 99 bytes has its CR on the 100th byte of a block; the others straddle the read-ahead
    // window with their CR LF, or span many windows. A NUL ends the data.
    const QStringList records{QString(99, u'a'), QString(120, u'b') + "," + QString(129, u'c'),
                              QString(64 * 1024 - 1 - (5 + 101 + 252), u'd'), QString(200000, u'e'), "last"};
    ASSERT_EQ(open("1,2\r\n" + records.join("\r\n").toLatin1() + "\r\n" + QByteArray(300, '\0') + "after\r\n"), 0);
    EXPECT_EQ(rest(), records);
    ASSERT_TRUE(dat.gr(2));
    dct.setDLen(2, 200);
    EXPECT_EQ(field(2, 0), QString(129, u'c'));
    // The header's CR as the last byte of the read-ahead window, or its LF, or the first byte after.
    for (int headerLen : {65534, 65535, 65536}) {
        SCOPED_TRACE(headerLen);
        ASSERT_EQ(open("1" + QByteArray(headerLen - 1, ' ') + "\r\nvalue\r\nz"), 0);
        EXPECT_EQ(dat.FieldList(), " 1, 0");
        EXPECT_EQ(rest(), (QStringList{"value", "z"}));
    }
}
