// The data file reader on a file's bytes: fopen, then every record with every header field, then
// records chosen by number (going back to the first record when needed). The dictionary is a fixed
// small one with the lengths the store's files use.
#include "FuzzSupport.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"

#include <vector>

namespace {
cwDct& dictionary() {
    static cwDct dct = [] {
        cwDct d;
        const struct {
            std::int16_t field, length;
        } fields[] = {{1, 12}, {10, 30}, {11, 15}, {21, 6}, {48, 9}, {65, 4}, {66, 4}, {149, 12}, {0, 40}, {199, 1}};
        for (const auto& f : fields) d.setDLen(f.field, f.length);
        return d;
    }();
    return dct;
}

void readFields(const cwDatFile& dat, const std::vector<std::int16_t>& fields) {
    QString value;
    for (const std::int16_t f : fields) {
        const std::int16_t r = dat.gf(f, value);
        FUZZ_CHECK(r == 0 || r == 1);
        if (r == 1) FUZZ_CHECK(value.trimmed().isEmpty());
        // A value is never longer than its field.
        if (dictionary().dLen(f) >= 0) FUZZ_CHECK(value.size() <= dictionary().dLen(f));
    }
    // A header holds digits only, so it never names a negative field.
    FUZZ_CHECK(dat.gf(-1, value) == -1 && value.isEmpty());
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile scratch(".dat");
    const QString& path =
        scratch.write(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));

    cwDatFile dat;
    const std::int16_t opened = dat.fopen(path, dictionary(), QString(), 0, 0);
    FUZZ_CHECK(opened == 0 || opened == 2 || opened == 3);
    if (opened == 0) {
        std::vector<std::int16_t> fields;
        const std::int16_t count = dat.GetFieldList(fields);
        FUZZ_CHECK(count == dat.fieldCount() && fields.size() > static_cast<std::size_t>(count) && fields[count] == -1);
        fields.resize(static_cast<std::size_t>(count));

        std::int32_t records = 0;
        while (records < 4096 && dat.gr()) {
            ++records;
            FUZZ_CHECK(dat.lineNumber() == records);
            readFields(dat, fields);
        }
        // Records by number: the last one, the first one, one past the end.
        for (const std::int32_t line : {records, std::int32_t{1}, records + 1, std::int32_t{2}}) {
            if (line < 1) continue;
            const bool got = dat.gr(line);
            FUZZ_CHECK(got == (line <= records) || records == 4096);
            if (got) readFields(dat, fields);
        }
    }
    dat.fclose();
    return 0;
}
