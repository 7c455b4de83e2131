#include "platform/ConnectionSecrets.h"

#include <QRegularExpression>

namespace {

// A password keyword at the start, after a ";" or a blank (or a brace, inside a message), then
// "=", then its value: in braces (where "}}" stands for a brace) or up to the next ";" or line end.
const QRegularExpression& secretPattern() {
    static const QRegularExpression pattern(
        QStringLiteral(R"((?:^|(?<=[;\s{(]))(pwd|password|passwd)(\s*=\s*)(\{(?:[^}]|\}\})*\}?|[^;\r\n]*))"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern;
}

// Rewrites each password value of `text` through `value(keyword, current value)`.
template <typename Value>
QString rewriteSecrets(const QString& text, Value value) {
    QString out;
    qsizetype from = 0;
    auto it = secretPattern().globalMatch(text);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(text).sliced(from, m.capturedStart(3) - from);
        out += value(m.captured(1), m.captured(3));
        from = m.capturedEnd(3);
    }
    out += QStringView(text).sliced(from);
    return out;
}

}  // namespace

QString MaskSecrets(const QString& text) {
    return rewriteSecrets(text, [](const QString&, const QString& v) {
        return v.trimmed().isEmpty() || v == QLatin1String("{}") ? v : kSecretMask;
    });
}

QString KeepMaskedSecrets(const QString& answer, const QString& stored) {
    return rewriteSecrets(answer, [&](const QString& keyword, const QString& v) {
        if (v.trimmed() != kSecretMask) return v;
        QString kept = v;
        auto it = secretPattern().globalMatch(stored);
        while (it.hasNext()) {
            const QRegularExpressionMatch m = it.next();
            if (m.captured(1).compare(keyword, Qt::CaseInsensitive) == 0) {
                kept = m.captured(3);
                break;
            }
        }
        return kept;
    });
}
