#include "store/recovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace quelora::recovery {
namespace {

QJsonObject baseObject(const store::Version& v) {
    QJsonObject o;
    if (!v.known) return o;
    o.insert(QStringLiteral("existe"), v.exists);
    if (v.unreadable) o.insert(QStringLiteral("ilegible"), true);
    if (v.exists) {
        o.insert(QStringLiteral("bytes"), static_cast<double>(v.size));
        o.insert(QStringLiteral("sha1"), QString::fromLatin1(v.digest.toHex()));
    }
    return o;
}

store::Version versionOfObject(const QJsonObject& o) {
    store::Version v;
    if (!o.contains(QStringLiteral("existe"))) return v;
    v.known = true;
    v.exists = o.value(QStringLiteral("existe")).toBool();
    v.unreadable = o.value(QStringLiteral("ilegible")).toBool();
    v.size = static_cast<qint64>(o.value(QStringLiteral("bytes")).toDouble());
    v.digest = QByteArray::fromHex(o.value(QStringLiteral("sha1")).toString().toLatin1());
    return v;
}

} // namespace

bool Entry::operator==(const Entry& o) const {
    return kind == o.kind && target == o.target && dayKind == o.dayKind && file == o.file &&
           texts == o.texts && base.known == o.base.known && base.sameContent(o.base);
}

QString fileNameOf(const QString& computer) {
    return QStringLiteral(".quelora-sin-guardar-%1.json").arg(computer);
}

std::optional<QString> computerOfFileName(const QString& name) {
    static const QString head = QStringLiteral(".quelora-sin-guardar-");
    static const QString tail = QStringLiteral(".json");
    if (!name.startsWith(head) || !name.endsWith(tail) || name.size() <= head.size() + tail.size())
        return std::nullopt;
    return name.mid(head.size(), name.size() - head.size() - tail.size());
}

QString hostOf(const QString& computer) {
    const qsizetype dash = computer.lastIndexOf(QLatin1Char('-'));
    return dash > 0 && computer.size() - dash - 1 == 8 ? computer.left(dash) : computer;
}

QByteArray encode(const QList<Entry>& entries, const QDateTime& written, bool closed,
                  const QString& computer) {
    QJsonArray list;
    for (const Entry& e : entries) {
        QJsonObject o;
        o.insert(QStringLiteral("tipo"), e.kind);
        o.insert(QStringLiteral("destino"), e.target);
        if (e.dayKind != 0) o.insert(QStringLiteral("caja"), e.dayKind);
        if (!e.file.isEmpty()) o.insert(QStringLiteral("archivo"), e.file);
        o.insert(QStringLiteral("textos"), QJsonArray::fromStringList(e.texts));
        o.insert(QStringLiteral("antes"), baseObject(e.base));
        list.append(o);
    }
    QJsonObject top;
    top.insert(QStringLiteral("quelora"), QStringLiteral("textos sin guardar"));
    top.insert(QStringLiteral("version"), 1);
    top.insert(QStringLiteral("escrito"), written.toString(Qt::ISODate));
    if (closed) top.insert(QStringLiteral("cerrado"), true);
    if (!computer.isEmpty()) top.insert(QStringLiteral("ordenador"), computer);
    top.insert(QStringLiteral("textos"), list);
    return QJsonDocument(top).toJson(QJsonDocument::Indented);
}

std::optional<QList<Entry>> decode(const QByteArray& bytes, bool* closed) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonObject top = doc.object();
    if (top.value(QStringLiteral("version")).toInt() != 1 || !top.value(QStringLiteral("textos")).isArray())
        return std::nullopt;
    if (closed) *closed = top.value(QStringLiteral("cerrado")).toBool();
    QList<Entry> entries;
    for (const QJsonValue& value : top.value(QStringLiteral("textos")).toArray()) {
        const QJsonObject o = value.toObject();
        Entry e;
        e.kind = o.value(QStringLiteral("tipo")).toString();
        e.target = o.value(QStringLiteral("destino")).toString();
        e.dayKind = o.value(QStringLiteral("caja")).toInt();
        e.file = o.value(QStringLiteral("archivo")).toString();
        for (const QJsonValue& t : o.value(QStringLiteral("textos")).toArray())
            e.texts << t.toString();
        e.base = versionOfObject(o.value(QStringLiteral("antes")).toObject());
        if (e.kind.isEmpty() || e.texts.isEmpty()) continue;
        entries << e;
    }
    return entries;
}

QString setAsideName(const QDateTime& when, int n) {
    return QStringLiteral("Quelora, texto sin guardar que no se pudo leer (%1-%2-%3 %4.%5%6).json")
        .arg(when.date().year())
        .arg(when.date().month())
        .arg(when.date().day())
        .arg(when.time().hour())
        .arg(when.time().minute(), 2, 10, QLatin1Char('0'))
        .arg(n > 1 ? QStringLiteral(" %1").arg(n) : QString());
}

} // namespace quelora::recovery
