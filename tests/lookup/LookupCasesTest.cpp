// Look-up cases kept as data: each folder of tests/data/lookup holds SQL scripts (each built into an
// SQLite database of its own name; cases on the common inventory link the area's `inv.sql`) and a
// `script` of what the clerk and the File menu do; the runner writes what each step shows into
// `entries.txt`. Script lines:
//   upc=|inv=|cis=<connect string>  the database setting; "@name" is the database built from name.sql
//   convert=0|1                     the UPC conversion option
//   ! delete|rename|garble|truncate|folder|exists <name>   the database file taken away or spoiled,
//                                   or asked whether it exists
//   ! build <name> [script]         the database built again from its script (or another one)
//   ! lock <name> | ! unlock        another program holding a write lock on the database
//   ! name <connect> | ! dialects <key>   what the driver manager is given; a key query's SQL text
//   ! handed <connect>              the same for a string as the store wrote it (spaces, braces,
//                                   a trailing ";", the wait)
//   ! sql <name> <statement>        run on that database
//   ! edit upc|inv|cis [answer]     the connection-string command, answered (no answer: emptied box)
//   ! test | ! connections | ! keys upc|inv|cis <connect>   the test command, the connections kept (and dialects asked),
//                                   the key-query test
//   ! dsn <name> <connect>          a user data source in the case's own odbc.ini
//   ? <key>                         a look-up that only says whether a stale text is left in a box
//   <key>                           a look-up: the boxes, the queries asked, the failure
// In keys, <NUL> stands for a NUL character and <D800> for a lone half of a surrogate pair.
#include "GoldenCases.h"
#include "MemorySettingsStore.h"
#include "ScriptedDialogs.h"
#include "StoreDatabases.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"
#include "platform/TagwellError.h"

#include <QDir>
#include <optional>
#include <QTemporaryDir>

