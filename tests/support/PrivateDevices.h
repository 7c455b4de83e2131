#pragma once
// Full disks, devices and pipes of a test's own: a small tmpfs mounted inside a temporary folder
// (and unmounted again), device nodes and named pipes made there. Nothing of the machine's own
// /dev is used. Needs root, as the test machines give; a test that cannot make them fails.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

inline QString SystemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// A tmpfs of `bytes` at <temp>/fs. `error()` is empty when it is mounted.
class SmallTmpfs {
public:
    explicit SmallTmpfs(qint64 bytes = 256 * 1024) {
        root_ = dir_.filePath(QStringLiteral("fs"));
        QDir().mkpath(root_);
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", QFile::encodeName(root_).constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0)
            error_ = QStringLiteral("cannot mount a private tmpfs: ") + SystemError();
        else
            mounted_ = true;
    }
    ~SmallTmpfs() {
        if (mounted_) ::umount2(QFile::encodeName(root_).constData(), MNT_DETACH);
    }
    SmallTmpfs(const SmallTmpfs&) = delete;
    SmallTmpfs& operator=(const SmallTmpfs&) = delete;

    QString error() const { return error_; }
    QString path(const QString& name) const { return root_ + u'/' + name; }

    // Takes every free byte, so the next write fails with "No space left on device"; with `leave`,
    // all but that many bytes, so a write fails part of the way.
    void fill(qint64 leave = 0) const {
        const int fd = ::open(QFile::encodeName(path(QStringLiteral(".filler"))).constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        static const QByteArray block(4096, 'x');
        while (fd >= 0 && ::write(fd, block.constData(), block.size()) > 0) {}
        while (fd >= 0 && ::write(fd, block.constData(), 1) > 0) {}
        if (fd >= 0 && leave > 0) ::ftruncate(fd, std::max<off_t>(0, ::lseek(fd, 0, SEEK_END) - leave));
        if (fd >= 0) ::close(fd);
    }

private:
    QTemporaryDir dir_;
    QString root_;
    QString error_;
    bool mounted_ = false;
};

// A character device node like the system's own (1,7 is "full": every write fails with ENOSPC;
// 1,5 "zero": reads without end). Empty result: made; otherwise the reason.
inline QString MakeCharDevice(const QString& path, unsigned major, unsigned minor) {
    if (::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(major, minor)) != 0)
        return QStringLiteral("cannot make a device node: ") + SystemError();
    return {};
}
inline constexpr unsigned kFullDevice[2] = {1, 7};
inline constexpr unsigned kZeroDevice[2] = {1, 5};

inline QString MakeFifo(const QString& path) {
    if (::mkfifo(QFile::encodeName(path).constData(), 0666) != 0) return QStringLiteral("cannot make a pipe: ") + SystemError();
    return {};
}

inline bool IsCharDevice(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISCHR(st.st_mode);
}
inline bool IsFifo(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISFIFO(st.st_mode);
}
