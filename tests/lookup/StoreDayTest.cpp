// A look-up session that lives a whole day against a private PostgreSQL or MariaDB server, the way
// the window lives at the counter: one record-set factory (its connections kept) for every scan,
// while the server restarts, drops the session, closes it as idle, holds a table locked for another
// program, stops answering or never answers, and while a store keyed by whole numbers is checked.
#include "MemorySettingsStore.h"
#include "StoreServers.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"

#include <QDeadlineTimer>
#include <QSqlQuery>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

class StoreDay : public ::testing::TestWithParam<StoreKind> {
protected:
    bool pg() const { return GetParam() == StoreKind::PostgreSQL; }
    void use(const QString& connect) {
        for (const char* key : {"ODBCUPC", "ODBCINV"}) settings_.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), connect);
    }
    // The scan of `key`: its entry boxes and the look-up's failure ("" when every database answered).
    std::pair<EntryTexts, QString> scan(const QString& key) {
        EntryTexts e;
        e.sku = key;
        const QString failure = LookupItem(e, 1, settings_, factory_);
        return {e, failure};
    }
    // The program's own sessions on the server, as the server lists them.
    QStringList sessions() {
        QStringList ids;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("owner"));
            db.setDatabaseName(server_.adminConnect());
            QSqlQuery q(db);
            if (db.open() && q.exec(pg() ? QStringLiteral("SELECT pid FROM pg_stat_activity WHERE usename = 'tagwell'")
                                         : QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE USER = 'tagwell'")))
                while (q.next()) ids << q.value(0).toString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("owner"));
        return ids;
    }
    // The program's sessions ended on the server (a dropped network looks the same to it).
    QString killSessions() {
        QStringList kills;
        for (const QString& id : sessions()) kills << (pg() ? QStringLiteral("SELECT pg_terminate_backend(%1)") : QStringLiteral("KILL %1")).arg(id);
        return ExecOnOdbc(server_.adminConnect(), kills);
    }
    static bool timedOut(const QString& failure) {
        return failure.startsWith(QStringLiteral("UPC Database Problem: %1, ").arg(RecordSetError::TimedOut));
    }

    StoreServer server_{GetParam()};
    // A short wait so that the lock gives up at once; the look-ups themselves are quick.
    const QString connect_ = server_.connect() + QStringLiteral(";TagwellWait=1");
    MemorySettingsStore settings_;
    QtOdbcRecordSetFactory factory_;
};

