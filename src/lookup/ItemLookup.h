#pragma once
// The look-up of a scanned UPC or a typed stock number in the store's three databases, and the
// rule that chooses one UPC among the rows of the UPC table (shared with the import).
#include "platform/RecordSet.h"
#include "shell/common/RowFields.h"

#include <QString>
#include <cstdint>
#include <functional>

class RecordSetFactory;
class SettingsStore;

enum class StoreDatabase { Inventory, Cis, Upc };

// "<Database> Problem: <failure>", as Test Database Connections words it ("Inventory Database
// Problem: -2147467259, ...").
QString DatabaseProblem(StoreDatabase database, const QString& failure);

// The texts of the eight entry boxes. The window copies its boxes in before LookupItem and back
// out after it.
using EntryTexts = RowTexts;

// Fills the entry texts from the UPC (`upc`), inventory (`inv`) and CIS (`special`) databases
// named by the settings ODBCUPC, ODBCINV and ODBCCIS, read afresh at every call. With
// `sierraConvertUpc` nonzero a scanned UPC found in the UPC table becomes its stock number.
// A database that is not configured, cannot be reached, fails or holds no match contributes
// nothing: the look-up shows no message, and a database error never leaves it. What it returns
// tells a failure from "not found" for those who must not take one for the other (the command
// line): "" when every configured database answered, else the first database's problem
// (DatabaseProblem).
QString LookupItem(EntryTexts& entry, int sierraConvertUpc, SettingsStore& settings, RecordSetFactory& factory);

// The look-up of one key: the records of `table` whose column `column` holds `key` exactly, the
// key used as it stands, not trimmed.
RecordQuery KeyQuery(const QString& table, const QString& column, const QString& key);

// The date of a UPC row, MMDDYY, as a key that sorts by date: YYMMDD read as a number, with
// 1000000 added below 500000 so that years 00 to 49 rank above years 50 to 99.
std::int32_t UpcDateKey(const QString& dateText);

// The UPC chosen so far among the rows of one stock number.
struct PreferredUpc {
    QString upc;
    std::int32_t dateKey = 0;
};

// Weighs one `upc` row: a 12-character UPC wins over anything that is not 12 characters and over
// a 12-character one with an earlier or equal date; any other UPC is taken only while nothing is
// chosen. Both texts are trimmed here.
void PickPreferredUpc(PreferredUpc& preferred, const QString& upcText, const QString& dateText);

// Walks an open `upc` query from its current record to the end, weighing every row; `upcColumn`
// and `dateColumn` are field positions. A null UPC or date counts as "". A record set that fails
// in the middle ends the walk with the choice made so far; its error text goes to `failure`.
void PickPreferredUpc(PreferredUpc& preferred, RecordSet& rs, int upcColumn, int dateColumn,
                      QString* failure = nullptr);

// Where an open `upc` query, standing on a record, has its UPC, column "149" (-1 when there is
// none), and its date, column "83" (position 0 when there is none); the last of each name counts.
struct UpcColumns {
    int upc = -1;
    int date = 0;
};
UpcColumns FindUpcColumns(const RecordSet& rs);

// The preferred UPC of a stock number: runs the key query of table `upc`, column "1", on `rs`,
// whose connection must be set, finds the columns "149" (UPC) and "83" (date; position 0 when
// there is none) and picks among the rows. "" when the query fails, returns nothing or has no
// column "149"; a failure's text (number, description) goes to `failure`, its number to `number`
// (RecordSetError::KeyRefused: the database refused this stock number, which then simply has no
// UPC). A database error never leaves it; leaves `rs` closed.
QString FindPreferredUpc(RecordSet& rs, const QString& stockNumber, QString* failure = nullptr, int* number = nullptr);

// Runs `body`, database work; "<number>, <description>" of the error it raised (a TagwellError, or
// another std::exception as a provider error), "" when it ran through; the number also goes to
// `number`. Anything else is no database failure and travels on.
QString RecordSetFailure(const std::function<void()>& body, int* number = nullptr);
