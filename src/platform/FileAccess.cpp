#include "platform/FileAccess.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QThread>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#if defined(Q_OS_UNIX)
#include <dirent.h>
#include <climits>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#endif

namespace {

#if defined(Q_OS_UNIX)
// How long a pipe may go without a reader, and a device or pipe without taking data, before the
// write is given up.
constexpr auto kReaderWait = std::chrono::seconds(2);
constexpr int kStallMs = 10000;

enum class Kind { Missing, Regular, Folder, InPlace, Other };

Kind kindOf(const QByteArray& name, bool* fifo = nullptr, struct stat* found = nullptr) {
    struct stat st {};
    if (::stat(name.constData(), &st) != 0) return Kind::Missing;
    if (found) *found = st;
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
        *error = SystemReason(e);
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
        *error = e == EPIPE ? QStringLiteral("No program reads from the pipe any more.") : SystemReason(e);
        return false;
    }
    return true;
}


// The mode a file written now gets: the owner only, the mode of the file it replaces, or a new
// file's (what the user's umask leaves of rw-rw-rw-).
mode_t modeFor(FileMode mode, const struct stat* existing) {
    if (mode == FileMode::OwnerOnly) return 0600;
    if (existing) return existing->st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Where a write to `name` lands: the file a link names (the link stays), or the name itself.
QByteArray finalName(const QByteArray& name) {
    struct stat st {};
    if (::lstat(name.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        if (char* real = ::realpath(name.constData(), nullptr)) {
            QByteArray resolved(real);
            ::free(real);
            return resolved;
        }
        // A link to nothing: the file is made where it points, as opening the link would.
        QByteArray to(PATH_MAX, '\0');
        const ssize_t n = ::readlink(name.constData(), to.data(), size_t(to.size()));
        if (n > 0) {
            to.truncate(n);
            const qsizetype slash = name.lastIndexOf('/');
            return to.startsWith('/') || slash < 0 ? to : name.left(slash + 1) + to;
        }
    }
    return name;
}

QByteArray folderOf(const QByteArray& name) {
    const qsizetype slash = name.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : name.left(slash);
}
QByteArray baseOf(const QByteArray& name) { return name.mid(name.lastIndexOf('/') + 1); }

constexpr int kStagingSuffix = 6;

// ".<base>." followed by six letters or digits: the hidden name of a staged file of <base>.
bool isStagingName(const char* entry, const QByteArray& prefix) {
    const auto n = static_cast<qsizetype>(std::strlen(entry));
    if (n != prefix.size() + kStagingSuffix || std::strncmp(entry, prefix.constData(), size_t(prefix.size())) != 0)
        return false;
    return std::all_of(entry + prefix.size(), entry + n, [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

QByteArray randomSuffix() {
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray s;
    for (int i = 0; i < kStagingSuffix; ++i) s += letters[QRandomGenerator::global()->bounded(62)];
    return s;
}

// A file under construction for a target in `folder`. Its lock, held while this run writes it,
// tells a live staging file from one that a killed run left behind.
class Staging {
public:
    Staging() = default;
    Staging(const Staging&) = delete;
    Staging& operator=(const Staging&) = delete;
    ~Staging() { discard(); }

    bool create(const QByteArray& folder, const QByteArray& base, mode_t mode, QString* error) {
        folder_ = folder;
        prefix_ = '.' + base + '.';
        removeStale();
#if defined(O_TMPFILE)
        // A file without a name: a killed run leaves nothing behind.
        fd_ = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
        // Other writers (the PDF writer) reach it through its name in /proc.
        struct stat st {};
        if (fd_ >= 0 && ::stat(path().constData(), &st) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
#endif
        if (fd_ < 0) {
            QByteArray name = folder + '/' + prefix_ + "XXXXXX";
            fd_ = ::mkostemp(name.data(), O_CLOEXEC);
            if (fd_ < 0) {
                *error = SystemReason(errno);
                return false;
            }
            named_ = name;
        }
        if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 || ::fchmod(fd_, mode) != 0) {
            *error = SystemReason(errno);
            discard();
            return false;
        }
        // Other writers reach even a named staging file through /proc where there is one, so that
        // a target name that is not UTF-8 never has to pass through their text.
        struct stat proc {};
        viaProc_ = ::stat(procPath().constData(), &proc) == 0;
        return true;
    }

    int fd() const { return fd_; }
    QByteArray path() const { return viaProc_ || named_.isEmpty() ? procPath() : named_; }

    // Flushed to the disk and put in place of `final`.
    bool commit(const QByteArray& final, QString* error) {
        if (::fsync(fd_) != 0) {
            *error = SystemReason(errno);
            return false;
        }
        // A link cannot replace a file: the complete file gets a hidden name first, then takes the
        // target's place in one rename.
        for (int attempt = 0; named_.isEmpty(); ++attempt) {
            const QByteArray name = folder_ + '/' + prefix_ + randomSuffix();
            if (::linkat(AT_FDCWD, path().constData(), AT_FDCWD, name.constData(), AT_SYMLINK_FOLLOW) == 0) {
                named_ = name;
            } else if (errno != EEXIST || attempt > 100) {
                *error = SystemReason(errno);
                return false;
            }
        }
        if (::rename(named_.constData(), final.constData()) != 0) {
            *error = SystemReason(errno);
            return false;
        }
        named_.clear();
        discard();
        return true;
    }

    void discard() {
        if (!named_.isEmpty()) ::unlink(named_.constData());
        named_.clear();
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    // The staging files of this target that no run holds any more (it was killed) go.
    void removeStale() const {
        DIR* dir = ::opendir(folder_.constData());
        if (!dir) return;
        while (const dirent* entry = ::readdir(dir)) {
            if (!isStagingName(entry->d_name, prefix_)) continue;
            const int fd = ::openat(::dirfd(dir), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
            if (fd < 0) continue;
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
                ::unlinkat(::dirfd(dir), entry->d_name, 0);
            ::close(fd);
        }
        ::closedir(dir);
    }

    QByteArray procPath() const { return "/proc/self/fd/" + QByteArray::number(fd_); }

    int fd_ = -1;
    bool viaProc_ = false;
    QByteArray named_;  // empty while the file has no name
    QByteArray folder_, prefix_;
};
#endif

}  // namespace


QString SystemReason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QString TooLargeReason(qint64 maxBytes) {
    return SystemReason(EFBIG) + QStringLiteral(" (more than %1 bytes, more than any such file holds)").arg(maxBytes);
}

QString FileNameFromNative(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        // The length of a well-formed UTF-8 sequence starting here, 0 when there is none.
        int len = 0;
        const unsigned c = b[i];
        if (c < 0x80) len = 1;
        else if (c >= 0xC2 && c <= 0xDF) len = 2;
        else if (c >= 0xE0 && c <= 0xEF) len = 3;
        else if (c >= 0xF0 && c <= 0xF4) len = 4;
        if (len > 1) {
            if (i + len > n) len = 0;
            for (int k = 1; k < len; ++k)
                if ((b[i + k] & 0xC0) != 0x80) len = 0;
            // No overlong forms, no surrogates, nothing above U+10FFFF.
            if (len == 3 && ((c == 0xE0 && b[i + 1] < 0xA0) || (c == 0xED && b[i + 1] >= 0xA0))) len = 0;
            if (len == 4 && ((c == 0xF0 && b[i + 1] < 0x90) || (c == 0xF4 && b[i + 1] >= 0x90))) len = 0;
        }
        if (len == 0) {
            name += QChar(char16_t(0xDC00 + c));
            ++i;
        } else {
            name += QString::fromUtf8(bytes.constData() + i, len);
            i += len;
        }
    }
    return name;
}

QByteArray NativeFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool stray = i < name.size() && name[i].unicode() >= 0xDC80 && name[i].unicode() <= 0xDCFF &&
                           (i == 0 || !name[i - 1].isHighSurrogate());
        if (i < name.size() && !stray) continue;
        bytes += QStringView(name).sliced(from, i - from).toUtf8();
        if (stray) bytes += char(name[i].unicode() - 0xDC00);
        from = i + 1;
    }
    return bytes;
}

QString ExactFileName(const QString& chosen) {
#if defined(Q_OS_UNIX)
    if (!chosen.contains(QChar::ReplacementCharacter)) return chosen;
    const QByteArray native = NativeFileName(chosen);
    struct stat st {};
    if (::lstat(native.constData(), &st) == 0) return chosen;
    const QString shown = chosen.mid(chosen.lastIndexOf(u'/') + 1);
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folderOf(native).constData()), ::closedir);
    if (!dir) return chosen;
    QByteArray found;
    int matches = 0;
    while (const dirent* entry = ::readdir(dir.get())) {
        // The dialog's own reading of a name: UTF-8, a stray byte becoming U+FFFD.
        const QByteArray bytes(entry->d_name);
        if (QString::fromUtf8(bytes) == shown && ++matches == 1) found = bytes;
    }
    // Two names that read alike cannot be told apart: the choice stays as it was, and is refused
    // as a name under which nothing is found.
    if (matches != 1) return chosen;
    return FileNameFromNative(native.left(native.lastIndexOf('/') + 1) + found);
#else
    return chosen;
#endif
}

QString ReadRefusal(const QString& path, qint64 maxBytes) {
    if (path.isEmpty()) return QStringLiteral("No file name was given.");
#if defined(Q_OS_UNIX)
    struct stat st {};
    if (::stat(NativeFileName(path).constData(), &st) != 0)
        return errno == ENOENT ? kNoSuchFileReason : SystemReason(errno);
    if (S_ISDIR(st.st_mode)) return QStringLiteral("The name belongs to a folder.");
    if (!S_ISREG(st.st_mode)) return QStringLiteral("The name belongs to a device or a pipe, not to a file.");
    if (st.st_size > maxBytes) return TooLargeReason(maxBytes);
#else
    const QFileInfo info(path);
    if (!info.exists()) return kNoSuchFileReason;
    if (info.isDir()) return QStringLiteral("The name belongs to a folder.");
    if (!info.isFile()) return QStringLiteral("The name belongs to a device or a pipe, not to a file.");
    if (info.size() > maxBytes) return TooLargeReason(maxBytes);
#endif
    return {};
}

bool OpenForReading(QFile& file, const QString& path, qint64 maxBytes, QString* error) {
    QString why = ReadRefusal(path, maxBytes);
    if (why.isEmpty()) {
#if defined(Q_OS_UNIX)
        const int fd = ::open(NativeFileName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat st {};
        if (fd < 0) {
            why = SystemReason(errno);
        } else if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            why = QStringLiteral("The name belongs to a device or a pipe, not to a file.");
        } else if (st.st_size > maxBytes) {
            why = TooLargeReason(maxBytes);
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
        if (error) *error = TooLargeReason(maxBytes);
        return std::nullopt;
    }
    return bytes;
}

#if defined(Q_OS_UNIX)

// Bytes are gathered into blocks of this size before they go to the staging file.
constexpr qsizetype kWriteBlock = 64 * 1024;

struct FileWriter::Impl {
    std::unique_ptr<Staging> staging;  // a regular file, staged and put in place
    QByteArray final;                  // the name the staged file takes
    QByteArray pending;                // written, not yet handed to the system
    int fd = -1;                       // a device or pipe, written in place
    bool failed = false;
    ~Impl() {
        if (fd >= 0) ::close(fd);
    }
};

FileWriter::FileWriter(const QString& path, FileMode mode) : d_(std::make_unique<Impl>()), path_(path), mode_(mode) {}

FileWriter::~FileWriter() = default;

bool FileWriter::open() {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("No file name was given.");
        return false;
    }
    const QByteArray name = NativeFileName(path_);
    bool fifo = false;
    struct stat st {};
    const Kind kind = kindOf(name, &fifo, &st);
    switch (kind) {
    case Kind::Folder: error_ = QStringLiteral("The name belongs to a folder."); return false;
    case Kind::Other: error_ = QStringLiteral("The name belongs to neither a file, a character device nor a pipe."); return false;
    case Kind::InPlace:
        d_->fd = openInPlace(name, fifo, &error_);
        return d_->fd >= 0;
    case Kind::Missing:
    case Kind::Regular: break;
    }
    d_->final = finalName(name);
    // Before the first byte, so that a file with passwords in it is never readable by others.
    auto staging = std::make_unique<Staging>();
    if (!staging->create(folderOf(d_->final), baseOf(d_->final), modeFor(mode_, kind == Kind::Regular ? &st : nullptr), &error_))
        return false;
    d_->staging = std::move(staging);
    return true;
}

bool FileWriter::flush() {
    if (d_->pending.isEmpty()) return true;
    const bool ok = writeAll(d_->staging->fd(), d_->pending.constData(), d_->pending.size(), &error_);
    d_->pending.clear();
    return ok;
}

bool FileWriter::write(const QByteArray& bytes) {
    if (d_->failed) return false;
    bool ok = false;
    if (d_->staging) {
        d_->pending += bytes;
        ok = d_->pending.size() < kWriteBlock || flush();
    } else if (d_->fd >= 0) {
        ok = writeAll(d_->fd, bytes.constData(), bytes.size(), &error_);
    } else if (error_.isEmpty()) {
        error_ = QStringLiteral("The file is not open.");
    }
    d_->failed = !ok;
    return ok;
}

bool FileWriter::commit() {
    if (d_->failed) return false;
    if (d_->staging) {
        const bool ok = flush() && d_->staging->commit(d_->final, &error_);
        d_->staging.reset();
        d_->failed = !ok;
        return ok;
    }
    if (d_->fd >= 0) {
        const int fd = d_->fd;
        d_->fd = -1;
        // A pipe or a terminal cannot be synced; a device that can reports its write errors here.
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP) {
            error_ = SystemReason(errno);
            ::close(fd);
            return false;
        }
        if (::close(fd) != 0 && errno != EINTR) {
            error_ = SystemReason(errno);
            return false;
        }
        return true;
    }
    if (error_.isEmpty()) error_ = QStringLiteral("The file is not open.");
    return false;
}

