// The demo store's three label formats drawn with every item of the demo database, measured on
// the printer's real fonts: no text may cross its label's border, no symbol be too small to scan.
#include "output/OutputTestSupport.h"
#include "output/LabelCheck.h"
#include "output/LabelFormat.h"
#include "output/MeasuringPrinter.h"
#include "platform/qt/QtPrinter.h"

#include <QRegularExpression>

namespace {

QByteArray demoFile(const char* name) {
    QFile f(QStringLiteral(TAGWELL_SOURCE_DIR "/demo/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// The inventory and special-order rows of the demo database: sku, description, mfn, location,
// retail, om, pk as its script inserts them.
std::vector<QStringList> demoItems() {
    static const QRegularExpression row(QStringLiteral(
        R"(^\s*\(('(?:[^']|'')*'), ('(?:[^']|'')*'), ('(?:[^']|'')*'), ('(?:[^']|'')*'), ('(?:[^']|'')*'), ('(?:[^']|'')*'), ('(?:[^']|'')*')\),?;?$)"));
    std::vector<QStringList> items;
    for (const QString& line : QString::fromUtf8(demoFile("demo-store.sql")).split(u'\n')) {
        const auto m = row.match(line);
        if (!m.hasMatch()) continue;
        QStringList values;
        for (int i = 1; i <= 7; ++i) values << m.captured(i).mid(1).chopped(1).replace(QStringLiteral("''"), QStringLiteral("'"));
        items.push_back(values);
    }
    return items;
}

TEST(DemoSheets, EveryTextOfEveryDemoItemStaysInsideItsLabel) {
    const std::vector<QStringList> items = demoItems();
    ASSERT_GT(items.size(), 250u);

    ScriptedDialogs dialogs;
    QtPrinter device(dialogs);
    // Label sizes in twips: a laser label is its sheet's pitch, the Dymo 30252 label 3.5 x 1.125 in,
    // of which a LabelWriter 450 prints 4622 x 1435 (its PPD's printable area, turned to landscape).
    // A sheet's first and last label (with the default offsets) lie whole on the PDF printer's page,
    // Letter less 9 points all round: 11880 x 15480 twips.
    const struct { const char* format; int width, height; LabelArea printable; QList<QPoint> onPage; } sheets[] = {
        {"demo.fa3", 3960, 1440, {}, {{110, -200}, {8030, 12760}}},
        {"demo.fa4", 3060, 1800, {}, {{0, -100}, {9180, 12500}}},
        {"demo.fa1", 5040, 1620, {4622, 1435}, {}}};
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(sheet.format);
        const LabelFormat format = LabelFormat::parse(demoFile(sheet.format));
        QStringList trace;
        MeasuringPrinter measuring(device);
        TracingPrinter tracing(measuring, [&trace](const QString& line) { trace << line; });
        LabelGrid grid;
        for (const QStringList& item : items) {
            setRow(grid, 1, {item[0], item[2], item[1], item[3], item[4], item[5], item[6], "030699707638"});
            trace.clear();
            format.draw(tracing, grid, 1, 0, 0);
            SCOPED_TRACE(item.join(u',').toStdString());
            EXPECT_GE(trace.filter(QRegularExpression(QStringLiteral("^TEXT\t"))).size(), 3);
            // Inside the label's edge, or inside the frame the format draws on it.
            EXPECT_EQ(TextOverflows(trace, LabelArea{sheet.width, sheet.height}), QStringList());
            EXPECT_EQ(SmallUpcSymbols(trace), QStringList());
            if (sheet.printable.width > 0) { EXPECT_EQ(OutsidePrintable(trace, sheet.printable), QStringList()); }
            for (const QPoint origin : sheet.onPage) {
                trace.clear();
                format.draw(tracing, grid, 1, origin.x(), origin.y());
                EXPECT_EQ(OutsidePrintable(trace, LabelArea{11880, 15480}), QStringList()) << origin.x() << ", " << origin.y();
            }
        }
    }
}

}  // namespace
