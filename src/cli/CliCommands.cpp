// dict, read and lookup: probes of the dictionary, the data file reader and the item look-up.
#include "cli/CliCommands.h"

#include "cli/CliArguments.h"
#include "cli/ConsoleServices.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "lookup/ItemLookup.h"
#include "platform/FileAccess.h"
#include "platform/TagwellError.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"
#include "shell/common/RowFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <optional>
#include <utility>
#include <vector>

namespace {

// A file holding a connection string: one line.
constexpr qint64 kConnectionFileBound = 64 * 1024;

QString jsonBool(bool b) { return b ? QStringLiteral("true") : QStringLiteral("false"); }

}  // namespace

QString JsonString(const QString& text) {
    // QJsonDocument does the escaping; the array around the one string is cut off again.
    const QByteArray doc = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(doc.mid(1, doc.size() - 2));
}

void ApplySharedOverrides(const ParsedArguments& args, OverlaySettingsStore& settings) {
    if (args.has(QStringLiteral("dict"))) settings.setOverride(QString::fromLatin1(kDictionaryKey), args.value(QStringLiteral("dict")));
    // A connection string with a password stays off the command line, which every user of the
    // machine can read: "--inv @FILE" reads it from the first line of FILE, and without --inv the
    // environment's TAGWELL_ODBCINV (readable by the user alone) stands in for the setting.
    for (const auto& [option, key] : {std::pair{"inv", "ODBCINV"}, std::pair{"upc", "ODBCUPC"}, std::pair{"cis", "ODBCCIS"}}) {
        const QString name = QString::fromLatin1(option);
        if (args.has(name)) {
            const QString value = args.value(name);
            if (!value.startsWith(u'@')) {
                settings.setOverride(QString::fromLatin1(key), value);
                continue;
            }
            QString why;
            const std::optional<QByteArray> bytes = ReadWholeFile(value.mid(1), kConnectionFileBound, &why);
            if (!bytes) throw TagwellError(ErrorNumber::FileNotFound, QStringLiteral("The connection string of --%1 cannot be read from %2: %3").arg(name, value.mid(1), why));
            settings.setOverride(QString::fromLatin1(key), QString::fromUtf8(bytes->split('\n').front()).trimmed());
        } else if (const QByteArray env = qgetenv(QByteArray("TAGWELL_") + key); !env.isEmpty()) {
            settings.setOverride(QString::fromLatin1(key), QString::fromUtf8(env));
        }
    }
}

bool LoadCliDictionary(CliContext& cx, cwDct& dct) {
    const QString path = cx.settings.GetSetting(kRegApp, kRegSec, QString::fromLatin1(kDictionaryKey), QString());
    if (dct.setup(path, QStringLiteral("INV"), 99) != 0) {
        cx.dialogs.MsgBox(DictionaryRetryPrompt(dct, path), MsgStyle::OKCancel | MsgStyle::Information, kAlert);
        return false;
    }
    if (dct.setupms(path, true) != 0)
        cx.dialogs.MsgBox(DictionaryDialog::kMasterStoreWarning, MsgStyle::Information, kAlert);
    return true;
}

