// The file dialog as the window shows it, answered by a timer the way a clerk would: a file whose
// name is not UTF-8 (an old store share) is chosen in it and opens, and a name under which nothing
// is found is refused with the dialog still open.
#include "platform/FileAccess.h"
#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

TEST(FileDialog, AFileWhoseNameIsNotUtf8IsChosenAndOpens) {
    QTemporaryDir dir;
    const QByteArray native = QFile::encodeName(dir.path()) + "/prix-\xe9t\xe9.txt";
    const int fd = ::open(native.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_TRUE(fd >= 0 && ::write(fd, "100107\t6.99\n", 12) == 12 && ::close(fd) == 0);

    // What the clerk types into the dialog, in turn: a name that is not there, then the file as the
    // dialog lists it (each stray byte read as U+FFFD).
    QStringList answers = {dir.filePath(QStringLiteral("gone.txt")),
                           dir.filePath(QString::fromUtf8("prix-\xef\xbf\xbdt\xef\xbf\xbd.txt"))};
    QStringList warnings;
    QTimer clerk;
    QObject::connect(&clerk, &QTimer::timeout, [&] {
        QWidget* front = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(front)) {
            warnings << box->text();
            box->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(front)) {
            if (answers.isEmpty()) return dialog->reject();
            // Typed into its name box, as the clerk types it.
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return dialog->reject();
            name->setText(answers.takeFirst());
            // Queued, so that a box the dialog shows meets the timer again.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    clerk.start(10);
    QtDialogs dialogs;
    const std::optional<QString> chosen =
        dialogs.ShowOpen({dir.filePath(QStringLiteral("prices.txt")), QStringLiteral("Import File"), 20484,
                          QStringLiteral("All Files (*.*)|*.*|Tab Delimited Files (*.txt)|*.txt"), 2});
    clerk.stop();

    EXPECT_EQ(warnings.join(u'|').toStdString(), "gone.txt\nFile not found.\nPlease verify the correct file name was given.");
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(NativeFileName(*chosen), native);
    EXPECT_EQ(ReadWholeFile(*chosen, 64).value_or("<unreadable>"), "100107\t6.99\n");
    ::unlink(native.constData());  // QTemporaryDir cannot name it either
}

}  // namespace
