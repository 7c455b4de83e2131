#include "support/ScriptedDialogs.h"
#include "TempFiles.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"

#include <gtest/gtest.h>

namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

struct DatFile : ::testing::Test {
    TempFiles tmp;
    ScriptedDialogs dialogs;
    cwDct dct;
    cwDatFile dat{dialogs};

    DatFile() {
        for (std::int16_t f = 0; f <= 199; ++f) dct.setDLen(f, 40);
    }
    // Opens a file of these bytes; the result of fopen.
    int open(const QByteArray& bytes) { return dat.fopen(tmp.write("data.txt", bytes), dct, "", 0, 0); }
    QString field(std::int16_t f, int expectedResult) {
        QString v = "junk";
        EXPECT_EQ(dat.gf(f, v), expectedResult) << "field " << f;
        return v;
    }
};

}  // namespace

TEST_F(DatFile, Headers) {
    struct Case {
        const char* name;
        QByteArray header;
        int result;
        int layout;
        const char* fieldList;
    };
    const Case cases[] = {
        {"commas", "1,10,11", 0, 0, " 1, 10, 11"},
        {"spaces", "1 10 11", 0, 1, " 1, 10, 11"},
        {"tab", "1\t10", 0, 2, " 1, 10"},
        {"commas and tab", "1,10\t11", 3, 0, " 1, 10, 11"},
        {"semicolon", "1;10", 3, 1, ""},
        {"letter after a column", "1,x", 3, 0, " 1"},
        {"empty column", "1,,10", 0, 0, " 1, 0, 10"},
        {"spaces around commas", "1 , 10", 0, 0, " 1, 0, 10"},
        {"two trailing spaces", "1  ", 0, 1, " 1, 0"},
        {"run of spaces between numbers", "1   10", 0, 1, " 1, 10"},
        {"trailing comma", "1,10,", 0, 0, " 1, 10"},
        {"leading zeros", "001\t0149", 0, 2, " 1, 149"},
        {"largest 16-bit number", "32767", 0, 1, " 32767"},
        {"number beyond 16 bits", "1,70000,10", 3, 0, " 1"},
        {"empty header line", "", 0, 1, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        const QString path = tmp.write("h.dat", c.header + "\r\n1\r\n");
        EXPECT_EQ(dat.fopen(path, dct), c.result);
        EXPECT_EQ(dat.layout(), c.layout);
        EXPECT_EQ(dat.FieldList(), QString::fromLatin1(c.fieldList));
        EXPECT_EQ(dat.LineBuf(), QString::fromLatin1(c.header));
        if (c.result == 3) {
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].prompt, "Invalid Header: " + path);
            EXPECT_EQ(dialogs.messages[0].title, "Fopen:");
            EXPECT_EQ(dialogs.messages[0].style, MsgStyle::Exclamation);
        } else {
            EXPECT_TRUE(dialogs.messages.empty());
        }
        dat.fclose();
    }
}

TEST_F(DatFile, FilesThatCannotBeRead) {
    struct Case {
        const char* name;
        QString path;
        int result;
        const char* message;
    };
    const Case cases[] = {
        {"zero bytes", tmp.write("empty.dat", ""), 2, "Data file is empty: "},
        {"first byte NUL", tmp.write("nul.dat", QByteArray("\0 1,2\r\n", 7)), 2, "Data file is empty: "},
        {"missing", tmp.path("missing.dat"), 1, "Can not open data file: "},
        {"a folder", tmp.path(""), 1, "Can not open data file: "},
        {"no name", QString(), 1, "Can not open data file: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs.messages.clear();
        EXPECT_EQ(dat.fopen(c.path, dct), c.result);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].prompt, QString::fromLatin1(c.message) + c.path);
        EXPECT_EQ(dialogs.messages[0].title, "Fopen:");
        EXPECT_EQ(dialogs.messages[0].style, MsgStyle::Exclamation);
        EXPECT_FALSE(dat.gr());
        dat.fclose();
    }
}

