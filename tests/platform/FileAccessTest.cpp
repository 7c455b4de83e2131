// What a program killed in the middle of writing leaves behind: the previous file, and no staging
// file beside it. The writer is run in a child process that is killed before it commits. And the
// file a dialog chose, when its name is not UTF-8.
#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `write` in a child process, which `write` kills before its writer is done with; true when
// it was killed as planned.
template <typename Write>
bool KilledWhileWriting(Write write) {
    const pid_t child = ::fork();
    if (child == 0) {
        write();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

TEST(FileAccess, AKilledWriterLeavesTheOldFileAndNothingElse) {
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("labels.pdf"));
    ASSERT_EQ(WriteWholeFile(target, "yesterday's labels"), QString());
    const QByteArray half(200 * 1024, 'x');
    // A document written by name, as the PDF writer does, and a file written in pieces.
    ASSERT_TRUE(KilledWhileWriting([&] {
        StagedFile staged(target);
        QFile f(staged.stagingPath());
        if (f.open(QIODevice::WriteOnly)) f.write(half), f.flush();
        ::raise(SIGKILL);
    }));
    ASSERT_TRUE(KilledWhileWriting([&] {
        FileWriter writer(target);
        if (writer.open()) writer.write(half), writer.write(half);
        ::raise(SIGKILL);
    }));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(u' ').toStdString(),
              "labels.pdf");
    EXPECT_EQ(ReadWholeFile(target, 1024).value_or("<unreadable>"), "yesterday's labels");
}

// A file dialog reads a name that is not UTF-8 with U+FFFD for each stray byte; the file chosen is
// still found, unless two names of its folder read alike.
TEST(FileAccess, ANameTheDialogCouldNotReadIsTheFileChosen) {
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path()) + '/';
    // Made under their own bytes, as another program made them.
    const auto make = [&](const QByteArray& name, const QByteArray& content) {
        const int fd = ::open((folder + name).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        const bool written = fd >= 0 && ::write(fd, content.constData(), content.size()) == content.size();
        return fd >= 0 && ::close(fd) == 0 && written;
    };
    ASSERT_TRUE(make("prix-\xe9t\xe9.txt", "latin-1") && make("ab\xe8", "e grave") && make("ab\xe9", "e acute") &&
                make("r\xef\xbf\xbd.txt", "utf-8"));
    const QString shown = dir.filePath(QString::fromUtf8("prix-\xef\xbf\xbdt\xef\xbf\xbd.txt"));
    EXPECT_EQ(ReadWholeFile(ExactFileName(shown), 64).value_or("<unreadable>"), "latin-1");
    // A name that really holds U+FFFD is the file of that name.
    const QString real = dir.filePath(QString::fromUtf8("r\xef\xbf\xbd.txt"));
    EXPECT_EQ(ExactFileName(real), real);
    // Two names that read alike: the choice is left as it was, a name under which nothing is found.
    const QString alike = dir.filePath(QString::fromUtf8("ab\xef\xbf\xbd"));
    EXPECT_EQ(ExactFileName(alike), alike);
    EXPECT_FALSE(ReadWholeFile(alike, 64).has_value());
    for (const char* name : {"prix-\xe9t\xe9.txt", "ab\xe8", "ab\xe9"}) ::unlink((folder + name).constData());
}

}  // namespace
