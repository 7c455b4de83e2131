// dict, read and lookup: the JSON lines they print for the dictionary, data file and database
// examples, where their settings come from, and that nothing is ever saved.
#include "CliRunner.h"
#include "StoreDatabases.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

QStringList Lines(std::initializer_list<const char*> lines) {
    QStringList l;
    for (const char* s : lines) l << QString::fromUtf8(s);
    return l;
}

TEST(CliDict, ListsTheDefinedFieldsWithTheirMasterFlags) {
    // example.dct: a definition before the first header, a section too deep, two INV sections that
    // both define field 10 ([Inv]2 read in any case), malformed lines, a definition after [END],
    // and a master/store block with S, P and a lower-case s.
    const QString dct = CliFixture("example.dct");
    CliRunner cli;
    const CliResult r = cli.run({QStringLiteral("dict"), QStringLiteral("--dict"), dct});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.errText(), QString());
    EXPECT_EQ(r.outLines(), Lines({
                                R"({"setup":0,"setupms":0,"dLast":149})",
                                R"({"field":1,"alpha":0,"len":12,"master":true,"desc":"Stock number"})",
                                R"({"field":10,"alpha":1,"len":20,"master":true,"desc":"Item text"})",
                                R"({"field":12,"alpha":1,"len":30,"master":false,"desc":"Item text"})",
                                R"({"field":13,"alpha":2,"len":9,"master":true,"desc":"Retail"})",
                                R"({"field":149,"alpha":1,"len":12,"master":true,"desc":"UPC"})",
                            }));

    // Prices that differ between stores make the P field store-specific.
    const CliResult store = cli.run({QStringLiteral("dict"), QStringLiteral("--dict"), dct, QStringLiteral("--prisame"), QStringLiteral("0")});
    EXPECT_EQ(store.exitCode, 0);
    EXPECT_TRUE(store.outLines().contains(QStringLiteral(R"({"field":13,"alpha":2,"len":9,"master":false,"desc":"Retail"})")));
}

TEST(CliDict, ReportsDictionariesItCannotRead) {
    struct Case {
        QString file;
        const char* first;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        // No INV section: nothing stood in a selected section, and there is no block either.
        {CliFixture("no-inv.dct"), R"({"setup":2,"setupms":2,"dLast":0})", 1,
         "Can not read dictionary file.  Select OK to try another name."},
        {CliFixture("missing.dct"), R"({"setup":1,"setupms":1,"dLast":0})", 1,
         "Can not read dictionary file.  Select OK to try another name."},
    };
    CliRunner cli;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const CliResult r = cli.run({QStringLiteral("dict"), QStringLiteral("--dict"), c.file});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.outLines(), QStringList{QString::fromUtf8(c.first)});
        EXPECT_EQ(r.errText(), QString::fromUtf8(c.message) + u'\n');
    }
    // Definitions without a master/store block: read, with the window's warning.
    const QString noBlock = cli.path(QStringLiteral("noblock.dct"));
    {
        QFile f(noBlock);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[INV]\r\n1,0,12:Stock number\r\n");
    }
    const CliResult r = cli.run({QStringLiteral("dict"), QStringLiteral("--dict"), noBlock});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.outLines().value(0), QStringLiteral(R"({"setup":0,"setupms":2,"dLast":1})"));
    EXPECT_EQ(r.errText(), QStringLiteral("Warning: could not read master/store specific info from data dictionary.  "
                                          "Will treat all info as master.\n"));
}

TEST(CliDict, TakesTheWindowsDictionaryAndNeverSavesAnOverride) {
    CliRunner cli;
    cli.saveSettings({{QStringLiteral("DICTIONARY"), CliFixture("example.dct")}});
    const QByteArray stored = CliRunner::read(cli.settingsFile());

    const CliResult fromStore = cli.run({QStringLiteral("dict")});
    EXPECT_EQ(fromStore.exitCode, 0);
    EXPECT_EQ(fromStore.outLines().value(0), QStringLiteral(R"({"setup":0,"setupms":0,"dLast":149})"));

    const CliResult overridden = cli.run({QStringLiteral("dict"), QStringLiteral("--dict"), CliFixture("no-inv.dct")});
    EXPECT_EQ(overridden.outLines().value(0), QStringLiteral(R"({"setup":2,"setupms":2,"dLast":0})"));
    EXPECT_EQ(CliRunner::read(cli.settingsFile()), stored);
}

