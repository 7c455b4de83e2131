#pragma once
// What tells one version of a file from another without reading it: any write moves the
// modification time, any change of permissions the status time, and a file put in its place by a
// rename has another inode.
#include <QString>

#include <cstdint>
#include <optional>

struct FileStamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0, modifiedSec = 0, modifiedNsec = 0, changedSec = 0, changedNsec = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file at `path` (links followed); nothing where the file cannot be looked at, or
// where the system gives no such times.
std::optional<FileStamp> FileStampOf(const QString& path);
