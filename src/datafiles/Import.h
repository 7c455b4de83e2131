#pragma once
// "Read in a Data File" and "Read in a Price Change File" (mnuFileRead, index 0 and 1): the
// records of a quote-and-comma or tab-delimited data file become the rows of the label grid, their
// blank values completed from the inventory database and their missing UPC chosen from the UPC
// database. A price-change file keeps only records with a new price that differs from the
// inventory's.
//
// The window creates one DataFileImport per command and runs it:
//
//   DataFileImport import(dialogs, settings, grid, dctInv, *datFile, recordSets, hourglass, events,
//                         LabelsPerSheet(), [this] { commands_->LoadRowIntoEntry(); });
//   ShowOutcome(import.mnuFileRead(index), dialogs);
//
// The import lets pending events run after every record. While it runs, the window must not start
// other commands on the grid; a request to close the window asks the import to stop
// (requestStop) and closes once mnuFileRead has returned.
#include "shell/common/Outcome.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <functional>

class Dialogs;
class EventPump;
class Hourglass;
class LabelGrid;
class RecordSetFactory;
class SettingsStore;
class cwDatFile;
class cwDct;

// What the open-file dialog is shown with, and the messages of the command.
namespace ImportText {
inline const QString kTitle = QStringLiteral("Import File");
constexpr int kFlags = 20484;  // hide the read-only box, the file must exist, share-aware
inline const QString kFilter = QStringLiteral(
    "All Files (*.*)|*.*|Quote and Comma Files (*.dat)|*.dat|Tab Delimited Files (*.txt)|*.txt");
constexpr int kFilterIndex = 3;  // tab-delimited files
inline const QString kFileNotFound = QStringLiteral("File not found");
inline const QString kFileEmpty = QStringLiteral("File is empty");
inline const QString kHeaderError = QStringLiteral("Error in file header");
}  // namespace ImportText

class DataFileImport {
public:
    enum Kind : int { DataFile = 0, PriceChangeFile = 1 };

    // Row numbers are 16-bit: the grid takes at most this many imported rows (Rows = n + 1).
    static constexpr int kMaxImportRows = 32766;

    // `recordSets` may be null: no database is then consulted. `labelsPerSheet` is the sheet the
    // grid is topped up to at the end; `loadRowIntoEntry` copies the grid's current row into the
    // entry boxes once the records are read.
    DataFileImport(Dialogs& dialogs, SettingsStore& settings, LabelGrid& grid, cwDct& dctInv, cwDatFile& datFile,
                   RecordSetFactory* recordSets, Hourglass& hourglass, EventPump& events,
                   std::int16_t labelsPerSheet, std::function<void()> loadRowIntoEntry);

    // The command, for `index` 0 (data file) or 1 (price-change file; any other value counts as
    // 1). Its messages come back in the outcome, in order: failed when the file could not be read,
    // rows were left out or a database query failed; a setting that could not be saved is only a
    // notice. Nothing escapes. The reader is closed on every path and the grid keeps at least one
    // sheet of rows. A cancelled file dialog imports nothing and is done.
    Outcome mnuFileRead(int index);

    // Asks a running import to stop after the record in hand. The rows read so far stay, and the
    // import ends as it does at the end of the file.
    void requestStop() { stopRequested_ = true; }
    bool stopRequested() const { return stopRequested_; }

    // True from the file dialog's answer until the command has ended.
    bool running() const { return running_; }
    // Rows written to the grid by the last run (0 when none was accepted).
    int rowsRead() const { return rowsRead_; }
    // True when the last run's file was cut short by a NUL byte followed by more data (its rows up
    // to there were read, and the outcome says where the data ended).
    bool dataCut() const { return dataCut_; }

    // The first database failure of the last run ("" when none): a query that failed (also shown
    // as a message at the end of the import) or, failing that, a connection string refused at the
    // start (left out silently, as the window does: the outcome does not carry it).
    const QString& databaseFailure() const { return queryFailure_.isEmpty() ? connectFailure_ : queryFailure_; }

    // The "Alert:" text that follows the reader's own message when fopen returned `result` (not 0).
    static QString FopenFailureText(const cwDatFile& datFile, int result);

    // The "Alert:" text when a file holds more accepted records than the grid can take.
    static QString TooManyRowsMessage(int rowsRead);
    // The notice, once at the end, when a database refused stock numbers as keys.
    static QString RefusedKeysMessage(const QStringList& keys);

    // How many records are completed together, with one query to each database (at least 1).
    static constexpr int kBatchRecords = 200;
    void setBatchSize(int records) { batchSize_ = std::max(1, records); }
    // The stock numbers a database refused as keys in the last run, in file order.
    const QStringList& refusedKeys() const { return refusedKeys_; }

private:
    void readRecords(bool priceChange, Outcome& outcome);
    void topUpToOneSheet();

    Dialogs& dialogs_;
    SettingsStore& settings_;
    LabelGrid& grid_;
    cwDct& dctInv_;
    cwDatFile& datFile_;
    RecordSetFactory* recordSets_;
    Hourglass& hourglass_;
    EventPump& events_;
    std::int16_t labelsPerSheet_;
    std::function<void()> loadRowIntoEntry_;
    bool stopRequested_ = false;
    bool running_ = false;
    int rowsRead_ = 0;
    bool dataCut_ = false;
    QString connectFailure_;
    QString queryFailure_;
    QStringList refusedKeys_;
    int batchSize_ = kBatchRecords;
};
