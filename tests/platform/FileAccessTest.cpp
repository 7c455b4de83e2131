// What a program killed in the middle of writing leaves behind: the previous file, and no staging
// file beside it. The writer is run in a child process that is killed before it commits.
#include "platform/FileAccess.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
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

}  // namespace