TEST_F(DatFile, QuotedValuesInTheCommaLayout) {
    dct.setDLen(1, 8);
    dct.setDLen(2, 2);
    dct.setDLen(3, 1);
    ASSERT_EQ(open("1,2,3\r\n\"ABC, INC\",12,\"X\"\r\n\"\",\"say \"hi\" now\",c\r\n\"open, never closed\r\n"), 0);
    ASSERT_TRUE(dat.gr());
    EXPECT_EQ(dat.LineBuf(), "\"ABC, INC\",12,\"X\"");
    EXPECT_EQ(field(1, 0), "ABC, INC");
    EXPECT_EQ(field(2, 0), "12");
    EXPECT_EQ(field(3, 0), "X");
    dct.setDLen(1, 3);
    EXPECT_EQ(field(1, 0), "ABC");
    // "" is an empty quoted value; a quote not followed by a comma does not end a quoted value.
    ASSERT_TRUE(dat.gr());
    EXPECT_EQ(field(1, 1), "");
    dct.setDLen(2, 20);
    EXPECT_EQ(field(2, 0), "say \"hi\" now");
    EXPECT_EQ(field(3, 0), "c");
    // A quoted value that never closes takes the rest of the line, keeping its opening quote.
    ASSERT_TRUE(dat.gr());
    dct.setDLen(1, 40);
    EXPECT_EQ(field(1, 0), "\"open, never closed");
    EXPECT_EQ(field(2, 1), "");
}

