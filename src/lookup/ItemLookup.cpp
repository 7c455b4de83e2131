#include "lookup/ItemLookup.h"

#include "platform/RecordSet.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "shell/common/Numbers.h"

#include <cmath>
#include <limits>
#include <memory>

namespace {

QString valueText(const QVariant& value) { return NullToEmpty(value).toString(); }

// The first failure of a look-up, worded for its database; later ones add nothing. A database
// that could not be reached or did not answer in time is not asked again in the same look-up, so
// that one scan waits for it once at most.
struct FirstFailure {
    QString text;
    QStringList givenUp;  // connection strings
    void note(StoreDatabase database, const QString& failure) {
        if (text.isEmpty() && !failure.isEmpty()) text = DatabaseProblem(database, failure);
    }
};

// Opens the query and stands on its first record. False, with the record set closed, when the
// query fails or returns nothing: either way the step it serves contributes nothing (a failure
// is noted). A key the database refuses (letters for an integer column) is simply not there.
bool openOnFirst(RecordSet& rs, const RecordQuery& query, StoreDatabase database, FirstFailure& failure) {
    bool found = false;
    int number = 0;
    const QString problem = RecordSetFailure([&] {
        rs.Open(query);
        found = !rs.Eof();
        if (found) rs.MoveFirst();
    }, &number);
    if (number == RecordSetError::TimedOut) failure.givenUp << rs.ActiveConnection();
    if (number != RecordSetError::KeyRefused) failure.note(database, problem);
    if (!found || !problem.isEmpty()) closeQuietly(rs);
    return found && problem.isEmpty();
}

bool connectTo(RecordSet& rs, const QString& connect, StoreDatabase database, FirstFailure& failure) {
    closeQuietly(rs);
    if (failure.givenUp.contains(connect)) return false;
    const QString problem = RecordSetFailure([&] { rs.setActiveConnection(connect); });
    failure.note(database, problem);
    if (!problem.isEmpty()) failure.givenUp << connect;
    return problem.isEmpty();
}

// The item values the inventory and the CIS table fill, in the order the boxes are filled: the
// description first.
const RowField* const kValueBoxes[] = {&FieldOfColumn(GridCol::Desc), &FieldOfColumn(GridCol::Mfn),
                                       &FieldOfColumn(GridCol::Loc),  &FieldOfColumn(GridCol::Retail),
                                       &FieldOfColumn(GridCol::Om),   &FieldOfColumn(GridCol::Pk)};
constexpr int kValueBoxCount = static_cast<int>(std::size(kValueBoxes));

// Fills the value boxes from the current record. A column that cannot be read leaves its box as
// it was and the others are still filled.
void fillBoxes(EntryTexts& entry, const RecordSet& rs, const bool (&skip)[kValueBoxCount]) {
    for (int i = 0; i < kValueBoxCount; ++i) {
        if (skip[i]) continue;
        (void)RecordSetFailure(
            [&] { entry.*kValueBoxes[i]->text = valueText(rs.Fields(FieldName(*kValueBoxes[i])).Value()); });
    }
}

void lookupSteps(EntryTexts& entry, int sierraConvertUpc, SettingsStore& settings, RecordSetFactory& factory,
                 FirstFailure& failure) {
    for (const RowField* f : kValueBoxes) (entry.*f->text).clear();
    if (IsBlank(entry.sku)) return;

    // One record set serves every query of the look-up.
    std::unique_ptr<RecordSet> rsOwner;
    auto recordSet = [&]() -> RecordSet& {
        if (!rsOwner) rsOwner = factory.CreateRecordSet();
        return *rsOwner;
    };

    const QString upcConnect = settings.GetSetting(kRegApp, kRegSec, QStringLiteral("ODBCUPC"), QString());
    bool upcUsable = !IsBlank(upcConnect) && connectTo(recordSet(), upcConnect, StoreDatabase::Upc, failure);

    bool converted = false;
    bool searched = false;  // the UPC search below is already answered
    QString typed;
    QString stockNumber;
    QString preferred;
    if (sierraConvertUpc != 0 && upcUsable) {
        // One round trip asks both questions about the typed text: which stock number a UPC row
        // that carries it names (the conversion), and, for when none does, which UPC rows the
        // typed text has as a stock number (the UPC search). Each part reads exactly the rows its
        // own query gives; when the pair fails, each is asked alone below.
        RecordSet& rs = recordSet();
        typed = entry.sku;
        RecordQuery both{QStringLiteral("upc"), {}, {}, {{QStringLiteral("149"), typed}, {QStringLiteral("1"), typed}}};
        bool firstConversionRow = true, found = false;
        PreferredUpc pick;
        int number = 0;
        const QString problem = RecordSetFailure([&] {
            rs.Open(both);
            int skuColumn = -1;
            const int count = rs.Eof() ? 0 : rs.Fields().Count();
            for (int i = 0; i < count && skuColumn == -1; ++i)
                if (rs.Fields(i).Name() == u"1") skuColumn = i;
            const UpcColumns columns = rs.Eof() ? UpcColumns{} : FindUpcColumns(rs);
            for (; !rs.Eof(); rs.MoveNext()) {
                if (rs.KeyIndex() == 0) {
                    if (!firstConversionRow) continue;  // only the first row converts
                    firstConversionRow = false;
                    const QVariant sku = skuColumn == -1 ? QVariant() : rs.Fields(skuColumn).Value();
                    if (!sku.isNull()) {
                        found = true;
                        stockNumber = sku.toString();
                    }
                } else if (columns.upc != -1) {
                    PickPreferredUpc(pick, valueText(rs.Fields(columns.upc).Value()), valueText(rs.Fields(columns.date).Value()));
                }
            }
        }, &number);
        searched = problem.isEmpty();
        // A database that did not answer in time would only make each part wait again.
        if (number == RecordSetError::TimedOut) {
            failure.note(StoreDatabase::Upc, problem);
            upcUsable = false;
            failure.givenUp << upcConnect;
        }
        closeQuietly(rs);
        if (searched) {
            converted = found;
            preferred = pick.upc;
            if (converted) entry.sku = stockNumber;
        }
    }

    // A scanned UPC becomes the stock number of the first upc row that carries it. A failing
    // conversion query or a row without a stock number counts as "not found".
    if (!searched && sierraConvertUpc != 0 && upcUsable) {
        RecordSet& rs = recordSet();
        typed = entry.sku;
        int number = 0;
        const QString problem = RecordSetFailure([&] {
            rs.Open(KeyQuery(QStringLiteral("upc"), QStringLiteral("149"), typed));
            if (!rs.Eof()) {
                const int count = rs.Fields().Count();
                for (int i = 0; i < count; ++i) {
                    if (rs.Fields(i).Name() != u"1") continue;
                    const QVariant sku = rs.Fields(i).Value();
                    if (!sku.isNull()) {
                        converted = true;
                        stockNumber = sku.toString();
                    }
                    break;
                }
            }
        }, &number);
        // A scanned text the UPC column refuses is no UPC of the table: the look-up goes on with
        // it as a stock number.
        if (!problem.isEmpty() && number != RecordSetError::KeyRefused) {
            converted = false;
            failure.note(StoreDatabase::Upc, problem);
            // A database that failed once (locked, gone) is not asked again in this look-up, so
            // that one scan waits for it once at most.
            upcUsable = false;
            if (number == RecordSetError::TimedOut) failure.givenUp << upcConnect;
        }
        closeQuietly(rs);
        if (converted) entry.sku = stockNumber;
    }

    if (!converted) {
        stockNumber = entry.sku;
        entry.upc.clear();
        if (upcUsable && !searched) {
            QString problem;
            int number = 0;
            preferred = FindPreferredUpc(recordSet(), stockNumber, &problem, &number);
            if (number != RecordSetError::KeyRefused) failure.note(StoreDatabase::Upc, problem);
            if (number == RecordSetError::TimedOut) failure.givenUp << upcConnect;
        }
    }
    entry.upc = converted ? typed : preferred;

    bool filled[kValueBoxCount] = {};
    const QString invConnect = settings.GetSetting(kRegApp, kRegSec, QStringLiteral("ODBCINV"), QString());
    if (!IsBlank(invConnect) && connectTo(recordSet(), invConnect, StoreDatabase::Inventory, failure)) {
        RecordSet& rs = recordSet();
        if (openOnFirst(rs, KeyQuery(QStringLiteral("inv"), QStringLiteral("1"), stockNumber), StoreDatabase::Inventory,
                        failure)) {
            const bool none[kValueBoxCount] = {};
            fillBoxes(entry, rs, none);
            closeQuietly(rs);
        }
    }
    // A box counts as filled by the inventory only when it does not read blank now.
    for (int i = 0; i < kValueBoxCount; ++i) filled[i] = !IsBlank(entry.*kValueBoxes[i]->text);

    const QString cisConnect = settings.GetSetting(kRegApp, kRegSec, QStringLiteral("ODBCCIS"), QString());
    if (!IsBlank(cisConnect) && connectTo(recordSet(), cisConnect, StoreDatabase::Cis, failure)) {
        RecordSet& rs = recordSet();
        if (openOnFirst(rs, KeyQuery(QStringLiteral("special"), QStringLiteral("1"), stockNumber), StoreDatabase::Cis,
                        failure)) {
            fillBoxes(entry, rs, filled);
            closeQuietly(rs);
        }
    }
}

}  // namespace