#else

constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

struct FileWriter::Impl {
    std::unique_ptr<QSaveFile> save;
    bool failed = false;
    ~Impl() {
        if (save) save->cancelWriting();
    }
};

FileWriter::FileWriter(const QString& path, FileMode mode) : d_(std::make_unique<Impl>()), path_(path), mode_(mode) {}

FileWriter::~FileWriter() = default;

bool FileWriter::flush() { return true; }

bool FileWriter::open() {
    if (path_.isEmpty()) {
        error_ = QStringLiteral("No file name was given.");
        return false;
    }
    d_->save = std::make_unique<QSaveFile>(path_);
    if (!d_->save->open(QIODevice::WriteOnly)) {
        error_ = d_->save->errorString();
        d_->save.reset();
        return false;
    }
    if (mode_ == FileMode::OwnerOnly && !d_->save->setPermissions(kOwnerOnly)) {
        error_ = d_->save->errorString();
        return false;
    }
    return true;
}

bool FileWriter::write(const QByteArray& bytes) {
    if (d_->failed) return false;
    const bool ok = d_->save && d_->save->write(bytes) == bytes.size();
    if (!ok) error_ = d_->save ? d_->save->errorString() : QStringLiteral("The file is not open.");
    d_->failed = !ok;
    return ok;
}

