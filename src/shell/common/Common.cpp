#include "shell/common/Common.h"

#include "platform/ScreenPointer.h"
#include "platform/SettingsStore.h"
#include "platform/TagwellError.h"
#include "shell/common/Numbers.h"

#include <QDir>
#include <QFileInfo>

bool IsBlank(const QString& text) {
    for (QChar c : text)
        if (c != u' ') return false;
    return true;
}

namespace {
template <typename Text>
Text withoutSpaces(Text text) {
    qsizetype first = 0, last = text.size();
    while (first < last && text[first] == ' ') ++first;
    while (last > first && text[last - 1] == ' ') --last;
    return text.sliced(first, last - first);
}
}  // namespace

QString trimSpaces(QStringView text) { return withoutSpaces(text).toString(); }
QByteArray trimSpaces(QByteArrayView bytes) { return withoutSpaces(bytes).toByteArray(); }

bool FileExists(const QString& path) {
    if (IsBlank(path)) return false;
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (name.contains(u'*') || name.contains(u'?')) {
        // The directory query: the first normal file that matches the pattern.
        const QDir dir = info.dir();
        return !dir.entryList({name}, QDir::Files | QDir::NoDotAndDotDot).isEmpty();
    }
    return info.isFile() && !info.isHidden();
}

QVariant NullToEmpty(const QVariant& value) {
    if (value.isNull()) return QVariant();
    return value;
}

void Hourglass::ShowHourglass(bool on) {
    if (on) {
        const int current = screen_.MousePointer();
        // A nested call keeps the pointer that the first call replaced.
        if (current != MousePointerValue::Hourglass) savedPointer_ = current;
        screen_.setMousePointer(MousePointerValue::Hourglass);
    } else {
        screen_.setMousePointer(savedPointer_);
    }
}

namespace {
QString singleText(double v) { return QString::number(static_cast<float>(v), 'g', 7); }

// A stored position that does not fit 16 bits (a second monitor far to the right) or is not a
// number is simply not applied: start-up must go on.
bool readPosition(SettingsStore& store, const QString& app, const QString& section, const QString& key,
                  const QString& def, int& out) {
    try {
        out = TextToInt16(store.GetSetting(app, section, key, def));
        return true;
    } catch (const TagwellError&) {
        return false;
    }
}
}  // namespace

void SaveFormPosition(SettingsStore& store, const QString& app, const QString& section,
                      const PositionedWindow& window) {
    if (window.WindowState() != 0) return;  // minimized or maximized: keep the last normal place
    const QString name = window.Name();
    store.SaveSetting(app, section, QStringLiteral("FTOP") + name, singleText(window.Top()));
    store.SaveSetting(app, section, QStringLiteral("FLEFT") + name, singleText(window.Left()));
    store.SaveSetting(app, section, QStringLiteral("FHEIGHT") + name, singleText(window.Height()));
    store.SaveSetting(app, section, QStringLiteral("FWIDTH") + name, singleText(window.Width()));
}

void RestoreFormPosition(SettingsStore& store, const QString& app, const QString& section,
                         PositionedWindow& window) {
    const QString name = window.Name();
    int v = 0;
    if (readPosition(store, app, section, QStringLiteral("FTOP") + name, QStringLiteral("-1"), v) && v >= 0)
        window.setTop(v);
    if (readPosition(store, app, section, QStringLiteral("FLEFT") + name, QStringLiteral("-1"), v) && v >= 0)
        window.setLeft(v);
    if (readPosition(store, app, section, QStringLiteral("FHEIGHT") + name, QStringLiteral("0"), v) && v > 0)
        window.setHeight(v);
    if (readPosition(store, app, section, QStringLiteral("FWIDTH") + name, QStringLiteral("0"), v) && v > 0)
        window.setWidth(v);
}