QString LookupItem(EntryTexts& entry, int sierraConvertUpc, SettingsStore& settings, RecordSetFactory& factory) {
    FirstFailure failure;
    // Whatever failed (a record set that could not even be made) simply contributed nothing.
    const QString problem = RecordSetFailure([&] { lookupSteps(entry, sierraConvertUpc, settings, factory, failure); });
    if (failure.text.isEmpty()) failure.text = problem;
    return failure.text;
}

RecordQuery KeyQuery(const QString& table, const QString& column, const QString& key) { return {table, column, key, {}}; }

QString RecordSetFailure(const std::function<void()>& body, int* number) {
    try {
        body();
        return {};
    } catch (const TagwellError& e) {
        if (number) *number = e.number();
        return QString::number(e.number()) + QStringLiteral(", ") + e.description();
    } catch (const std::exception& e) {
        if (number) *number = RecordSetError::ProviderError;
        return QString::number(RecordSetError::ProviderError) + QStringLiteral(", ") + QString::fromLocal8Bit(e.what());
    }
}

std::int32_t UpcDateKey(const QString& dateText) {
    // MMDDYY -> YYMMDD; characters beyond the end of the text contribute nothing.
    const QString joined = dateText.mid(4, 2) + dateText.mid(0, 2) + dateText.mid(2, 2);
    double key = RoundHalfEven(LeadingNumber(joined));
    if (!std::isfinite(key) || key < std::numeric_limits<std::int32_t>::min() ||
        key > std::numeric_limits<std::int32_t>::max())
        key = 0;  // no date a six-character text could hold
    if (key < 500000) key += 1000000;  // years 00-49 belong to this century
    return static_cast<std::int32_t>(std::min<double>(key, std::numeric_limits<std::int32_t>::max()));
}

