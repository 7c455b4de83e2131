// dict, read, lookup and import on the dictionary, data file and database examples: the exact
// output and messages of each, where their settings come from, and that nothing is ever saved.
#include "CliRunner.h"

namespace {

const char* const kNoDictionary = "Can not read dictionary file.  Select OK to try another name.\n";
const char* const kExample = R"({"setup":0,"setupms":0,"dLast":149}
{"field":1,"alpha":0,"len":12,"master":true,"desc":"Stock number"}
{"field":10,"alpha":1,"len":20,"master":true,"desc":"Item text"}
{"field":12,"alpha":1,"len":30,"master":false,"desc":"Item text"}
{"field":13,"alpha":2,"len":9,"master":true,"desc":"Retail"}
{"field":149,"alpha":1,"len":12,"master":true,"desc":"UPC"}
)";
const char* const kQuoted = R"({"fopen":0,"layout":0,"FieldList":" 1, 2, 3","count":3}
{"line":1,"values":[[1,0,"ABC, INC"],[2,0,"12"],[3,0,"X"]]}
{"line":2,"values":[[1,1,""],[2,1,""],[3,1,""]]}
{"line":3,"values":[[1,0,"\"Hi\" 's"],[2,0,"7"],[3,1,""]]}
{"line":4,"values":[[1,0,"Z"],[2,1,""],[3,0,"Q"]]}
)";
const char* const kHammer =
    R"({"sku":"200","mfn":"H-200","desc":"HAMMER 16OZ","loc":"A1","retail":"2.5","om":"1","pk":"6","upc":"%1"})" "\n";
const char* const kExportHeader = "1\t10\t11\t21\t48\t65\t66\t149\r\n";

