#include "platform/FileStamp.h"

#include "platform/FileAccess.h"

#include <QFile>

#if defined(Q_OS_LINUX)
#include <sys/stat.h>
#endif

std::optional<FileStamp> FileStampOf(const QString& path) {
#if defined(Q_OS_LINUX)
    struct stat st {};
    if (::stat(NativeFileName(path).constData(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<std::uint64_t>(st.st_dev),       static_cast<std::uint64_t>(st.st_ino),
                     static_cast<std::int64_t>(st.st_size),       static_cast<std::int64_t>(st.st_mtim.tv_sec),
                     static_cast<std::int64_t>(st.st_mtim.tv_nsec), static_cast<std::int64_t>(st.st_ctim.tv_sec),
                     static_cast<std::int64_t>(st.st_ctim.tv_nsec)};
#else
    Q_UNUSED(path);
    return std::nullopt;
#endif
}
