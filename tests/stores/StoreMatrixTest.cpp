// Look-up, import and print cases run through tagwell-cli against the demo store in each kind of
// database a store runs: SQLite, PostgreSQL and MariaDB. Each folder of tests/data/stores holds the
// command line (`args`, one argument a line; %STORE% is the store's connection string, %STORE_AS_TYPED%
// the same as a person types it), the start of what standard error must say (`err-start`,
// absent: nothing), and the expected exit status and standard output (`result.txt`) and any trace
// written; every kind must give the same, so the expected files are written from the SQLite run.
// `%INTSTORE%` is the demo store keyed by whole numbers; `err-start.<kind>` holds what standard
// error says on that kind of database alone.
#include "GoldenCases.h"
#include "StoreServers.h"
#include "cli/CliRunner.h"

namespace {

class StoreMatrix : public ::testing::TestWithParam<StoreKind> {};

// The string as a person types it: spaces around "=" and ";", every value in braces, a ";" at the end.
QString AsTyped(const QString& connect) {
    QStringList pairs;
    for (const QString& pair : connect.split(u';', Qt::SkipEmptyParts)) {
        const QString value = pair.section(u'=', 1);
        pairs << QStringLiteral(" %1 = %2 ").arg(pair.section(u'=', 0, 0), value.startsWith(u'{') ? value : u'{' + value + u'}');
    }
    return pairs.join(u';') + QStringLiteral("; ");
}

TEST_P(StoreMatrix, LookupImportAndPrintReadTheSameStore) {
    const StoreKind kind = GetParam();
    const StoreServer server(kind);
    ASSERT_EQ(server.error(), QString()) << KindName(kind) << " could not be started";
    CliRunner cli;
    cli.saveSettings({{"DICTIONARY", TAGWELL_SOURCE_DIR "/demo/demo.dct"}, {"SierraPrint", "4"}, {"SierraConvertUpc", "1"}});
    for (const std::string& name : golden::Cases(QStringLiteral("stores"))) {
        SCOPED_TRACE(std::string(KindName(kind)) + ": " + name);
        const golden::Case c(QStringLiteral("stores"), name);
        QStringList args;
        for (QString a : c.lines(QStringLiteral("args")))
            args << a.replace(QStringLiteral("%DEMO%"), QStringLiteral(TAGWELL_SOURCE_DIR "/demo")).replace(QStringLiteral("%OUT%"), cli.path(QString()))
                        .replace(QStringLiteral("%STORE_AS_TYPED%"), AsTyped(server.connect())).replace(QStringLiteral("%STORE%"), server.connect())
                        .replace(QStringLiteral("%EMPTY%"), server.emptyConnect())
                        .replace(QStringLiteral("%MISSING%"), server.missingConnect()).replace(QStringLiteral("%INTSTORE%"), server.intConnect())
                        .replace(QStringLiteral("%CASE%"), c.dir());
        const CliResult r = cli.run(args);
        const bool compare = !golden::Regenerating() || kind == StoreKind::SQLite;
        if (compare) c.expect(QStringLiteral("result.txt"), "exit " + QByteArray::number(r.exitCode) + '\n' + r.out);
        for (const QString& file : QDir(cli.path(QString())).entryList({QStringLiteral("*.trace")})) {
            if (compare) c.expect(file, ReadFile(cli.path(file)));
            QFile::remove(cli.path(file));
        }
        // What one kind of database alone says goes in err-start.<kind>.
        const QString errFile = c.has(QStringLiteral("err-start.") + KindName(kind)) ? QStringLiteral("err-start.") + KindName(kind) : QStringLiteral("err-start");
        const QByteArray errStart = c.has(errFile) ? c.read(errFile).trimmed() : QByteArray();
        EXPECT_TRUE(errStart.isEmpty() ? r.err.isEmpty() : r.err.startsWith(errStart)) << r.err.toStdString();
    }
    // A database that is not there is never made.
    if (kind == StoreKind::SQLite) { EXPECT_FALSE(QFile::exists(server.dir() + "/missing.db")); }
}

INSTANTIATE_TEST_SUITE_P(Databases, StoreMatrix, ::testing::Values(StoreKind::SQLite, StoreKind::PostgreSQL, StoreKind::MariaDB),
                         [](const auto& info) { return std::string(KindName(info.param)); });

}  // namespace
