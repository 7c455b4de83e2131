// The Sierra Sport merge on a format template's bytes and one row of cell texts: every line merged
// on its own, then whole labels sent to a fake port, once whole and once with the port failing
// half-way (the caption must come back and the fonts must be sent again after a failure in them).
#include "FakeSerialPort.h"
#include "FuzzSupport.h"
#include "grid/LabelGrid.h"
#include "output/SierraPrinter.h"
#include "shell/common/Outcome.h"
#include "shell/common/ProgramOptions.h"

namespace {
class FakeCaption : public WindowCaption {
public:
    QString Caption() const override { return caption; }
    void setCaption(const QString& c) override { caption = c; }
    QString caption = QStringLiteral("Tagwell");
};

QByteArray trimSpaces(const QByteArray& bytes) {
    qsizetype from = 0, to = bytes.size();
    while (from < to && bytes[from] == ' ') ++from;
    while (to > from && bytes[to - 1] == ' ') --to;
    return bytes.mid(from, to - from);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchFile scratch(".fab");
    static SilentDialogs dialogs;
    const FileAndRow input = SplitFileAndRow(data, size);

    LabelGrid grid;
    FillRowOne(grid, input.cells);

    const QList<QByteArray> lines = SplitTextLines(input.file);
    qsizetype lineBytes = 0;
    for (const QByteArray& line : lines) {
        FUZZ_CHECK(!line.contains('\r'));
        lineBytes += line.size();
        const QByteArray out = MergeSierraLine(line, grid, 1);
        // A line without a placeholder goes out as written, without its outer spaces.
        if (!line.contains("\"=")) FUZZ_CHECK(out == trimSpaces(line));
    }

    // The template doubles as the font file, so both paths read these bytes.
    ProgramOptions options;
    options.SierraFormat = scratch.write(input.file);
    options.SierraFont = options.SierraFormat;

    for (const int failAfter : {-1, static_cast<int>(input.file.size() / 2)}) {
        FakeSerialPort port;
        port.failOutputAfterBytes = failAfter;
        port.setPortOpen(true);
        FakeCaption caption;
        SierraPrinter printer(grid, options, port, dialogs, caption);
        bool failed = false;
        Outcome outcome;
        try {
            printer.PrintSierraLabel(1, outcome);
        } catch (const TagwellError& e) {
            failed = true;
            FUZZ_CHECK(e.number() == ErrorNumber::DeviceIo);
        }
        FUZZ_CHECK(caption.caption == QStringLiteral("Tagwell"));
        FUZZ_CHECK(!failed || failAfter >= 0);
        if (!failed && !grid.TextMatrix(1, GridCol::Sku).trimmed().isEmpty()) FUZZ_CHECK(printer.FontsLoaded());
        // A failure while the fonts went out means they go out whole with the next label.
        if (failed) FUZZ_CHECK(printer.FontsLoaded() == (lineBytes <= failAfter));
    }
    return 0;
}