// One server start per kind for the whole day.
TEST_P(StoreDay, ScansGoOnThroughTheDay) {
    ASSERT_EQ(server_.error(), QString()) << KindName(GetParam()) << " could not be started";
    use(connect_);
    EXPECT_EQ(scan(QStringLiteral("100107")).first.retail, QStringLiteral("6.48"));

    // The night's restart and a killed session break the kept connection; the next scan fills.
    ASSERT_EQ(server_.restart(), QString());
    auto [entry, failure] = scan(QStringLiteral("100110"));
    EXPECT_EQ(failure + entry.desc + u' ' + entry.upc, QStringLiteral("WOOD GLUE III 8OZ 037083818291"));
    ASSERT_EQ(killSessions(), QString());
    std::tie(entry, failure) = scan(QStringLiteral("100107"));
    EXPECT_EQ(failure + entry.desc, QStringLiteral("PEX PIPE 1/2IN X 10FT"));

    // The server closes sessions idle longer than a second (the program's gets the setting when it
    // next connects); the scan after it closed one fills. Waits for the server to close it, not
    // for a time.
    ASSERT_EQ(ExecOnOdbc(server_.adminConnect(), {pg() ? QStringLiteral("ALTER ROLE tagwell SET idle_session_timeout = '1s'")
                                                        : QStringLiteral("SET GLOBAL wait_timeout = 1")}),
              QString());
    ASSERT_EQ(killSessions(), QString());
    EXPECT_EQ(scan(QStringLiteral("100107")).second, QString());
    ASSERT_EQ(sessions().size(), 1);
    for (QDeadlineTimer deadline(20000); !sessions().isEmpty() && !deadline.hasExpired();) QThread::msleep(100);
    ASSERT_EQ(sessions(), QStringList()) << "the server did not close the idle session";
    std::tie(entry, failure) = scan(QStringLiteral("100110"));
    EXPECT_EQ(failure + entry.retail, QStringLiteral("6.98"));
    ASSERT_EQ(ExecOnOdbc(server_.adminConnect(), {pg() ? QStringLiteral("ALTER ROLE tagwell RESET idle_session_timeout")
                                                        : QStringLiteral("SET GLOBAL wait_timeout = 28800")}),
              QString());

    {
        // Another program holds the tables locked: the scan gives up after the wait and says which
        // database did not answer and why, asking it once, not once per table; `check` too.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("other program"));
        other.setDatabaseName(server_.adminConnect());
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(!pg() || lock.exec(QStringLiteral("BEGIN")));
        ASSERT_TRUE(lock.exec(pg() ? QStringLiteral("LOCK TABLE inv, upc IN ACCESS EXCLUSIVE MODE") : QStringLiteral("LOCK TABLES inv WRITE, upc WRITE")));
        std::tie(entry, failure) = scan(QStringLiteral("100107"));
        EXPECT_TRUE(timedOut(failure)) << failure.toStdString();
        EXPECT_EQ(entry.desc, QString());
        EXPECT_TRUE(TestKeyQueries(StoreDatabase::Inventory, connect_, factory_).startsWith(QString::number(RecordSetError::TimedOut)));
        ASSERT_TRUE(lock.exec(pg() ? QStringLiteral("ROLLBACK") : QStringLiteral("UNLOCK TABLES")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));
    std::tie(entry, failure) = scan(QStringLiteral("100107"));
    EXPECT_EQ(failure + entry.retail, QStringLiteral("6.48"));

    // The server stops answering in the middle of the session (frozen, or the network gone without
    // a word): the scan gives up after the wait, once, and says so; the next scan after the server
    // answers again fills.
    ASSERT_EQ(server_.freeze(), QString());
    failure = scan(QStringLiteral("100110")).second;
    server_.thaw();
    EXPECT_TRUE(timedOut(failure)) << failure.toStdString();
    EXPECT_EQ(scan(QStringLiteral("100110")).first.retail, QStringLiteral("6.98"));

    // A store keyed by whole numbers: its key columns refuse the check's probe key, which is no
    // failure of the store.
    for (StoreDatabase db : {StoreDatabase::Upc, StoreDatabase::Inventory, StoreDatabase::Cis})
        EXPECT_EQ(TestKeyQueries(db, server_.intConnect(), factory_), QString());

    // A socket that is listened on and never read: the connection is taken, the login never
    // answered; the scan gives up after the wait.
    QDir(server_.dir()).mkdir(QStringLiteral("mute"));
    const QString socket = server_.dir() + (pg() ? QStringLiteral("/mute/.s.PGSQL.5432") : QStringLiteral("/mute/mysqld.sock"));
    struct Mute {
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ~Mute() { ::close(fd); }
    } mute;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = socket.toLocal8Bit();
    ASSERT_LT(path.size(), qsizetype(sizeof address.sun_path));
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    ASSERT_EQ(::bind(mute.fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(mute.fd, 8), 0);
    QString muted = connect_;
    muted.replace(pg() ? QStringLiteral("Servername=") + server_.dir() + u';' : server_.dir() + QStringLiteral("/mysqld.sock"),
                  pg() ? QStringLiteral("Servername=") + server_.dir() + QStringLiteral("/mute;") : socket);
    ASSERT_NE(muted, connect_);
    use(muted);
    std::tie(entry, failure) = scan(QStringLiteral("100107"));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("UPC Database Problem: "))) << failure.toStdString();
    EXPECT_EQ(entry.desc, QString());
}

INSTANTIATE_TEST_SUITE_P(Servers, StoreDay, ::testing::Values(StoreKind::PostgreSQL, StoreKind::MariaDB),
                         [](const auto& info) { return std::string(KindName(info.param)); });

}  // namespace
