#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString systemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("The file is larger than %1 bytes, more than any such file holds.").arg(maxBytes);
}

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

#if defined(Q_OS_UNIX)
// How long a pipe may go without a reader, and a device or pipe without taking data, before the
// write is given up.
constexpr auto kReaderWait = std::chrono::seconds(2);
constexpr int kStallMs = 10000;

enum class Kind { Missing, Regular, Folder, InPlace, Other };

Kind kindOf(const QByteArray& name, bool* fifo = nullptr) {
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return Kind::Missing;
    if (fifo) *fifo = S_ISFIFO(st.st_mode);
    if (S_ISREG(st.st_mode)) return Kind::Regular;
    if (S_ISDIR(st.st_mode)) return Kind::Folder;
    if (S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode)) return Kind::InPlace;
    return Kind::Other;
}

// A reader gone while we write must be a failed write, not a signal that ends the program.
class NoBrokenPipeSignal {
public:
    NoBrokenPipeSignal() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        ::sigaction(SIGPIPE, &ignore, &saved_);
    }
    ~NoBrokenPipeSignal() { ::sigaction(SIGPIPE, &saved_, nullptr); }

private:
    struct sigaction saved_ {};
};

// Opens a character device or a named pipe for writing without waiting on it.
int openInPlace(const QByteArray& name, bool fifo, QString* error) {
    const auto deadline = std::chrono::steady_clock::now() + kReaderWait;
    for (;;) {
        const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd >= 0) return fd;
        const int e = errno;
        if (e == EINTR) continue;
        // A pipe's writer may not open before some program reads from it: give one a moment.
        if (e == ENXIO && fifo) {
            if (std::chrono::steady_clock::now() < deadline) {
                QThread::msleep(20);
                continue;
            }
            *error = QStringLiteral("No program reads from the pipe.");
            return -1;
        }
        *error = systemReason(e);
        return -1;
    }
}

bool writeAll(int fd, const char* data, qint64 size, QString* error) {
    NoBrokenPipeSignal guard;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(std::min<qint64>(size, 1 << 20)));
        if (n > 0) {
            data += n;
            size -= n;
            continue;
        }
        const int e = n < 0 ? errno : EIO;
        if (e == EINTR) continue;
        if (e == EAGAIN || e == EWOULDBLOCK) {
            pollfd p{fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, kStallMs);
            if (r > 0 || (r < 0 && errno == EINTR)) continue;
            *error = QStringLiteral("The device or pipe took no data for %1 seconds.").arg(kStallMs / 1000);
            return false;
        }
        *error = e == EPIPE ? QStringLiteral("No program reads from the pipe any more.") : systemReason(e);
        return false;
    }
    return true;
}

// The mode a new file gets from the platform: what the user's umask leaves of rw-rw-rw-.
QFileDevice::Permissions defaultNewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions p;
    if (mode & S_IRUSR) p |= QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if (mode & S_IWUSR) p |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    if (mode & S_IRGRP) p |= QFileDevice::ReadGroup;
    if (mode & S_IWGRP) p |= QFileDevice::WriteGroup;
    if (mode & S_IROTH) p |= QFileDevice::ReadOther;
    if (mode & S_IWOTH) p |= QFileDevice::WriteOther;
    return p;
}
#endif

}  // namespace

QString ReadRefusal(const QString& path, qint64 maxBytes) {
    if (path.isEmpty()) return QStringLiteral("No file name was given.");
    const QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("The file does not exist.");
    if (info.isDir()) return QStringLiteral("The name belongs to a folder.");
    if (!info.isFile()) return QStringLiteral("The name belongs to a device or a pipe, not to a file.");
    if (info.size() > maxBytes) return tooLarge(maxBytes);
    return {};
}

bool OpenForReading(QFile& file, const QString& path, qint64 maxBytes, QString* error) {
    QString why = ReadRefusal(path, maxBytes);
    if (why.isEmpty()) {
#if defined(Q_OS_UNIX)
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0) {
            why = systemReason(errno);
        } else if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            why = QStringLiteral("The name belongs to a device or a pipe, not to a file.");
        } else if (st.st_size > maxBytes) {
            why = tooLarge(maxBytes);
        } else {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            file.setFileName(path);
            if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) return true;
            why = file.errorString();
        }
        if (fd >= 0) ::close(fd);
#else
        file.setFileName(path);
        if (file.open(QIODevice::ReadOnly)) return true;
        why = file.errorString();
#endif
    }
    if (error) *error = why;
    return false;
}

std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* error) {
    QFile file;
    if (!OpenForReading(file, path, maxBytes, error)) return std::nullopt;
    // One byte more than the file's size tells a file that grew since it was looked at; asking
    // for the whole bound would have the buffer of the largest allowed file made for every read.
    QByteArray bytes = file.read(std::min(maxBytes, file.size()) + 1);
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    if (bytes.size() > maxBytes) {
        if (error) *error = tooLarge(maxBytes);
        return std::nullopt;
    }
    return bytes;
}

struct FileWriter::Impl {
    std::unique_ptr<QSaveFile> save;  // a regular file, written beside and renamed
    int fd = -1;                      // a device or pipe, written in place
    bool failed = false;
    ~Impl() {
#if defined(Q_OS_UNIX)
        if (fd >= 0) ::close(fd);
#endif
        if (save) save->cancelWriting();
    }
};

FileWriter::FileWriter(const QString& path, FileMode mode) : d_(std::make_unique<Impl>()), path_(path), mode_(mode) {}

FileWriter::~FileWriter() = default;

bool FileWriter::open() {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("No file name was given.");
        return false;
    }
