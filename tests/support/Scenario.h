#pragma once
// Window scenarios kept as data: a case's `script` drives a window through the fixed object names
// of its controls with real key and mouse events, and the transcript of what happened (each step,
// every question the scripted dialogs were asked, and what `show` steps print) is compared with
// the case's expected `transcript`.
//
// Steps, one a line (names are object names; `focus` is whatever has the keyboard focus):
//   type NAME TEXT     give NAME the focus, select its text and type TEXT
//   key NAME KEY...    press and release keys (Return, Tab, Up, Down, Esc...)
//   release NAME KEY   only release a key (the entry loop acts on the release of the arrows)
//   click NAME / dclick NAME / menu NAME (a menu item) / close (the window or dialog)
//   set NAME TEXT      a box's text as pasted (or a button's caption, as something else left it)
//   place NAME L T W H a control's place in twips, as something else left it
//   answer file PATH|cancel / answer msg N / answer input TEXT   the next answers of the dialogs
//   show controls [NAME...] / show places   the named controls' values (all, or those listed), or
//                      their places in twips (and pixel width)
// A step followed by lines indented by two spaces opens a modal dialog: the indented steps run in
// it, and it is closed if they leave it open. `%CASE%` is the case folder, `%SRC%` the source tree.
#include "GoldenCases.h"
#include "ScriptedDialogs.h"
#include "platform/qt/TwipsLayout.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <functional>

namespace scenario {

// The named controls of `root` (those in `only`, when given) and their values.
inline QStringList controls(QWidget* root, const QStringList& only = {}) {
    QStringList out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        const QString n = w->objectName();
        if (n.isEmpty() || n.startsWith(QLatin1String("qt_")) || w->isWindow() || (!only.isEmpty() && !only.contains(n))) continue;
        QString v;
        if (auto* t = qobject_cast<QLineEdit*>(w)) v = u'"' + t->text() + u'"';
        else if (auto* b = qobject_cast<QAbstractButton*>(w))
            v = (b->isCheckable() ? QString::fromLatin1(b->isChecked() ? "[x] " : "[ ] ") : QString()) + u'"' + b->text() + u'"';
        else if (auto* l = qobject_cast<QLabel*>(w)) v = u'"' + l->text() + u'"';
        else if (auto* c = qobject_cast<QComboBox*>(w)) {
            QStringList items;
            for (int i = 0; i < c->count(); ++i) items << c->itemText(i);
            v = QStringLiteral("%1 of [%2]").arg(c->currentIndex()).arg(items.join(u'|'));
        } else continue;
        out << n + QStringLiteral(" = ") + v + (w->isVisibleTo(root) ? QString() : QStringLiteral(" (hidden)"));
    }
    return out;
}

inline QStringList places(QWidget* root) {
    QStringList out;
    for (QWidget* w : root->findChildren<QWidget*>())
        if (TwipsLayout::width(w) > 0 || TwipsLayout::height(w) > 0)
            out << QStringLiteral("%1 %2 %3 %4 %5 (%6 px wide)").arg(w->objectName()).arg(qRound(TwipsLayout::left(w)))
                       .arg(qRound(TwipsLayout::top(w))).arg(qRound(TwipsLayout::width(w))).arg(qRound(TwipsLayout::height(w)))
                       .arg(w->width());
    return out;
}

class Runner {
public:
    Runner(const golden::Case& c, ScriptedDialogs& dialogs) : case_(c), dialogs_(dialogs) {}

    // Where names are looked up (the window, or the modal dialog while its steps run).
    QWidget* root = nullptr;
    // Steps and shows of one kind of window: returns false for a verb it does not know.
    std::function<bool(const QString& verb, const QStringList& args, QStringList& out)> more;

    QString expand(QString s) const {
        return s.replace(QStringLiteral("%CASE%"), case_.dir()).replace(QStringLiteral("%SRC%"), TAGWELL_SOURCE_DIR);
    }
    QWidget* widget(const QString& name) const {
        QWidget* w = name == u"focus" ? QApplication::focusWidget() : root->findChild<QWidget*>(name);
        if (!w) ADD_FAILURE() << "no control " << name.toStdString();
        return w;
    }

