#pragma once
// The one way the program writes and reads the files it keeps or is given.
//
// Writing. A regular file (or a name that does not exist yet) is written beside the target and
// renamed over it only after every write and the final flush succeeded, so the file that was there
// survives a full disk, a failed write or the program being killed half way. A character device
// or a named pipe is written in place, every write checked; a pipe that nobody reads is refused
// after a short wait instead of being waited on for ever. Every failure carries the system's
// reason.
//
// Reading. Only regular files are read, and only up to a bound per kind of input that no store's
// file comes near: a folder, a named pipe, a device or a file beyond the bound is refused with a
// reason before anything is read, so no input can block the program or exhaust its memory.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>
#include <optional>

// Size bounds of the inputs, in bytes.
namespace FileBound {
inline constexpr qint64 Dictionary = 64 * 1024 * 1024;  // a dictionary has a few hundred lines
inline constexpr qint64 LabelFormat = 16 * 1024 * 1024; // a format file: a few dozen element lines
inline constexpr qint64 SierraFont = 64 * 1024 * 1024;  // a soft font: tens of kilobytes
inline constexpr qint64 DataFile = qint64(2) * 1024 * 1024 * 1024;  // read in windows, never whole
inline constexpr qint64 Settings = 4 * 1024 * 1024;     // the settings file: a few dozen keys
}  // namespace FileBound

// The one wording of the system's reasons: what the system says for an error number of its own
// ("No space left on device", "Permission denied", "File too large").
QString SystemReason(int error);

// The reason an input is refused for its size: the system's "File too large", with the bound.
QString TooLargeReason(qint64 maxBytes);

// File names as the system holds them: bytes. A name that is not UTF-8 (a share written by an old
// program in another code page) keeps each stray byte as a character of its own (U+DC80 + byte),
// so that it opens, reads and is written again under its own name.
QString FileNameFromNative(const QByteArray& bytes);
QByteArray NativeFileName(const QString& name);

// The name a file dialog gives back for a file whose name is not UTF-8: the dialog reads such a
// name with U+FFFD for each stray byte, a name under which nothing is found. When nothing is
// there under `chosen` and exactly one entry of its folder reads as its last part, that entry's
// own name (as FileNameFromNative holds it); otherwise `chosen` as it is.
QString ExactFileName(const QString& chosen);

// The reason given for a name under which there is nothing.
inline const QString kNoSuchFileReason = QStringLiteral("The file does not exist.");

// Why `path` cannot be read as an input of at most `maxBytes` bytes, or "" when it can: the name
// must be a regular file (links followed) within the bound.
QString ReadRefusal(const QString& path, qint64 maxBytes);

// Opens `path` for reading into `file` when ReadRefusal() has nothing against it. The name is
// opened without waiting and looked at through the open handle, so a pipe put in the file's place
// meanwhile is refused rather than waited on.
bool OpenForReading(QFile& file, const QString& path, qint64 maxBytes, QString* error = nullptr);

// The whole content of the regular file `path`; nullopt with the reason in `error` otherwise.
std::optional<QByteArray> ReadWholeFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

// The mode a file gets from the moment it exists: the platform's default for a new file (the
// existing file's mode when one is replaced), or the owner only.
enum class FileMode { Default, OwnerOnly };

// A file written in pieces: open(), write() as often as needed, then commit(). Until commit()
// succeeded the target keeps what it had; a writer destroyed without commit(), or a program killed
// before it, leaves no trace: the bytes go into a file without a name (where the file system has
// them), which is linked into place when complete. Where it has none, the file is staged under a
// hidden name beside the target (".name.XXXXXX") and held locked; the staging files of earlier runs
// that were killed (unlocked) are removed when the next file is staged in that folder.
class FileWriter {
public:
    explicit FileWriter(const QString& path, FileMode mode = FileMode::Default);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    bool open();
    bool write(const QByteArray& bytes);
    // Flushes and puts the file in place. False with errorString() when anything failed, then or
    // before.
    bool commit();
    QString errorString() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    bool flush();
    QString path_;
    FileMode mode_;
    QString error_;
};

// Writes `bytes` as the whole content of `path`. "" on success, otherwise the system's reason.
QString WriteWholeFile(const QString& path, const QByteArray& bytes, FileMode mode = FileMode::Default);

// Writes `bytes` to the process's standard output, past any buffer of the C library (flushed
// first). "" on success, otherwise the system's reason.
QString WriteToStandardOutput(const QByteArray& bytes);

// For a producer that writes a file by name itself (a PDF document): it writes to stagingPath(),
// and commit() then puts that file in place of the target like FileWriter does (renamed over a
// regular file; copied into a device or pipe with every write checked). Destroyed without
// commit(), the staging file is removed and the target is untouched.
class StagedFile {
public:
    explicit StagedFile(const QString& target);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the staging file; "" (reason in errorString()) when it cannot be created.
    QString stagingPath();
    bool commit();
    void discard();
    // Why a document its writer left incomplete could not be finished, as far as the file system
    // tells: "No space left on device" when the staging file's file system is full.
    QString incompleteReason() const;
    QString stagedPath() const { return staging_; }
    QString target() const { return target_; }
    QString errorString() const { return error_; }

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
    QString target_;
    QString staging_;
    QString error_;
};