#if defined(Q_OS_UNIX)
    bool fifo = false;
    switch (kindOf(QFile::encodeName(path_), &fifo)) {
    case Kind::Folder: error_ = QStringLiteral("The name belongs to a folder."); return false;
    case Kind::Other: error_ = QStringLiteral("The name belongs to neither a file, a character device nor a pipe."); return false;
    case Kind::InPlace:
        d_->fd = openInPlace(QFile::encodeName(path_), fifo, &error_);
        return d_->fd >= 0;
    case Kind::Missing:
    case Kind::Regular: break;
    }
#endif
    d_->save = std::make_unique<QSaveFile>(path_);
    if (!d_->save->open(QIODevice::WriteOnly)) {
        error_ = d_->save->errorString();
        d_->save.reset();
        return false;
    }
    // Before the first byte, so that a file with passwords in it is never readable by others.
    if (mode_ == FileMode::OwnerOnly && !d_->save->setPermissions(kOwnerOnly)) {
        error_ = d_->save->errorString();
        return false;
    }
    return true;
}

bool FileWriter::write(const QByteArray& bytes) {
    if (d_->failed) return false;
    bool ok = false;
    if (d_->save) {
        ok = d_->save->write(bytes) == bytes.size();
        if (!ok) error_ = d_->save->errorString();
    }
#if defined(Q_OS_UNIX)
    else if (d_->fd >= 0) {
        ok = writeAll(d_->fd, bytes.constData(), bytes.size(), &error_);
    }
#endif
    else if (error_.isEmpty()) {
        error_ = QStringLiteral("The file is not open.");
    }
    d_->failed = !ok;
    return ok;
}

bool FileWriter::commit() {
    if (d_->failed) return false;
    if (d_->save) {
        // QSaveFile renames even when the flush inside commit() fails, which on a full disk would
        // put a cut file in place: the flush is made and checked first.
        if (!d_->save->flush() || d_->save->error() != QFileDevice::NoError) {
            error_ = d_->save->errorString();
            d_->save.reset();
            d_->failed = true;
            return false;
        }
        const bool ok = d_->save->commit();
        if (!ok) error_ = d_->save->errorString();
        d_->save.reset();
        d_->failed = !ok;
        return ok;
    }
#if defined(Q_OS_UNIX)
    if (d_->fd >= 0) {
        const int fd = d_->fd;
        d_->fd = -1;
        // A pipe or a terminal cannot be synced; a device that can reports its write errors here.
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
            error_ = systemReason(errno);
            ::close(fd);
            return false;
        }
        if (::close(fd) != 0 && errno != EINTR) {
            error_ = systemReason(errno);
            return false;
        }
        return true;
    }
#endif
    if (error_.isEmpty()) error_ = QStringLiteral("The file is not open.");
    return false;
}

QString WriteWholeFile(const QString& path, const QByteArray& bytes, FileMode mode) {
    FileWriter writer(path, mode);
    if (writer.open() && writer.write(bytes) && writer.commit()) return {};
    return writer.errorString();
}

StagedFile::StagedFile(const QString& target) : target_(target) {}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
    if (!staging_.isEmpty()) QFile::remove(staging_);
    staging_.clear();
}

QString StagedFile::stagingPath() {
    discard();
    error_.clear();
    const QFileInfo info(target_);
    if (target_.isEmpty()) {
        error_ = QStringLiteral("No file name was given.");
        return {};
    }
    if (info.isDir()) {
        error_ = QStringLiteral("The name belongs to a folder.");
        return {};
    }
    // A regular file is staged in its own folder, so that the final rename stays on one file
    // system; a device or a pipe gets the document copied in, so it is staged in the temporary
    // folder.
    const bool inPlace = info.exists() && !info.isFile();
    const QString folder = inPlace ? QDir::tempPath() : info.absolutePath();
    QTemporaryFile temp(QDir(folder).filePath(u'.' + info.fileName() + QStringLiteral(".XXXXXX")));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        error_ = temp.errorString();
        return {};
    }
    staging_ = temp.fileName();
#if defined(Q_OS_UNIX)
    // The file put in place keeps the mode of the one it replaces, or gets a new file's mode.
    if (!inPlace) temp.setPermissions(info.exists() ? QFile::permissions(target_) : defaultNewFileMode());
#endif
    temp.close();
    return staging_;
}

bool StagedFile::commit() {
    if (staging_.isEmpty()) {
        if (error_.isEmpty()) error_ = QStringLiteral("Nothing was written.");
        return false;
    }
    QFile staged(staging_);
    if (!staged.open(QIODevice::ReadWrite)) {
        error_ = staged.errorString();
        return false;
    }
    const QFileInfo info(target_);
    if (info.exists() && !info.isFile()) {
        FileWriter writer(target_);
        bool ok = writer.open();
        while (ok && !staged.atEnd()) {
            const QByteArray chunk = staged.read(1 << 20);
            if (staged.error() != QFileDevice::NoError) {
                error_ = staged.errorString();
                return false;
            }
            ok = writer.write(chunk);
        }
        if (!ok || !writer.commit()) {
            error_ = writer.errorString();
            return false;
        }
        discard();
        return true;
    }
#if defined(Q_OS_UNIX)
    if (::fsync(staged.handle()) != 0) {
        error_ = systemReason(errno);
        return false;
    }
#endif
    staged.close();
    // A link is followed, so the file it names is replaced and the link stays.
    const QString canonical = info.isSymLink() ? info.canonicalFilePath() : QString();
    const QString final = canonical.isEmpty() ? target_ : canonical;
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(staging_.toStdU16String()),
                            std::filesystem::path(final.toStdU16String()), ec);
    if (ec) {
        error_ = QString::fromLocal8Bit(ec.message());
        return false;
    }
    staging_.clear();
    return true;
}
