// tagwell-cli against a store server that stops answering while the program talks to it (a frozen
// host, a network that drops every packet without a word): each command gives up after the
// connection's wait, says which database did not answer, exits 1, and ends, although the driver's
// call on the frozen server never returns.
#include "StoreServers.h"
#include "cli/CliRunner.h"

#include <QElapsedTimer>

namespace {

class FrozenServer : public ::testing::TestWithParam<StoreKind> {};

TEST_P(FrozenServer, CommandsGiveUpAndSayWhichDatabaseDidNotAnswer) {
    StoreServer server(GetParam());
    ASSERT_EQ(server.error(), QString()) << KindName(GetParam()) << " could not be started";
    CliRunner cli;
    cli.saveSettings({{"DICTIONARY", TAGWELL_SOURCE_DIR "/demo/demo.dct"}});
    // The look-up waits the default 3 s, the import the 1 s a store may choose.
    const QString store = server.connect() + QStringLiteral(";TagwellWait=1"), byDefault = server.connect();
    // The demo store's price-change file, to be completed from the inventory.
    const QString prices = QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo-prices.txt");

    const struct {
        QStringList args;
        QByteArray out;  // the rows that are written all the same
    } commands[] = {
        {{"lookup", "100107", "--inv", byDefault, "--upc", byDefault, "--cis", byDefault},
         R"({"sku":"100107","mfn":"","desc":"","loc":"","retail":"","om":"","pk":"","upc":""})"},
        {{"import", prices, "--price-change", "--inv", store, "--upc", store}, ""},
    };
    ASSERT_EQ(server.freeze(), QString());
    for (const auto& command : commands) {
        SCOPED_TRACE(command.args.first().toStdString());
        QElapsedTimer took;
        took.start();
        const CliResult r = cli.run(command.args);
        EXPECT_EQ(r.exitCode, 1);
        const int wait = command.args.contains(store) ? 1 : 3;
        EXPECT_TRUE(r.err.contains(QStringLiteral("Database Problem: %1, No answer within %2 s: ").arg(RecordSetError::TimedOut).arg(wait).toUtf8()))
            << "standard error: " << r.err.toStdString() << "\nstandard output: " << r.out.toStdString();
        if (!command.out.isEmpty()) EXPECT_EQ(r.out.trimmed(), command.out);
        std::cout << KindName(GetParam()) << " " << command.args.first().toStdString() << " gave up in " << took.elapsed() << " ms: " << r.err.toStdString();
    }
    server.thaw();
    const CliResult r = cli.run(commands[0].args);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Servers, FrozenServer, ::testing::Values(StoreKind::PostgreSQL, StoreKind::MariaDB),
                         [](const auto& info) { return std::string(KindName(info.param)); });

}  // namespace
