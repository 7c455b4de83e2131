// The grid's row commands kept as data: each folder of tests/data/grid holds a `script` of steps on a
// grid with no window (the entry boxes are plain texts), and `grid.txt` what each `show` saw. Steps:
//   start <printer> [single]   start-up for a printer: caption, sheet size, one empty sheet
//   printer <n> [single]       the options change; `apply` applies the print target
//   rows <n> | row <n> | top <n>   the grid's size, current row, top row set as code sets them
//   label <row> <sku> | labels <from> <to> <prefix>   rows filled: the sku, then "<sku>-<column>"
//   box <col> <text> | selrow <text>   what the clerk typed into an entry box
//   insert, copy, delete, save, store, enter, clear-sku, clear-grid, may-grow   the commands
//   append <cell>|<cell>|...   a row added in one step, with what a view attached to the grid hears
//   show [<from> <to>]         the state, the messages since, and the rows (all rows with a label, or
//                              the rows from..to whatever they hold)
#include "GoldenCases.h"
#include "ScriptedDialogs.h"
#include "grid/GridCommands.h"
#include "grid/LabelGrid.h"
#include "shell/common/ProgramOptions.h"

namespace {

struct Host : EntryHost {
    QString boxes[9], selRow = QStringLiteral("1"), caption;
    QString entryText(int col) const override { return boxes[col]; }
    void setEntryText(int col, const QString& t) override { boxes[col] = t; }
    QString selRowText() const override { return selRow; }
    void setSelRowText(const QString& t) override { selRow = t; }
    void focusSku(bool) override {}
    void showWindow() override {}
    void setPrintCaption(const QString& c) override { caption = c; }
};

GOLDEN_CASES(GridCases, "grid");

TEST_P(GridCases, RowCommands) {
    LabelGrid grid;
    Host host;
    ProgramOptions options;
    ScriptedDialogs dialogs;
    GridCommands cmd{grid, host, options};
    QObject::connect(&grid, &LabelGrid::RowColChange, [&] { cmd.RowColChange(); });
    QObject::connect(&grid, &LabelGrid::SelChange, [&] { cmd.SelChange(); });
    QString out;
    const auto cells = [&](int r) {
        QStringList texts;
        for (int col = 0; col <= 8; ++col) texts << grid.TextMatrix(r, col);
        return texts;
    };
    for (const QString& line : c.lines(QStringLiteral("script"))) {
        out += u'>' + line + u'\n';
        const QStringList w = line.split(u' ');
        const int n = w.value(1).toInt(), m = w.value(2).toInt();
        const QString& op = w[0];
        if (op == u"start" || op == u"printer") {
            options.SierraPrint = static_cast<std::int16_t>(n);
            options.SierraSingleSheet = static_cast<std::int16_t>(m);
            if (op == u"start") {
                cmd.ApplyPrintTarget();
                cmd.ResetGrid();
            }
        } else if (op == u"apply") { cmd.ApplyPrintTarget();
        } else if (op == u"rows") { grid.setRows(n);
        } else if (op == u"row") { grid.setRow(n);
        } else if (op == u"top") { grid.setTopRow(n);
        } else if (op == u"label" || op == u"labels") {
            for (int r = n; r <= (op == u"label" ? n : m); ++r) {
                const QString sku = op == u"label" ? line.section(u' ', 2) : w.value(3) + QString::number(r);
                for (int col = 1; col <= 8; ++col) grid.setTextMatrix(r, col, col == 1 || sku.isEmpty() ? sku : sku + u'-' + QString::number(col));
            }
        } else if (op == u"box") { host.boxes[n] = line.section(u' ', 2);
        } else if (op == u"selrow") { host.selRow = line.section(u' ', 1);
        } else if (op == u"insert") { dialogs.show(cmd.InsertRow());
        } else if (op == u"copy") { dialogs.show(cmd.CopyRow());
        } else if (op == u"delete") { cmd.DeleteRow();
        } else if (op == u"save") { cmd.SaveRow();
        } else if (op == u"store") { cmd.StoreEntryRow();
        } else if (op == u"enter") { dialogs.show(cmd.SkuEnter());
        } else if (op == u"clear-sku") { cmd.ClearSku();
        } else if (op == u"clear-grid") { cmd.ClearGrid();
        } else if (op == u"may-grow") { out += cmd.GridMayGrow() ? QStringLiteral("may grow\n") : QStringLiteral("may not grow\n");
        } else if (op == u"append") {
            const QStringList texts = line.section(u' ', 1).split(u'|');
            // Data rows are model rows from 0: grid row r is model row r - 1.
            const auto a = QObject::connect(&grid, &QAbstractItemModel::rowsInserted, [&](const QModelIndex&, int first, int last) {
                out += QStringLiteral("heard rows %1-%2 inserted: %3 rows, sku %4\n").arg(first).arg(last).arg(grid.Rows()).arg(grid.TextMatrix(first + 1, 1));
            });
            const auto b = QObject::connect(&grid, &QAbstractItemModel::dataChanged, [&] { out += QStringLiteral("heard data changed\n"); });
            const auto h = QObject::connect(&grid, &QAbstractItemModel::headerDataChanged, [&] { out += QStringLiteral("heard header changed\n"); });
            grid.appendRow(std::span<const QString>(texts.constData(), static_cast<size_t>(texts.size())));
            for (const auto& conn : {a, b, h}) QObject::disconnect(conn);
            out += QStringLiteral("header: ") + grid.headerData(grid.Rows() - 2, Qt::Vertical, Qt::DisplayRole).toString() + u'\n';
        } else if (op == u"show") {
            out += QStringLiteral("caption=%1 perSheet=%2 rows=%3 row=%4 top=%5 sel=%6/%7 selRow=%8 boxes=")
                       .arg(host.caption).arg(cmd.LabelsPerSheet).arg(grid.Rows()).arg(grid.Row()).arg(grid.TopRow())
                       .arg(grid.RowSel()).arg(grid.ColSel()).arg(host.selRow);
            out += QStringList(std::begin(host.boxes) + 1, std::end(host.boxes)).join(u'|') + u'\n';
            for (const QString& l : dialogs.take()) out += l + u'\n';
            for (int r = w.size() > 1 ? n : 0; r <= (w.size() > 1 ? m : grid.Rows() - 1); ++r)
                if (w.size() > 1 || (r > 0 && !cells(r).mid(1).join(QString()).isEmpty())) out += cells(r).join(u'|') + u'\n';
        } else {
            ADD_FAILURE() << "unknown step " << line.toStdString();
        }
    }
    c.expect(QStringLiteral("grid.txt"), out.toUtf8());
}

}  // namespace
