#include "datafiles/Import.h"

#include "datafiles/Export.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"
#include "platform/EventPump.h"
#include "platform/FileAccess.h"
#include "platform/RecordSet.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"
#include "shell/common/Outcome.h"
#include "shell/common/RowFields.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace {


// A record set connected to the database the setting names, or null when the setting is blank or
// its connection is refused: that database is then left out of this import, without a message
// (the refusal's text goes to `failure` for those who must report it).
std::unique_ptr<RecordSet> connectRecordSet(RecordSetFactory* factory, SettingsStore& settings, const QString& key,
                                            StoreDatabase database, QString& failure) {
    if (!factory) return nullptr;
    const QString connect = settings.GetSetting(kRegApp, kRegSec, key, QString());
    if (IsBlank(connect)) return nullptr;
    std::unique_ptr<RecordSet> rs;
    const QString problem = RecordSetFailure([&] {
        rs = factory->CreateRecordSet();
        if (rs) rs->setActiveConnection(connect);
    });
    if (problem.isEmpty()) return rs;
    if (failure.isEmpty()) failure = DatabaseProblem(database, problem);
    return nullptr;
}

// The query for `keys` of `column` in `table`: a key alone is its own key query, several keys one
// batch.
RecordQuery keysQuery(const QString& table, const QString& column, const QStringList& keys) {
    if (keys.size() == 1) return KeyQuery(table, column, keys.front());
    RecordQuery query{table, {}, {}, {}};
    query.batch.reserve(static_cast<size_t>(keys.size()));
    for (const QString& key : keys) query.batch.push_back({column, key});
    return query;
}

// The inventory's answer for one stock number: whether it has the item, and the text of each item
// column of its first row (none when the table has no such column).
struct ItemAnswer {
    bool found = false;
    std::array<std::optional<QString>, GridCol::Upc + 1> values;
};

// Reads the inventory rows of `keys` into `answers` (one per key); throws what the query throws.
// Only the first row of each key counts, as in the key query of one record.
void fetchItems(RecordSet& inv, const QStringList& keys, std::vector<ItemAnswer>& answers) {
    inv.Open(keysQuery(QStringLiteral("inv"), QStringLiteral("1"), keys));
    std::array<int, GridCol::Upc + 1> position;
    position.fill(-1);
    if (!inv.Eof())
        for (const RowField& f : kRowFields)
            if (f.fromInventory) position[f.column] = inv.fieldIndex(FieldName(f));
    while (!inv.Eof()) {
        const int k = inv.KeyIndex();
        if (k >= 0 && k < static_cast<int>(answers.size()) && !answers[k].found) {
            answers[k].found = true;
            for (int c = 0; c < static_cast<int>(position.size()); ++c)
                if (position[c] >= 0) answers[k].values[c] = NullToEmpty(inv.Fields(position[c]).Value()).toString();
        }
        if (keys.size() == 1) break;  // a key alone: its first row is all that is read
        inv.MoveNext();
    }
    inv.Close();
}

// Weighs the UPC rows of `keys` into `picks` (one per key), in the order the database gives them;
// throws what the query throws, the picks made so far kept. The columns are found as for one stock
// number (FindUpcColumns).
void fetchUpcs(RecordSet& upc, const QStringList& keys, std::vector<PreferredUpc>& picks) {
    upc.Open(keysQuery(QStringLiteral("upc"), QStringLiteral("1"), keys));
    const UpcColumns columns = upc.Eof() ? UpcColumns{} : FindUpcColumns(upc);
    while (columns.upc != -1 && !upc.Eof()) {
        const int k = upc.KeyIndex();
        if (k >= 0 && k < static_cast<int>(picks.size()))
            PickPreferredUpc(picks[k], NullToEmpty(upc.Fields(columns.upc).Value()).toString(),
                             NullToEmpty(upc.Fields(columns.date).Value()).toString());
        upc.MoveNext();
    }
    upc.Close();
}

}  // namespace

