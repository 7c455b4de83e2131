// The command line itself: exit status 2 and nothing on standard output for every malformed call,
// help for the program and for each command.
#include "CliRunner.h"

namespace {

TEST(CliUsage, MalformedCallsExitWithTwoAndSayWhy) {
    const std::pair<QStringList, const char*> cases[] = {
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
        {{"print", "a.txt", "--first-label", "33"}, "--first-label must be a whole number from 1 to 32"},
        {{"print", "a.txt", "--target", "3", "--first-label", "31"}, "--first-label must be a whole number from 1 to 30"},
        {{"print", "a.txt", "--target", "3", "--first-label", "0"}, "--first-label must be a whole number from 1 to 30"},
        {{"print", "a.txt", "--target", "1", "--first-label", "2"}, "--first-label needs a laser target"},
        {{"help", "nothing"}, "unknown command \"nothing\""},
        {{"--version", "print"}, "unexpected argument \"print\""},
    };
    CliRunner cli;
    for (const auto& [args, why] : cases) {
        SCOPED_TRACE(args.join(u' ').toStdString());
        const CliResult r = cli.run(args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, QByteArray());
        EXPECT_TRUE(r.err.contains(why)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("--help")) << r.err.toStdString();
    }
}

TEST(CliUsage, HelpForTheProgramAndEachCommand) {
    // The option lists are printed from the table the parser reads.
    CliRunner cli;
    EXPECT_EQ(cli.run({"--help"}).exitCode, 0);
    const CliResult version = cli.run({"--version"});
    EXPECT_EQ(std::pair(version.exitCode, version.out), std::pair(0, QByteArray("tagwell-cli " TAGWELL_VERSION "\n")));
    for (const QString name : {"dict", "read", "lookup", "import", "print", "check"}) {
        // "COMMAND --help" wins over a missing argument and says what "help COMMAND" says.
        const CliResult own = cli.run({name, "--help"}), other = cli.run({"help", name});
        EXPECT_EQ(std::pair(own.exitCode, other.exitCode), std::pair(0, 0)) << name.toStdString();
        EXPECT_TRUE(own.out.startsWith(("Usage: tagwell-cli " + name).toUtf8())) << name.toStdString();
        EXPECT_EQ(other.out, own.out) << name.toStdString();
    }
}

}  // namespace
