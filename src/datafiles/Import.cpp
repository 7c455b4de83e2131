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

#include <array>
#include <memory>

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

// Runs the inventory query for `sku` and stands on its first row. False (the record set closed)
// when there is no such item, and also when the query cannot be run at all (the database went
// away in the middle of the import): the record then goes on as the file gave it, and the first
// such failure is kept in `failure`.
bool findItem(RecordSet& inv, const QString& sku, QString& failure, bool& failed) {
    bool found = false;
    const QString problem = RecordSetFailure([&] {
        inv.Open(KeyQuery(QStringLiteral("inv"), QStringLiteral("1"), sku));
        found = !inv.Eof();  // when not, closed by the caller, with every consulted query
        if (found) inv.MoveFirst();
    });
    if (problem.isEmpty()) return found;
    if (failure.isEmpty()) failure = DatabaseProblem(StoreDatabase::Inventory, problem);
    failed = true;
    closeQuietly(inv);
    return false;
}

// The inventory's value of a column of the current row as text; false when it cannot be read.
bool inventoryText(const RecordSet& inv, const RowField& field, QString& text) {
    return RecordSetFailure([&] { text = NullToEmpty(inv.Fields(FieldName(field)).Value()).toString(); }).isEmpty();
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

void DataFileImport::readRecords(bool priceChange, Outcome& outcome) {
    std::unique_ptr<RecordSet> upc =
        connectRecordSet(recordSets_, settings_, QStringLiteral("ODBCUPC"), StoreDatabase::Upc, connectFailure_);
    std::unique_ptr<RecordSet> inv =
        connectRecordSet(recordSets_, settings_, QStringLiteral("ODBCINV"), StoreDatabase::Inventory, connectFailure_);

    hourglass_.ShowHourglass(true);
    int n = 0;
    // By grid column; column 0 takes the row number.
    std::array<QString, GridCol::Upc + 1> values;
    std::array<bool, GridCol::Upc + 1> blank{};
    try {
        while (datFile_.gr()) {
            bool accept = datFile_.gf(FieldOfColumn(GridCol::Sku).number, values[GridCol::Sku]) == 0;
            if (accept) {
                bool anyBlank = false;
                for (const RowField& f : kRowFields) {
                    if (f.column == GridCol::Sku) continue;
                    blank[f.column] = datFile_.gf(f.number, values[f.column]) != 0;
                    anyBlank = anyBlank || blank[f.column];
                }

                const bool consulted = inv && (priceChange || anyBlank);
                // A database whose query failed (locked, gone) is left out for the rest of the
                // import: each record would otherwise wait for it again.
                bool invFailed = false;
                const bool found = consulted && findItem(*inv, values[GridCol::Sku], queryFailure_, invFailed);

                if (priceChange && blank[GridCol::Retail]) {
                    accept = false;  // no new price
                } else if (priceChange && found) {
                    // Prices compare as numbers: 1.50 in the file equals 1.5 in the inventory.
                    QString current;
                    if (inventoryText(*inv, FieldOfColumn(GridCol::Retail), current) &&
                        LeadingNumber(values[GridCol::Retail]) == LeadingNumber(current))
                        accept = false;
                }

                if (accept && found) {
                    for (const RowField& f : kRowFields)
                        if (f.fromInventory && blank[f.column]) inventoryText(*inv, f, values[f.column]);
                }
                if (consulted) closeQuietly(*inv);
                if (invFailed) inv.reset();

                if (accept && blank[GridCol::Upc] && upc) {
                    QString problem;
                    values[GridCol::Upc] = FindPreferredUpc(*upc, values[GridCol::Sku], &problem);
                    if (queryFailure_.isEmpty() && !problem.isEmpty())
                        queryFailure_ = DatabaseProblem(StoreDatabase::Upc, problem);
                    if (!problem.isEmpty()) upc.reset();
                }

                if (accept) {
                    if (n >= kMaxImportRows) {
                        outcome.addFailure(TooManyRowsMessage(n));
                        break;
                    }
                    ++n;
                    rowsRead_ = n;
                    values[GridCol::Number] = QString::number(n);
                    if (grid_.Rows() == n) {
                        // Rows becomes n + 1 by one new row: one insertion for a view to follow.
                        grid_.appendRow(values);
                    } else {
                        grid_.setRows(n + 1);  // the first row: everything below it goes
                        for (int c = 0; c < static_cast<int>(values.size()); ++c) grid_.setTextMatrix(n, c, values[c]);
                    }
                }
            }
            events_.DoEvents();
            if (stopRequested_) break;
        }
    } catch (const TagwellError& e) {
        // A record the reader cannot cut (a dictionary length below 0): the rows read so far stay.
        outcome.addFailure(e.description());
    } catch (const std::exception& e) {
        outcome.addFailure(QString::fromLocal8Bit(e.what()));
    }
    if (inv) closeQuietly(*inv);
    if (upc) closeQuietly(*upc);
    // The rows of records whose query failed went in as the file gave them: say so, once.
    if (!queryFailure_.isEmpty()) outcome.addFailure(queryFailure_);

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
