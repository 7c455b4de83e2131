// One table of look-up, import and print cases run through tagwell-cli against the demo store in
// each kind of database a store runs: SQLite, PostgreSQL and MariaDB. Every kind must give the same
// values, the same export bytes and the same printed labels, and a failing database must fail the
// run with the database's message instead of passing for an item that is not there.
#include "StoreServers.h"
#include "cli/CliRunner.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const QString kDemo = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/");
const QString kGolden = QStringLiteral(TAGWELL_TEST_DATA "/stores/");

QString JsonString(const QString& text) {
    const QByteArray doc = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(doc.mid(1, doc.size() - 2));
}

QString Item(const char* sku, const char* mfn, const char* desc, const char* loc, const char* retail, const char* om,
             const char* pk, const char* upc) {
    return QStringLiteral(R"({"sku":%1,"mfn":%2,"desc":%3,"loc":%4,"retail":%5,"om":%6,"pk":%7,"upc":%8})")
               .arg(JsonString(sku), JsonString(mfn), JsonString(desc), JsonString(loc), JsonString(retail),
                    JsonString(om), JsonString(pk), JsonString(upc)) +
           u'\n';
}

// The expected output as a golden file (rewritten by TAGWELL_REGENERATE=1 from the SQLite run).
QByteArray Golden(const QString& name, const QByteArray& actual, StoreKind kind) {
    if (qEnvironmentVariableIsSet("TAGWELL_REGENERATE") && kind == StoreKind::SQLite) {
        QFile f(kGolden + name);
        if (f.open(QIODevice::WriteOnly)) f.write(actual);
    }
    return ReadFile(kGolden + name);
}

class StoreMatrix : public ::testing::TestWithParam<StoreKind> {};

TEST_P(StoreMatrix, LookupImportAndPrintReadTheSameStore) {
    const StoreKind kind = GetParam();
    const StoreServer server(kind);
    ASSERT_EQ(server.error(), QString()) << KindName(kind) << " could not be started";
    const QString S = server.connect(), E = server.emptyConnect(), M = server.missingConnect();

    CliRunner cli;
    cli.saveSettings({{"DICTIONARY", kDemo + "demo.dct"}, {"SierraPrint", "4"}, {"SierraConvertUpc", "1"}});
    // The look-up reads all three databases; the import and the print the inventory and the UPCs.
    const auto with = [](const QString& inv, const QString& upc, const QString& cis = QString()) {
        QStringList args{"--inv", inv, "--upc", upc};
        if (!cis.isNull()) args << "--cis" << cis;
        return args;
    };
    struct Case {
        const char* name;
        QStringList args;
        int exitCode;
        QString out;  // "" with `golden` set: compared with that file
        QString errStart;
        const char* golden = nullptr;
    };
    const Case cases[] = {
        {"typed stock number", QStringList{"lookup", "100107"} + with(S, S, S), 0, "@ITEM100107", ""},
        {"scanned UPC", QStringList{"lookup", "051131494251"} + with(S, S, S), 0, "@ITEM101640", ""},
        {"apostrophe and backslash", QStringList{"lookup", "O'BRIEN\\5"} + with(S, S, S), 0,
         Item("O'BRIEN\\5", "OB-1", "IRISH PUTTY KNIFE", "B3", "4.99", "1", "12", "042100005264"), ""},
        {"a key is never a prefix", QStringList{"lookup", "O'BRIEN\\"} + with(S, S, S), 0,
         Item("O'BRIEN\\", "OB-2", "BACKSLASH TWIN", "B4", "5.99", "1", "12", ""), ""},
        {"a key is never SQL", QStringList{"lookup", "x\\' OR 1=1 -- "} + with(S, S, S), 0,
         Item("x\\' OR 1=1 -- ", "", "", "", "", "", "", ""), ""},
        {"not found is no failure", QStringList{"lookup", "999999"} + with(S, S, S), 0, Item("999999", "", "", "", "", "", "", ""), ""},
        {"special order from CIS", QStringList{"lookup", "900011"} + with(S, S, S), 0,
         Item("900011", "SO-PD1", "PATIO DOOR HANDLE SET BRONZE", "SPECIAL", "64.99", "1", "1", ""), ""},
        {"CIS query fails", QStringList{"lookup", "100107"} + with(S, S, E), 1, "@ITEM100107", "CIS Database Problem: "},
        {"inventory unreachable", QStringList{"lookup", "100107"} + with(M, S, S), 1,
         Item("100107", "", "", "", "", "", "", "069782040901"), "Inventory Database Problem: "},
        {"price-change import", QStringList{"import", kDemo + "demo-prices.txt", "--price-change"} + with(S, S), 0, "",
         "", "demo-prices.export"},
        {"import, inventory query fails", QStringList{"import", kDemo + "demo-prices.txt", "--price-change"} + with(E, S), 1,
         "", "Inventory Database Problem: "},
        {"35-label shelf walk", QStringList{"print", kDemo + "demo-shelf-walk.txt", "--target", "4", "--format", kDemo + "demo.fa4",
                                            "--pdf", cli.path("walk.pdf"), "--trace", cli.path("walk.trace")} + with(S, S),
         0, " 35 items printed.\n", ""},
        {"print, UPC query fails", QStringList{"print", kDemo + "demo-shelf-walk.txt", "--target", "4", "--format",
                                               kDemo + "demo.fa4", "--pdf", cli.path("none.pdf")} + with(S, E),
         1, "", "UPC Database Problem: "},
    };
    QString item100107, item101640;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(KindName(kind)) + ": " + c.name);
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        QString out = QString::fromUtf8(r.out);
        if (c.golden) {
            EXPECT_EQ(r.out, Golden(c.golden, r.out, kind));
        } else if (QString(c.out).startsWith("@ITEM")) {
            // Looked up once in full, the same values wherever the same item is asked again.
            QString& known = QString(c.out) == "@ITEM100107" ? item100107 : item101640;
            if (known.isEmpty()) known = out;
            EXPECT_EQ(out, known);
        } else {
            EXPECT_EQ(out, c.out);
        }
        if (c.errStart.isEmpty()) { EXPECT_EQ(r.err, QByteArray()); }
        else EXPECT_TRUE(r.err.startsWith(c.errStart.toUtf8()))
            << r.err.toStdString();
    }
    // The typed item carries its preferred UPC; the scanned one its own and its stock number.
    EXPECT_EQ(item100107, Golden("item-100107.json", item100107.toUtf8(), kind));
    EXPECT_TRUE(item101640.startsWith(R"({"sku":"101640",)") && item101640.contains(R"("upc":"051131494251")"))
        << item101640.toStdString();
    // The labels drawn are the same in every database: same texts, prices and barcodes.
    EXPECT_EQ(ReadFile(cli.path("walk.trace")), Golden("demo-shelf-walk.trace", ReadFile(cli.path("walk.trace")), kind));
    // A database that is not there is never made.
    if (kind == StoreKind::SQLite) { EXPECT_FALSE(QFile::exists(server.dir() + "/missing.db")); }
}

INSTANTIATE_TEST_SUITE_P(Databases, StoreMatrix,
                         ::testing::Values(StoreKind::SQLite, StoreKind::PostgreSQL, StoreKind::MariaDB),
                         [](const auto& info) { return std::string(KindName(info.param)); });

}  // namespace
