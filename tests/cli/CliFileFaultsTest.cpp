// Output that cannot be written makes the run fail (exit 1) with the system's reason, and leaves
// what was there as it was: a file byte for byte, a device a device, a pipe a pipe. A PDF that
// could not be completed is not counted as printed.
#include "CliRunner.h"
#include "PrivateDevices.h"

#include <functional>

namespace {

TEST(CliFileFaults, FailedOutputsExitOneAndKeepWhatWasThere) {
    CliRunner cli;
    cli.saveSettings({{"SierraPrint", "3"}, {"DICTIONARY", Fixture("@/store.dct")}});
    SmallTmpfs fs;
    ASSERT_EQ(fs.error(), QString());
    const QByteArray oldText = "yesterday's export\r\n";
    const QByteArray oldPdf = "%PDF-1.4 yesterday's good labels\n%%EOF\n";
    for (const auto& [name, bytes] : {std::pair{"labels.txt", oldText}, std::pair{"labels.pdf", oldPdf}}) {
        QFile f(fs.path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    fs.fill();
    const QString full = cli.path("full");
    ASSERT_EQ(MakeCharDevice(full, kFullDevice[0], kFullDevice[1]), QString());
    const QString pipe = cli.path("pipe");
    ASSERT_EQ(MakeFifo(pipe), QString());

    const QString rows = Fixture("@/rows31.txt");
    const QString fa3 = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.fa3");
    const QStringList print = {"print", rows, "--format", fa3};
    const auto same = [](const QByteArray& old) { return [old](const QString& p) { return ReadFile(p) == old; }; };
    const struct Case {
        const char* name;
        QStringList args;
        QString stdoutFile;
        QString left;  // what must be as it was
        std::function<bool(const QString&)> unchanged;
        const char* reason;
        bool labelsDone = false;  // the labels themselves came out: their count is shown
    } cases[] = {
        {"export to a full disk", {"import", rows, "--out", fs.path("labels.txt")}, {}, fs.path("labels.txt"),
         same(oldText), "No space left on device"},
        {"export to a full device", {"import", rows, "--out", full}, {}, full, IsCharDevice, "No space left on device"},
        {"export to a pipe nobody reads", {"import", rows, "--out", pipe}, {}, pipe, IsFifo,
         "No program reads from the pipe."},
        {"PDF on a full disk", print + QStringList{"--pdf", fs.path("labels.pdf")}, {}, fs.path("labels.pdf"),
         same(oldPdf), "could not be completed"},
        {"PDF into a full device", print + QStringList{"--pdf", full}, {}, full, IsCharDevice, "No space left on device"},
        {"trace into a full device", print + QStringList{"--pdf", cli.path("ok.pdf"), "--trace", full}, {}, full,
         IsCharDevice, "No space left on device", true},
        {"read to a full standard output", {"read", rows}, full, full, IsCharDevice, "No space left on device"},
        {"dict to a full standard output", {"dict"}, full, full, IsCharDevice, "No space left on device"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliResult r = cli.run(c.args, c.stdoutFile);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains(c.reason)) << r.err.toStdString();
        EXPECT_EQ(r.out.contains("items printed."), c.labelsDone) << r.out.toStdString();
        EXPECT_TRUE(c.unchanged(c.left));
    }
    // Nothing was left beside the files on the full disk.
    EXPECT_EQ(QDir(fs.path("")).entryList(QDir::Files | QDir::Hidden),
              (QStringList{".filler", "labels.pdf", "labels.txt"}));
}

// A device without end or a pipe without a writer named as an input: refused at once with a
// message, the run fails; nothing is read into memory, nothing waits.
TEST(CliFileFaults, InputsThatAreNotFilesAreRefused) {
    CliRunner cli;
    const QString zero = cli.path("zero");
    ASSERT_EQ(MakeCharDevice(zero, kZeroDevice[0], kZeroDevice[1]), QString());
    const QString pipe = cli.path("pipe");
    ASSERT_EQ(MakeFifo(pipe), QString());
    const QString rows = Fixture("@/sierra-rows.txt");
    const QStringList sierra = {"print", rows, "--target", "0", "--device", cli.path("out.bin")};
    const struct Case {
        const char* name;
        QString dictionary;
        QStringList args;
        const char* message;
    } cases[] = {
        {"device as dictionary", zero, {"dict"}, "Can not read dictionary file."},
        {"pipe as data file", Fixture("@/store.dct"), {"read", pipe}, "Can not open data file: "},
        {"device as font file", Fixture("@/store.dct"),
         sierra + QStringList{"--font", zero, "--format", Fixture("@/label.fab")}, "Problem opening Sierra Font File"},
        {"device as format file", Fixture("@/store.dct"),
         sierra + QStringList{"--font", Fixture("@/font.pcl"), "--format", zero}, "Problem opening Sierra Format File"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cli.saveSettings({{"DICTIONARY", c.dictionary}});
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE((r.out + r.err).contains(c.message)) << (r.out + r.err).toStdString();
    }
    EXPECT_TRUE(IsCharDevice(zero));
    EXPECT_TRUE(IsFifo(pipe));
}

}  // namespace
