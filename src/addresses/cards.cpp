#include "addresses/cards.h"

#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

namespace quelora::addresses {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

} // namespace

QString cardFileText(const Card& card) {
    QString text;
    for (const QString& field : card)
        text += field + kCrLf;
    return text;
}

QByteArray cardFileBytes(const Card& card, bool* lossy) {
    return store::encode(cardFileText(card), lossy);
}

Card cardFromFile(const QByteArray& bytes) {
    Card card;
    if (bytes.isEmpty()) return card;
    // A card written elsewhere may end its lines with LF alone: a line is a field all the same.
    QString text = store::decodeText(bytes).replace(kCrLf, QStringLiteral("\n"));
    if (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < kReferenceField && i < lines.size(); ++i)
        card[i] = lines[i];
    if (lines.size() > kReferenceField) card[kReferenceField] = lines.mid(kReferenceField).join(kCrLf);
    return card;
}

QString copyAllHeading(const QString& group) {
    return QLatin1Char('\t') + group + QLatin1Char('\r') + QLatin1Char('\r');
}

QString copyAllColumns(const Card& card) {
    QString row;
    for (QString field : card) {
        // One card, one line: the lines of a reference are joined with a blank.
        field.replace(kCrLf, QStringLiteral(" "));
        field.replace(QLatin1Char('\r'), QLatin1Char(' '));
        field.replace(QLatin1Char('\n'), QLatin1Char(' '));
        row += QLatin1Char('\t') + field;
    }
    return row;
}

QStringList groupCommitCuts(const QString& text) {
    QStringList cuts;
    QString t = text;
    while (t.contains(QLatin1Char('-'))) {
        t.chop(1);
        cuts << t;
    }
    return cuts;
}

QString searchPattern(const QString& text) {
    if (!text.isEmpty() && !store::isSafeName(text))
        return QStringLiteral("/"); // no file name holds a separator
    return text + QStringLiteral("*.*");
}

QString mailRequest(const QString& email) {
    // Subject and body are always empty.
    return QStringLiteral("mailto:") + email + QStringLiteral("?Subject=") + QStringLiteral("&Body=");
}

QString groupFolder(const QString& bookFolder, const QString& group) {
    const QString stored = store::findFolder(bookFolder, group);
    return stored.isEmpty() ? QString() : store::joinPath(bookFolder, stored);
}

bool bookHasEntry(const QString& bookFolder, const QString& name) {
    for (const QStringList& entries : {store::listFolders(bookFolder), store::listFiles(bookFolder)})
        for (const QString& e : entries)
            if (store::sameName(e, name)) return true;
    return false;
}

Card storedCard(const Card& card, bool* lossy) {
    Card stored = card;
    bool lost = false;
    for (QString& field : stored) {
        if (store::fitsCodePage(field)) continue;
        field = store::storedForm(field);
        lost = true;
    }
    if (lossy) *lossy = lost;
    return stored;
}

QString cardNameProblem(const QString& typedName) {
    if (typedName.isEmpty() || !store::isSafeName(typedName)) return {}; // told by the plan
    if (!store::fitsCodePage(typedName)) {
        QString letters;
        for (QChar c : typedName)
            if (!store::fitsCodePage(QString(c)) && !letters.contains(c)) letters += c;
        return QStringLiteral("No se ha guardado la ficha: el apellido «%1» lleva letras que los archivos de "
                              "texto (Windows-1252) no pueden guardar (%2). Escríbelas de otro modo.")
            .arg(typedName, letters);
    }
    if (const QString problem = store::windowsNameProblem(typedName); !problem.isEmpty())
        return QStringLiteral("No se ha guardado la ficha: el apellido «%1» %2. Escríbelo de otro modo.")
            .arg(typedName, problem);
    return {};
}

CardSavePlan planCardSave(const QString& name, const QString& group, const QString& groupStored,
                          const QString& allStored) {
    CardSavePlan plan;
    if (name.isEmpty()) {
        plan.nothing = true;
    } else if (!store::isSafeName(name)) {
        plan.refusal = QStringLiteral("No se ha guardado la ficha.\n\n") + store::unsafeNameReason(name);
    } else if (group.isEmpty()) {
        plan.refusal = QStringLiteral("No se ha guardado la ficha: escribe o elige primero un grupo.");
    } else if (!store::isSafeName(group)) {
        plan.refusal = QStringLiteral("No se ha guardado la ficha: el grupo no es válido.\n\n") +
                       store::unsafeNameReason(group);
    } else {
        plan.intoGroup = !groupStored.isEmpty();
        // The all-cards group is written even when its folder is missing: that failure is told.
        plan.intoAll = groupStored.isEmpty() || groupStored != allStored;
    }
    return plan;
}

QString groupWithoutFolderMessage(const QString& group, bool savedInAll) {
    const QString where =
        savedInAll ? QStringLiteral("La ficha se ha guardado solo en «%1».\n").arg(layout::kAllCards)
                   : QString();
    return QStringLiteral("El grupo «%1» no tiene carpeta: la ficha no se ha guardado en él.\n%2"
                          "Para crear el grupo, escribe su nombre seguido de «-».")
        .arg(group, where);
}

bool anotherCard(const store::BoxFile& target, const QByteArray& bytes) {
    if (target.base.known) return false; // this very card: a change made elsewhere is kept beside
    const QString stored = store::findNamed(target.folder, target.name);
    if (stored.isEmpty()) return false;
    const store::ReadResult r = store::readFile(store::joinPath(target.folder, stored));
    return !r.ok || r.bytes != bytes;
}

QString anotherCardMessage(const QString& name, const QStringList& groups) {
    QStringList quoted;
    for (const QString& g : groups)
        quoted << QStringLiteral("«%1»").arg(g);
    const QString where = quoted.size() > 1 ? quoted.mid(0, quoted.size() - 1).join(QStringLiteral(", ")) +
                                                  QStringLiteral(" y ") + quoted.last()
                                            : quoted.value(0);
    return QStringLiteral("No se ha guardado la ficha: ya hay otra ficha «%1» en %2, y se habría "
                          "perdido.\n\nPara guardar las dos, escribe el apellido de otro modo (por "
                          "ejemplo, con el segundo apellido); para cambiar aquella, ábrela en la lista. "
                          "Lo que has escrito sigue en las casillas.")
        .arg(name, where);
}

} // namespace quelora::addresses
