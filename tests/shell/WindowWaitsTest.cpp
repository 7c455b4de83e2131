// The window at the counter while the store's database server stops answering in the middle of the
// day (a frozen host, a network that drops every packet): the scan gives up after the connection's
// wait and says so under the grid, the window paints all the while, and once the server answers
// again the next scan fills.
#include "StoreServers.h"
#include "WindowFixture.h"
#include "platform/qt/QtUiServices.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Counts the paints of one widget.
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(WindowWaits, AScanOnAFrozenServerGivesUpWhileTheWindowPaints) {
    StoreServer server(StoreKind::PostgreSQL);
    ASSERT_EQ(server.error(), QString()) << "PostgreSQL could not be started";
    WindowFixture f;
    const QString store = server.connect() + QStringLiteral(";TagwellWait=1");
    for (const char* key : {"ODBCUPC", "ODBCINV", "ODBCCIS"}) f.set(QString::fromLatin1(key), store);
    f.set(QStringLiteral("DICTIONARY"), QStringLiteral(TAGWELL_SOURCE_DIR "/demo/demo.dct"));
    QtOdbcRecordSetFactory recordSets;
    recordSets.setWhileWaiting(&QtEventPump::RepaintOnly);  // as the program's own services do
    frmTagwell& w = f.start(&recordSets);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const auto scan = [&](const char* key) {
        QTest::keyClicks(w.txtSku, QString::fromLatin1(key));
        QTest::keyClick(w.txtSku, Qt::Key_Return);
    };
    scan("100107");
    EXPECT_EQ(w.grid().TextMatrix(1, 5), QStringLiteral("6.48"));
    EXPECT_FALSE(w.lblLookupProblem->isVisible()) << w.lblLookupProblem->text().toStdString();

    ASSERT_EQ(server.freeze(), QString());
    // Something asks the window to paint while the scan waits, as an uncovered window would.
    PaintCounter counter;
    w.installEventFilter(&counter);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, &w, [&] { w.update(); });
    repaint.start(50);
    QElapsedTimer took;
    took.start();
    scan("100110");
    const qint64 waited = took.elapsed();
    repaint.stop();
    server.thaw();
    std::cout << "the scan gave up after " << waited << " ms; the window painted " << counter.paints << " times meanwhile\n";
    EXPECT_GE(counter.paints, 5) << "the window did not paint during a " << waited << " ms wait";
    EXPECT_TRUE(w.lblLookupProblem->isVisible());
    EXPECT_TRUE(w.lblLookupProblem->text().startsWith(
        QStringLiteral("Look-up failed: UPC Database Problem: %1, No answer within 1 s").arg(RecordSetError::TimedOut)))
        << w.lblLookupProblem->text().toStdString();
    EXPECT_EQ(w.grid().TextMatrix(2, 1), QStringLiteral("100110"));
    EXPECT_EQ(w.grid().TextMatrix(2, 5), QString());

    // The server answers again: the next scan fills, on a connection of its own, and the bar goes.
    scan("100110");
    EXPECT_EQ(w.grid().TextMatrix(3, 5), QStringLiteral("6.98"));
    EXPECT_FALSE(w.lblLookupProblem->isVisible()) << w.lblLookupProblem->text().toStdString();
}

}  // namespace
