#include "shell/common/ProgramOptions.h"

#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"

#include <QStringList>

namespace {
std::int16_t readInt(SettingsStore& s, const char* key, const char* def) {
    const QString text = s.GetSetting(kRegApp, kRegSec, QString::fromLatin1(key), QString::fromLatin1(def));
    try {
        return TextToInt16(text);
    } catch (const TagwellError&) {
        return TextToInt16(QString::fromLatin1(def));
    }
}
QString readText(SettingsStore& s, const char* key, const char* def) {
    return s.GetSetting(kRegApp, kRegSec, QString::fromLatin1(key), QString::fromLatin1(def));
}
}  // namespace

void ProgramOptions::load(SettingsStore& s) {
    SierraPrint = readInt(s, "SierraPrint", "4");
    SierraInstant = readInt(s, "SierraInstant", "0");
    SierraShowDetail = readInt(s, "SierraShowDetail", "1");
    SierraSingleSheet = readInt(s, "SierraSingleSheet", "0");
    SierraConvertUpc = readInt(s, "SierraConvertUpc", "1");
    SierraPort = readInt(s, "SierraPort", "1");
    SierraFormat = readText(s, "SierraFormat", "");
    SierraFormat1 = readText(s, "SierraFormat1", "");
    SierraFormat3 = readText(s, "SierraFormat3", "");
    SierraFormat4 = readText(s, "SierraFormat4", "");
    SierraOffLr3 = readText(s, "SierraOffLr3", "110");
    SierraOffUd3 = readText(s, "SierraOffUd3", "-200");
    SierraOffLr4 = readText(s, "SierraOffLr4", "0");
    SierraOffUd4 = readText(s, "SierraOffUd4", "-100");
    SierraFont = readText(s, "SierraFont", "");
    SierraSettings = readText(s, "SierraSettings", "9600,n,8,1");
    SierraDymoDeviceName = readText(s, "SierraDymoDeviceName", "None");
}

namespace {
// A value no key holds: it tells an absent key from one stored empty.
const QString kAbsent = QStringLiteral("\x01absent\x01");

// The seventeen keys in their order, as written (the offsets with a lower-case o), each with the
// text of its field.
template <class Visit>
void forEachKey(const ProgramOptions& o, Visit visit) {
    const auto n = [](std::int16_t v) { return QString::number(v); };
    visit("SierraPrint", n(o.SierraPrint));
    visit("SierraInstant", n(o.SierraInstant));
    visit("SierraShowDetail", n(o.SierraShowDetail));
    visit("SierraSingleSheet", n(o.SierraSingleSheet));
    visit("SierraConvertUpc", n(o.SierraConvertUpc));
    visit("SierraPort", n(o.SierraPort));
    visit("SierraFormat", o.SierraFormat);
    visit("SierraFormat1", o.SierraFormat1);
    visit("SierraFormat3", o.SierraFormat3);
    visit("SierraFormat4", o.SierraFormat4);
    visit("SierraoffLr3", o.SierraOffLr3);
    visit("SierraoffUd3", o.SierraOffUd3);
    visit("SierraoffLr4", o.SierraOffLr4);
    visit("SierraoffUd4", o.SierraOffUd4);
    visit("SierraFont", o.SierraFont);
    visit("SierraSettings", o.SierraSettings);
    visit("SierraDymoDeviceName", o.SierraDymoDeviceName);
}
}  // namespace

void ProgramOptions::saveChanges(SettingsStore& s, const ProgramOptions& asLoaded) const {
    QStringList loaded;
    forEachKey(asLoaded, [&](const char*, const QString& v) { loaded << v; });
    qsizetype i = 0;
    forEachKey(*this, [&](const char* key, const QString& v) {
        const QString name = QString::fromLatin1(key);
        // Keys compare without regard to case, so "SierraoffLr3" finds "SierraOffLr3".
        if (v != loaded[i++] || s.GetSetting(kRegApp, kRegSec, name, kAbsent) == kAbsent)
            s.SaveSetting(kRegApp, kRegSec, name, v);
    });
}
