// check: the IT person's one look at everything Tagwell depends on, one line per part, nothing
// written (the settings file stays as it is, no database is created, no port or file is opened for
// writing).
#include "cli/CliArguments.h"
#include "cli/CliCommands.h"
#include "cli/ConsoleServices.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "lookup/ConnectionCommands.h"
#include "lookup/ItemLookup.h"
#include "output/LabelCheck.h"
#include "output/LabelFormat.h"
#include "platform/FileAccess.h"
#include "output/MeasuringPrinter.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/qt/QtPrintQueues.h"
#include "platform/qt/QtPrinter.h"
#include "platform/qt/QtSerialPort.h"
#include "platform/RecordSet.h"
#include "platform/TagwellError.h"
#include "output/TracingPrinter.h"
#include "shell/common/Common.h"
#include "shell/common/PrintTargets.h"
#include "shell/common/ProgramOptions.h"
#include "shell/common/RowFields.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <array>

namespace {

// The item drawn on every label format when none is given: values as wide as a store's usually
// get, a four-digit price with its cents and a UPC, so that every element of the format is drawn.
EntryTexts demoItem() {
    return {QStringLiteral("100260"), QStringLiteral("HIL-82747"), QStringLiteral("WOOD SCREW #6 X 1-1/4IN ZINC 100PK"),
            QStringLiteral("K12-5"),  QStringLiteral("1234.99"),   QStringLiteral("10"),
            QStringLiteral("25"),     QStringLiteral("030699707638")};
}

class Report {
public:
    explicit Report(QTextStream& out) : out_(out) {}
    void line(bool ok, const QString& what, const QString& detail) {
        out_ << (ok ? "OK    " : "FAIL  ") << what << ": " << detail << '\n';
        failed_ = failed_ || !ok;
    }
    bool failed() const { return failed_; }

private:
    QTextStream& out_;
    bool failed_ = false;
};

QString errorText(const TagwellError& e) { return QStringLiteral("%1, %2").arg(e.number()).arg(e.description()); }


void checkDatabase(Report& report, OverlaySettingsStore& settings, RecordSetFactory& factory, StoreDatabase database,
                   const QString& name, const QString& key, const QString& table, bool optional) {
    const QString what = name + QStringLiteral(" database");
    const QString connect = settings.GetSetting(kRegApp, kRegSec, key, QString());
    if (IsBlank(connect)) {
        report.line(optional, what, optional ? QStringLiteral("not set (optional)")
                                             : QStringLiteral("not set to an ODBC data source (%1)").arg(key));
        return;
    }
    std::unique_ptr<RecordSet> rs = factory.CreateRecordSet();
    try {
        rs->setActiveConnection(connect);
    } catch (const TagwellError& e) {
        report.line(false, what, QStringLiteral("does not connect: ") + errorText(e));
        return;
    }
    const QString keyFailure = TestKeyQueries(database, connect, factory);
    if (!keyFailure.isEmpty()) {
        report.line(false, what, QStringLiteral("connects; the key queries fail: ") + keyFailure);
        return;
    }
    // The items are counted by walking the whole table, the one query besides the key queries
    // that the record-set layer sends.
    try {
        rs->Open(RecordQuery{table, QString(), QString(), {}});
        qlonglong items = 0;
        for (; !rs->Eof(); rs->MoveNext()) ++items;
        rs->Close();
        report.line(true, what, QStringLiteral("connects; key queries run; %1 items in %2").arg(items).arg(table));
    } catch (const TagwellError& e) {
        rs->Close();
        report.line(false, what, QStringLiteral("connects; key queries run; items cannot be counted: ") + errorText(e));
    }
}

// `printable`: the area the target's printer prints, when it is known (the Dymo queue's label).
void checkFormat(Report& report, Printer& device, const EntryTexts& item, const PrintTarget& target, const QString& path,
                 bool inUse, const QString& printer, QSizeF printable) {
    const QString what = QString::fromLatin1(target.name) + QStringLiteral(" format");
    if (IsBlank(path)) {
        report.line(!inUse, what, inUse ? QStringLiteral("not set, and the print target needs it")
                                        : QStringLiteral("not set (not the print target's)"));
        return;
    }
    // Read as the printing reads it: a pipe, a device or a file beyond the bound named by mistake
    // is refused, not waited on.
    QString why;
    const std::optional<QByteArray> read = ReadWholeFile(path, FileBound::LabelFormat, &why);
    if (!read) {
        report.line(false, what + u' ' + path, QStringLiteral("does not open: ") + why);
        return;
    }
    const QByteArray& bytes = *read;
    // A dictionary, a data file or a picture named by mistake would print nothing sensible.
    const FormatLines lines = ReadFormatLines(bytes);
    if (lines.notAFormat()) {
        report.line(false, what + u' ' + path,
                    QStringLiteral("not a label format: %1 of %2 lines are not elements, the first: %3")
                        .arg(lines.others.size())
                        .arg(lines.others.size() + lines.elements)
                        .arg(lines.others.mid(0, 3).join(QStringLiteral("; "))));
        return;
    }

    LabelGrid grid;
    grid.setRows(2);
    for (const RowField& f : kRowFields) grid.setTextMatrix(1, f.column, item.*f.text);
    QStringList trace;
    MeasuringPrinter measuring(device);
    TracingPrinter tracing(measuring, [&trace](const QString& line) { trace << line; });
    LabelFormat::parse(bytes).draw(tracing, grid, 1, 0, 0);

    const LabelArea area = LabelAreaFor(target.code);
    const LabelArea prints{static_cast<int>(printable.width()), static_cast<int>(printable.height())};
    const QStringList problems = TextOverflows(trace, area) + SmallUpcSymbols(trace) +
                                 (printable.isEmpty() ? QStringList() : OutsidePrintable(trace, prints));
    QString detail = QStringLiteral("opens; %1 elements").arg(lines.elements + lines.others.size());
    if (problems.isEmpty()) {
        detail += QStringLiteral("; every text of item %1 inside the %2 x %3 twips label").arg(item.sku).arg(area.width).arg(area.height);
        if (!printable.isEmpty())
            detail += QStringLiteral(", every element inside the %1 x %2 twips the printer \"%3\" prints of it")
                          .arg(prints.width)
                          .arg(prints.height)
                          .arg(printer);
        for (const QString& line : trace)
            if (line.startsWith(QLatin1String("BARCODE\t")))
                detail += QStringLiteral("; UPC symbol %1 twips wide").arg(line.section(u'\t', 3, 3));
    } else {
        detail += QStringLiteral("; item %1: ").arg(item.sku) + problems.join(QStringLiteral("; "));
    }
    report.line(problems.isEmpty(), what + u' ' + path, detail);
}

QString queueText(const QString& name, const PrintQueueStatus& s) {
    return QStringLiteral("printer \"%1\" %2, %3, %4 (%5)")
        .arg(name, s.present ? QStringLiteral("present") : QStringLiteral("not installed"),
             s.isDefault ? QStringLiteral("default") : QStringLiteral("not the default"),
             s.accepting ? QStringLiteral("accepting jobs") : QStringLiteral("not accepting jobs"), s.state);
}

// `fileOnPurpose`: the device was given with --device, where a plain file takes the byte stream.
void checkSierra(Report& report, const ProgramOptions& options, const PrintTarget& target, OverlaySettingsStore& settings,
                 bool fileOnPurpose) {
    QtSerialPort port(settings);
    QString refused;
    try {
        port.setCommPort(options.SierraPort);
        port.setSettings(options.SierraSettings);
    } catch (const TagwellError& e) {
        refused = e.description();
    }
    QStringList problems, facts;
    if (!refused.isEmpty()) problems << QStringLiteral("port %1 at \"%2\": %3").arg(options.SierraPort).arg(options.SierraSettings, refused);
    const QString device = port.DevicePath();
    if (QtSerialPort::IsSerialDevicePath(device)) {
        // Opened for reading only and closed at once: nothing reaches the printer.
        QSerialPort serial;
        serial.setPortName(device);
        if (serial.open(QIODevice::ReadOnly)) {
            facts << QStringLiteral("serial device %1 present and free").arg(device);
            serial.close();
        } else {
            problems << QStringLiteral("serial device %1: %2").arg(device, serial.errorString());
        }
    } else if (QFileInfo(device).isDir()) {
        problems << QStringLiteral("%1 is a folder, not a device").arg(device);
    } else if (!fileOnPurpose) {
        // A port mapped to a plain file by mistake would fill it instead of printing.
        problems << QStringLiteral("%1 is %2 a device (give it with --device to send the labels into a file)")
                        .arg(device, QFileInfo::exists(device) ? QStringLiteral("a plain file, not") : QStringLiteral("not"));
    } else {
        const QFileInfo info(device);
        const QFileInfo folder(info.absolutePath());
        if ((info.exists() && info.isWritable()) || (!info.exists() && folder.isDir() && folder.isWritable()))
            facts << QStringLiteral("file %1 writable").arg(device);
        else
            problems << QStringLiteral("file %1 cannot be written").arg(device);
    }
    for (const auto& [label, path] : {std::pair(QStringLiteral("format"), options.SierraFormat),
                                      std::pair(QStringLiteral("font file"), options.SierraFont)}) {
        QFile f;
        QString why;
        if (IsBlank(path)) problems << label + QStringLiteral(" not set");
        else if (!OpenForReading(f, path, FileBound::SierraFont, &why)) problems << QStringLiteral("%1 %2: %3").arg(label, path, why);
        else facts << QStringLiteral("%1 %2 opens").arg(label, path);
    }
    report.line(problems.isEmpty(),
                QStringLiteral("print target %1 on port %2").arg(QString::fromLatin1(target.name)).arg(options.SierraPort),
                (problems + facts).join(QStringLiteral("; ")));
}

void checkPrinter(Report& report, const ProgramOptions& options, const PrintTarget& target, const QString& laserPrinter) {
    const QString what = QStringLiteral("print target ") + QString::fromLatin1(target.name);
    if (target.driver == PrintDriver::Dymo) {
        const QString name = options.SierraDymoDeviceName;
        const PrintQueueStatus s = QueryPrintQueue(name);
        // A Dymo printer that is not installed sends its labels to the current printer instead.
        report.line(s.present && s.accepting, what, queueText(name, s));
        return;
    }
    const QString name = laserPrinter.isEmpty() ? DefaultPrintQueue() : laserPrinter;
    if (name.isEmpty()) {
        report.line(false, what, QStringLiteral("no default printer; the labels would go to a PDF file"));
        return;
    }
    const PrintQueueStatus s = QueryPrintQueue(name);
    report.line(s.present && s.accepting, what, queueText(name, s));
}

}  // namespace