void PickPreferredUpc(PreferredUpc& preferred, const QString& upcText, const QString& dateText) {
    const QString candidate = trimSpaces(upcText);
    const std::int32_t key = UpcDateKey(trimSpaces(dateText));
    if (candidate.size() == 12) {
        if (preferred.upc.size() == 12 && key <= preferred.dateKey) return;
        preferred = {candidate, key};
    } else if (preferred.upc.isEmpty()) {
        preferred = {candidate, key};
    }
}

void PickPreferredUpc(PreferredUpc& preferred, RecordSet& rs, int upcColumn, int dateColumn, QString* failure) {
    // A record set that breaks off keeps the choice made so far.
    const QString problem = RecordSetFailure([&] {
        while (!rs.Eof()) {
            const QString upc = valueText(rs.Fields(upcColumn).Value());
            const QString date = valueText(rs.Fields(dateColumn).Value());
            PickPreferredUpc(preferred, upc, date);
            rs.MoveNext();
        }
    });
    if (failure && !problem.isEmpty()) *failure = problem;
}

UpcColumns FindUpcColumns(const RecordSet& rs) {
    UpcColumns columns;  // a table without a date column dates its rows by the first column
    const int count = rs.Fields().Count();
    for (int i = 0; i < count; ++i) {
        const QString name = rs.Fields(i).Name();
        if (name == u"83") columns.date = i;
        else if (name == u"149") columns.upc = i;
    }
    return columns;
}

QString FindPreferredUpc(RecordSet& rs, const QString& stockNumber, QString* failure, int* number) {
    PreferredUpc preferred;
    const QString problem = RecordSetFailure([&] {
        rs.Open(KeyQuery(QStringLiteral("upc"), QStringLiteral("1"), stockNumber));
        if (!rs.Eof()) {
            const UpcColumns columns = FindUpcColumns(rs);
            rs.MoveFirst();
            if (columns.upc != -1) PickPreferredUpc(preferred, rs, columns.upc, columns.date, failure);
        }
    }, number);
    if (!problem.isEmpty()) {
        preferred = {};
        if (failure) *failure = problem;
    }
    closeQuietly(rs);
    return preferred.upc;
}
