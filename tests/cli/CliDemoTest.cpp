// The README's worked example on the demo store gives what the README shows.
#include "CliRunner.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

TEST(CliDemo, ReadmeExampleImportsThePriceChangesAndPrintsDymoLabels) {
    const QString sqlite = QStandardPaths::findExecutable(QStringLiteral("sqlite3"));
    if (sqlite.isEmpty()) GTEST_SKIP() << "sqlite3 is installed by scripts/setup";
    CliRunner cli;
    const QString db = cli.path(QStringLiteral("demo-store.db"));
    QProcess make;
    make.setStandardInputFile(QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo-store.sql"));
    make.start(sqlite, {QStringLiteral("-bail"), db});
    ASSERT_TRUE(make.waitForFinished(30000));
    ASSERT_EQ(make.exitCode(), 0) << make.readAllStandardError().toStdString();

    const QString conn = QStringLiteral("Driver=SQLite3;Database=") + db;
    const QString demo = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/");
    const QStringList databases{QStringLiteral("--dict"), demo + QStringLiteral("demo.dct"), QStringLiteral("--inv"), conn,
                                QStringLiteral("--upc"), conn};

    const CliResult imported = cli.run(QStringList{QStringLiteral("import"), demo + QStringLiteral("demo-prices.txt"),
                                                   QStringLiteral("--price-change")} + databases);
    EXPECT_EQ(imported.exitCode, 0) << imported.err.toStdString();
    EXPECT_EQ(imported.out, QByteArray("1\t10\t11\t21\t48\t65\t66\t149\r\n"
                                       "100107\tPEX PIPE 1/2IN X 10FT\tSB-52550\tF23-4\t6.99\t25\t1\t069782040901\r\n"
                                       "100120\tCOMBINATION LOCK\tML-78580\tA21-1\t8.49\t12\t1\t071649008245\r\n"
                                       "100184\tSTEP LADDER 6FT FIBERGLASS\tWER-22013\tH09-2\t109.00\t1\t1\t019784348505\r\n"));

    // Five records read as a data file: five Dymo labels, each a PDF document of its own.
    const QString pdf = cli.path(QStringLiteral("dymo.pdf"));
    const CliResult dymo = cli.run(QStringList{QStringLiteral("print"), demo + QStringLiteral("demo-prices.txt"),
                                               QStringLiteral("--target"), QStringLiteral("1"), QStringLiteral("--format"),
                                               demo + QStringLiteral("demo.fa1"), QStringLiteral("--pdf"), pdf} +
                                   databases);
    EXPECT_EQ(dymo.exitCode, 0) << dymo.err.toStdString();
    EXPECT_EQ(dymo.errText(), QString());
    const QStringList documents = QDir(QFileInfo(pdf).absolutePath()).entryList({QStringLiteral("dymo*.pdf")}, QDir::Files, QDir::Name);
    EXPECT_EQ(documents, (QStringList{QStringLiteral("dymo-2.pdf"), QStringLiteral("dymo-3.pdf"), QStringLiteral("dymo-4.pdf"),
                                      QStringLiteral("dymo-5.pdf"), QStringLiteral("dymo.pdf")}));
}

}  // namespace
