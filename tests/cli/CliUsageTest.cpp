// The command line itself: exit status 2 and nothing on standard output for every malformed call,
// help for the program and for each command.
#include "CliRunner.h"

#include <gtest/gtest.h>

namespace {

TEST(CliUsage, MalformedCallsExitWithTwoAndSayWhy) {
    struct Case {
        QStringList args;
        const char* why;  // part of the message on standard error
    };
    const Case cases[] = {
        {{}, "no command given"},
        {{"frobnicate"}, "unknown command \"frobnicate\""},
        {{"--dict", "x.dct"}, "a command must come first"},
        {{"dict", "--bogus"}, "dict does not know the option --bogus"},
        {{"dict", "extra"}, "unexpected argument \"extra\""},
        {{"read"}, "read needs DATAFILE"},
        {{"read", "a.dat", "--dict"}, "--dict needs a value (FILE)"},
        {{"read", "a.dat", "--dict", "x", "--dict=y"}, "--dict given twice"},
        {{"lookup", "1", "2"}, "unexpected argument \"2\""},
        {{"lookup", "1", "--convert-upc", "yes"}, "--convert-upc must be one of 0|1"},
        {{"dict", "--prisame", "2"}, "--prisame must be one of 0|1"},
        {{"import", "a.txt", "--price-change=1"}, "--price-change takes no value"},
        {{"print", "a.txt", "--target", "2"}, "--target must be one of 0|1|3|4"},
        {{"print", "a.txt", "--printer", "P", "--pdf", "b.pdf"}, "--printer and --pdf exclude each other"},
        {{"print", "a.txt", "--port", "0"}, "--port must be a whole number from 1 to 32767"},
        {{"help", "nothing"}, "unknown command \"nothing\""},
    };
    CliRunner cli;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult r = cli.run(c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_TRUE(r.errText().contains(QString::fromUtf8(c.why))) << r.err.toStdString();
        EXPECT_TRUE(r.errText().contains(QLatin1String("--help"))) << r.err.toStdString();
    }
}

TEST(CliUsage, HelpDescribesEveryCommandAndItsOptions) {
    CliRunner cli;
    const CliResult overview = cli.run({QStringLiteral("--help")});
    EXPECT_EQ(overview.exitCode, 0);
    EXPECT_TRUE(overview.err.isEmpty());

    const std::pair<const char*, QStringList> commands[] = {
        {"dict", {"--dict FILE", "--prisame 0|1"}},
        {"read", {"DATAFILE", "--dict FILE"}},
        {"lookup", {"CODE", "--convert-upc 0|1", "--inv CONN", "--upc CONN", "--cis CONN"}},
        {"import", {"DATAFILE", "--price-change", "--dict FILE", "--inv CONN", "--upc CONN", "--out FILE"}},
        {"print",
         {"DATAFILE", "--target 0|1|3|4", "--dict FILE", "--inv CONN", "--upc CONN", "--format FILE", "--font FILE",
          "--offsets LR,UD", "--printer NAME", "--pdf FILE", "--port N", "--device PATH", "--settings TEXT",
          "--trace FILE"}},
    };
    for (const auto& [name, expected] : commands) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(overview.outText().contains(QStringLiteral("  %1 ").arg(QString::fromLatin1(name))));
        // "COMMAND --help" and "help COMMAND" both describe it, and --help wins over a missing argument.
        for (const QStringList& args : {QStringList{QString::fromLatin1(name), QStringLiteral("--help")},
                                        QStringList{QStringLiteral("help"), QString::fromLatin1(name)}}) {
            const CliResult r = cli.run(args);
            EXPECT_EQ(r.exitCode, 0);
            EXPECT_TRUE(r.outText().startsWith(QStringLiteral("Usage: tagwell-cli %1").arg(QString::fromLatin1(name))));
            for (const QString& option : expected) EXPECT_TRUE(r.outText().contains(option)) << option.toStdString();
            EXPECT_TRUE(r.outText().contains(QLatin1String("Exit status: 0")));
        }
    }
}

}  // namespace
