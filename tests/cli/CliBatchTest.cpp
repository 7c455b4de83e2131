// import and print: the window's import and print job run without it, checked on what they leave
// behind (the export file, the PDF and its trace, the Sierra Sport byte stream).
#include "CliRunner.h"
#include "StoreDatabases.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

TEST(CliImport, PriceChangeFileAgainstARealDatabase) {
    CliRunner cli;
    const QString db = cli.path(QStringLiteral("store.db"));
    ASSERT_EQ(ExecOnSqlite(db, {kCreateInv, kCreateUpc},
                           {{QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)"),
                             {"150", "WASHER 3/8", "W-150", "B2", 1.5, "1", "10"}},
                            {QStringLiteral("INSERT INTO inv VALUES (?, ?, ?, ?, ?, ?, ?)"),
                             {"200", "HAMMER 16OZ", "H-200", "A1", 2.5, "1", "6"}},
                            {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "03600029145", "010105"}},
                            {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "036000291452", "060104"}},
                            {QStringLiteral("INSERT INTO upc VALUES (?, ?, ?)"), {"200", "012345678905", "020106"}}}),
              QString());
    // The UPC database comes from the window's store, the inventory from the command line.
    cli.saveSettings({{QStringLiteral("ODBCUPC"), SqliteConnect(db)}});
    const QByteArray stored = CliRunner::read(cli.settingsFile());

    // price-change.txt: 100 has no new price, 150's 1.50 equals the inventory's 1.5, 200 changes.
    const QString out = cli.path(QStringLiteral("grid.txt"));
    const CliResult r = cli.run({QStringLiteral("import"), CliFixture("price-change.txt"), QStringLiteral("--price-change"),
                                 QStringLiteral("--dict"), CliFixture("store.dct"), QStringLiteral("--inv"),
                                 SqliteConnect(db), QStringLiteral("--out"), out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.errText(), QString());
    // One row: the new price, the rest from the inventory, the latest 12-digit UPC.
    EXPECT_EQ(CliRunner::read(out), QByteArray("1\t10\t11\t21\t48\t65\t66\t149\r\n"
                                               "200\tHAMMER 16OZ\tH-200\tA1\t3.49\t6\t1\t012345678905\r\n"));

    // The same file as a plain data file keeps every record with a stock number; on standard output.
    const CliResult data = cli.run({QStringLiteral("import"), CliFixture("price-change.txt"), QStringLiteral("--dict"),
                                    CliFixture("store.dct")});
    EXPECT_EQ(data.exitCode, 0) << data.err.toStdString();
    EXPECT_EQ(data.out, QByteArray("1\t10\t11\t21\t48\t65\t66\t149\r\n"
                                   "100\t\t\t\t\t\t\t\r\n"
                                   "150\t\t\t\t1.50\t\t\t\r\n"
                                   "200\t\t\t\t3.49\t\t\t012345678905\r\n"));

    // The import remembers its file under FILEIMPEXP in the window; here nothing is saved.
    EXPECT_EQ(CliRunner::read(cli.settingsFile()), stored);
}

