// check: one line per part of the set-up, exit 0 only when every line is OK, nothing written; run
// on the demo store built from its script, whose prices keep their cents.
#include "CliRunner.h"
#include "PrivateCups.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QProcess>

namespace {

QString demo(const char* name) { return QStringLiteral(TAGWELL_SOURCE_DIR "/demo/") + QString::fromLatin1(name); }

// The demo database made from its script, as scripts/make-demo-db makes it.
QString demoDatabase(const CliRunner& cli) {
    const QString db = cli.path(QStringLiteral("demo-store.db"));
    QProcess sqlite;
    sqlite.setStandardInputFile(demo("demo-store.sql"));
    sqlite.start(QStringLiteral("sqlite3"), {QStringLiteral("-bail"), db});
    EXPECT_TRUE(sqlite.waitForFinished(60000) && sqlite.exitCode() == 0) << sqlite.readAllStandardError().toStdString();
    return SqliteConnect(db);
}

TEST(CliCheck, DemoStoreHoldsAndEachFaultIsNamed) {
    CliRunner cli;
    const QString db = demoDatabase(cli);

    // Prices come as the store's money text, with their cents.
    for (const auto& [sku, retail] : {std::pair("100184", "\"retail\":\"119.00\""), std::pair("100260", "\"retail\":\"8.90\"")}) {
        const CliResult r = cli.run({"lookup", sku, "--inv", db, "--upc", db});
        EXPECT_TRUE(r.out.contains(retail)) << r.out.toStdString();
    }

    const QByteArray stored = cli.saveSettings({{"DICTIONARY", demo("demo.dct")},
                                                {"ODBCINV", db},
                                                {"ODBCUPC", db},
                                                {"ODBCCIS", db},
                                                {"SierraFormat1", demo("demo.fa1")},
                                                {"SierraFormat3", demo("demo.fa3")},
                                                {"SierraFormat4", demo("demo.fa4")},
                                                {"SierraFormat", demo("demo.fab")},
                                                {"SierraFont", demo("demo.pcl")}});
    // The Sierra Sport target on a plain file: no printer of the machine is looked at.
    const QStringList sierra{"check", "--target", "0", "--device", cli.path("sierra.bin")};
    const CliResult ok = cli.run(sierra);
    EXPECT_EQ(ok.exitCode, 0) << ok.out.toStdString() << ok.err.toStdString();
    const QStringList lines = QString::fromUtf8(ok.out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << ok.out.toStdString();
    EXPECT_TRUE(lines[0].contains("read; 9 fields found")) << lines[0].toStdString();
    EXPECT_TRUE(lines[2].startsWith("OK    inventory database: connects; key queries run; 246 items in inv"))
        << lines[2].toStdString();
    for (const QString& line : lines) EXPECT_TRUE(line.startsWith("OK    ")) << line.toStdString();

    // Each fault on a line of its own, the run failed, and still nothing was written: no settings,
    // no database made where the connect string names none, no device file.
    const QString tight = cli.path("tight.fa4");
    QFile format(tight);
    ASSERT_TRUE(format.open(QIODevice::WriteOnly));
    format.write("' a description too large for the label, a symbol too small to scan\r\n"
                 "DESC,12,100,170,0,B,0\r\nUPC,520,100,1060,1500,,0\r\n");
    format.close();
    const QString nowhere = SqliteConnect(cli.path("no-such.db"));
    QProcess sqlite;  // a CIS table without the stock-number column the key queries name
    sqlite.start(QStringLiteral("sqlite3"), {cli.path("cis.db"), "CREATE TABLE special (sku TEXT)"});
    ASSERT_TRUE(sqlite.waitForFinished(30000) && sqlite.exitCode() == 0);
    const CliResult bad = cli.run({"check", "--target", "0", "--device", "/dev/ttyTagwellNoSuchPort", "--fa4", tight,
                                   "--upc", nowhere, "--cis", SqliteConnect(cli.path("cis.db")), "--item", "100107"});
    EXPECT_EQ(bad.exitCode, 1) << bad.out.toStdString();
    const QString out = QString::fromUtf8(bad.out);
    EXPECT_TRUE(out.contains(QRegularExpression("\nFAIL  UPC database: does not connect: [^\n]+\n"))) << bad.out.toStdString();
    EXPECT_TRUE(out.contains("\nFAIL  CIS database: connects; the key queries fail: ")) << bad.out.toStdString();
    EXPECT_TRUE(out.contains("\nOK    item 100107: found: PEX PIPE 1/2IN X 10FT\n")) << bad.out.toStdString();
    EXPECT_TRUE(out.contains(QRegularExpression("\nFAIL  laser 4-up format [^\n]*: opens; 2 elements; item 100107: "
                                                "\"PEX PIPE 1/2IN X 10FT\" spans [^\n]*; UPC symbol 1500 twips wide")))
        << bad.out.toStdString();
    EXPECT_TRUE(out.contains("\nFAIL  print target Sierra Sport on port 1: serial device /dev/ttyTagwellNoSuchPort: "))
        << bad.out.toStdString();
    EXPECT_EQ(cli.settings(), stored);
    EXPECT_FALSE(QFileInfo::exists(cli.path("no-such.db")));
    EXPECT_FALSE(QFileInfo::exists(cli.path("sierra.bin")));
}


TEST(CliCheck, PrinterLineSaysPresentDefaultAndAcceptingJobs) {
    // "front", the default, and "back", which rejects jobs, on a scheduler of the test's own.
    PrivateCups cups;
    ASSERT_EQ(cups.start(), QString());
    for (const auto& [queue, accepting] : {std::pair("front", true), std::pair("back", false)})
        ASSERT_EQ(cups.addQueue(queue, PrivateCups::plainPpd(), accepting), QString()) << queue;
    ASSERT_EQ(cups.tool("lpadmin", {"-d", "front"}), QString());

    CliRunner cli;
    const struct { QStringList args; int exit; const char* line; } cases[] = {
        {{"--target", "3"}, 0, "OK    print target laser 3-up: printer \"front\" present, default, accepting jobs (idle)"},
        {{"--target", "4", "--printer", "back"}, 1,
         "FAIL  print target laser 4-up: printer \"back\" present, not the default, not accepting jobs (rejecting jobs)"},
        {{"--target", "1", "--printer", "front"}, 0,
         "OK    print target Dymo: printer \"front\" present, default, accepting jobs (idle)"},
        {{"--target", "3", "--printer", "gone"}, 1,
         "FAIL  print target laser 3-up: printer \"gone\" not installed, not the default, not accepting jobs (not installed)"},
    };
    // Only the printer line matters here: the formats of the target are those of the demo.
    const QStringList formats{"--fa1", demo("demo.fa1"), "--fa3", demo("demo.fa3"), "--fa4", demo("demo.fa4")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult r = cli.run(QStringList{"check"} + c.args + formats);
        const QStringList lines = QString::fromUtf8(r.out).split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.value(lines.size() - 1), QString::fromLatin1(c.line));
    }
    ASSERT_EQ(cups.tool("cupsdisable", {"front"}), QString());
    EXPECT_TRUE(cli.run({"check", "--target", "3"}).out.contains("printer \"front\" present, default, not accepting jobs (stopped)"));
}

}  // namespace
