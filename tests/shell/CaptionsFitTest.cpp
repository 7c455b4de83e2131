// Every caption of the three windows is readable at the platform's font: no caption is wider or
// taller than the place its control gives it, and no control lies over another. The program runs
// this at QT_SCALE_FACTOR 1 (the default font), 1.25 and 2.
#include "WindowFixture.h"
#include "about/frmAbout.h"
#include "options/frmSierraOptions.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace {

// The controls of a window: the named widgets, without Qt's own parts of compound controls.
QList<QWidget*> controls(QWidget* window) {
    QList<QWidget*> out;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || name == QLatin1String("inner")) continue;
        if (w->isVisibleTo(window)) out << w;
    }
    return out;
}

QString describe(const QWidget* w) {
    const QRect g = w->geometry();
    return QStringLiteral("%1 at %2,%3 %4x%5").arg(w->objectName()).arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
}

// Where the style draws a button's caption, and the caption's size.
QRect captionRect(QAbstractButton* b) {
    QStyleOptionButton opt;
    opt.initFrom(b);
    opt.text = b->text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (qobject_cast<QCheckBox*>(b)) element = QStyle::SE_CheckBoxContents;
    if (qobject_cast<QRadioButton*>(b)) element = QStyle::SE_RadioButtonContents;
    return b->style()->subElementRect(element, &opt, b);
}

// Problems with the captions and places of `window`, one line each.
QStringList captionProblems(QWidget* window) {
    QStringList problems;
    const QList<QWidget*> all = controls(window);
    for (QWidget* w : all) {
        QRect room;
        QSize text;
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            room = captionRect(b);
            text = b->fontMetrics().size(Qt::TextShowMnemonic, b->text());
        } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
            room = l->contentsRect();
            const int flags = Qt::TextShowMnemonic | (l->wordWrap() ? Qt::TextWordWrap : 0);
            text = l->fontMetrics().boundingRect(QRect(0, 0, room.width(), 10000), flags, l->text()).size();
            // An unbreakable word wider than the room runs out of the box even when wrapped.
            for (const QString& word : l->text().split(u' '))
                text.setWidth(std::max(text.width(), l->fontMetrics().horizontalAdvance(word)));
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            room = g->contentsRect();
            text = g->fontMetrics().size(Qt::TextShowMnemonic, g->title());
        } else {
            continue;
        }
        if (text.width() > room.width() || text.height() > room.height())
            problems << QStringLiteral("caption of %1 needs %2x%3, has %4x%5")
                            .arg(describe(w)).arg(text.width()).arg(text.height()).arg(room.width()).arg(room.height());
        // Inside its window (or frame).
        if (!w->parentWidget()->rect().contains(w->geometry()))
            problems << QStringLiteral("%1 runs out of %2").arg(describe(w), w->parentWidget()->objectName());
    }
    for (qsizetype i = 0; i < all.size(); ++i)
        for (qsizetype j = i + 1; j < all.size(); ++j)
            if (all[i]->parentWidget() == all[j]->parentWidget() && all[i]->geometry().intersects(all[j]->geometry()))
                problems << QStringLiteral("%1 overlaps %2").arg(describe(all[i]), describe(all[j]));
    return problems;
}

}  // namespace

TEST(CaptionsFit, MainWindowOptionsDialogAndAboutBox) {
    WindowFixture f;
    ProgramOptions options;
    frmSierraOptions dialog(options, f.dialogs, &f.printer);
    frmAbout about(f.dialogs);
    about.setAttribute(Qt::WA_DeleteOnClose, false);  // on the stack here
    for (QWidget* w : {static_cast<QWidget*>(&f.start()), static_cast<QWidget*>(&dialog), static_cast<QWidget*>(&about)}) {
        SCOPED_TRACE(w->objectName().toStdString() + " at QT_SCALE_FACTOR=" + qEnvironmentVariable("QT_SCALE_FACTOR", "1").toStdString());
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(captionProblems(w).join('\n').toStdString(), "");
    }
}