bool FileWriter::commit() {
    if (d_->failed || !d_->save) return false;
    // QSaveFile renames even when the flush inside commit() fails: the flush is made and checked first.
    if (!d_->save->flush() || d_->save->error() != QFileDevice::NoError || !d_->save->commit()) {
        error_ = d_->save->errorString();
        d_->save.reset();
        d_->failed = true;
        return false;
    }
    d_->save.reset();
    return true;
}

#endif

QString WriteWholeFile(const QString& path, const QByteArray& bytes, FileMode mode) {
    FileWriter writer(path, mode);
    if (writer.open() && writer.write(bytes) && writer.commit()) return {};
    return writer.errorString();
}

QString WriteToStandardOutput(const QByteArray& bytes) {
    if (std::fflush(stdout) != 0) return SystemReason(errno);
#if defined(Q_OS_UNIX)
    QString why;
    return writeAll(STDOUT_FILENO, bytes.constData(), bytes.size(), &why) ? QString() : why;
#else
    errno = 0;
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) || std::fflush(stdout) != 0)
        return SystemReason(errno ? errno : EIO);
    return {};
#endif
}

#if defined(Q_OS_UNIX)

struct StagedFile::Impl {
    Staging staging;
    QByteArray final;
};

StagedFile::StagedFile(const QString& target) : target_(target) {}

