#pragma once
// The fields of a label row, written down once. Every layer that names a field (the grid and its
// headers, the entry boxes, the look-up, the import and the export, the format files, the Sierra
// Sport template, the command line) reads this table instead of spelling the fields out again.
#include <QString>
#include <QStringView>

#include <array>
#include <cstddef>
#include <cstdint>

// Column numbers of the label grid: 0 holds the row number, 1..8 the fields of a label row.
namespace GridCol {
constexpr int Number = 0, Sku = 1, Mfn = 2, Desc = 3, Loc = 4, Retail = 5, Om = 6, Pk = 7, Upc = 8;
}

// The texts of one label row: what the entry boxes hold, what the look-up fills in.
struct RowTexts {
    QString sku, mfn, desc, loc, retail, om, pk, upc;
};

struct RowField {
    int column;            // the grid column (GridCol)
    std::int16_t number;   // the field number: the column name in the store's databases, the
                           // header entry of a data file and the "=code" of a Sierra template
    const char* header;    // the grid's header text in row 0
    const char* box;       // the entry box of the main window
    const char* keyword;   // the format-file keyword that draws the value
    const char* jsonName;  // the key of the value in the command line's JSON
    int exportPosition;    // 1-based place in the export file's header and lines
    bool fromInventory;    // an item value: the look-up fills it from the inventory (then the CIS
                           // table); the import takes it from the inventory when the file has none
    int initialWidth;      // width in twips set at start-up; 0 keeps the grid's default
    bool leftAligned;      // aligned left-top from start-up on; else the grid's general alignment
    QString RowTexts::*text;
};

// In grid column order.
inline constexpr std::array<RowField, 8> kRowFields = {{
    {GridCol::Sku, 1, "sku", "txtSku", "SKU", "sku", 1, false, 1000, true, &RowTexts::sku},
    {GridCol::Mfn, 11, "mfn", "txtMfn", "MFN", "mfn", 3, true, 1500, true, &RowTexts::mfn},
    {GridCol::Desc, 10, "description", "txtDesc", "DESC", "desc", 2, true, 5000, true, &RowTexts::desc},
    {GridCol::Loc, 21, "loc", "txtLoc", "LOC", "loc", 4, true, 0, false, &RowTexts::loc},
    {GridCol::Retail, 48, "retail", "txtRetail", "RTL", "retail", 5, true, 0, false, &RowTexts::retail},
    {GridCol::Om, 66, "om", "txtOm", "OM", "om", 7, true, 0, false, &RowTexts::om},
    {GridCol::Pk, 65, "pk", "txtPk", "PK", "pk", 6, true, 0, false, &RowTexts::pk},
    {GridCol::Upc, 149, "upc", "txtUpc", "UPC", "upc", 8, false, 1500, true, &RowTexts::upc},
}};

namespace RowFieldsDetail {
constexpr bool columnsInOrder() {
    for (std::size_t i = 0; i < kRowFields.size(); ++i)
        if (kRowFields[i].column != static_cast<int>(i) + 1) return false;
    return true;
}
constexpr std::array<const RowField*, kRowFields.size()> exportOrder() {
    std::array<const RowField*, kRowFields.size()> order{};
    for (const RowField& f : kRowFields) order[static_cast<std::size_t>(f.exportPosition - 1)] = &f;
    return order;
}
}  // namespace RowFieldsDetail
static_assert(RowFieldsDetail::columnsInOrder(), "kRowFields[i] is grid column i + 1");

// The fields in the order of the export file's header (ascending field numbers).
inline constexpr std::array<const RowField*, kRowFields.size()> kExportFields = RowFieldsDetail::exportOrder();

// The field of grid column 1..8.
inline const RowField& FieldOfColumn(int column) { return kRowFields[static_cast<std::size_t>(column - 1)]; }

// The field that a format-file keyword (upper case) or a field number names; null for none.
const RowField* FieldOfKeyword(QStringView keyword);
const RowField* FieldOfNumber(int number);

// The field number as the text the databases use for the column's name ("48").
inline QString FieldName(const RowField& field) { return QString::number(field.number); }