TEST(CliRead, PrintsEveryRecordAsTheImportSeesIt) {
    struct Case {
        const char* file;
        const char* dict;
        QStringList lines;
    };
    const Case cases[] = {
        // Quotes group a comma; an empty line is a record of blanks; bytes 2 and 1 read back as a
        // double quote and an apostrophe; a short record's missing column is blank; the last line
        // has no line end.
        {"quoted.dat", "read.dct",
         Lines({R"({"fopen":0,"layout":0,"FieldList":" 1, 2, 3","count":3})",
                R"({"line":1,"values":[[1,0,"ABC, INC"],[2,0,"12"],[3,0,"X"]]})",
                R"({"line":2,"values":[[1,1,""],[2,1,""],[3,1,""]]})",
                R"({"line":3,"values":[[1,0,"\"Hi\" 's"],[2,0,"7"],[3,1,""]]})",
                R"({"line":4,"values":[[1,0,"Z"],[2,1,""],[3,0,"Q"]]})"})},
        // The same file with a length of 3 for field 1.
        {"quoted.dat", "read-short.dct",
         Lines({R"({"fopen":0,"layout":0,"FieldList":" 1, 2, 3","count":3})",
                R"({"line":1,"values":[[1,0,"ABC"],[2,0,"12"],[3,0,"X"]]})",
                R"({"line":2,"values":[[1,1,""],[2,1,""],[3,1,""]]})",
                R"({"line":3,"values":[[1,0,"\"Hi"],[2,0,"7"],[3,1,""]]})",
                R"({"line":4,"values":[[1,0,"Z"],[2,1,""],[3,0,"Q"]]})"})},
        // Tab layout: quotes do not group, but a value in quotes loses them.
        {"tabbed.txt", "read.dct",
         Lines({R"({"fopen":0,"layout":2,"FieldList":" 1, 10, 149","count":3})",
                R"({"line":1,"values":[[1,0,"100107"],[10,0,"WOOD GLUE"],[149,0,"036000291452"]]})"})},
    };
    CliRunner cli;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const CliResult r = cli.run({QStringLiteral("read"), CliFixture(c.file), QStringLiteral("--dict"), CliFixture(c.dict)});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.outLines(), c.lines);
        EXPECT_EQ(r.errText(), QString());
    }
}

TEST(CliRead, FilesTheReaderRefusesFailWithBothMessages) {
    struct Case {
        const char* file;
        const char* first;
        const char* readerMessage;
        const char* windowMessage;
    };
    const Case cases[] = {
        {"bad-header.dat", R"({"fopen":3,"layout":0,"FieldList":" 1, 10, 11","count":3})", "Invalid Header: ",
         "Error in file header"},
        {"empty.dat", R"({"fopen":2,"layout":1,"FieldList":"","count":0})", "Data file is empty: ", "File is empty"},
        {"missing.dat", R"({"fopen":1,"layout":1,"FieldList":"","count":0})", "Can not open data file: ",
         "File not found"},
    };
    CliRunner cli;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const QString file = CliFixture(c.file);
        const CliResult r = cli.run({QStringLiteral("read"), file, QStringLiteral("--dict"), CliFixture("read.dct")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.outLines(), QStringList{QString::fromUtf8(c.first)});
        EXPECT_EQ(r.errText(), QString::fromUtf8(c.readerMessage) + file + u'\n' + QString::fromUtf8(c.windowMessage) + u'\n');
    }
    // Without a dictionary every value would read empty: refused before the file is opened.
    const CliResult r = cli.run({QStringLiteral("read"), CliFixture("quoted.dat")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.errText(), QStringLiteral("Can not read dictionary file.  Select OK to try another name.\n"));
}

class CliLookup : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = cli_.path(QStringLiteral("store.db"));
        const QString error = ExecOnSqlite(
            db_, {kCreateInv, kCreateUpc, kCreateSpecial},
            {{QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)"),
              {"200", "HAMMER 16OZ", "H-200", "A1", 2.5, "1", "6"}},
             {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "03600029145", "010105"}},
             {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "036000291452", "060104"}},
             {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "012345678905", "020106"}}});
        ASSERT_EQ(error, QString());
    }
    CliRunner cli_;
    QString db_;
};

TEST_F(CliLookup, FillsTheEntryFromTheDatabases) {
    const QString conn = SqliteConnect(db_);
    const CliResult r = cli_.run({QStringLiteral("lookup"), QStringLiteral("200"), QStringLiteral("--inv"), conn,
                                  QStringLiteral("--upc"), conn, QStringLiteral("--cis"), conn});
    EXPECT_EQ(r.exitCode, 0);
    // A typed stock number gets its preferred UPC: the latest 12-digit one.
    EXPECT_EQ(r.outText(), QStringLiteral(R"({"sku":"200","mfn":"H-200","desc":"HAMMER 16OZ","loc":"A1",)"
                                          R"("retail":"2.5","om":"1","pk":"6","upc":"012345678905"})"
                                          "\n"));
    EXPECT_EQ(r.errText(), QString());
}

TEST_F(CliLookup, ScannedUpcsAreConvertedOnlyWhenAskedAndTheStoreIsTheDefault) {
    // The connect strings come from the window's store; --convert-upc overrides SierraConvertUpc.
    cli_.saveSettings({{QStringLiteral("ODBCINV"), SqliteConnect(db_)},
                       {QStringLiteral("ODBCUPC"), SqliteConnect(db_)},
                       {QStringLiteral("SierraConvertUpc"), QStringLiteral("0")}});
    const QByteArray stored = CliRunner::read(cli_.settingsFile());
    struct Case {
        QStringList extra;
        const char* sku;
        const char* desc;
    };
    const Case cases[] = {
        {{}, "036000291452", ""},
        {{QStringLiteral("--convert-upc"), QStringLiteral("1")}, "200", "HAMMER 16OZ"},
        {{QStringLiteral("--convert-upc"), QStringLiteral("0")}, "036000291452", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra.join(u' ').toStdString());
        const CliResult r = cli_.run(QStringList{QStringLiteral("lookup"), QStringLiteral("036000291452")} + c.extra);
        EXPECT_EQ(r.exitCode, 0);
        const QJsonObject o = QJsonDocument::fromJson(r.out).object();
        EXPECT_EQ(o.value(QLatin1String("sku")).toString(), QString::fromUtf8(c.sku));
        EXPECT_EQ(o.value(QLatin1String("desc")).toString(), QString::fromUtf8(c.desc));
    }
    EXPECT_EQ(CliRunner::read(cli_.settingsFile()), stored);
}

}  // namespace