TEST(CliImport, FailuresReportTheWindowsMessages) {
    CliRunner cli;
    const QString missing = CliFixture("missing.txt");
    const CliResult r = cli.run({QStringLiteral("import"), missing, QStringLiteral("--dict"), CliFixture("store.dct")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.errText(), QStringLiteral("Can not open data file: ") + missing + QStringLiteral("\nFile not found\n"));

    const QString out = cli.path(QStringLiteral("no/such/folder/grid.txt"));
    const CliResult w = cli.run({QStringLiteral("import"), CliFixture("price-change.txt"), QStringLiteral("--dict"),
                                 CliFixture("store.dct"), QStringLiteral("--out"), out});
    EXPECT_EQ(w.exitCode, 1);
    EXPECT_TRUE(w.errText().startsWith(QStringLiteral("The export file ") + out + QStringLiteral(" could not be written")))
        << w.err.toStdString();
}

int PdfPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {pdf});
    if (!p.waitForFinished(30000) || p.exitCode() != 0) return -1;
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(QString::fromUtf8(p.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(CliPrint, ThirtyOneRowsOnTheThreeUpSheetMakeTwoPages) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo (poppler-utils) is installed by scripts/setup";
    CliRunner cli;
    // The window prints on the 4-up sheet; --target 3 changes that for this run only.
    cli.saveSettings({{QStringLiteral("SierraPrint"), QStringLiteral("4")},
                      {QStringLiteral("DICTIONARY"), CliFixture("store.dct")}});
    const QByteArray stored = CliRunner::read(cli.settingsFile());

    const QString pdf = cli.path(QStringLiteral("labels.pdf"));
    const QString trace = cli.path(QStringLiteral("labels.trace"));
    const CliResult r = cli.run({QStringLiteral("print"), CliFixture("rows31.txt"), QStringLiteral("--target"),
                                 QStringLiteral("3"), QStringLiteral("--format"),
                                 QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3"), QStringLiteral("--pdf"), pdf,
                                 QStringLiteral("--trace"), trace});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.outText(), QStringLiteral(" 31 items printed.\n"));
    EXPECT_EQ(r.errText(), QString());
    EXPECT_EQ(PdfPages(pdf), 2);

    const QStringList lines = QString::fromUtf8(CliRunner::read(trace)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.count(QStringLiteral("NEWPAGE")), 1);
    EXPECT_EQ(lines.count(QStringLiteral("ENDDOC")), 1);
    EXPECT_EQ(lines.value(lines.size() - 1), QStringLiteral("ENDDOC"));
    // Row 30 closes the first sheet, row 31 opens the second, at the first position: with the
    // default 3-up offsets its origin is (110, -200).
    const auto textLine = [&](const QString& text) {
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(QLatin1String("TEXT\t")) && lines[i].endsWith(u'\t' + text)) return i;
        return qsizetype(-1);
    };
    const qsizetype newPage = lines.indexOf(QStringLiteral("NEWPAGE"));
    EXPECT_GE(textLine(QStringLiteral("ITEM 30")), 0);
    EXPECT_LT(textLine(QStringLiteral("ITEM 30")), newPage);
    EXPECT_GT(textLine(QStringLiteral("ITEM 31")), newPage);
    EXPECT_EQ(textLine(QStringLiteral("ITEM 1")) >= 0 ? lines[textLine(QStringLiteral("ITEM 1"))].section(u'\t', 1, 2)
                                                      : QString(),
              textLine(QStringLiteral("ITEM 31")) >= 0 ? lines[textLine(QStringLiteral("ITEM 31"))].section(u'\t', 1, 2)
                                                       : QStringLiteral("missing"));

    EXPECT_EQ(CliRunner::read(cli.settingsFile()), stored);
}

TEST(CliPrint, SierraSportToAFileReceivesTheExactByteStream) {
    CliRunner cli;
    const QString device = cli.path(QStringLiteral("sierra.bin"));
    const QStringList common{QStringLiteral("print"), CliFixture("sierra-rows.txt"), QStringLiteral("--target"),
                             QStringLiteral("0"), QStringLiteral("--dict"), CliFixture("store.dct"),
                             QStringLiteral("--format"), CliFixture("label.fab"), QStringLiteral("--font"),
                             CliFixture("font.pcl")};
    const CliResult r = cli.run(common + QStringList{QStringLiteral("--device"), device});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.errText(), QString());
    // The fonts without their line ends, then per row the trimmed format lines with the first
    // placeholder filled: the inch sign escaped, the UPC cut to 11 digits or zeros, a blank price
    // sent as one space.
    EXPECT_EQ(CliRunner::read(device), CliRunner::read(CliFixture("sierra-expected.bin")));

    // A device that cannot be opened: the port error message, and the run failed.
    const QString unreachable = cli.path(QStringLiteral("no/such/folder/sierra.bin"));
    const CliResult f = cli.run(common + QStringList{QStringLiteral("--device"), unreachable, QStringLiteral("--port"),
                                                     QStringLiteral("3")});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_TRUE(f.errText().startsWith(QStringLiteral("Error # "))) << f.err.toStdString();
    EXPECT_TRUE(f.errText().contains(QStringLiteral(" opening port 3\n"))) << f.err.toStdString();
}

}  // namespace
