// A look-up session that lives a whole day against a private PostgreSQL or MariaDB server, the way
// the window lives at the counter: one record-set factory (its connections kept) for every scan,
// while the server restarts, drops the session, closes it as idle, holds a table locked for another
// program, stops answering, and while a store with integer stock numbers is asked for a stock
// number with a typo.
#include "MemorySettingsStore.h"
#include "StoreServers.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"

#include <QDeadlineTimer>
#include <QSqlQuery>
#include <gtest/gtest.h>
#include <QThread>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

namespace {

class StoreDay : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        server_ = std::make_unique<StoreServer>(GetParam());
        ASSERT_EQ(server_->error(), QString()) << KindName(GetParam()) << " could not be started";
        // A short wait so that the lock case gives up at once; the look-ups themselves are quick.
        connect_ = server_->connect() + QStringLiteral(";TagwellWait=1");
        for (const char* key : {"ODBCUPC", "ODBCINV"}) settings_.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), connect_);
    }
    bool pg() const { return GetParam() == StoreKind::PostgreSQL; }
    QString admin(const QStringList& statements) { return ExecOnOdbc(server_->adminConnect(), statements); }
    // The program's own sessions on the server, as the server lists them.
    QStringList sessions() {
        QStringList ids;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("owner"));
            db.setDatabaseName(server_->adminConnect());
            QSqlQuery q(db);
            if (db.open() && q.exec(pg() ? QStringLiteral("SELECT pid FROM pg_stat_activity WHERE usename = 'tagwell'")
                                         : QStringLiteral("SELECT ID FROM information_schema.PROCESSLIST WHERE USER = 'tagwell'")))
                while (q.next()) ids << q.value(0).toString();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("owner"));
        return ids;
    }
    // The sessions ended on the server (a dropped network looks the same to the program).
    void killSessions() {
        QStringList kills;
        for (const QString& id : sessions()) kills << (pg() ? QStringLiteral("SELECT pg_terminate_backend(%1)") : QStringLiteral("KILL %1")).arg(id);
        ASSERT_EQ(admin(kills), QString());
    }
    // The scan of `key`: its entry boxes and the look-up's failure ("" when every database answered).
    std::pair<EntryTexts, QString> scan(const QString& key) {
        EntryTexts e;
        e.sku = key;
        const QString failure = LookupItem(e, 1, settings_, factory_);
        return {e, failure};
    }

    void connectionsThatAgeAreOpenedAgainOnce();
    void aLockedTableIsGivenUpOnAndTheNextScanFills();
    void aKeyTheIntegerColumnRefusesIsNotFound();
    void aServerThatNeverAnswersIsGivenUpOn();

    std::unique_ptr<StoreServer> server_;
    QString connect_;
    MemorySettingsStore settings_;
    QtOdbcRecordSetFactory factory_;
};

void StoreDay::connectionsThatAgeAreOpenedAgainOnce() {
    EXPECT_EQ(scan(QStringLiteral("100107")).first.retail, QStringLiteral("6.48"));

    // The night's restart: the kept connection is broken; the next scan fills all the same.
    ASSERT_EQ(server_->restart(), QString());
    auto [after, failure] = scan(QStringLiteral("100110"));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(after.desc, QStringLiteral("WOOD GLUE III 8OZ"));
    EXPECT_EQ(after.upc, QStringLiteral("037083818291"));

    killSessions();
    std::tie(after, failure) = scan(QStringLiteral("100107"));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(after.desc, QStringLiteral("PEX PIPE 1/2IN X 10FT"));

    // The server closes sessions idle longer than a second; the program's is given the short
    // timeout when it next connects, and the scan after it was closed fills.
    ASSERT_EQ(admin({pg() ? QStringLiteral("ALTER ROLE tagwell SET idle_session_timeout = '1s'")
                          : QStringLiteral("SET GLOBAL wait_timeout = 1")}),
              QString());
    killSessions();
    EXPECT_EQ(scan(QStringLiteral("100107")).second, QString());
    ASSERT_EQ(sessions().size(), 1);
    // Waits for the server to close the idle session (it does so after a second), not for a time.
    for (QDeadlineTimer deadline(20000); !sessions().isEmpty() && !deadline.hasExpired();) QThread::msleep(100);
    ASSERT_EQ(sessions(), QStringList()) << "the server did not close the idle session";
    std::tie(after, failure) = scan(QStringLiteral("100110"));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(after.retail, QStringLiteral("6.98"));
    EXPECT_EQ(admin({pg() ? QStringLiteral("ALTER ROLE tagwell RESET idle_session_timeout")
                          : QStringLiteral("SET GLOBAL wait_timeout = 28800")}),
              QString());
}

