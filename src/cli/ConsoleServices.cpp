#include "cli/ConsoleServices.h"

#include "platform/ConnectionSecrets.h"

#include <QCoreApplication>

void OverlaySettingsStore::setOverride(const QString& key, const QString& value) {
    values_.insert(mapKey(kRegApp, kRegSec, key), value);
}

QString OverlaySettingsStore::mapKey(const QString& app, const QString& section, const QString& key) {
    return app.toUpper() + u'\x1f' + section.toUpper() + u'\x1f' + key.toUpper();
}

QString OverlaySettingsStore::GetSetting(const QString& app, const QString& section, const QString& key,
                                         const QString& def) {
    const auto it = values_.constFind(mapKey(app, section, key));
    if (it != values_.constEnd()) return *it;
    return base_.GetSetting(app, section, key, def);
}

void OverlaySettingsStore::SaveSetting(const QString& app, const QString& section, const QString& key,
                                       const QString& value) {
    values_.insert(mapKey(app, section, key), value);
}

bool ConsoleDialogs::isCountMessage(const QString& prompt) { return prompt.endsWith(QLatin1String(" items printed.")); }

int ConsoleDialogs::MsgBox(const QString& prompt, int style, const QString& title) {
    Q_UNUSED(title);
    // A box's line break is CR LF; the console's is LF.
    // No password of a connection string reaches the terminal or a log that collects it.
    QString text = MaskSecrets(prompt);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (isCountMessage(prompt)) out_ << text << Qt::endl;
    else err_ << text << Qt::endl;
    // Buttons are the low four bits of the style: 1 is OK and Cancel.
    return (style & 15) == MsgStyle::OKCancel ? MsgResult::Cancel : MsgResult::OK;
}

QString ConsoleDialogs::InputBox(const QString& prompt, const QString& title, const QString& def) {
    Q_UNUSED(prompt);
    Q_UNUSED(title);
    Q_UNUSED(def);
    return {};
}

std::optional<QString> ConsoleDialogs::ShowOpen(const FileDialogRequest& request) {
    Q_UNUSED(request);
    // Given once: a second open dialog (the dictionary's, say) must not receive the data file.
    std::optional<QString> file = openFile_;
    openFile_.reset();
    return file;
}

std::optional<QString> ConsoleDialogs::ShowSave(const FileDialogRequest& request) {
    Q_UNUSED(request);
    return std::nullopt;
}

void ConsoleEventPump::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }
