// Dictionaries, data files, import and export kept as data: each folder of tests/data/datafiles holds
// its input files and a `script`; the runner writes what every step read, asked, showed and wrote
// into `run.txt`. A file name is the case's own file when the case has it, else one in a private
// temporary folder ("fs/<name>" on a small private tmpfs). Texts take \r \n \t \0 \xNN escapes.
//   write <name> <text> | mkdir <name> | readonly <name> | writable <name> | numbers <name> <count>
//   tmpfs | fill-disk | device <name> full|zero | fifo <name> | huge <name> | reader <name> | drain
//   show <name>                           what is at the name: the bytes of a file, or what else it is
//   dictionary <name> [level]             the definitions read, and the master/store block both ways
//   lengths <field> <len> ...             dictionary lengths for data files (every field starts at 40)
//   open <name> | records [<field> ...] | read <n> ... | close   a data file read record by record
//   readers <name>                        every reader of the program offered the same name
//   remember <key> <value> | remember-path <key> <name> | fail-writes | answer <file>|cancel|ok   settings and dialog answers
//   dictionary-command | dictionary-startup
//   store <name> <script>                 an SQLite database built from an SQL script; "@name" in a setting
//   use-dictionary <name>|none            the dictionary of the import (none: no field has a length)
//   grid <rows> | fill <rows> (numbered texts) | sheet <n> | drop-at <call> | batch <records> | cell <row> <col> <text> | label <row> <c1>|<c2>|...
//   import <name>|cancel [price-change] | rows [<from> <to>] | export <name>|cancel
#include "GoldenCases.h"
#include "MemorySettingsStore.h"
#include "PrivateDevices.h"
#include "ScriptedDialogs.h"
#include "StoreDatabases.h"
#include "datafiles/DictionaryFile.h"
#include "datafiles/Export.h"
#include "datafiles/Import.h"
#include "datafiles/cwDatFile.h"
#include "datafiles/cwDct.h"
#include "grid/LabelGrid.h"
#include "output/LabelFormat.h"
#include "platform/FileAccess.h"
#include "platform/TagwellError.h"
#include "shell/common/Common.h"
#include "support/FakeUi.h"

#include <optional>

namespace {

QByteArray Unescape(const QString& text) {
    const QByteArray in = text.toUtf8();
    QByteArray out;
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] != '\\' || i + 1 == in.size()) { out += in[i]; continue; }
        const char e = in[++i];
        if (e == 'x') { out += static_cast<char>(in.mid(i + 1, 2).toInt(nullptr, 16)); i += 2; }
        else out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e == '0' ? '\0' : e;
    }
    return out;
}
// Bytes as one text line per line of the file, with the line ends and other control bytes shown.
QString Escaped(const QByteArray& bytes) {
    QString out;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        out += b == '\r' ? QStringLiteral("\\r") : b == '\n' ? QStringLiteral("\\n\n") : b == '\t' ? QStringLiteral("\\t")
             : b == '\\' ? QStringLiteral("\\\\") : b < 0x20 || b > 0x7e ? QStringLiteral("\\x%1").arg(b, 2, 16, QChar(u'0'))
             : QString(QChar(b));
    }
    return out.endsWith(u'\n') ? out : out + u'\n';
}

GOLDEN_CASES(DataFilesCases, "datafiles");

TEST_P(DataFilesCases, WhatIsReadAndWritten) {
    QTemporaryDir tmp;
    std::optional<SmallTmpfs> fs;
    const auto path = [&](const QString& name) {
        if (name.startsWith(QStringLiteral("fs/"))) return fs ? fs->path(name.mid(3)) : QString();
        return c.has(name) ? c.path(name) : tmp.filePath(name);
    };
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    LabelGrid grid;
    cwDct dct;
    for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f) dct.setDLen(f, 40);
    cwDatFile dat;
    FakeScreenPointer screen;
    Hourglass hourglass(screen);
    FakeEventPump events;
    QtOdbcRecordSetFactory odbc;
    RecordingFactory factory(odbc);
    int sheet = 30, dropAt = 0, reader = -1, batch = DataFileImport::kBatchRecords;
    QString out;
    const auto shown = [&] { for (const QString& l : dialogs.take()) out += l + u'\n'; };
    const auto rows = [&](int from, int to) {
        for (int r = from; r <= to; ++r) {
            QStringList cells;
            for (int col = 0; col <= 8; ++col) cells << grid.TextMatrix(r, col);
            out += cells.join(u'|') + u'\n';
        }
    };
    for (const QString& line : c.lines(QStringLiteral("script"))) {
        out += u'>' + line + u'\n';
        const QStringList w = line.split(u' ');
        const QString op = w[0], name = w.value(1), p = path(name), rest = line.section(u' ', 2);
        if (op == u"write") {
            QFile f(p);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(Unescape(rest));
        } else if (op == u"numbers") {
            QByteArray bytes = "1\r\n";
            for (int r = 1; r <= w[2].toInt(); ++r) bytes += QByteArray::number(r) + "\r\n";
            QFile f(p);
            EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        } else if (op == u"mkdir") { EXPECT_TRUE(QDir().mkpath(p));
        } else if (op == u"readonly" || op == u"writable") {
            // A read-only mark is honoured even for a user (such as root) whom the system lets write anyway.
            auto mode = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
            if (QFileInfo(p).isDir()) mode |= QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
            EXPECT_TRUE(QFile::setPermissions(p, op == u"writable" ? mode | QFileDevice::WriteOwner : mode));
        } else if (op == u"tmpfs") {
            fs.emplace();
            ASSERT_EQ(fs->error(), "");
        } else if (op == u"fill-disk") {
            ASSERT_TRUE(fs.has_value()) << "fill-disk before tmpfs";
            fs->fill();
        } else if (op == u"device") {
            ASSERT_EQ(MakeCharDevice(p, 1, w[2] == u"full" ? kFullDevice[1] : kZeroDevice[1]), "");
        } else if (op == u"fifo") { ASSERT_EQ(MakeFifo(p), "");
        } else if (op == u"huge") {
            QFile f(p);  // sparse: beyond every bound without using the disk
            EXPECT_TRUE(f.open(QIODevice::WriteOnly) && f.resize(FileBound::DataFile + 1));
        } else if (op == u"reader") {
            reader = ::open(QFile::encodeName(p).constData(), O_RDONLY | O_NONBLOCK);
            ASSERT_GE(reader, 0);
        } else if (op == u"drain") {
            QByteArray got(65536, '\0');
            const auto n = ::read(reader, got.data(), got.size());
            ::close(reader);
            out += Escaped(got.left(n > 0 ? n : 0));
        } else if (op == u"show") {
            const QFileInfo info(p);
            if (IsCharDevice(p) || IsFifo(p)) out += IsFifo(p) ? QStringLiteral("a pipe\n") : QStringLiteral("a device\n");
            else if (info.isDir()) out += QStringLiteral("a folder: ") + QDir(p).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).join(u' ') + u'\n';
            else if (!info.exists()) out += QStringLiteral("nothing\n");
            else {
                struct stat st {};
                out += QStringLiteral("a file, mode %1:\n").arg(::stat(QFile::encodeName(p).constData(), &st) == 0 ? st.st_mode & 07777 : 0, 0, 8);
                out += Escaped(ReadWholeFile(p, FileBound::DataFile).value_or("<unreadable>"));
            }
        } else if (op == u"dictionary") {
            cwDct d;
            d.setDLen(33, 9);  // leftovers of an earlier read must go, whatever this read gives
            out += QStringLiteral("setup %1, last field %2\n").arg(d.setup(p, QStringLiteral("INV"), static_cast<std::int16_t>(w.value(2, QStringLiteral("99")).toInt()))).arg(d.dLast());
            for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f)
                if (d.dLen(f) || d.dAlpha(f) || !d.dDesc(f).isEmpty()) out += QStringLiteral("%1: len %2 alpha %3 %4\n").arg(f).arg(d.dLen(f)).arg(d.dAlpha(f)).arg(d.dDesc(f));
            out += QStringLiteral("field 1010 is field 10: %1; -1010, 300, 32767, -32768 are field 0: %2 %3 %4 %5\n")
                       .arg(d.dLen(1010)).arg(d.dLen(-1010)).arg(d.dLen(300)).arg(d.dLen(32767)).arg(d.dLen(-32768));
            for (const bool prisame : {true, false}) {
                for (std::int16_t f = 1; f <= cwDct::kHighestField; ++f) d.setDMaster(f, false);
                out += QStringLiteral("master/store block, P %1: %2; store data:").arg(prisame ? "as S" : "alone").arg(d.setupms(p, prisame));
                for (std::int16_t f = 0; f <= cwDct::kHighestField; ++f)
                    if (d.dStDat(f)) out += QStringLiteral(" %1").arg(f);
                out += u'\n';
            }
        } else if (op == u"lengths") {
            for (qsizetype i = 1; i + 1 < w.size(); i += 2) dct.setDLen(static_cast<std::int16_t>(w[i].toInt()), static_cast<std::int16_t>(w[i + 1].toInt()));
        } else if (op == u"open") {
            out += QStringLiteral("open %1, layout %2, fields%3\n").arg(dat.fopen(p, dct)).arg(dat.layout()).arg(dat.FieldList());
            dialogs.show(dat.fopenOutcome());
            shown();
        } else if (op == u"records" || op == u"read") {
            std::vector<std::int16_t> fields;
            fields.resize(static_cast<size_t>(dat.GetFieldList(fields)));
            for (const QString& f : w.mid(1)) fields.push_back(static_cast<std::int16_t>(f.toInt()));
            for (qsizetype i = 1; op == u"records" || i < w.size(); ++i) {
                if (!dat.gr(op == u"read" ? w[i].toInt() : 0)) {
                    out += QStringLiteral("no record\n");
                    if (!dat.dataCutMessage().isEmpty()) out += dat.dataCutMessage() + u'\n';
                    if (op == u"records") break; else continue;
                }
                out += QStringLiteral("line %1: %2\n").arg(dat.lineNumber()).arg(Escaped(dat.LineBuf().toUtf8()).chopped(1));
                for (const std::int16_t f : op == u"records" ? fields : std::vector<std::int16_t>{}) {
                    QString v = QStringLiteral("junk");
                    try {
                        const int r = dat.gf(f, v);
                        out += QStringLiteral("  %1 (%2): [%3]\n").arg(f).arg(r).arg(v);
                    } catch (const TagwellError& e) {
                        out += QStringLiteral("  %1: error %2, %3\n").arg(f).arg(e.number()).arg(e.description());
                    }
                }
            }
        } else if (op == u"close") { dat.fclose();
        } else if (op == u"readers") {
            QString why;
            cwDct d;
            cwDatFile f;
            LabelFormatCache formats;
            out += QStringLiteral("dictionary %1, format file %2, data file %3, any file %4: %5\n")
                       .arg(d.setup(p, QStringLiteral("INV"), 99)).arg(formats.load(p) ? "read" : "refused")
                       .arg(f.fopen(p, d)).arg(ReadWholeFile(p, FileBound::Dictionary, &why) ? "read" : "refused", why);
            dialogs.show(f.fopenOutcome());
            shown();
        } else if (op == u"remember" || op == u"remember-path") {
            settings.SaveSetting(kRegApp, kRegSec, name, op == u"remember" ? rest : path(rest));
        } else if (op == u"fail-writes") { settings.failWrites = true;
        } else if (op == u"answer") {
            if (name == u"ok" || name == u"cancel") dialogs.msgAnswers.push_back(name == u"ok" ? MsgResult::OK : MsgResult::Cancel);
            else dialogs.fileAnswers.push_back(name == u"none" ? std::nullopt : std::optional<QString>(p));
        } else if (op == u"dictionary-command" || op == u"dictionary-startup") {
            cwDct d;
            d.setDLen(1, 4);
            d.setDMaster(1, true);
            if (op == u"dictionary-command") out += QStringLiteral("result %1\n").arg(dialogs.show(DictionaryFileCommand(dialogs, settings, d)));
            else dialogs.show(LoadDictionaryAtStartup(dialogs, settings, d));
            shown();
            out += QStringLiteral("remembered %1; field 1: len %2, %3\n").arg(settings.GetSetting(kRegApp, kRegSec, kDictionaryKey, QString()))
                       .arg(d.dLen(1)).arg(d.dStDat(1) ? "store data" : "master");
        } else if (op == u"store") {
            ASSERT_EQ(ExecOnSqlite(tmp.filePath(name + QStringLiteral(".db")), SqlStatements(QString::fromUtf8(c.read(w[2])))), "");
        } else if (op == u"use-dictionary") {
            dct = cwDct();
            if (name != u"none") out += QStringLiteral("setup %1\n").arg(dct.setup(p, QStringLiteral("INV"), 99));
        } else if (op == u"grid") { grid.setRows(name.toInt() + 1);
        } else if (op == u"fill") {
            grid.setRows(name.toInt() + 1);
            for (int r = 1; r <= name.toInt(); ++r)
                for (int col = 0; col <= 8; ++col) grid.setTextMatrix(r, col, QString::number(col ? r * 10 + col : r));
        } else if (op == u"sheet") { sheet = name.toInt();
        } else if (op == u"drop-at") { dropAt = name.toInt();
        } else if (op == u"batch") { batch = name.toInt();
        } else if (op == u"cell") { grid.setTextMatrix(name.toInt(), w[2].toInt(), QString::fromUtf8(Unescape(line.section(u' ', 3))));
        } else if (op == u"label") {
            const QStringList cells = QString::fromUtf8(Unescape(rest)).split(u'|');
            for (int col = 1; col <= 8; ++col) grid.setTextMatrix(name.toInt(), col, cells.value(col - 1));
        } else if (op == u"import") {
            for (const char* key : {"ODBCINV", "ODBCUPC"}) {
                const QString v = settings.GetSetting(kRegApp, kRegSec, key, QString());
                if (v.startsWith(u'@')) settings.SaveSetting(kRegApp, kRegSec, key, SqliteConnect(tmp.filePath(v.mid(1) + QStringLiteral(".db"))));
            }
            dialogs.fileAnswers = {name == u"cancel" ? std::nullopt : std::optional<QString>(p)};
            factory.queries.clear();
            events.calls = 0;
            int underHourglass = 0, loads = 0;
            events.onCall = [&](int call) {
                underHourglass += screen.pointer == MousePointerValue::Hourglass;
                if (call == dropAt) { EXPECT_EQ(ExecOnSqlite(tmp.filePath(QStringLiteral("store.db")), {QStringLiteral("DROP TABLE inv"), QStringLiteral("DROP TABLE upc")}), ""); }
            };
            DataFileImport import(dialogs, settings, grid, dct, dat, &factory, hourglass, events, static_cast<std::int16_t>(sheet), [&] { ++loads; });
            import.setBatchSize(batch);
            dialogs.show(import.mnuFileRead(w.value(2) == u"price-change" ? DataFileImport::PriceChangeFile : DataFileImport::DataFile));
            events.onCall = nullptr;
            out += QStringLiteral("read %1 rows; grid %2 rows; row loaded %3 times; events %4 (under the hourglass %5); pointer %6 after\n")
                       .arg(import.rowsRead()).arg(grid.Rows() - 1).arg(loads).arg(events.calls).arg(underHourglass).arg(screen.pointer);
            for (const QString& q : factory.queries) out += QStringLiteral("asked: ") + q + u'\n';
            shown();
            out += QStringLiteral("remembered %1\n").arg(settings.GetSetting(kRegApp, kRegSec, kFileImpExpKey, QString()));
        } else if (op == u"rows") {
            rows(w.size() > 1 ? name.toInt() : 1, w.size() > 1 ? w[2].toInt() : grid.Rows() - 1);
        } else if (op == u"export") {
            dialogs.fileAnswers = {name == u"cancel" ? std::nullopt : std::optional<QString>(p)};
            out += QStringLiteral("saved: %1\n").arg(dialogs.show(SaveDataToFile(dialogs, settings, grid)) ? "yes" : "no");
            shown();
            out += QStringLiteral("remembered %1\n").arg(settings.GetSetting(kRegApp, kRegSec, kFileImpExpKey, QString()));
        } else {
            ADD_FAILURE() << "unknown step " << line.toStdString();
        }
    }
    if (fs) out.replace(fs->path(QString()), QStringLiteral("%FS%/"));
    c.expect(QStringLiteral("run.txt"), out.replace(tmp.path(), QStringLiteral("%TMP%")).replace(c.dir(), QStringLiteral("%CASE%")).toUtf8());
}

}  // namespace
