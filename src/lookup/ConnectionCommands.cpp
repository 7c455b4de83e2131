#include "lookup/ConnectionCommands.h"

#include "lookup/ItemLookup.h"
#include "platform/ConnectionSecrets.h"
#include "platform/Dialogs.h"
#include "platform/RecordSet.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Outcome.h"

#include <memory>
#include <optional>
#include <vector>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct DatabaseTexts {
    const char* key;
    const char* editDefault;
    const char* inputTitle;
    const char* prompt;
    const char* table;  // the test query reads it whole: "SELECT * FROM <table>"
    const char* errorTitle;
    const char* notSetLine;
    const char* okLine;
    const char* problemPrefix;
};

const DatabaseTexts& textsOf(StoreDatabase database) {
    static const DatabaseTexts inventory{
        "ODBCINV", "INV", "INV ODBC Connect String",
        "Default Connect String: DSN=inv; UID=SA; PWD=\r\n(Table = inv)", "inv", "INV Database",
        "Inventory Database not set to an ODBC data source.", "Inventory Database OK", "Inventory Database Problem: "};
    static const DatabaseTexts cis{
        "ODBCCIS", "CIS", "CIS ODBC Connect String",
        "Default Connect String: DSN=cis; UID=SA; PWD=\r\n(Table = special)", "special", "CIS Database",
        "Optional CIS Database not set to an ODBC data source.", "CIS Database OK", "CIS Database Problem: "};
    static const DatabaseTexts upc{
        "ODBCUPC", "UPC", "UPC ODBC Connect String",
        "Default Connect String: DSN=upc; UID=SA; PWD=\r\n(Table = upc)", "upc", "UPC Database",
        "UPC Database not set to an ODBC data source.", "UPC Database OK", "UPC Database Problem: "};
    switch (database) {
    case StoreDatabase::Inventory: return inventory;
    case StoreDatabase::Cis: return cis;
    case StoreDatabase::Upc: break;
    }
    return upc;
}

struct Failure {
    int number = 0;
    QString description;
};

// Runs the test query on `connect` and closes it again. The failure, if any.
std::optional<Failure> tryTestQuery(RecordSet& rs, const QString& table, const QString& connect) {
    try {
        rs.Open(RecordQuery{table, {}, {}, {}}, connect);
        rs.Close();
        return std::nullopt;
    } catch (const TagwellError& e) {
        closeQuietly(rs);
        return Failure{e.number(), e.description()};
    } catch (const std::exception& e) {
        closeQuietly(rs);
        return Failure{RecordSetError::ProviderError, QString::fromLocal8Bit(e.what())};
    }
}

// A key no store uses as a stock number or a UPC; its apostrophe makes the literal's quoting part
// of the test.
const QString kNoSuchKey = QStringLiteral("Tagwell's key query test");

}  // namespace

QString DatabaseProblem(StoreDatabase database, const QString& failure) {
    return QString::fromLatin1(textsOf(database).problemPrefix) + failure;
}

QString TestKeyQueries(StoreDatabase database, const QString& connect, RecordSetFactory& factory) {
    std::vector<RecordQuery> queries;
    switch (database) {
    case StoreDatabase::Upc:
        queries = {KeyQuery(QStringLiteral("upc"), QStringLiteral("149"), kNoSuchKey),
                   KeyQuery(QStringLiteral("upc"), QStringLiteral("1"), kNoSuchKey)};
        break;
    case StoreDatabase::Inventory: queries = {KeyQuery(QStringLiteral("inv"), QStringLiteral("1"), kNoSuchKey)}; break;
    case StoreDatabase::Cis: queries = {KeyQuery(QStringLiteral("special"), QStringLiteral("1"), kNoSuchKey)}; break;
    }
    return RecordSetFailure([&] {
        std::unique_ptr<RecordSet> rs = factory.CreateRecordSet();
        rs->setActiveConnection(connect);
        for (const RecordQuery& query : queries) {
            try {
                rs->Open(query);
                rs->Close();
            } catch (const TagwellError& e) {
                // An integer key column refuses the test key's letters: the column is there and
                // the database compared, which is all the test asks; a stock number it refuses is
                // "not found" at the counter.
                if (e.number() != RecordSetError::KeyRefused) throw;
            }
        }
    });
}

Outcome EditConnectionString(StoreDatabase database, Dialogs& dialogs, SettingsStore& settings,
                             RecordSetFactory& factory) {
    const DatabaseTexts& t = textsOf(database);
    const QString key = QString::fromLatin1(t.key);
    const QString current = settings.GetSetting(kRegApp, kRegSec, key, QString::fromLatin1(t.editDefault));
    // The box shows the stored password masked; an answer that leaves the mask as it was keeps it.
    const QString entered =
        dialogs.InputBox(QString::fromLatin1(t.prompt), QString::fromLatin1(t.inputTitle), MaskSecrets(current));
    if (entered.isEmpty()) return Outcome::done();  // Cancel or an emptied box: the stored string stays
    const QString answer = KeepMaskedSecrets(entered, current);
    if (IsBlank(answer)) {
        settings.SaveSetting(kRegApp, kRegSec, key, QString());  // switches the database off
        return Outcome::done();
    }
    const QString trimmed = trimSpaces(answer);
    std::unique_ptr<RecordSet> rs = factory.CreateRecordSet();
    if (const auto failure = tryTestQuery(*rs, QString::fromLatin1(t.table), trimmed)) {
        // The answer as entered, its password masked.
        return Outcome::failure(QStringLiteral("Error opening selected odbc source: ") + MaskSecrets(entered) + kCrLf +
                                    QString::number(failure->number) + QStringLiteral(": ") + MaskSecrets(failure->description),
                                MsgStyle::Information, QString::fromLatin1(t.errorTitle));
    }
    settings.SaveSetting(kRegApp, kRegSec, key, trimmed);
    return Outcome::done();
}

Outcome TestDatabaseConnections(SettingsStore& settings, RecordSetFactory& factory) {
    QString message;
    bool anyFailed = false;
    std::unique_ptr<RecordSet> rs;
    for (StoreDatabase database : {StoreDatabase::Upc, StoreDatabase::Inventory, StoreDatabase::Cis}) {
        const DatabaseTexts& t = textsOf(database);
        QString connect;
        try {
            connect = settings.GetSetting(kRegApp, kRegSec, QString::fromLatin1(t.key), QString());
        } catch (const TagwellError&) {
            // A store that cannot be read leaves the database unset, as in the look-up.
        }
        message += kCrLf;
        if (IsBlank(connect)) {
            message += QString::fromLatin1(t.notSetLine);
            continue;
        }
        if (!rs) (void)RecordSetFailure([&] { rs = factory.CreateRecordSet(); });
        const auto failure = rs ? tryTestQuery(*rs, QString::fromLatin1(t.table), connect)
                                : std::optional<Failure>(Failure{RecordSetError::ProviderError,
                                                                 QStringLiteral("No record set available")});
        // The whole table can be read; the look-up's own queries must run too.
        const QString keys = failure ? QString() : TestKeyQueries(database, connect, factory);
        anyFailed = anyFailed || failure || !keys.isEmpty();
        if (failure)
            message += DatabaseProblem(database, QString::number(failure->number) + QStringLiteral(", ") +
                                                     MaskSecrets(failure->description));
        else if (!keys.isEmpty())
            message += DatabaseProblem(database, keys);
        else
            message += QString::fromLatin1(t.okLine);
    }
    // One message either way; it is a failure when a configured database did not answer.
    return anyFailed ? Outcome::failure(message) : Outcome::notice(message);
}