DataFileImport::DataFileImport(Dialogs& dialogs, SettingsStore& settings, LabelGrid& grid, cwDct& dctInv,
                               cwDatFile& datFile, RecordSetFactory* recordSets, Hourglass& hourglass,
                               EventPump& events, std::int16_t labelsPerSheet, std::function<void()> loadRowIntoEntry)
    : dialogs_(dialogs), settings_(settings), grid_(grid), dctInv_(dctInv), datFile_(datFile),
      recordSets_(recordSets), hourglass_(hourglass), events_(events), labelsPerSheet_(labelsPerSheet),
      loadRowIntoEntry_(std::move(loadRowIntoEntry)) {}

QString DataFileImport::TooManyRowsMessage(int rowsRead) {
    return QStringLiteral("The grid cannot hold more rows: %1 rows were read, the rest of the file was left out.")
        .arg(rowsRead);
}

QString DataFileImport::FopenFailureText(const cwDatFile& datFile, int result) {
    switch (result) {
    case 1:
        // "File not found" only for a name under which there is nothing; any other refusal (too
        // large, not permitted, a device) says what it is.
        return datFile.openError() == kNoSuchFileReason || datFile.openError().isEmpty() ? ImportText::kFileNotFound
                                                                                         : datFile.openError();
    case 2: return ImportText::kFileEmpty;
    default: return ImportText::kHeaderError;
    }
}

Outcome DataFileImport::mnuFileRead(int index) {
    stopRequested_ = false;
    rowsRead_ = 0;
    dataCut_ = false;
    refusedKeys_.clear();
    connectFailure_.clear();
    queryFailure_.clear();
    const QString key = QString::fromLatin1(kFileImpExpKey);

    FileDialogRequest request;
    request.fileName = settings_.GetSetting(kRegApp, kRegSec, key, QString());
    request.dialogTitle = ImportText::kTitle;
    request.flags = ImportText::kFlags;
    request.filter = ImportText::kFilter;
    request.filterIndex = ImportText::kFilterIndex;
    const std::optional<QString> chosen = dialogs_.ShowOpen(request);

    Outcome outcome;
    if (chosen) {
        running_ = true;
        try {
            settings_.SaveSetting(kRegApp, kRegSec, key, *chosen);
        } catch (const TagwellError& e) {
            // The file can still be read; only the remembered path is lost.
            outcome.addNotice(e.description());
        }
        const std::int16_t opened = datFile_.fopen(*chosen, dctInv_, QString(), 0, 0);
        if (opened == 0) {
            readRecords(index != DataFile, outcome);
        } else {
            outcome += datFile_.fopenOutcome();
            outcome.addFailure(FopenFailureText(datFile_, opened));
            datFile_.fclose();
        }
        running_ = false;
    }

    topUpToOneSheet();
    return outcome;
}

namespace {

// Asks the database for the answers of `keys` with `fetch`, all of them in one query. When that
// query fails, the keys are asked again one at a time: a key the database refuses (an integer key
// column and a stock number with a letter) then has no answer and counts in `refused`, and every
// other key of the batch is still answered. A key whose own query fails otherwise (the database
// went away, a wait ran out) ends the database's part in this import: `rs` is dropped, the
// failure kept in `failure`, and the keys after it have no answer.
template <typename Answer, typename Fetch>
void askInBatches(std::unique_ptr<RecordSet>& rs, StoreDatabase database, const QStringList& keys,
                  std::vector<Answer>& answers, Fetch fetch, QString& failure, QSet<QString>& refused) {
    answers.assign(static_cast<size_t>(keys.size()), Answer{});
    if (!rs || keys.isEmpty()) return;
    if (keys.size() > 1) {
        int number = 0;
        const QString error = RecordSetFailure([&] { fetch(*rs, keys, answers); }, &number);
        if (error.isEmpty()) return;
        closeQuietly(*rs);
        answers.assign(static_cast<size_t>(keys.size()), Answer{});
        // A wait that ran out would only run out again for each key.
        if (number == RecordSetError::TimedOut) {
            if (failure.isEmpty()) failure = DatabaseProblem(database, error);
            rs.reset();
            return;
        }
    }
    for (qsizetype i = 0; i < keys.size(); ++i) {
        std::vector<Answer> one(1);
        int number = 0;
        const QString error = RecordSetFailure([&] { fetch(*rs, QStringList{keys[i]}, one); }, &number);
        // What was read before a failure stands: a UPC walk that breaks off keeps its choice.
        answers[static_cast<size_t>(i)] = one.front();
        if (error.isEmpty()) continue;
        closeQuietly(*rs);
        if (number == RecordSetError::KeyRefused) {
            answers[static_cast<size_t>(i)] = Answer{};
            refused.insert(keys[i]);
            continue;
        }
        if (failure.isEmpty()) failure = DatabaseProblem(database, error);
        rs.reset();
        return;
    }
}

// The distinct keys of a window, in first-seen order, and where each record's key stands in it.
struct WindowKeys {
    QStringList keys;
    QHash<QString, int> index;
    int add(const QString& key) {
        const auto it = index.constFind(key);
        if (it != index.constEnd()) return *it;
        keys << key;
        return index[key] = static_cast<int>(keys.size() - 1);
    }
};

}  // namespace

