// The label format interpreter on a format file's bytes and one row of cell texts, drawn into the
// recording printer at two label origins: the top left of a sheet and one near the end of the
// 16-bit range, where positions overflow.
#include "FuzzSupport.h"
#include "grid/LabelGrid.h"
#include "output/LabelFormat.h"
#include "output/RecordingPrinter.h"

#include <QBuffer>

namespace {
void checkTrace(const QStringList& lines) {
    for (const QString& line : lines) {
        const QStringList f = line.split(u'\t');
        FUZZ_CHECK(!f.isEmpty());
        if (f[0] == u"TEXT") {
            FUZZ_CHECK(f.size() >= 8);
            FUZZ_CHECK(f[4].toDouble() >= 1);  // no printer takes a size below one point
            const int y = f[2].toInt();
            FUZZ_CHECK(y >= -32768 && y <= 32767);
        } else if (f[0] == u"LINE") {
            FUZZ_CHECK(f.size() >= 7 && f[5].toInt() >= 1);
            for (int i = 1; i <= 4; ++i) FUZZ_CHECK(f[i].toInt() >= -32768 && f[i].toInt() <= 32767);
        } else if (f[0] == u"BARCODE") {
            // Only a twelve-character UPC is drawn, with its check digit put right.
            FUZZ_CHECK(f.size() >= 6 && f[5].size() == 12);
            FUZZ_CHECK(f[3].toInt() >= 1 && f[4].toInt() >= 1);
        }
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const FileAndRow input = SplitFileAndRow(data, size);

    LabelGrid grid;
    FillRowOne(grid, input.cells);

    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{32000, 32700}, std::pair{-32000, -100}}) {
        QByteArray bytes = input.file;
        QBuffer file(&bytes);
        FUZZ_CHECK(file.open(QIODevice::ReadOnly));
        RecordingPrinter printer;
        DrawLabelFormat(file, printer, grid, 1, x, y);
        checkTrace(printer.lines());
    }
    return 0;
}