TEST_F(DatFile, ValuesAndTheirCut) {
    struct Case {
        const char* name;
        QByteArray file;
        std::int16_t field;
        int len;
        int result;
        const char* value;
    };
    const Case cases[] = {
        {"byte 2 around a word", "1\r\n\x02Hello\x02\r\n", 1, 40, 0, "\"Hello\""},
        {"byte 1 is an apostrophe", "1,2\r\nx,it\x01s\r\n", 2, 40, 0, "it's"},
        {"byte 1 alone is not blank", "1\r\n\x01\r\n", 1, 40, 0, "'"},
        {"trailing spaces go, leading stay", "1\t2\r\n  ab  \tx\r\n", 1, 40, 0, "  ab"},
        {"only spaces is blank", "1\t2\r\n   \tx\r\n", 1, 40, 1, ""},
        {"cut then trimmed", "1\r\nab  cd\r\n", 1, 4, 0, "ab"},
        {"length 0 reads empty", "1\r\nabc\r\n", 1, 0, 1, ""},
        {"negative length reads empty", "1\r\nabc\r\n", 1, -5, 1, ""},
        {"tab layout: quotes do not group", "1\t2\r\n\"a\tb\"\r\n", 1, 40, 0, "\"a"},
        {"tab layout: second half", "1\t2\r\n\"a\tb\"\r\n", 2, 40, 0, "b\""},
        {"tab layout: enclosing quotes dropped", "1\t2\r\n\"X Y\"\tz\r\n", 1, 40, 0, "X Y"},
        {"tab layout: commas are text", "1\t2\r\na,b\tc\r\n", 1, 40, 0, "a,b"},
        {"space layout splits at commas", "1 2\r\na,b\r\n", 2, 40, 0, "b"},
        {"space layout: quotes do not group", "1 2\r\n\"a,b\"\r\n", 2, 40, 0, "b\""},
        {"field in header, record short", "1,2,3\r\nx\r\n", 3, 40, 1, ""},
        {"field not in header", "1,2,3\r\nx,y,z\r\n", 10, 40, -1, ""},
        {"first of two equal columns", "5,5\r\na,b\r\n", 5, 40, 0, "a"},
        {"dictionary length by field mod 1000", "1010\r\nabcdef\r\n", 1010, 40, 0, "abc"},
        {"Windows-1252 text", "1\r\nCaf\xe9 \x80 \x93q\x94\r\n", 1, 40, 0, "Café € “q”"},
        {"lone CR is text", "1,2\r\na\rb,c\r\n", 1, 40, 0, "a\rb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dct.setDLen(c.field, 40);
        ASSERT_EQ(open(c.file), 0);
        if (c.len != 40) dct.setDLen(c.field, static_cast<std::int16_t>(c.len));
        if (QByteArray(c.name).startsWith("dictionary length")) dct.setDLen(10, 3);
        ASSERT_TRUE(dat.gr());
        EXPECT_EQ(field(c.field, c.result), U(c.value));
        dat.fclose();
        dct.setDLen(10, 40);
    }
}

TEST_F(DatFile, RecordsAndNavigation) {
    ASSERT_EQ(open("1\r\nr1\r\nr2\r\n\r\nr4\nr5\r\nr6"), 0);
    EXPECT_EQ(dat.lineNumber(), 0);
    QStringList seen;
    while (dat.gr()) seen << dat.LineBuf();
    EXPECT_EQ(seen, (QStringList{"r1", "r2", "", "r4", "r5", "r6"}));
    EXPECT_FALSE(dat.gr()) << "stays at the end";
    EXPECT_EQ(field(1, 1), "");

    EXPECT_TRUE(dat.gr(5));
    EXPECT_EQ(dat.LineBuf(), "r5");
    EXPECT_TRUE(dat.gr(3));
    EXPECT_EQ(dat.lineNumber(), 3);
    EXPECT_EQ(field(1, 1), "") << "an empty line is a record with every field blank";
    EXPECT_TRUE(dat.gr(3));
    EXPECT_TRUE(dat.gr(6));
    EXPECT_EQ(dat.LineBuf(), "r6") << "the last line has no line end";
    EXPECT_FALSE(dat.gr(9));
    EXPECT_TRUE(dat.gr(1)) << "a numbered read goes back after the end";
    EXPECT_EQ(dat.LineBuf(), "r1");
    EXPECT_TRUE(dat.gr());
    EXPECT_EQ(dat.LineBuf(), "r2");
    EXPECT_TRUE(dat.gr(0));
    EXPECT_EQ(dat.LineBuf(), "");
    EXPECT_EQ(dat.lineNumber(), 3);
    dat.fclose();
    EXPECT_FALSE(dat.gr());
    EXPECT_EQ(dat.FieldList(), " 1") << "members keep their values after fclose";

    // A fresh fopen on the same reader starts afresh.
    ASSERT_EQ(open("7,8\r\nx,y\r\n"), 0);
    EXPECT_EQ(dat.FieldList(), " 7, 8");
    ASSERT_TRUE(dat.gr());
    EXPECT_EQ(field(8, 0), "y");
}

TEST_F(DatFile, LineEndsAcrossBlocks) {
    const QByteArray r99(99, 'a');
    const QByteArray r250 = QByteArray(120, 'b') + "," + QByteArray(129, 'c');
    // Lines long and placed so that CR LF pairs straddle the 100-byte blocks and the read-ahead
    // window, and one line spans several windows.
    const QByteArray straddle = QByteArray(64 * 1024 - 1 - (5 + 101 + 252), 'd');  // CR ends the window
    const QByteArray huge(200000, 'e');
    QByteArray file = "1,2\r\n" + r99 + "\r\n" + r250 + "\r\n" + straddle + "\r\n" + huge + "\r\nlast\r\n";
    file += QByteArray(300, '\0') + "after the NUL\r\n";
    ASSERT_EQ(open(file), 0);
    std::vector<QByteArray> expected = {r99, r250, straddle, huge, "last"};
    for (const QByteArray& e : expected) {
        ASSERT_TRUE(dat.gr());
        EXPECT_EQ(dat.LineBuf().size(), e.size());
        EXPECT_EQ(dat.LineBuf(), QString::fromLatin1(e));
    }
    EXPECT_FALSE(dat.gr()) << "a NUL ends the data";
    ASSERT_TRUE(dat.gr(2));
    dct.setDLen(2, 200);
    EXPECT_EQ(field(2, 0), QString(129, u'c'));

    // Byte positions where the CR is the very last byte of the read-ahead window.
    for (int headerLen : {65534, 65535, 65536}) {
        SCOPED_TRACE(headerLen);
        QByteArray f = "1";
        f += QByteArray(headerLen - 1, ' ');
        f += "\r\nvalue\r\nz";
        ASSERT_EQ(open(f), 0);
        EXPECT_EQ(dat.fieldCount(), 2) << "two trailing spaces give a column 0";
        ASSERT_TRUE(dat.gr());
        EXPECT_EQ(dat.LineBuf(), "value");
        ASSERT_TRUE(dat.gr());
        EXPECT_EQ(dat.LineBuf(), "z");
        EXPECT_FALSE(dat.gr());
    }
}

TEST_F(DatFile, GetFieldList) {
    ASSERT_EQ(open("1\t10\t149\r\n"), 0);
    std::vector<std::int16_t> cols;
    EXPECT_EQ(dat.GetFieldList(cols), 3);
    EXPECT_EQ(cols, (std::vector<std::int16_t>{1, 10, 149, -1}));
    std::vector<std::int16_t> roomy(6, 7);
    EXPECT_EQ(dat.GetFieldList(roomy), 3);
    EXPECT_EQ(roomy, (std::vector<std::int16_t>{1, 10, 149, -1, 7, 7}));
}

TEST_F(DatFile, ReadAndWriteModes) {
    const QString path = tmp.write("m.dat", "1\r\nx\r\n");
    EXPECT_EQ(dat.fopen(path, dct, "", 2, 0), 0);
    dat.fclose();
    EXPECT_EQ(TempFiles::read(path), "1\r\nx\r\n") << "mode 2 leaves the file as it is";
    EXPECT_EQ(dat.fopen(path, dct, "", 1, 0), 2) << "mode 1 deletes the file first";
    dat.fclose();
    EXPECT_EQ(dat.fopen(tmp.path("new.dat"), dct, "", 2, 0), 2) << "created when missing";
    dat.fclose();
}