void StoreDay::aLockedTableIsGivenUpOnAndTheNextScanFills() {
    QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("other program"));
    other.setDatabaseName(server_->adminConnect());
    ASSERT_TRUE(other.open());
    {
        QSqlQuery lock(other);
        if (pg()) {
            ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN")));
        }
        ASSERT_TRUE(lock.exec(pg() ? QStringLiteral("LOCK TABLE inv, upc IN ACCESS EXCLUSIVE MODE")
                                   : QStringLiteral("LOCK TABLES inv WRITE, upc WRITE")));
        // The scan gives up and says which database did not answer and why; the database is asked
        // once, not once per table.
        const auto [locked, failure] = scan(QStringLiteral("100107"));
        EXPECT_TRUE(failure.startsWith(QStringLiteral("UPC Database Problem: %1, ").arg(RecordSetError::TimedOut))) << failure.toStdString();
        EXPECT_EQ(locked.desc, QString());
        // The CLI's `check` sees the same.
        EXPECT_TRUE(TestKeyQueries(StoreDatabase::Inventory, connect_, factory_).startsWith(QString::number(RecordSetError::TimedOut)));
        ASSERT_TRUE(lock.exec(pg() ? QStringLiteral("ROLLBACK") : QStringLiteral("UNLOCK TABLES")));
    }
    other = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("other program"));
    const auto [free, failure] = scan(QStringLiteral("100107"));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(free.retail, QStringLiteral("6.48"));

    // A server that stops answering in the middle of the session (frozen, or the network gone
    // without a word): the MariaDB driver's read timeout gives up on it, once per scan. (The
    // PostgreSQL driver has no such bound on a local socket.)
    if (pg()) return;
    QFile pidFile(server_->dir() + QStringLiteral("/mysqld.pid"));
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly));
    const pid_t pid = pidFile.readAll().trimmed().toInt();
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGSTOP);
    // The signal lands a moment after kill() returns: wait until the server is seen stopped.
    const auto stopped = [pid] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        return stat.open(QIODevice::ReadOnly) && QString::fromLatin1(stat.readAll()).section(u')', 1).trimmed().startsWith(u'T');
    };
    for (QDeadlineTimer deadline(10000); !stopped() && !deadline.hasExpired();) QThread::msleep(10);
    ASSERT_TRUE(stopped());
    const auto [frozen, problem] = scan(QStringLiteral("100110"));
    ::kill(pid, SIGCONT);
    EXPECT_TRUE(problem.startsWith(QStringLiteral("UPC Database Problem: %1, ").arg(RecordSetError::TimedOut))) << problem.toStdString();
    EXPECT_EQ(scan(QStringLiteral("100110")).first.retail, QStringLiteral("6.98"));
}

void StoreDay::aKeyTheIntegerColumnRefusesIsNotFound() {
    // A store whose stock numbers are integers.
    const QString num = pg() ? QStringLiteral("\"%1\"") : QStringLiteral("`%1`");
    ASSERT_EQ(admin({QStringLiteral("DROP TABLE special"),
                     QStringLiteral("CREATE TABLE special (%1 INTEGER, %2 VARCHAR(60), %3 VARCHAR(60))").arg(num.arg(1), num.arg(10), num.arg(48)),
                     QStringLiteral("INSERT INTO special VALUES (990120, 'DUCT TAPE 2IN', '7.25')"),
                     pg() ? QStringLiteral("GRANT SELECT ON special TO tagwell") : QStringLiteral("SELECT 1")}),
              QString());
    settings_.SaveSetting(kRegApp, kRegSec, QStringLiteral("ODBCCIS"), server_->connect());
    EXPECT_EQ(TestKeyQueries(StoreDatabase::Cis, server_->connect(), factory_), QString());
    // A letter O for a zero: not found, and no database failure.
    const auto [typo, failure] = scan(QStringLiteral("99O120"));
    EXPECT_EQ(failure, QString());
    EXPECT_EQ(typo.desc, QString());
    const auto [found, none] = scan(QStringLiteral("990120"));
    EXPECT_EQ(none, QString());
    EXPECT_EQ(found.desc + u' ' + found.retail, QStringLiteral("DUCT TAPE 2IN 7.25"));
}

void StoreDay::aServerThatNeverAnswersIsGivenUpOn() {
    // A socket that is listened on and never read: the connection is taken, the login never
    // answered.
    QDir(server_->dir()).mkdir(QStringLiteral("mute"));
    const QString socket = server_->dir() + (pg() ? QStringLiteral("/mute/.s.PGSQL.5432") : QStringLiteral("/mute/mysqld.sock"));
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
    QString connect = connect_;
    connect.replace(pg() ? QStringLiteral("Servername=") + server_->dir() + u';' : server_->dir() + QStringLiteral("/mysqld.sock"),
                    pg() ? QStringLiteral("Servername=") + server_->dir() + QStringLiteral("/mute;") : socket);
    ASSERT_NE(connect, connect_);
    for (const char* key : {"ODBCUPC", "ODBCINV"}) settings_.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), connect);
    const auto [entry, failure] = scan(QStringLiteral("100107"));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("UPC Database Problem: "))) << failure.toStdString();
    EXPECT_EQ(entry.desc, QString());
}

// One server start per kind for the whole day.
TEST_P(StoreDay, ScansGoOnThroughTheDay) {
    {
        SCOPED_TRACE("restart, killed session, idle timeout");
        connectionsThatAgeAreOpenedAgainOnce();
    }
    {
        SCOPED_TRACE("a table locked by another program");
        aLockedTableIsGivenUpOnAndTheNextScanFills();
    }
    {
        SCOPED_TRACE("integer stock numbers and a typo");
        aKeyTheIntegerColumnRefusesIsNotFound();
    }
    {
        SCOPED_TRACE("a server that takes the connection and never answers");
        aServerThatNeverAnswersIsGivenUpOn();
    }
}

INSTANTIATE_TEST_SUITE_P(Servers, StoreDay, ::testing::Values(StoreKind::PostgreSQL, StoreKind::MariaDB),
                         [](const auto& info) { return std::string(KindName(info.param)); });

}  // namespace
