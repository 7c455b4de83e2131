#include "shell/common/ProgramOptions.h"

#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"

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

void ProgramOptions::save(SettingsStore& s) const {
    auto put = [&](const char* key, const QString& v) { s.SaveSetting(kRegApp, kRegSec, QString::fromLatin1(key), v); };
    put("SierraPrint", QString::number(SierraPrint));
    put("SierraInstant", QString::number(SierraInstant));
    put("SierraShowDetail", QString::number(SierraShowDetail));
    put("SierraSingleSheet", QString::number(SierraSingleSheet));
    put("SierraConvertUpc", QString::number(SierraConvertUpc));
    put("SierraPort", QString::number(SierraPort));
    put("SierraFormat", SierraFormat);
    put("SierraFormat1", SierraFormat1);
    put("SierraFormat3", SierraFormat3);
    put("SierraFormat4", SierraFormat4);
    put("SierraoffLr3", SierraOffLr3);
    put("SierraoffUd3", SierraOffUd3);
    put("SierraoffLr4", SierraOffLr4);
    put("SierraoffUd4", SierraOffUd4);
    put("SierraFont", SierraFont);
    put("SierraSettings", SierraSettings);
    put("SierraDymoDeviceName", SierraDymoDeviceName);
}
