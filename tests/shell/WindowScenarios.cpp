// The main window as a clerk drives it, one case folder under tests/data/shell/ each: `settings`
// (KEY=VALUE lines stored before start-up), an optional `store.sql` (a SQLite store database, at
// %TMP%/store.db), the `script` (see Scenario.h; the window's own steps are below) and the expected
// `transcript`, which ends with the window's state. A case with a `BRONTA.ini` (or an
// `ini-is-a-folder` marker) runs on the real settings file, a copy of it in %TMP%.
//   resize W H     the inner size in twips          layout       run the layout rule once more
//   minimize / normal                               fail-writes  the settings store refuses writes
//   serial PORT SETTINGS   the serial control's settings, as something else left them
//   decline on|off the user declines where printed documents go
//   clickcell R C  a mouse click on a grid cell     at-event N STEP  STEP runs at the Nth pending-
//                                                                    event call of a long command
//   ini-folder     a folder takes the settings file's place
//   saved-elsewhere KEY=VALUE   another window or program saves a key while this window runs
//   show window|grid|view|position|layout|store|serial|menus|taborder|events (what at-event steps did)
//   about STEP     STEP in the About box            show abouts  the About boxes that exist
//   show ini       the settings file (and a ".damaged" one beside it): bytes and permissions
#include "RunTool.h"
#include "Scenario.h"
#include "about/frmAbout.h"
#include "WindowFixture.h"
#include "platform/qt/QtOdbcRecordSet.h"
#include "platform/qt/QtSettingsStore.h"
#include "shell/msfGridView.h"

#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <map>

