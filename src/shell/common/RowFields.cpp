#include "shell/common/RowFields.h"

const RowField* FieldOfKeyword(QStringView keyword) {
    for (const RowField& f : kRowFields)
        if (keyword == QLatin1StringView(f.keyword)) return &f;
    return nullptr;
}

const RowField* FieldOfNumber(int number) {
    for (const RowField& f : kRowFields)
        if (f.number == number) return &f;
    return nullptr;
}
