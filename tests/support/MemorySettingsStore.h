#pragma once
// A settings store in memory with the same case rule as the real one: a key written under any
// spelling replaces the value stored under another spelling.
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"

#include <QMap>
#include <QString>

class MemorySettingsStore : public SettingsStore {
public:
    QMap<QString, QString> values;  // "APP/SECTION/key" with the key as first written
    bool failWrites = false;
    SettingsProblem problem;  // what Problem() answers


    QString GetSetting(const QString& app, const QString& section, const QString& key, const QString& def) override {
        const QString* found = find(app, section, key);
        return found ? *found : def;
    }
    void SaveSetting(const QString& app, const QString& section, const QString& key, const QString& value) override {
        if (failWrites) throw TagwellError(ErrorNumber::PathFileAccess, QStringLiteral("Path/File access error"));
        if (QString* found = find(app, section, key)) *found = value;
        else values.insert(app + u'/' + section + u'/' + key, value);
    }
    bool NothingStored() override { return values.isEmpty() && problem.kind == SettingsProblem::None; }
    SettingsProblem Problem() override { return problem; }
    // The value under exactly this key spelling, for checks of how a key was written.
    QString raw(const QString& key) const { return values.value(kRegApp + u'/' + kRegSec + u'/' + key); }
    bool hasRaw(const QString& key) const { return values.contains(kRegApp + u'/' + kRegSec + u'/' + key); }

private:
    QString* find(const QString& app, const QString& section, const QString& key) {
        const QString prefix = (app + u'/' + section + u'/').toUpper();
        for (auto it = values.begin(); it != values.end(); ++it)
            if (it.key().toUpper() == prefix + key.toUpper()) return &it.value();
        return nullptr;
    }
    const QString* find(const QString& app, const QString& section, const QString& key) const {
        return const_cast<MemorySettingsStore*>(this)->find(app, section, key);
    }
};
