// print: the window's print job run without it, checked on what it leaves behind (the PDF and its
// trace, the Sierra Sport byte stream, the Dymo PDFs).
#include "CliRunner.h"

#include <QDir>
#include <QRegularExpression>

namespace {

TEST(CliPrint, ThirtyOneRowsOnTheThreeUpSheetMakeTwoPages) {
    CliRunner cli;
    // The window prints on the 4-up sheet; --target 3 changes that for this run only.
    const QByteArray stored = cli.saveSettings({{"SierraPrint", "4"}, {"DICTIONARY", Fixture("@/store.dct")}});
    const QString pdf = cli.path("labels.pdf");
    const QString trace = cli.path("labels.trace");
    const CliResult r = cli.run({"print", Fixture("@/rows31.txt"), "--target", "3", "--format",
                                 TAGWELL_SOURCE_DIR "/demo/demo.fa3", "--pdf", pdf, "--trace", trace});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, " 31 items printed.\n");
    EXPECT_EQ(r.err, QByteArray());
    EXPECT_EQ(cli.settings(), stored);

    QProcess info;
    info.start("pdfinfo", {pdf});
    EXPECT_TRUE(info.waitForFinished(30000));
    EXPECT_TRUE(QString::fromUtf8(info.readAllStandardOutput()).contains(QRegularExpression("\nPages: +2\n")));

    const QStringList lines = QString::fromUtf8(ReadFile(trace)).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.count("NEWPAGE"), 1);
    EXPECT_EQ(lines.indexOf("ENDDOC"), lines.size() - 1);
    // Row 30 closes the first sheet, row 31 opens the second at the position row 1 had.
    const auto drawn = [&](const QString& text) { return lines.indexOf(QRegularExpression("^TEXT\t.*\t" + text + '$')); };
    const qsizetype item1 = drawn("ITEM 1"), item30 = drawn("ITEM 30"), item31 = drawn("ITEM 31");
    EXPECT_GE(item1, 0);
    EXPECT_LT(item1, item30);
    EXPECT_LT(item30, lines.indexOf("NEWPAGE"));
    EXPECT_LT(lines.indexOf("NEWPAGE"), item31);
    EXPECT_EQ(lines.value(item31).section(u'\t', 1, 2), lines.value(item1).section(u'\t', 1, 2));

    // A sheet whose labels 1 to 28 were used: rows 1 and 2 fill it, row 3 opens the next sheet at
    // the top-left label; the count is the rows printed, as before.
    const QString partTrace = cli.path("part.trace");
    const CliResult part = cli.run({"print", Fixture("@/rows31.txt"), "--target", "3", "--format",
                                    TAGWELL_SOURCE_DIR "/demo/demo.fa3", "--pdf", cli.path("part.pdf"), "--trace",
                                    partTrace, "--first-label", "29"});
    EXPECT_EQ(part.exitCode, 0);
    EXPECT_EQ(part.out, " 31 items printed.\n");
    const QStringList partLines = QString::fromUtf8(ReadFile(partTrace)).split(u'\n', Qt::SkipEmptyParts);
    const auto partDrawn = [&](const QString& text) {
        return partLines.indexOf(QRegularExpression("^TEXT\t.*\t" + text + '$'));
    };
    EXPECT_EQ(partLines.count("NEWPAGE"), 1);
    EXPECT_LT(partDrawn("ITEM 2"), partLines.indexOf("NEWPAGE"));
    EXPECT_LT(partLines.indexOf("NEWPAGE"), partDrawn("ITEM 3"));
    EXPECT_EQ(partLines.value(partDrawn("ITEM 1")).section(u'\t', 1, 2), lines.value(drawn("ITEM 29")).section(u'\t', 1, 2));
    EXPECT_EQ(partLines.value(partDrawn("ITEM 3")).section(u'\t', 1, 2), lines.value(item1).section(u'\t', 1, 2));
}

TEST(CliPrint, SierraSportAndDymoTargetsWriteTheirFiles) {
    CliRunner cli;
    const QStringList rows{"print", Fixture("@/sierra-rows.txt"), "--dict", Fixture("@/store.dct")};
    const QStringList sierra = rows + QStringList{"--target", "0", "--format", Fixture("@/label.fab"), "--font",
                                                  Fixture("@/font.pcl"), "--device"};
    const CliResult r = cli.run(sierra + QStringList{cli.path("sierra.bin")});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out + r.err, QByteArray());
    // The fonts without their line ends, then per row the trimmed format lines with the first
    // placeholder filled: the inch sign escaped, the UPC cut to 11 digits or zeros, a blank price
    // sent as one space.
    EXPECT_EQ(ReadFile(cli.path("sierra.bin")), ReadFile(Fixture("@/sierra-expected.bin")));

    // A device that cannot be opened: the port error message, and the run failed.
    const CliResult f = cli.run(sierra + QStringList{cli.path("no/such/folder/sierra.bin"), "--port", "3"});
    EXPECT_EQ(f.exitCode, 1);
    EXPECT_TRUE(f.err.startsWith("Error # ")) << f.err.toStdString();
    EXPECT_TRUE(f.err.contains(" opening port 3\n" + cli.path("no/such/folder/sierra.bin").toUtf8() + ": "))
        << f.err.toStdString();

    // Dymo labels into PDFs: one document per label, the second with -2 before the extension.
    const CliResult d = cli.run(rows + QStringList{"--target", "1", "--format", TAGWELL_SOURCE_DIR "/demo/demo.fa1",
                                                   "--pdf", cli.path("dymo.pdf")});
    EXPECT_EQ(d.exitCode, 0);
    EXPECT_EQ(d.err, QByteArray());
    EXPECT_EQ(QDir(cli.path("")).entryList({"dymo*.pdf"}), (QStringList{"dymo-2.pdf", "dymo.pdf"}));
}

}  // namespace