TEST(CliCommands, PrintExactlyWhatTheWindowWouldSeeAndShow) {
    struct Case {
        QStringList args;  // "@/" names a fixture file, "$DB" the store database
        int exitCode;
        QString out;
        QString err;
    };
    const Case cases[] = {
        // example.dct: a definition before the first header, a section too deep, two INV sections that
        // both define field 10 ([Inv]2 read in any case), malformed lines, a definition after [END],
        // and a master/store block with S, P and a lower-case s.
        {{"dict", "--dict", "@/example.dct"}, 0, kExample, ""},
        // Prices that differ between stores make the P field store-specific.
        {{"dict", "--dict", "@/example.dct", "--prisame", "0"}, 0,
         QString(kExample).replace(R"("master":true,"desc":"Retail")", R"("master":false,"desc":"Retail")"), ""},
        // No INV section: nothing stood in a selected section, and there is no block either.
        {{"dict", "--dict", "@/no-inv.dct"}, 1, "{\"setup\":2,\"setupms\":2,\"dLast\":0}\n", kNoDictionary},
        {{"dict", "--dict", "@/missing.dct"}, 1, "{\"setup\":1,\"setupms\":1,\"dLast\":0}\n", kNoDictionary},
        // Definitions without a master/store block: read, all master, with the window's warning.
        {{"dict", "--dict", "@/noblock.dct"}, 0,
         "{\"setup\":0,\"setupms\":2,\"dLast\":1}\n"
         "{\"field\":1,\"alpha\":0,\"len\":12,\"master\":true,\"desc\":\"Stock number\"}\n",
         "Warning: could not read master/store specific info from data dictionary.  Will treat all info as master.\n"},
        // Quotes group a comma; an empty line is a record of blanks; bytes 2 and 1 read back as a
        // double quote and an apostrophe; a short record's missing column is blank; the last line
        // has no line end.
        {{"read", "@/quoted.dat", "--dict", "@/read.dct"}, 0, kQuoted, ""},
        // The same file with a length of 3 for field 1.
        {{"read", "@/quoted.dat", "--dict", "@/read-short.dct"}, 0,
         QString(kQuoted).replace("ABC, INC", "ABC").replace(R"("\"Hi\" 's")", R"("\"Hi")"), ""},
        // Tab layout: quotes do not group, but a value in quotes loses them.
        {{"read", "@/tabbed.txt", "--dict", "@/read.dct"}, 0,
         R"({"fopen":0,"layout":2,"FieldList":" 1, 10, 149","count":3})" "\n"
         R"({"line":1,"values":[[1,0,"100107"],[10,0,"WOOD GLUE"],[149,0,"036000291452"]]})" "\n", ""},
        // Files the reader refuses: its own message, then the window's.
        {{"read", "@/bad-header.dat", "--dict", "@/read.dct"}, 1,
         "{\"fopen\":3,\"layout\":0,\"FieldList\":\" 1, 10, 11\",\"count\":3}\n",
         "Invalid Header: @/bad-header.dat\nError in file header\n"},
        {{"read", "@/empty.dat", "--dict", "@/read.dct"}, 1, "{\"fopen\":2,\"layout\":1,\"FieldList\":\"\",\"count\":0}\n",
         "Data file is empty: @/empty.dat\nFile is empty\n"},
        {{"read", "@/missing.dat", "--dict", "@/read.dct"}, 1, "{\"fopen\":1,\"layout\":1,\"FieldList\":\"\",\"count\":0}\n",
         "Can not open data file: @/missing.dat\nFile not found\n"},
        {{"import", "@/missing.txt", "--dict", "@/store.dct"}, 1, "", "Can not open data file: @/missing.txt\nFile not found\n"},
        // Without a dictionary every value would read empty: refused before the file is opened.
        {{"read", "@/quoted.dat"}, 1, "", kNoDictionary},
        // A typed stock number gets its preferred UPC: the latest 12-digit one.
        {{"lookup", "200", "--inv", "$DB", "--upc", "$DB", "--cis", "$DB"}, 0, QString(kHammer).arg("012345678905"), ""},
        // A scanned UPC becomes its stock number as the stored SierraConvertUpc says, unless overridden.
        {{"lookup", "036000291452", "--inv", "$DB"}, 0, QString(kHammer).arg("036000291452"), ""},
        {{"lookup", "036000291452", "--inv", "$DB", "--convert-upc", "0"}, 0,
         R"({"sku":"036000291452","mfn":"","desc":"","loc":"","retail":"","om":"","pk":"","upc":""})" "\n", ""},
        // price-change.txt: 100 has no new price, 150's 1.50 equals the inventory's 1.5, 200 changes: one
        // row, the new price, the rest from the inventory, the latest 12-digit UPC.
        {{"import", "@/price-change.txt", "--price-change", "--dict", "@/store.dct", "--inv", "$DB"}, 0,
         kExportHeader + QString("200\tHAMMER 16OZ\tH-200\tA1\t3.49\t6\t1\t012345678905\r\n"), ""},
        // The same file as a plain data file keeps every record with a stock number.
        {{"import", "@/price-change.txt", "--dict", "@/store.dct"}, 0,
         kExportHeader + QString("100\t\t\t\t\t\t\t\r\n150\t\t\t\t1.50\t\t\t\r\n200\t\t\t\t3.49\t\t\t012345678905\r\n"), ""},
    };
    CliRunner cli;
    const QString db = cli.storeDb();
    // The UPC database and the UPC conversion come from the window's settings.
    const QByteArray stored = cli.saveSettings({{"ODBCUPC", db}, {"SierraConvertUpc", "1"}});
    for (const Case& c : cases) {
        QStringList args;
        for (const QString& a : c.args) args << Fixture(a).replace("$DB", db);
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliResult r = cli.run(args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(QString::fromUtf8(r.out), c.out);
        EXPECT_EQ(QString::fromUtf8(r.err), Fixture(c.err));
    }
    // The window's import remembers its file under FILEIMPEXP; no run here saves anything.
    EXPECT_EQ(cli.settings(), stored);

    // --out receives what standard output would, and a file it cannot write fails the run.
    const QStringList import{"import", Fixture("@/price-change.txt"), "--dict", Fixture("@/store.dct"), "--out"};
    EXPECT_EQ(cli.run(import + QStringList{cli.path("grid.txt")}).exitCode, 0);
    EXPECT_EQ(ReadFile(cli.path("grid.txt")), cli.run(import.mid(0, 4)).out);
    const CliResult w = cli.run(import + QStringList{cli.path("no/such/folder/grid.txt")});
    EXPECT_EQ(w.exitCode, 1);
    EXPECT_TRUE(w.err.startsWith(("The export file " + cli.path("no/such/folder/grid.txt") + " could not be written").toUtf8()));
}

}  // namespace