namespace {

QString Key(QString text) {
    if (text == u"<EMPTY>") return {};
    return text.replace(QStringLiteral("<NUL>"), QString(QChar(u'\0'))).replace(QStringLiteral("<D800>"), QString(QChar(0xD800)));
}
QString Shown(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")).replace(QChar(u'\0'), QStringLiteral("<NUL>"));
}
StoreDatabase Database(const QString& name) {
    return name == u"inv" ? StoreDatabase::Inventory : name == u"cis" ? StoreDatabase::Cis : StoreDatabase::Upc;
}

GOLDEN_CASES(LookupCases, "lookup");

TEST_P(LookupCases, EntriesShown) {
    QTemporaryDir tmp;
    const auto db = [&](const QString& name) { return tmp.filePath(name + QStringLiteral(".db")); };
    const auto connect = [&](QString text) {
        text.replace(QStringLiteral("%TMP%"), tmp.path());
        return text.startsWith(u'@') ? SqliteConnect(db(text.mid(1))) : text;
    };
    const auto build = [&](const QString& name, const QString& script) {
        EXPECT_EQ(ExecOnSqlite(db(name), SqlStatements(QString::fromUtf8(c.read(script + QStringLiteral(".sql"))))), "") << name.toStdString();
    };
    for (const QString& sql : QDir(c.dir()).entryList({QStringLiteral("*.sql")})) build(sql.chopped(4), sql.chopped(4));
    qputenv("ODBCINI", tmp.filePath(QStringLiteral("odbc.ini")).toLocal8Bit());

    MemorySettingsStore settings;
    ScriptedDialogs dialogs;
    QtOdbcRecordSetFactory odbc;
    RecordingFactory factory(odbc);
    int convert = 1;
    std::optional<QSqlQuery> locker;
    QString out;
    for (const QString& line : c.lines(QStringLiteral("script"))) {
        out += u'>' + Shown(line) + u'\n';
        const QStringList w = line.split(u' ');
        const QString rest = w.mid(2).join(u' '), file = w.size() > 2 ? db(w[2]) : QString();
        if (line.size() > 3 && line[3] == u'=') {
            settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBC") + line.left(3).toUpper(), connect(line.mid(4)));
        } else if (line.startsWith(QStringLiteral("convert="))) {
            convert = line.mid(8).toInt();
        } else if (w[0] == u"!" && w[1] == u"delete") {
            EXPECT_TRUE(QFile::remove(file));
        } else if (w[0] == u"!" && w[1] == u"rename") {
            EXPECT_TRUE(QFile::rename(file, file + QStringLiteral(".moved")));
        } else if (w[0] == u"!" && (w[1] == u"garble" || w[1] == u"truncate")) {
            QFile f(file);
            EXPECT_TRUE(f.open(w[1] == u"garble" ? QIODevice::ReadWrite : QIODevice::ReadWrite | QIODevice::Truncate));
            if (w[1] == u"garble") f.write(QByteArray(8192, 'x'));
        } else if (w[0] == u"!" && w[1] == u"folder") {
            EXPECT_TRUE(QFile::remove(file) && QDir().mkdir(file));
        } else if (w[0] == u"!" && w[1] == u"build") {
            QDir(file).removeRecursively();
            QFile::remove(file);
            build(w[2], w.value(3, w[2]));
        } else if (w[0] == u"!" && w[1] == u"exists") {
            out += QFile::exists(file) ? QStringLiteral("exists\n") : QStringLiteral("does not exist\n");
        } else if (w[0] == u"!" && w[1] == u"sql") {
            out += ExecOnSqlite(file, {w.mid(3).join(u' ')}) + u'\n';
        } else if (w[0] == u"!" && w[1] == u"dsn") {
            QFile ini(tmp.filePath(QStringLiteral("odbc.ini")));
            EXPECT_TRUE(ini.open(QIODevice::Append));
            // `! dsn NAME DB [DRIVER]`: SQLite's unless a driver is named.
            const QString driver = w.size() > 4 ? w.mid(4).join(u' ') : QStringLiteral("SQLite3");
            ini.write(QStringLiteral("[%1]\nDriver=%3\nDatabase=%2\n").arg(w[2], db(w[3]), driver).toUtf8());
        } else if (w[0] == u"!" && w[1] == u"name") {
            out += QodbcDatabaseName(rest) + u'\n';
        } else if (w[0] == u"!" && w[1] == u"handed") {
            out += QodbcDatabaseName(ReadOnlyConnectString(line.mid(9))) + QStringLiteral(" (wait %1 s)\n").arg(ConnectionWaitSeconds(line.mid(9)));
        } else if (w[0] == u"!" && w[1] == u"dialects") {
            // SQLite, PostgreSQL and ODBC's default; MariaDB; Access or NO_BACKSLASH_ESCAPES; SQL Server.
            // Then the key in a batch with itself as a UPC (one query per key), and with another key (a list of keys).
            const RecordQuery batch{QStringLiteral("upc"), {}, {}, {{QStringLiteral("1"), Key(rest)}, {QStringLiteral("149"), Key(rest)}}};
            const RecordQuery list{QStringLiteral("upc"), {}, {}, {{QStringLiteral("1"), Key(rest)}, {QStringLiteral("1"), QStringLiteral("2")}}};
            for (const SqlDialect& d : {SqlDialect{}, SqlDialect{"`", "`", true}, SqlDialect{"`", "`", false}, SqlDialect{"[", "]", false}})
                out += Shown(QuerySqlText(KeyQuery(QStringLiteral("inv"), QStringLiteral("1"), Key(rest)), d)) + u'\n' +
                       Shown(QuerySqlText(batch, d)) + u'\n' + Shown(QuerySqlText(list, d)) + u'\n';
        } else if (w[0] == u"!" && w[1] == u"lock") {
            // Another program's write lock, held on a connection of its own.
            QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("locker"));
            other.setDatabaseName(SqliteConnect(file));
            EXPECT_TRUE(other.open());
            locker.emplace(other);
            EXPECT_TRUE(locker->exec(QStringLiteral("BEGIN EXCLUSIVE")));
        } else if (w[0] == u"!" && w[1] == u"unlock") {
            locker->exec(QStringLiteral("ROLLBACK"));
            locker.reset();
            QSqlDatabase::removeDatabase(QStringLiteral("locker"));
        } else if (w[0] == u"!" && w[1] == u"connections") {
            out += QStringLiteral("connections kept: %1, record sets: %2, dialects asked: %3\n").arg(odbc.connectionCount()).arg(factory.created).arg(odbc.dialectProbes());
        } else if (w[0] == u"!" && w[1] == u"keys") {
            out += Shown(TestKeyQueries(Database(w[2]), connect(w.mid(3).join(u' ')), odbc)) + u'\n';
        } else if (w[0] == u"!" && (w[1] == u"edit" || w[1] == u"test")) {
            if (w.size() > 3) dialogs.inputAnswers = {w.mid(3).join(u' ').replace(QStringLiteral("%TMP%"), tmp.path())};
            dialogs.show(w[1] == u"edit" ? EditConnectionString(Database(w[2]), dialogs, settings, odbc) : TestDatabaseConnections(settings, odbc));
            out += dialogs.take().join(u'\n') + u'\n';
            for (const char* k : {"ODBCUPC", "ODBCINV", "ODBCCIS"})
                if (settings.hasRaw(k)) out += QStringLiteral("%1=%2\n").arg(k, Shown(settings.raw(k)));
        } else {
            const bool staleOnly = line.startsWith(QStringLiteral("? "));
            EntryTexts e{Key(staleOnly ? line.mid(2) : line), "stale", "stale", "stale", "stale", "stale", "stale", "old"};
            factory.queries.clear();
            const QString failure = LookupItem(e, convert, settings, factory);
            const QStringList boxes{e.sku, e.upc, e.desc, e.mfn, e.loc, e.retail, e.om, e.pk};
            if (staleOnly) {
                out += boxes.mid(2).contains(QStringLiteral("stale")) ? QStringLiteral("a stale text is left\n") : QStringLiteral("no stale text\n");
                continue;
            }
            const char* names[] = {"sku", "upc", "desc", "mfn", "loc", "retail", "om", "pk"};
            for (int i = 0; i < 8; ++i) out += QStringLiteral("%1=%2\n").arg(names[i], Shown(boxes[i]));
            for (const QString& q : factory.queries) out += QStringLiteral("asked: ") + Shown(q) + u'\n';
            if (!failure.isEmpty()) out += QStringLiteral("failure: ") + Shown(failure).replace(tmp.path(), QStringLiteral("%TMP%")) + u'\n';
        }
    }
    c.expect(QStringLiteral("entries.txt"), out.replace(tmp.path(), QStringLiteral("%TMP%")).toUtf8());
}

}  // namespace