    // Runs `lines` (the script) and returns the transcript, with the case folder as %CASE%.
    QByteArray run(const QStringList& lines) {
        QStringList out;
        runLines(lines, QString(), out);
        flush(out, QString());
        return (out.join(u'\n').replace(case_.dir(), QStringLiteral("%CASE%")) + u'\n').toUtf8();
    }

    void step(const QString& line, QStringList& out) {
        const QStringList a = expand(line).split(u' ');
        const QString verb = a.value(0), name = a.value(1), rest = a.mid(2).join(u' ');
        QWidget* w = nullptr;
        auto need = [&] { return (w = widget(name)) != nullptr; };
        if (verb == u"type" && need()) {
            if (name != u"focus") w->setFocus(Qt::OtherFocusReason);
            if (auto* t = qobject_cast<QLineEdit*>(w); t && name != u"focus") t->selectAll();
            QTest::keyClicks(w, rest);
        } else if (verb == u"key" && need()) {
            for (const QString& k : a.mid(2)) {
                const QKeyCombination key = QKeySequence::fromString(k)[0];
                QTest::keyClick(w, key.key(), key.keyboardModifiers());
            }
        } else if (verb == u"release" && need()) {
            QTest::keyRelease(w, Qt::Key(QKeySequence::fromString(rest)[0].key()));
        } else if ((verb == u"click" || verb == u"dclick") && need()) {
            if (verb == u"click") QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
            else QTest::mouseDClick(w, Qt::LeftButton, {}, w->rect().center());
        } else if (verb == u"set" && need()) {
            if (auto* t = qobject_cast<QLineEdit*>(w)) t->setText(rest);
            else if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(rest);
        } else if (verb == u"place" && need()) {
            TwipsLayout(*root).place(w, a.value(2).toDouble(), a.value(3).toDouble(), a.value(4).toDouble(), a.value(5).toDouble());
        } else if (verb == u"close") {
            root->close();
        } else if (verb == u"menu") {
            if (auto* m = root->findChild<QAction*>(name)) m->trigger();
            else ADD_FAILURE() << "no menu item " << name.toStdString();
        } else if (verb == u"answer") {
            if (name == u"file") dialogs_.fileAnswers.push_back(rest == u"cancel" ? std::nullopt : std::optional<QString>(rest));
            else if (name == u"msg") dialogs_.msgAnswers.push_back(rest.toInt());
            else dialogs_.inputAnswers.push_back(rest);
        } else if (verb == u"show" && name == u"controls" && a.size() > 2) {
            out << controls(root, a.mid(2));
        } else if (verb == u"show" && name == u"controls") {
            out << QStringLiteral("title \"%1\" parent %2").arg(root->windowTitle(), root->parentWidget() ? root->parentWidget()->objectName() : "none")
                << controls(root);
        } else if (verb == u"show" && name == u"places") {
            out << places(root);
        } else if (!more || !more(verb, a.mid(1), out)) {
            ADD_FAILURE() << "unknown step: " << line.toStdString();
        }
    }

private:
    void runLines(const QStringList& lines, const QString& indent, QStringList& out) {
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QStringList inner;
            while (i + 1 < lines.size() && lines[i + 1].startsWith(u"  ")) inner << lines[++i].mid(2);
            flush(out, indent);
            out << indent + QStringLiteral("> ") + lines[i - inner.size()];
            if (!inner.isEmpty()) {
                // Runs once the dialog's own event loop does.
                QTimer::singleShot(0, [&, inner, indent] {
                    QWidget* dialog = QApplication::activeModalWidget();
                    if (!dialog) return void(out << indent + QStringLiteral("  (no dialog)"));
                    QWidget* outer = std::exchange(root, dialog);
                    runLines(inner, indent + QStringLiteral("  "), out);
                    flush(out, indent + QStringLiteral("  "));
                    if (dialog->isVisible()) out << indent + QStringLiteral("  (left open: closed)"), dialog->close();
                    root = outer;
                });
            }
            step(lines[i - inner.size()], out);
            // A dialog that did not open must not take the steps meant for it later.
            if (!inner.isEmpty()) QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
        }
    }
    // The questions asked since the last step.
    void flush(QStringList& out, const QString& indent) {
        for (const QString& asked : dialogs_.take()) out << indent + QStringLiteral("  ? ") + asked;
    }

    const golden::Case& case_;
    ScriptedDialogs& dialogs_;
};

}  // namespace scenario
