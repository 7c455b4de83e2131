#include "lookup/ConnectionCommands.h"

#include "platform/Dialogs.h"
#include "platform/RecordSet.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/Common.h"

#include <memory>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct DatabaseTexts {
    const char* key;
    const char* editDefault;
    const char* inputTitle;
    const char* prompt;
    const char* testQuery;
    const char* errorTitle;
    const char* notSetLine;
    const char* okLine;
    const char* problemPrefix;
};

const DatabaseTexts& textsOf(StoreDatabase database) {
    static const DatabaseTexts inventory{
        "ODBCINV", "INV", "INV ODBC Connect String",
        "Default Connect String: DSN=inv; UID=SA; PWD=\r\n(Table = inv)", "SELECT * FROM inv", "INV Database",
        "Inventory Database not set to an ODBC data source.", "Inventory Database OK", "Inventory Database Problem: "};
    static const DatabaseTexts cis{
        "ODBCCIS", "CIS", "CIS ODBC Connect String",
        "Default Connect String: DSN=cis; UID=SA; PWD=\r\n(Table = special)", "SELECT * FROM special", "CIS Database",
        "Optional CIS Database not set to an ODBC data source.", "CIS Database OK", "CIS Database Problem: "};
    static const DatabaseTexts upc{
        "ODBCUPC", "UPC", "UPC ODBC Connect String",
        "Default Connect String: DSN=upc; UID=SA; PWD=\r\n(Table = upc)", "SELECT * FROM upc", "UPC Database",
        "UPC Database not set to an ODBC data source.", "UPC Database OK", "UPC Database Problem: "};
    switch (database) {
    case StoreDatabase::Inventory: return inventory;
    case StoreDatabase::Cis: return cis;
    case StoreDatabase::Upc: break;
    }
    return upc;
}

QString trimSpaces(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == u' ') ++first;
    while (last > first && text[last - 1] == u' ') --last;
    return text.mid(first, last - first);
}

void closeQuietly(RecordSet& rs) noexcept {
    try {
        rs.Close();
    } catch (...) {
    }
}

struct Failure {
    int number = 0;
    QString description;
};

// Runs the test query on `connect` and closes it again. The failure, if any.
std::optional<Failure> tryTestQuery(RecordSet& rs, const QString& query, const QString& connect) {
    try {
        rs.Open(query, connect);
        rs.Close();
        return std::nullopt;
    } catch (const TagwellError& e) {
        closeQuietly(rs);
        return Failure{e.number(), e.description()};
    } catch (const std::exception& e) {
        closeQuietly(rs);
        return Failure{RecordSetError::ProviderError, QString::fromLocal8Bit(e.what())};
    } catch (...) {
        closeQuietly(rs);
        return Failure{RecordSetError::ProviderError, QStringLiteral("Unknown error")};
    }
}

}  // namespace

void EditConnectionString(StoreDatabase database, Dialogs& dialogs, SettingsStore& settings,
                          RecordSetFactory& factory) {
    const DatabaseTexts& t = textsOf(database);
    const QString key = QString::fromLatin1(t.key);
    const QString current = settings.GetSetting(kRegApp, kRegSec, key, QString::fromLatin1(t.editDefault));
    const QString answer =
        dialogs.InputBox(QString::fromLatin1(t.prompt), QString::fromLatin1(t.inputTitle), current);
    if (answer.isEmpty()) return;  // Cancel or an emptied box: the stored string stays
    if (IsBlank(answer)) {
        settings.SaveSetting(kRegApp, kRegSec, key, QString());  // switches the database off
        return;
    }
    const QString trimmed = trimSpaces(answer);
    std::unique_ptr<RecordSet> rs = factory.CreateRecordSet();
    if (const auto failure = tryTestQuery(*rs, QString::fromLatin1(t.testQuery), trimmed)) {
        dialogs.MsgBox(QStringLiteral("Error opening selected odbc source: ") + answer + kCrLf +
                           QString::number(failure->number) + QStringLiteral(": ") + failure->description,
                       MsgStyle::Information, QString::fromLatin1(t.errorTitle));
        return;
    }
    settings.SaveSetting(kRegApp, kRegSec, key, trimmed);
}

void TestDatabaseConnections(Dialogs& dialogs, SettingsStore& settings, RecordSetFactory& factory) {
    QString message;
    std::unique_ptr<RecordSet> rs;
    for (StoreDatabase database : {StoreDatabase::Upc, StoreDatabase::Inventory, StoreDatabase::Cis}) {
        const DatabaseTexts& t = textsOf(database);
        QString connect;
        try {
            connect = settings.GetSetting(kRegApp, kRegSec, QString::fromLatin1(t.key), QString());
        } catch (...) {
        }
        message += kCrLf;
        if (IsBlank(connect)) {
            message += QString::fromLatin1(t.notSetLine);
            continue;
        }
        try {
            if (!rs) rs = factory.CreateRecordSet();
        } catch (...) {
        }
        const auto failure = rs ? tryTestQuery(*rs, QString::fromLatin1(t.testQuery), connect)
                                : std::optional<Failure>(Failure{RecordSetError::ProviderError,
                                                                 QStringLiteral("No record set available")});
        if (!failure) message += QString::fromLatin1(t.okLine);
        else
            message += QString::fromLatin1(t.problemPrefix) + QString::number(failure->number) +
                       QStringLiteral(", ") + failure->description;
    }
    dialogs.MsgBox(message, MsgStyle::Information, QStringLiteral("Alert:"));
}
