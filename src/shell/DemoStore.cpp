#include "shell/DemoStore.h"

#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct DemoKey {
    const char* key;
    const char* file;  // the copied file the key names; nullptr for the connect strings
};

}  // namespace

bool IsFirstStart(SettingsStore& settings) { return settings.NothingStored(); }

bool SetUpDemoStoreOnFirstStart(SettingsStore& settings, const QString& shippedDir, const QString& userDir) {
    try {
        if (!IsFirstStart(settings)) return false;
        const QDir shipped(shippedDir);
        if (!QFileInfo(shipped.filePath(QLatin1String(kDemoDatabaseFile))).isFile()) return false;

        QDir user(userDir);
        if (!user.mkpath(QStringLiteral("."))) return false;
        const QFileInfoList files = shipped.entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString target = user.filePath(file.fileName());
            if (QFileInfo::exists(target) && !QFile::remove(target)) return false;
            if (!QFile::copy(file.filePath(), target)) return false;
            // A shipped file is read-only for its user; the copy is the user's to change.
            QFile::setPermissions(target, QFile::permissions(target) | QFile::ReadOwner | QFile::WriteOwner);
        }

        const QString connect = QStringLiteral("Driver=SQLite3;Database=") + user.filePath(QLatin1String(kDemoDatabaseFile));
        const DemoKey keys[] = {
            {"DICTIONARY", "demo.dct"},     {"ODBCINV", nullptr},          {"ODBCUPC", nullptr},
            {"ODBCCIS", nullptr},           {"SierraFormat", "demo.fab"},  {"SierraFont", "demo.pcl"},
            {"SierraFormat1", "demo.fa1"},  {"SierraFormat3", "demo.fa3"}, {"SierraFormat4", "demo.fa4"},
            {"FILEIMPEXP", "demo-items.txt"},
        };
        for (const DemoKey& k : keys) {
            const QString value = k.file ? user.filePath(QLatin1String(k.file)) : connect;
            settings.SaveSetting(kRegApp, kRegSec, QLatin1String(k.key), value);
        }
        // The demo formats are laid out for the 3-up sheet.
        settings.SaveSetting(kRegApp, kRegSec, QStringLiteral("SierraPrint"), QStringLiteral("3"));
        return true;
    } catch (const TagwellError&) {
        return false;
    }
}