QString DataFileImport::RefusedKeysMessage(const QStringList& keys) {
    constexpr qsizetype kShown = 10;
    QStringList shown = keys.mid(0, kShown);
    if (keys.size() > kShown) shown << QStringLiteral("...");
    return (keys.size() == 1
                ? QStringLiteral("The database refused 1 stock number as a key (%2); its record was read without the "
                                 "database's values.")
                : QStringLiteral("The database refused %1 stock numbers as keys (%2); their records were read without "
                                 "the database's values."))
        .arg(keys.size())
        .arg(shown.join(QStringLiteral(", ")));
}

void DataFileImport::readRecords(bool priceChange, Outcome& outcome) {
    std::unique_ptr<RecordSet> upc =
        connectRecordSet(recordSets_, settings_, QStringLiteral("ODBCUPC"), StoreDatabase::Upc, connectFailure_);
    std::unique_ptr<RecordSet> inv =
        connectRecordSet(recordSets_, settings_, QStringLiteral("ODBCINV"), StoreDatabase::Inventory, connectFailure_);

    hourglass_.ShowHourglass(true);
    // The records are read a window at a time: the inventory rows of the window's stock numbers
    // come in one query, then the UPC rows of those it keeps in another, and the window's rows are
    // completed from them in file order. A database a network away thus costs two round trips a
    // window instead of two a record, with the rows the queries of each record would give.
    struct Pending {
        bool hasSku = false;
        std::array<QString, GridCol::Upc + 1> values;  // by grid column; column 0 the row number
        std::array<bool, GridCol::Upc + 1> blank{};
        int invKey = -1, upcKey = -1;  // positions in the window's keys; -1: not asked
    };
    std::vector<Pending> window;
    QSet<QString> refused;
    QStringList refusedInOrder;
    int n = 0;
    bool more = true, full = false;
    QString readFailure;
    while (more && !full && !stopRequested_) {
        window.clear();
        try {
            while (static_cast<int>(window.size()) < batchSize_ && (more = datFile_.gr())) {
                Pending r;
                r.hasSku = datFile_.gf(FieldOfColumn(GridCol::Sku).number, r.values[GridCol::Sku]) == 0;
                if (r.hasSku)
                    for (const RowField& f : kRowFields)
                        if (f.column != GridCol::Sku) r.blank[f.column] = datFile_.gf(f.number, r.values[f.column]) != 0;
                window.push_back(std::move(r));
            }
        } catch (const TagwellError& e) {
            // A record the reader cannot cut (a dictionary length below 0): the rows read so far stay.
            readFailure = e.description();
            more = false;
        } catch (const std::exception& e) {
            readFailure = QString::fromLocal8Bit(e.what());
            more = false;
        }

        // The inventory: for a price-change file every record with a new price (its current price
        // decides whether it stays), for a data file the records with a blank value.
        WindowKeys invKeys;
        for (Pending& r : window) {
            if (!r.hasSku || !inv) continue;
            const bool anyBlank = std::any_of(r.blank.begin(), r.blank.end(), [](bool b) { return b; });
            if (priceChange ? !r.blank[GridCol::Retail] : anyBlank) r.invKey = invKeys.add(r.values[GridCol::Sku]);
        }
        std::vector<ItemAnswer> items;
        askInBatches(inv, StoreDatabase::Inventory, invKeys.keys, items, fetchItems, queryFailure_, refused);

        std::vector<bool> accepted(window.size(), false);
        WindowKeys upcKeys;
        for (size_t i = 0; i < window.size(); ++i) {
            Pending& r = window[i];
            if (!r.hasSku) continue;
            const ItemAnswer* item = r.invKey >= 0 && items[r.invKey].found ? &items[r.invKey] : nullptr;
            bool accept = !(priceChange && r.blank[GridCol::Retail]);  // no new price
            // Prices compare as numbers: 1.50 in the file equals 1.5 in the inventory.
            if (accept && priceChange && item && item->values[GridCol::Retail] &&
                LeadingNumber(r.values[GridCol::Retail]) == LeadingNumber(*item->values[GridCol::Retail]))
                accept = false;
            if (accept && item)
                for (const RowField& f : kRowFields)
                    if (f.fromInventory && r.blank[f.column] && item->values[f.column])
                        r.values[f.column] = *item->values[f.column];
            accepted[i] = accept;
            if (accept && r.blank[GridCol::Upc] && upc) r.upcKey = upcKeys.add(r.values[GridCol::Sku]);
        }
        std::vector<PreferredUpc> picks;
        askInBatches(upc, StoreDatabase::Upc, upcKeys.keys, picks, fetchUpcs, queryFailure_, refused);

        for (const QString& key : invKeys.keys + upcKeys.keys)
            if (refused.contains(key) && !refusedInOrder.contains(key)) refusedInOrder << key;

        for (size_t i = 0; i < window.size(); ++i) {
            Pending& r = window[i];
            if (accepted[i]) {
                if (r.upcKey >= 0) r.values[GridCol::Upc] = picks[r.upcKey].upc;
                if (n >= kMaxImportRows) {
                    outcome.addFailure(TooManyRowsMessage(n));
                    full = true;
                    break;
                }
                ++n;
                rowsRead_ = n;
                r.values[GridCol::Number] = QString::number(n);
                if (grid_.Rows() == n) {
                    // Rows becomes n + 1 by one new row: one insertion for a view to follow.
                    grid_.appendRow(r.values);
                } else {
                    grid_.setRows(n + 1);  // the first row: everything below it goes
                    for (int c = 0; c < static_cast<int>(r.values.size()); ++c) grid_.setTextMatrix(n, c, r.values[c]);
                }
            }
            events_.DoEvents();
            if (stopRequested_) break;
        }
    }
    if (!readFailure.isEmpty()) outcome.addFailure(readFailure);
    // A file cut short by a NUL byte: its rows so far stay, and the rest is said to be missing.
    dataCut_ = !datFile_.dataCutMessage().isEmpty();
    if (dataCut_) outcome.addFailure(datFile_.dataCutMessage());
    if (inv) closeQuietly(*inv);
    if (upc) closeQuietly(*upc);
    // The rows of records whose query failed went in as the file gave them: say so, once.
    if (!queryFailure_.isEmpty()) outcome.addFailure(queryFailure_);
    // A key the database cannot take is an item it does not have; the import says how many, once.
    refusedKeys_ = refusedInOrder;
    if (!refusedInOrder.isEmpty()) outcome.addNotice(RefusedKeysMessage(refusedInOrder));

    try {
        if (loadRowIntoEntry_) loadRowIntoEntry_();
    } catch (const TagwellError& e) {
        outcome.addFailure(e.description());
    }
    hourglass_.ShowHourglass(false);
    datFile_.fclose();
}

void DataFileImport::topUpToOneSheet() {
    if (grid_.Rows() >= labelsPerSheet_ + 1) return;
    grid_.setRows(labelsPerSheet_ + 1);
    for (int i = 1; i <= labelsPerSheet_; ++i) grid_.setTextMatrix(i, GridCol::Number, QString::number(i));
}
