#include "platform/RecordSet.h"

#include "platform/TagwellError.h"

namespace {
[[noreturn]] void throwItemNotFound() {
    throw TagwellError(RecordSetError::ItemNotFound,
                       QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal."));
}
}  // namespace

QString Field::Name() const { return owner_.fieldName(position_); }

QVariant Field::Value() const { return owner_.fieldValue(position_); }

int FieldList::Count() const { return owner_.fieldCount(); }

Field RecordSet::Fields(int position) const {
    if (position < 0 || position >= fieldCount()) throwItemNotFound();
    return Field(*this, position);
}

Field RecordSet::Fields(const QString& name) const {
    const int position = fieldIndex(name);
    if (position < 0) throwItemNotFound();
    return Field(*this, position);
}

void closeQuietly(RecordSet& rs) noexcept {
    try {
        rs.Close();
    } catch (const TagwellError&) {
    } catch (const std::exception&) {
    }
}
