#pragma once
// The demo store in each kind of database a store runs: an SQLite file, and private PostgreSQL and
// MariaDB servers that the test starts itself (data folder, unix socket and port of its own under a
// temporary folder, no TCP listener) and stops again. Nothing of the machine's own servers or ODBC
// configuration is used or changed; the drivers are the ones the Debian packages register.
#include "RunTool.h"
#include "StoreDatabases.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <QDeadlineTimer>
#include <QThread>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

enum class StoreKind { SQLite, PostgreSQL, MariaDB };

inline const char* KindName(StoreKind kind) { return std::array{"SQLite", "PostgreSQL", "MariaDB"}[static_cast<int>(kind)]; }

// The demo store's script as statements for `kind`: the transaction and SQLite pragmas left out,
// numbers in double precision (PostgreSQL's REAL is single), and on MariaDB backticks around
// column names and sized texts where a key or an index needs them.
inline QStringList DemoStoreStatements(StoreKind kind) {
    QFile f(QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo-store.sql"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList out;
    for (QString s : SqlStatements(QString::fromUtf8(f.readAll()))) {
        if (s.startsWith(u"PRAGMA") || s.startsWith(u"BEGIN") || s.startsWith(u"COMMIT") || s.startsWith(u"DROP"))
            continue;
        if (kind != StoreKind::SQLite) s.replace(QStringLiteral(" REAL"), QStringLiteral(" DOUBLE PRECISION"));
        if (kind == StoreKind::MariaDB) {
            if (s.startsWith(u"CREATE") || s.startsWith(u"UPDATE")) {
                s.replace(QRegularExpression(QStringLiteral("\"(\\d+)\"")), QStringLiteral("`\\1`"));
                s.replace(QStringLiteral(" TEXT"), QStringLiteral(" VARCHAR(60)"));
            }
        }
        out << s;
    }
    return out;
}

// Rows of the test's own beside the demo store's: keys that quoting must carry whole.
inline QStringList ExtraStoreStatements(StoreKind kind) {
    const auto lit = [kind](QString v) {
        if (kind == StoreKind::MariaDB) v.replace(u'\\', QStringLiteral("\\\\"));
        return u'\'' + v.replace(u'\'', QStringLiteral("''")) + u'\'';
    };
    return {QStringLiteral("INSERT INTO inv VALUES (%1, 'IRISH PUTTY KNIFE', 'OB-1', 'B3', 4.99, '1', '12')")
                .arg(lit(QStringLiteral("O'BRIEN\\5"))),
            QStringLiteral("INSERT INTO inv VALUES (%1, 'BACKSLASH TWIN', 'OB-2', 'B4', 5.99, '1', '12')")
                .arg(lit(QStringLiteral("O'BRIEN\\"))),
            QStringLiteral("INSERT INTO upc VALUES (%1, '042100005264', '010120')").arg(lit(QStringLiteral("O'BRIEN\\5")))};
}

// The demo store with whole numbers for stock numbers: its "1" columns INTEGER, as some stores keep
// them, so that a stock number with a letter is a key the database may refuse.
inline QStringList IntegerKeyStatements(StoreKind kind) {
    QStringList out = DemoStoreStatements(kind);
    for (QString& s : out)
        if (s.startsWith(u"CREATE TABLE"))
            s.replace(kind == StoreKind::MariaDB ? QStringLiteral("`1` VARCHAR(60)") : QStringLiteral("\"1\" TEXT"),
                      kind == StoreKind::MariaDB ? QStringLiteral("`1` INTEGER") : QStringLiteral("\"1\" INTEGER"));
    return out;
}

// One store database of `kind`, with the demo store loaded, a second database on the same server
// holding no tables, and a third with the demo store keyed by whole numbers.
class StoreServer {
public:
    explicit StoreServer(StoreKind kind) : kind_(kind) {
        char pattern[] = "/tmp/tagwell-store-XXXXXX";
        dir_ = QString::fromLocal8Bit(::mkdtemp(pattern));
        if (dir_.isEmpty()) {
            error_ = QStringLiteral("no temporary folder");
            return;
        }
        switch (kind) {
        case StoreKind::SQLite: startSqlite(); break;
        case StoreKind::PostgreSQL: startPostgres(); break;
        case StoreKind::MariaDB: startMariaDb(); break;
        }
        const std::pair<QString, QStringList> loads[] = {{adminConnect_, DemoStoreStatements(kind) + ExtraStoreStatements(kind)},
                                                         {intAdminConnect_, IntegerKeyStatements(kind)}};
        for (auto [connect, load] : loads) {
            if (!error_.isEmpty()) break;
            if (kind == StoreKind::PostgreSQL)  // the program's own role may only read
                load << QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO tagwell");
            error_ = ExecOnOdbc(connect, load);
        }
    }
    ~StoreServer() {
        thaw();
        if (kind_ == StoreKind::PostgreSQL && !pgBin_.isEmpty())
            runPostgresTool({pgBin_ + "/pg_ctl", "-D", dir_ + "/data", "-m", "immediate", "stop"});
        if (mariadb_) {
            mariadb_->terminate();
            if (!mariadb_->waitForFinished(30000)) mariadb_->kill();
            mariadb_->waitForFinished(5000);
        }
        if (!dir_.isEmpty()) QDir(dir_).removeRecursively();
    }

    const QString& error() const { return error_; }
    // The connection string of the store, and of a database on the same server without tables.
    const QString& connect() const { return connect_; }
    const QString& emptyConnect() const { return emptyConnect_; }
    // The store keyed by whole numbers (IntegerKeyStatements).
    const QString& intConnect() const { return intConnect_; }
    // A string naming the same kind of database where there is none.
    const QString& missingConnect() const { return missingConnect_; }
    const QString& dir() const { return dir_; }
    // The store as its owner reaches it: may write, lock and change the server's settings.
    const QString& adminConnect() const { return adminConnect_; }

    // Stops the server and starts it again on the same socket, as a night's restart does;
    // connections open before it are broken. "" or what went wrong.
    QString restart() {
        const QString stopped = stop();
        return stopped.isEmpty() ? start() : stopped;
    }
    // The server down (an outage) and up again.
    QString stop() {
        if (kind_ == StoreKind::PostgreSQL) return runPostgresTool({pgBin_ + "/pg_ctl", "-D", dir_ + "/data", "-w", "-m", "fast", "stop"});
        if (kind_ == StoreKind::MariaDB) {
            mariadb_->terminate();
            if (!mariadb_->waitForFinished(30000)) return "mariadbd did not stop";
        }
        return {};
    }
    QString start() {
        if (kind_ == StoreKind::PostgreSQL)
            return runPostgresTool({pgBin_ + "/pg_ctl", "-D", dir_ + "/data", "-l", dir_ + "/server.log", "-w", "-o",
                                    QString("-k %1 -p %2 -c listen_addresses= -c fsync=off").arg(dir_).arg(kPostgresPort), "start"});
        if (kind_ == StoreKind::MariaDB) return startMariaDbServer();
        return {};
    }

    // The server stops answering in the middle of its sessions, as a frozen host or a network that
    // drops every packet without a word looks to the program: every process of it stopped (for
    // PostgreSQL the postmaster and the backend of each session). Returns once all are seen
    // stopped; "" or what went wrong.
    QString freeze() {
        frozen_ = processes();
        if (frozen_.isEmpty()) return QStringLiteral("no server process found");
        for (pid_t pid : frozen_) ::kill(pid, SIGSTOP);
        // A process that ended meanwhile (a session's backend closing) stops nothing.
        const auto stopped = [](pid_t pid) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            if (!stat.open(QIODevice::ReadOnly)) return true;
            const QString rest = QString::fromLatin1(stat.readAll()).section(u')', 1).trimmed();
            const QChar state = rest.isEmpty() ? QChar() : rest.front();
            return state == u'T' || state == u't' || state == u'Z' || state == u'X';
        };
        // The signal lands a moment after kill() returns.
        for (QDeadlineTimer deadline(10000); !deadline.hasExpired(); QThread::msleep(10))
            if (std::all_of(frozen_.begin(), frozen_.end(), stopped)) return {};
        return QStringLiteral("the server's processes did not stop");
    }
    void thaw() {
        for (pid_t pid : frozen_) ::kill(pid, SIGCONT);
        frozen_.clear();
    }

private:
    // The server's process and, for PostgreSQL, every process it started.
    QList<pid_t> processes() const {
        QFile pidFile(kind_ == StoreKind::PostgreSQL ? dir_ + "/data/postmaster.pid" : dir_ + "/mysqld.pid");
        if (!pidFile.open(QIODevice::ReadOnly)) return {};
        const pid_t server = pidFile.readLine().trimmed().toInt();
        if (server <= 0) return {};
        QList<pid_t> out{server};
        for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
            // pid (name) state ppid ...
            if (entry.toInt() > 0 && stat.open(QIODevice::ReadOnly) &&
                QString::fromLatin1(stat.readAll()).section(u')', 1).simplified().section(u' ', 1, 1).toInt() == server)
                out << entry.toInt();
        }
        return out;
    }

    // No TCP listener: the port only names the socket file in the server's own folder.
    static constexpr int kPostgresPort = 5432;

    // PostgreSQL refuses to run as root: as root its tools run as the postgres user.
    static QString runPostgresTool(const QStringList& command) {
        if (::geteuid() != 0) return RunTool(command.first(), command.mid(1));
        return RunTool("runuser", QStringList{"-u", "postgres", "--"} + command);
    }

    void startSqlite() {
        connect_ = adminConnect_ = SqliteConnect(dir_ + "/store.db");
        error_ = ExecOnSqlite(dir_ + "/empty.db", {"CREATE TABLE other (x TEXT)"});
        emptyConnect_ = SqliteConnect(dir_ + "/empty.db");
        intConnect_ = intAdminConnect_ = SqliteConnect(dir_ + "/intstore.db");
        missingConnect_ = SqliteConnect(dir_ + "/missing.db");
    }

    void startPostgres() {
        QStringList bins = QDir("/usr/lib/postgresql").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        std::sort(bins.begin(), bins.end(), [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
        if (bins.isEmpty()) {
            error_ = "PostgreSQL is not installed (/usr/lib/postgresql); run scripts/setup --test";
            return;
        }
        pgBin_ = "/usr/lib/postgresql/" + bins.last() + "/bin";
        const passwd* pg = ::geteuid() == 0 ? ::getpwnam("postgres") : nullptr;
        if (::geteuid() == 0 && (!pg || ::chown(dir_.toLocal8Bit().constData(), pg->pw_uid, pg->pw_gid) != 0)) {
            error_ = "the postgres user cannot own the server's folder";
            return;
        }
        error_ = runPostgresTool({pgBin_ + "/initdb", "-D", dir_ + "/data", "-A", "trust", "-U", "admin", "-E", "UTF8", "--no-sync"});
        if (error_.isEmpty()) error_ = start();
        if (!error_.isEmpty()) return;
        const QString server = QString("Driver={PostgreSQL Unicode};Servername=%1;Port=%2;").arg(dir_).arg(kPostgresPort);
        error_ = ExecOnOdbc(server + "Database=postgres;Username=admin",
                            {"CREATE DATABASE store", "CREATE DATABASE empty", "CREATE DATABASE intstore", "CREATE ROLE tagwell LOGIN"});
        adminConnect_ = server + "Database=store;Username=admin";
        intAdminConnect_ = server + "Database=intstore;Username=admin";
        intConnect_ = server + "Database=intstore;Username=tagwell";
        connect_ = server + "Database=store;Username=tagwell";
        emptyConnect_ = server + "Database=empty;Username=tagwell";
        missingConnect_ = QString("Driver={PostgreSQL Unicode};Servername=%1/nowhere;Port=%2;Database=store;Username=tagwell")
                              .arg(dir_).arg(kPostgresPort);
    }

    void startMariaDb() {
        const QString data = dir_ + "/data", socket = dir_ + "/mysqld.sock";
        const QString mariadbd = QStandardPaths::findExecutable("mariadbd", {"/usr/sbin"});
        if (mariadbd.isEmpty()) {
            error_ = "MariaDB is not installed (mariadbd); run scripts/setup --test";
            return;
        }
        error_ = RunTool("mariadb-install-db", {"--no-defaults", "--datadir=" + data, "--user=root",
                                                "--auth-root-authentication-method=normal", "--skip-test-db"});
        if (!error_.isEmpty()) return;
        mariadbd_ = mariadbd;
        error_ = startMariaDbServer();
        if (!error_.isEmpty()) return;
        const QString server = QString("Driver={MariaDB Unicode};Socket=%1;").arg(socket);
        error_ = ExecOnOdbc(server + "User=root", {"CREATE DATABASE store", "CREATE DATABASE empty",
                                                   "CREATE USER tagwell@localhost IDENTIFIED BY 'labels'",
                                                   "GRANT SELECT ON store.* TO tagwell@localhost",
                                                   "GRANT SELECT ON empty.* TO tagwell@localhost",
                                                   "CREATE DATABASE intstore", "GRANT SELECT ON intstore.* TO tagwell@localhost"});
        adminConnect_ = server + "Database=store;User=root";
        intAdminConnect_ = server + "Database=intstore;User=root";
        intConnect_ = server + "Database=intstore;User=tagwell;Password=labels";
        connect_ = server + "Database=store;User=tagwell;Password=labels";
        emptyConnect_ = server + "Database=empty;User=tagwell;Password=labels";
        missingConnect_ = QString("Driver={MariaDB Unicode};Socket=%1/nowhere.sock;Database=store;User=tagwell;Password=labels").arg(dir_);
    }

    QString startMariaDbServer() {
        mariadb_ = std::make_unique<QProcess>();
        mariadb_->setProcessChannelMode(QProcess::MergedChannels);
        mariadb_->start(mariadbd_, {"--no-defaults", "--user=root", "--datadir=" + dir_ + "/data", "--socket=" + dir_ + "/mysqld.sock",
                                    "--skip-networking", "--pid-file=" + dir_ + "/mysqld.pid", "--innodb-buffer-pool-size=16M",
                                    "--skip-log-bin"});
        // The server says when it takes connections; nothing is waited for beyond that line.
        QByteArray log;
        while (!log.contains("ready for connections")) {
            if (!mariadb_->waitForReadyRead(60000)) return "mariadbd did not start:\n" + QString::fromLocal8Bit(log + mariadb_->readAll());
            log += mariadb_->readAll();
        }
        return {};
    }

    StoreKind kind_;
    QString mariadbd_;
    QString dir_, error_, connect_, adminConnect_, emptyConnect_, missingConnect_, pgBin_, intConnect_, intAdminConnect_;
    std::unique_ptr<QProcess> mariadb_;
    QList<pid_t> frozen_;
};