StagedFile::~StagedFile() { discard(); }

void StagedFile::discard() {
    d_.reset();
    staging_.clear();
}

QString StagedFile::stagingPath() {
    discard();
    error_.clear();
    if (target_.isEmpty()) {
        error_ = QStringLiteral("No file name was given.");
        return {};
    }
    const QByteArray name = NativeFileName(target_);
    struct stat st {};
    const Kind kind = kindOf(name, nullptr, &st);
    if (kind == Kind::Folder) {
        error_ = QStringLiteral("The name belongs to a folder.");
        return {};
    }
    auto d = std::make_unique<Impl>();
    // A regular file is staged in its own folder, so that the final rename stays on one file
    // system; a device or a pipe gets the document copied in, so it is staged in the temporary
    // folder.
    const bool inPlace = kind == Kind::InPlace || kind == Kind::Other;
    d->final = inPlace ? name : finalName(name);
    const bool made = inPlace ? d->staging.create(NativeFileName(QDir::tempPath()), "tagwell-document", 0600, &error_)
                              : d->staging.create(folderOf(d->final), baseOf(d->final),
                                                  modeFor(FileMode::Default, kind == Kind::Regular ? &st : nullptr), &error_);
    if (!made) return {};
    d_ = std::move(d);
    staging_ = FileNameFromNative(d_->staging.path());
    return staging_;
}