int RunDict(const ParsedArguments& args, CliContext& cx) {
    const bool prisame = args.has(QStringLiteral("prisame")) ? CliChoice(args, QStringLiteral("prisame"), {0, 1}) == 1 : true;
    ApplySharedOverrides(args, cx.settings);
    const QString path = cx.settings.GetSetting(kRegApp, kRegSec, QString::fromLatin1(kDictionaryKey), QString());

    cwDct dct;
    const int setup = dct.setup(path, QStringLiteral("INV"), 99);
    const int setupms = dct.setupms(path, prisame);
    cx.out << QStringLiteral("{\"setup\":%1,\"setupms\":%2,\"dLast\":%3}\n").arg(setup).arg(setupms).arg(dct.dLast());
    for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f) {
        if (dct.dAlpha(f) == 0 && dct.dLen(f) == 0 && dct.dDesc(f).isEmpty() && dct.dMaster(f)) continue;
        cx.out << QStringLiteral("{\"field\":%1,\"alpha\":%2,\"len\":%3,\"master\":%4,\"desc\":%5}\n")
                      .arg(f)
                      .arg(dct.dAlpha(f))
                      .arg(dct.dLen(f))
                      .arg(jsonBool(dct.dMaster(f)), JsonString(dct.dDesc(f)));
    }
    cx.out.flush();

    if (setup != 0) {
        cx.dialogs.MsgBox(DictionaryRetryPrompt(dct, path), MsgStyle::OKCancel | MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    if (setupms != 0) cx.dialogs.MsgBox(DictionaryDialog::kMasterStoreWarning, MsgStyle::Information, kAlert);
    return CliExit::Ok;
}

int RunRead(const ParsedArguments& args, CliContext& cx) {
    ApplySharedOverrides(args, cx.settings);
    cwDct dct;
    if (!LoadCliDictionary(cx, dct)) return CliExit::Failed;

    cwDatFile datFile;
    const int result = datFile.fopen(args.positional, dct, QString(), 0, 0);
    ShowOutcome(datFile.fopenOutcome(), cx.dialogs);
    cx.out << QStringLiteral("{\"fopen\":%1,\"layout\":%2,\"FieldList\":%3,\"count\":%4}\n")
                  .arg(result)
                  .arg(datFile.layout())
                  .arg(JsonString(datFile.FieldList()))
                  .arg(datFile.fieldCount());
    if (result != 0) {
        cx.out.flush();
        datFile.fclose();
        cx.dialogs.MsgBox(DataFileImport::FopenFailureText(datFile, result), MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    std::vector<std::int16_t> fields;
    const int count = datFile.GetFieldList(fields);
    while (datFile.gr()) {
        QString values;
        for (int i = 0; i < count; ++i) {
            QString value;
            const int code = datFile.gf(fields[static_cast<size_t>(i)], value);
            if (i > 0) values += u',';
            values += QStringLiteral("[%1,%2,%3]").arg(fields[static_cast<size_t>(i)]).arg(code).arg(JsonString(value));
        }
        cx.out << QStringLiteral("{\"line\":%1,\"values\":[%2]}\n").arg(datFile.lineNumber()).arg(values);
    }
    datFile.fclose();
    cx.out.flush();
    if (const QString cut = datFile.dataCutMessage(); !cut.isEmpty()) {
        cx.dialogs.MsgBox(cut, MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    return CliExit::Ok;
}

int RunLookup(const ParsedArguments& args, CliContext& cx) {
    ApplySharedOverrides(args, cx.settings);
    if (args.has(QStringLiteral("convert-upc")))
        cx.settings.setOverride(QStringLiteral("SierraConvertUpc"),
                                QString::number(CliChoice(args, QStringLiteral("convert-upc"), {0, 1})));
    ProgramOptions options;
    options.load(cx.settings);

    EntryTexts entry;
    entry.sku = args.positional;
    QtOdbcRecordSetFactory recordSets;
    // The window's look-up stays silent for the clerk; here a database that failed must not pass
    // for an item that is not there.
    const QString failure = LookupItem(entry, options.SierraConvertUpc, cx.settings, recordSets);

    QString line = QStringLiteral("{");
    for (const RowField& f : kRowFields) {
        if (line.size() > 1) line += u',';
        line += u'"' + QString::fromLatin1(f.jsonName) + QStringLiteral("\":") + JsonString(entry.*f.text);
    }
    cx.out << line << QStringLiteral("}\n");
    cx.out.flush();
    if (!failure.isEmpty()) {
        cx.dialogs.MsgBox(failure, MsgStyle::Information, kAlert);
        return CliExit::Failed;
    }
    return CliExit::Ok;
}