namespace {

QStringList show(frmTagwell& w, WindowFixture& f, const QString& what) {
    QStringList out;
    const LabelGrid& g = w.grid();
    if (what == u"window") {
        QWidget* focus = QApplication::focusWidget();
        auto* box = qobject_cast<QLineEdit*>(focus);
        out << QStringLiteral("caption \"%1\" visible %2 importing %3 pointer %4 print \"%5\" sheet %6")
                   .arg(w.windowTitle()).arg(w.isVisible()).arg(w.importing()).arg(f.screen.pointer)
                   .arg(w.cmdPrintGrid->text()).arg(w.LabelsPerSheet())
            << QStringLiteral("row \"%1\"%2 focus %3 selected \"%4\"").arg(w.txtSelRow->text())
                   .arg(w.txtSelRow->font().bold() ? " bold" : "").arg(focus ? focus->objectName() : "none")
                   .arg(box ? box->selectedText() : QString());
        QStringList entry;
        for (int c = 1; c <= 8; ++c) entry << w.entryText(c);
        out << QStringLiteral("entry ") + entry.join(u'|');
    } else if (what == u"position") {
        out << QStringLiteral("top %1 left %2 height %3 width %4 state %5").arg(w.Top()).arg(w.Left()).arg(w.Height()).arg(w.Width()).arg(w.WindowState());
    } else if (what == u"view") {
        out << QStringLiteral("view top %1 row %2 visible %3").arg(w.msfGrid->rowAt(0) + 1).arg(g.Row()).arg(w.msfGrid->rowVisible(g.Row()));
    } else if (what == u"grid") {
        QStringList widths, aligns, wrong;
        for (int c = 0; c < g.Cols(); ++c) widths << QString::number(g.ColWidth(c)), aligns << QString::number(g.ColAlignment(c));
        for (int r = 1; r < g.Rows(); ++r)
            if (g.TextMatrix(r, 0) != QString::number(r)) wrong << QString::number(r);
        out << QStringLiteral("rows %1 cols %2 row %3 widths %4 align %5 misnumbered [%6]").arg(g.Rows()).arg(g.Cols())
                   .arg(g.Row()).arg(widths.join(u' '), aligns.join(u' '), wrong.join(u' '));
        for (int r = 0; r < g.Rows(); ++r) {
            QStringList cells;
            for (int c = 1; c < g.Cols(); ++c) cells << g.TextMatrix(r, c);
            if (!cells.join(QString()).isEmpty()) out << QStringLiteral("%1: %2").arg(r).arg(cells.join(u'|'));
        }
    } else if (what == u"layout") {
        QStringList hidden;
        for (QLineEdit* t : w.findChildren<QLineEdit*>()) hidden << (t->isVisibleTo(&w) ? QString() : t->objectName());
        out << QStringLiteral("inner %1 x %2 grid %3 %4 %5 %6 line %7 description %8 hidden [%9]")
                   .arg(qRound(w.ScaleWidth())).arg(qRound(w.ScaleHeight())).arg(TwipsLayout::left(w.msfGrid))
                   .arg(TwipsLayout::top(w.msfGrid)).arg(TwipsLayout::width(w.msfGrid)).arg(TwipsLayout::height(w.msfGrid))
                   .arg(w.line1X2()).arg(g.ColWidth(3)).arg(hidden.join(u' ').simplified());
    } else if (what == u"store") {
        for (auto it = f.settings.values.begin(); it != f.settings.values.end(); ++it)
            out << it.key().section(u'/', 2) + u'=' + it.value();
    } else if (what == u"serial") {
        out << QStringLiteral("port %1 \"%2\" opens %3 open %4 sent \"%5\"").arg(f.serial.CommPort()).arg(f.serial.Settings())
                   .arg(f.serial.opens).arg(f.serial.PortOpen()).arg(QString::fromLatin1(f.serial.sent.toPercentEncoding(" ^\"=.,<>")));
    } else if (what == u"menus") {
        for (QAction* m : w.menuBar()->actions()) {
            out << m->text() + QStringLiteral(" (") + m->menu()->objectName() + u')';
            for (QAction* a : m->menu()->actions())
                out << QStringLiteral("  ") + (a->isSeparator() ? QStringLiteral("-") : a->text() + u' ' + a->objectName())
                           + (a->shortcut().isEmpty() ? QString() : QStringLiteral(" shortcut ") + a->shortcut().toString());
        }
    } else if (what == u"taborder") {
        QStringList chain(w.txtSku->objectName());
        for (QWidget* at = w.txtSku->nextInFocusChain(); at != w.txtSku; at = at->nextInFocusChain())
            if (!at->objectName().startsWith(u"qt_") && at->focusPolicy() & Qt::TabFocus) chain << at->objectName();
        out << chain.join(u' ').simplified();
    }
    return out;
}

GOLDEN_CASES(WindowScenario, "shell");

TEST_P(WindowScenario, Transcript) {
    QTemporaryDir tmp;
    WindowFixture f;
    scenario::Runner run(c, f.dialogs);
    for (const QString& line : c.has("settings") ? c.lines("settings") : QStringList())
        f.set(line.section(u'=', 0, 0), run.expand(line.section(u'=', 1)).replace(QStringLiteral("%TMP%"), tmp.path()));
    QtOdbcRecordSetFactory recordSets;
    if (c.has("store.sql")) {
        ASSERT_EQ(RunTool("sqlite3", {"-bail", tmp.filePath("store.db"), ".read '" + c.path("store.sql") + "'"}), "");
    }
    const QString ini = tmp.filePath("BRONTA/BRONTA.ini");
    QDir().mkpath(c.has("ini-is-a-folder") ? ini : tmp.filePath("BRONTA"));
    if (c.has("BRONTA.ini")) {
        ASSERT_TRUE(QFile::copy(c.path("BRONTA.ini"), ini));
        QFile::setPermissions(ini, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }
    QtSettingsStore iniStore(ini);
    const bool onIni = c.has("BRONTA.ini") || c.has("ini-is-a-folder");
    frmTagwell& w = f.start(c.has("store.sql") ? &recordSets : nullptr, onIni ? &iniStore : nullptr);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    run.root = &w;
    std::map<int, QStringList> atEvent;
    QStringList events;  // what ran inside the long command, for `show events`
    f.events.onCall = [&](int call) {
        for (const QString& s : atEvent[call]) {
            events << QStringLiteral("[event %1] %2").arg(call).arg(s);
            run.step(s, events);
        }
    };
    run.more = [&](const QString& verb, const QStringList& a, QStringList& out) {
        if (verb == u"resize") w.centralWidget()->resize(w.twips().toPixelsX(a.value(0).toDouble()), w.twips().toPixelsY(a.value(1).toDouble()));
        else if (verb == u"layout") w.Form_Resize();
        else if (verb == u"minimize") w.showMinimized();
        else if (verb == u"normal") w.showNormal();
        else if (verb == u"serial") f.serial.setCommPort(a.value(0).toInt()), f.serial.setSettings(a.value(1));
        else if (verb == u"fail-writes") f.settings.failWrites = true;
        else if (verb == u"decline") f.printer.simulated().declineDocuments(a.value(0) == u"on");
        else if (verb == u"ini-folder") QFile::remove(ini), QDir().mkpath(ini);
        else if (verb == u"saved-elsewhere") QtSettingsStore(ini).SaveSetting(kRegApp, kRegSec, a.value(0).section(u'=', 0, 0), a.value(0).section(u'=', 1));
        else if (verb == u"show" && a.value(0) == u"ini") {
            for (const QString& file : {ini, ini + QStringLiteral(".damaged")}) {
                QFile in(file);
                if (in.open(QIODevice::ReadOnly))
                    out << QStringLiteral("%1 mode %2: %3").arg(QFileInfo(file).fileName()).arg(int(in.permissions()), 0, 16)
                               .arg(QString::fromLatin1(in.readAll().toPercentEncoding(" =[]/;,.:-_")));
            }
        } else if (verb == u"about" && !w.aboutBox()) out << QStringLiteral("(no About box)");
        else if (verb == u"about") {
            QWidget* outer = std::exchange(run.root, w.aboutBox());
            run.step(a.join(u' '), out);
            run.root = outer;
        } else if (verb == u"show" && a.value(0) == u"abouts") {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QStringList boxes;
            for (QWidget* t : QApplication::topLevelWidgets())
                if (qobject_cast<frmAbout*>(t)) boxes << QStringLiteral("%1%2%3").arg(t == w.aboutBox() ? "loaded" : "other")
                                                          .arg(t->isVisible() ? " visible" : "").arg(t->isModal() ? " modal" : "");
            out << QStringLiteral("About boxes [%1]").arg(boxes.join(u", "));
        } else if (verb == u"at-event") atEvent[a.value(0).toInt()] << a.mid(1).join(u' ');
        else if (verb == u"clickcell") {
            const QRect r = w.msfGrid->visualRect(w.grid().index(a.value(0).toInt() - 1, a.value(1).toInt()));
            QTest::mouseClick(w.msfGrid->viewport(), Qt::LeftButton, {}, r.center());
        } else if (verb == u"show" && a.value(0) == u"events") out << events;
        else if (verb == u"show") out << show(w, f, a.value(0));
        else return false;
        return true;
    };
    QStringList script;
    for (const QString& line : c.lines("script")) script << QString(line).replace(QStringLiteral("%TMP%"), tmp.path());
    QByteArray transcript = run.run(script << "show window" << "show grid");
    c.expect("transcript", transcript.replace(tmp.path().toUtf8(), "%TMP%").replace("Version " TAGWELL_VERSION, "Version %VERSION%"));
}

}  // namespace