QString StagedFile::incompleteReason() const {
    // The document's writer does not say why its writes failed; a file system without a free
    // block says it for it.
    struct statvfs fs {};
    if (d_ && ::fstatvfs(d_->staging.fd(), &fs) == 0 && (fs.f_bavail == 0 || fs.f_bfree == 0)) return SystemReason(ENOSPC);
    return QStringLiteral("The document could not be completed.");
}

bool StagedFile::commit() {
    if (!d_) {
        if (error_.isEmpty()) error_ = QStringLiteral("Nothing was written.");
        return false;
    }
    bool fifo = false;
    if (kindOf(d_->final, &fifo) == Kind::InPlace) {
        // The document is copied into the device or pipe, every write checked.
        FileWriter writer(target_);
        bool ok = writer.open();
        QByteArray block(1 << 20, Qt::Uninitialized);
        for (off_t at = 0; ok;) {
            const ssize_t n = ::pread(d_->staging.fd(), block.data(), size_t(block.size()), at);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                error_ = SystemReason(errno);
                return false;
            }
            if (n == 0) break;
            at += n;
            ok = writer.write(block.left(n));
        }
        if (!ok || !writer.commit()) {
            error_ = writer.errorString();
            return false;
        }
        discard();
        return true;
    }
    if (!d_->staging.commit(d_->final, &error_)) return false;
    discard();
    return true;
}

#else

struct StagedFile::Impl {};

QString StagedFile::incompleteReason() const { return QStringLiteral("The document could not be completed."); }

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
    if (target_.isEmpty() || info.isDir()) {
        error_ = target_.isEmpty() ? QStringLiteral("No file name was given.") : QStringLiteral("The name belongs to a folder.");
        return {};
    }
    QTemporaryFile temp(QDir(info.absolutePath()).filePath(u'.' + info.fileName() + QStringLiteral(".XXXXXX")));
    temp.setAutoRemove(false);
    if (!temp.open()) {
        error_ = temp.errorString();
        return {};
    }
    staging_ = temp.fileName();
    temp.close();
    return staging_;
}

bool StagedFile::commit() {
    if (staging_.isEmpty()) {
        if (error_.isEmpty()) error_ = QStringLiteral("Nothing was written.");
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(staging_.toStdU16String()),
                            std::filesystem::path(target_.toStdU16String()), ec);
    if (ec) {
        error_ = QString::fromLocal8Bit(ec.message());
        return false;
    }
    staging_.clear();
    return true;
}

#endif
