#pragma once
// The settings store as one INI file in the user's configuration folder:
// <config>/BRONTA/BRONTA.ini, one [TAGWELL] section. The file holds connection strings with
// passwords, so it is kept readable by its owner only.
#include "platform/SettingsStore.h"

#include <QString>
#include <memory>

class QSettings;

class QtSettingsStore : public SettingsStore {
public:
    // `iniPath` empty: the standard place in the user's configuration folder.
    explicit QtSettingsStore(const QString& iniPath = {});
    ~QtSettingsStore() override;

    QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) override;
    void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override;

    QString fileName() const { return path_; }
    static QString defaultPath();

private:
    bool setAsideDamagedFile();

    QString path_;
    std::unique_ptr<QSettings> settings_;
};
