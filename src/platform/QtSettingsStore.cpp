#include "platform/QtSettingsStore.h"

#include "platform/TagwellError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {
// The spelling under which a key is stored in the group, matched without regard to case.
QString storedSpelling(QSettings& s, const QString& key) {
    const QStringList keys = s.childKeys();
    for (const QString& k : keys)
        if (k.compare(key, Qt::CaseInsensitive) == 0) return k;
    return {};
}
}  // namespace

QString QtSettingsStore::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/BRONTA/BRONTA.ini");
}

QtSettingsStore::QtSettingsStore(const QString& iniPath) : path_(iniPath.isEmpty() ? defaultPath() : iniPath) {
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
}

QtSettingsStore::~QtSettingsStore() = default;

QString QtSettingsStore::GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) {
    Q_UNUSED(app);  // one file per application
    settings_->beginGroup(section);
    const QString k = storedSpelling(*settings_, key);
    QString value = def;
    if (!k.isEmpty()) {
        const QVariant v = settings_->value(k);
        // A value that is a list (a comma in a hand-edited file) reads back as the text it was.
        value = v.typeId() == QMetaType::QStringList ? v.toStringList().join(u',') : v.toString();
    }
    settings_->endGroup();
    return value;
}

void QtSettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) {
    Q_UNUSED(app);
    auto write = [&] {
        settings_->beginGroup(section);
        // Write under the spelling already stored, so "SierraoffLr3" and "SierraOffLr3" stay one key.
        const QString existing = storedSpelling(*settings_, key);
        settings_->setValue(existing.isEmpty() ? key : existing, value);
        settings_->endGroup();
        QDir().mkpath(QFileInfo(path_).absolutePath());
        settings_->sync();
    };
    write();
    // QSettings never writes over a file it could not parse, so one damaged byte would make every
    // later save fail for good. The damaged file is kept beside as "<name>.damaged" and a sound
    // one is written with every key that could still be read.
    if (settings_->status() == QSettings::FormatError && setAsideDamagedFile()) write();
    if (settings_->status() != QSettings::NoError || !QFileInfo::exists(path_)) {
        throw TagwellError(ErrorNumber::PathFileAccess,
                           QStringLiteral("Can not write the settings file %1.").arg(QDir::toNativeSeparators(path_)));
    }
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool QtSettingsStore::setAsideDamagedFile() {
    const QString aside = path_ + QStringLiteral(".damaged");
    QFile::remove(aside);
    if (!QFile::rename(path_, aside)) return false;
    auto fresh = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    const QStringList keys = settings_->allKeys();
    for (const QString& k : keys) fresh->setValue(k, settings_->value(k));
    settings_ = std::move(fresh);
    return true;
}
