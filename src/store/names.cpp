#include "store/names.h"

#include <QStringList>

namespace quelora::store {

bool isSafeName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")) return false;
    for (QChar c : name)
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() == 0) return false;
    return true;
}

QString joinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

namespace {

// The next code point of s at *at, folded; *at moves past it.
char32_t foldedAt(QStringView s, qsizetype* at) {
    char32_t c = s[*at].unicode();
    if (QChar::isHighSurrogate(c) && *at + 1 < s.size() && s[*at + 1].isLowSurrogate()) {
        c = QChar::surrogateToUcs4(s[*at], s[*at + 1]);
        ++*at;
    }
    ++*at;
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

// Whether a name carries a combining mark, as names written on macOS do ("MIE" + U+0301
// + "RCOLES"): such a name is composed first, so that it is the same name as the one
// written with "É".
bool decomposed(QStringView s) {
    for (const QChar c : s)
        if (c.unicode() >= 0x300 && c.unicode() < 0x370) return true;
    return false;
}

} // namespace

QString composedName(QStringView name) {
    return decomposed(name) ? name.toString().normalized(QString::NormalizationForm_C) : name.toString();
}

bool sameName(QStringView a, QStringView b) {
    if (decomposed(a) || decomposed(b)) return nameKey(a) == nameKey(b);
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size())
        if (foldedAt(a, &i) != foldedAt(b, &j)) return false;
    return i == a.size() && j == b.size();
}

QString nameKey(QStringView name) {
    if (decomposed(name)) {
        const QString composed = name.toString().normalized(QString::NormalizationForm_C);
        if (composed.size() != name.size()) return nameKey(composed);
    }
    QString key;
    key.reserve(name.size());
    for (qsizetype i = 0; i < name.size();) {
        const char32_t c = foldedAt(name, &i);
        if (QChar::requiresSurrogates(c)) {
            key += QChar(QChar::highSurrogate(c));
            key += QChar(QChar::lowSurrogate(c));
        } else {
            key += QChar(static_cast<char16_t>(c));
        }
    }
    return key;
}

bool takenBefore(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseSensitive) < 0;
}

NamePattern::NamePattern(const QString& pattern) {
    if (pattern.contains(QLatin1Char('/')) || pattern.contains(QLatin1Char('\\')) ||
        pattern.contains(QChar(0)))
        return;
    QStringView p(pattern);
    // "*.*" matches names without an extension too.
    if (p.endsWith(u"*.*")) p.chop(2);
    everything_ = p == u"*";
    QString rx;
    QString literal;
    const auto flush = [&] {
        rx += QRegularExpression::escape(nameKey(literal));
        literal.clear();
    };
    for (const QChar c : p) {
        if (c == u'*' || c == u'?') {
            flush();
            rx += c == u'*' ? QLatin1String(".*") : QLatin1String(".");
        } else {
            literal += c;
        }
    }
    flush();
    folded_ = QRegularExpression(QRegularExpression::anchoredPattern(rx),
                                 QRegularExpression::DotMatchesEverythingOption);
}

bool NamePattern::matches(QStringView name) const {
    return everything_ || (folded_ && folded_->match(nameKey(name)).hasMatch());
}

QStringView withoutExtension(QStringView name, QStringView extension) {
    if (name.size() <= extension.size() || !sameName(name.last(extension.size()), extension)) return {};
    return name.chopped(extension.size());
}

QString windowsNameProblem(const QString& name) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    QStringList found;
    bool control = false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            control = true;
        } else if (forbidden.contains(c)) {
            const QString shown = QStringLiteral("«%1»").arg(c);
            if (!found.contains(shown)) found << shown;
        }
    }
    if (!found.isEmpty())
        return QStringLiteral("no puede llevar %1: Windows no admite esos caracteres en los nombres de "
                              "archivo")
            .arg(found.join(QStringLiteral(", ")));
    if (control)
        return QStringLiteral("lleva un tabulador u otro carácter de control, que no puede ir en un nombre "
                              "de archivo");
    if (name.endsWith(QLatin1Char('.')) || name.endsWith(QLatin1Char(' ')))
        return QStringLiteral("acaba en punto o en blanco, y Windows no admite nombres de archivo así");
    // Reserved whatever follows a dot: "CON.txt" is the console too.
    const QString stem = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList reserved = {QStringLiteral("CON"), QStringLiteral("PRN"), QStringLiteral("AUX"),
                                         QStringLiteral("NUL")};
    // Windows reserves port 0 and the superscript digits of Windows-1252 as well.
    static const QString portDigits = QString::fromUtf8("0123456789¹²³");
    const bool numbered = stem.size() == 4 &&
                          (stem.startsWith(QLatin1String("COM")) || stem.startsWith(QLatin1String("LPT"))) &&
                          portDigits.contains(stem[3]);
    if (reserved.contains(stem) || numbered)
        return QStringLiteral("es un nombre que Windows reserva para sus dispositivos (%1)").arg(stem);
    return {};
}

bool isSystemFileName(QStringView name) {
    if (name.size() != 9 && name.size() != 11) return false; // every listing asks, for every name
    return sameName(name, u"desktop.ini") || sameName(name, u"Thumbs.db") || sameName(name, u".DS_Store");
}

} // namespace quelora::store