int RunCheck(const ParsedArguments& args, CliContext& cx) {
    const auto opt = [](const char* name) { return QString::fromLatin1(name); };
    ApplySharedOverrides(args, cx.settings);
    OverlaySettingsStore& store = cx.settings;
    if (args.has(opt("target")))
        store.setOverride(opt("SierraPrint"), QString::number(CliChoice(args, opt("target"), PrintTargetCodes())));
    if (args.has(opt("fa1"))) store.setOverride(opt("SierraFormat1"), args.value(opt("fa1")));
    if (args.has(opt("fa3"))) store.setOverride(opt("SierraFormat3"), args.value(opt("fa3")));
    if (args.has(opt("fa4"))) store.setOverride(opt("SierraFormat4"), args.value(opt("fa4")));
    if (args.has(opt("port"))) store.setOverride(opt("SierraPort"), QString::number(CliWholeNumber(args, opt("port"), 1, 32767)));
    ProgramOptions options;
    options.load(store);
    if (args.has(opt("device"))) store.setOverride(QStringLiteral("COM%1").arg(options.SierraPort), args.value(opt("device")));
    if (args.has(opt("printer")) && options.SierraPrint == 1) options.SierraDymoDeviceName = args.value(opt("printer"));
    const PrintTarget& target = PrintTargetFor(options.SierraPrint);

    // Every connection of the check, the look-up of --item included, finds a missing database file
    // missing rather than making it.
    for (const char* key : {"ODBCUPC", "ODBCINV", "ODBCCIS"}) {
        const QString connect = store.GetSetting(kRegApp, kRegSec, opt(key), QString());
        if (!IsBlank(connect)) store.setOverride(opt(key), connect.trimmed());
    }
    Report report(cx.out);

    const QString dictPath = store.GetSetting(kRegApp, kRegSec, QString::fromLatin1(kDictionaryKey), QString());
    cwDct dct;
    const int setup = dct.setup(dictPath, QStringLiteral("INV"), 99);
    int fields = 0;
    for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f)
        if (dct.dLen(f) > 0) ++fields;
    const QString dictWhat = QStringLiteral("dictionary ") + (IsBlank(dictPath) ? QStringLiteral("(not set)") : dictPath);
    if (setup == 0) {
        const bool block = dct.setupms(dictPath, true) == 0;
        report.line(true, dictWhat, QStringLiteral("read; %1 fields found%2").arg(fields).arg(block ? QString() : QStringLiteral("; no master/store block")));
    } else {
        report.line(false, dictWhat, setup == 1 ? QStringLiteral("cannot be read") + (IsBlank(dictPath) ? QString() : QStringLiteral(": ") + dct.readError()) : QStringLiteral("no fields found"));
    }

    QtOdbcRecordSetFactory recordSets;
    checkDatabase(report, store, recordSets, StoreDatabase::Upc, QStringLiteral("UPC"), QStringLiteral("ODBCUPC"), QStringLiteral("upc"), false);
    checkDatabase(report, store, recordSets, StoreDatabase::Inventory, QStringLiteral("inventory"), QStringLiteral("ODBCINV"), QStringLiteral("inv"), false);
    checkDatabase(report, store, recordSets, StoreDatabase::Cis, QStringLiteral("CIS"), QStringLiteral("ODBCCIS"), QStringLiteral("special"), true);

    EntryTexts item = demoItem();
    if (args.has(opt("item"))) {
        EntryTexts found;
        found.sku = args.value(opt("item"));
        LookupItem(found, options.SierraConvertUpc, store, recordSets);
        const bool known = !IsBlank(found.desc) || !IsBlank(found.retail) || !IsBlank(found.upc);
        report.line(known, QStringLiteral("item ") + args.value(opt("item")),
                    known ? QStringLiteral("found: ") + found.desc.trimmed() : QStringLiteral("not found in the databases"));
        if (known) item = found;
        // The symbol's size is checked also when the item has no UPC of its own.
        if (IsBlank(item.upc)) item.upc = demoItem().upc;
    }

    QtPrinter device(cx.dialogs);
    if (target.driver == PrintDriver::Laser) {
        const qsizetype index = device.Printers().indexOf(args.value(opt("printer")));
        if (args.has(opt("printer")) && index >= 0) device.setPrinter(static_cast<int>(index));
    }
    // What the Dymo queue prints of its label, turned to landscape as the labels are.
    const QString& dymo = options.SierraDymoDeviceName;
    const QSizeF dymoPrints = device.printableTwips(dymo, PrinterOrientation::Landscape);
    for (const PrintTarget& t : kPrintTargets)
        if (t.driver != PrintDriver::Sierra)
            checkFormat(report, device, item, t, options.*t.format, &t == &target, dymo, t.driver == PrintDriver::Dymo ? dymoPrints : QSizeF());

    if (target.driver == PrintDriver::Sierra) checkSierra(report, options, target, store, args.has(opt("device")));
    else checkPrinter(report, options, target, args.value(opt("printer")));

    cx.out.flush();
    return report.failed() ? CliExit::Failed : CliExit::Ok;
}
