// The address book: groups, cards, the copy of a whole group, mail and search.
#include "addresses/cards.h"
#include "app/filelist.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/names.h"

#include "app/dropdown.h"
#include <QDir>
#include <QLineEdit>
#include <QSignalBlocker>

using namespace quelora;
using addresses::Card;

namespace {

QString bookFolder(const Form1& f) {
    return f.Dir1->path();
}

// The folder the card list shows for the group in the group field: the group's
// folder, or nothing (an empty list) when it has none.
QString listedGroupFolder(const Form1& f) {
    return addresses::groupFolder(bookFolder(f), f.Combo3->currentText());
}

Card fieldsOf(const Form1& f) {
    Card card;
    for (int i = 0; i < addresses::kFieldCount; ++i)
        card[i] = f.Text7[i]->text();
    return card;
}

void showCard(Form1& f, const Card& card) {
    for (int i = 0; i < addresses::kFieldCount; ++i)
        f.Text7[i]->setText(card[i]);
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

void createGroupFolder(Form1& f, const QString& name) {
    if (name.isEmpty()) return; // a text that began with "-" is cut down to nothing
    if (!store::isSafeName(name)) {
        f.ReportFailure(QStringLiteral("No se ha creado el grupo.\n\n") + store::unsafeNameReason(name));
        return;
    }
    if (addresses::bookHasEntry(bookFolder(f), name)) return;
    const QString folder = store::joinPath(bookFolder(f), name);
    if (const store::Status s = store::makeFolder(folder); !s)
        f.ReportFailure(QStringLiteral("No se ha podido crear la carpeta del grupo\n%1\n\n%2")
                            .arg(shown(folder), s.reason));
}

void saveCard(Form1& f) {
    Card card = fieldsOf(f);
    // The card as its file keeps it: characters Windows-1252 has no place for are "?"
    // in the file, and so in its name, which is its first line.
    bool lossy = false;
    for (QString& field : card) {
        if (store::fitsCodePage(field)) continue;
        field = store::decode(store::encode(field));
        lossy = true;
    }
    const QString name = card[0];
    const QString group = f.Combo3->currentText();
    if (name.isEmpty()) {
        f.File2->refresh();
        return;
    }
    if (!store::isSafeName(name)) {
        f.ReportFailure(QStringLiteral("No se ha guardado la ficha.\n\n") + store::unsafeNameReason(name));
        return;
    }
    if (group.isEmpty()) {
        f.ReportFailure(QStringLiteral("No se ha guardado la ficha: escribe o elige primero un grupo."));
        return;
    }
    if (!store::isSafeName(group)) {
        f.ReportFailure(QStringLiteral("No se ha guardado la ficha: el grupo no es válido.\n\n") +
                        store::unsafeNameReason(group));
        return;
    }
    const QByteArray bytes = addresses::cardFileBytes(card);
    const QString book = bookFolder(f);

    const QString groupFolder = addresses::groupFolder(book, group);
    if (!groupFolder.isEmpty()) {
        if (const store::Status s = store::writeNamed(groupFolder, name, bytes); !s)
            f.ReportSaveFailure(store::joinPath(groupFolder, name), s.reason);
    }

    QString allFolder = addresses::groupFolder(book, addresses::kAllCardsGroup);
    if (allFolder.isEmpty()) allFolder = store::joinPath(book, addresses::kAllCardsGroup);
    bool savedInAll = true;
    if (allFolder != groupFolder) {
        if (const store::Status s = store::writeNamed(allFolder, name, bytes); !s) {
            f.ReportSaveFailure(store::joinPath(allFolder, name), s.reason);
            savedInAll = false;
        }
    }
    if (lossy) {
        showCard(f, card);
        f.ReportNotice(QStringLiteral("Algunos caracteres de la ficha «%1» no caben en los archivos de texto "
                                      "(Windows-1252) y se han guardado como «?».")
                           .arg(name));
    }

    if (groupFolder.isEmpty()) {
        const QString where =
            savedInAll
                ? QStringLiteral("La ficha se ha guardado solo en «%1».\n").arg(addresses::kAllCardsGroup)
                : QString();
        f.ReportFailure(QStringLiteral("El grupo «%1» no tiene carpeta: la ficha no se ha guardado en él.\n%2"
                                       "Para crear el grupo, escribe su nombre seguido de «-».")
                            .arg(group, where));
    }
    f.File2->refresh();
}

void clearCard(Form1& f) {
    showCard(f, Card{});
}

void deleteCard(Form1& f) {
    const QString folder = f.File2->path();
    const QString name = f.File2->fileName();
    // Only the very file selected: a name found in another letter case is not it.
    if (folder.isEmpty() || name.isEmpty() || store::findNamed(folder, name) != name) return;
    if (const store::Status s = store::removeNamed(folder, name); !s) {
        f.ReportFailure(QStringLiteral("No se ha podido eliminar el archivo\n%1\n\n%2")
                            .arg(shown(store::joinPath(folder, name)), s.reason));
        f.File2->refresh();
        return;
    }
    clearCard(f);
    f.File2->refresh();
}

void copyAll(Form1& f) {
    const QString group = f.Combo3->currentText();
    // A group without a folder copies its heading only; no other folder is read.
    f.File3->setPath(addresses::groupFolder(f.DataPath(QStringLiteral("direcciones")), group));
    QString text = addresses::copyAllHeading(group);
    if (!f.File3->path().isEmpty()) {
        for (const QString& name : f.File3->names()) {
            const store::ReadResult r = store::readNamed(f.File3->path(), name);
            if (!r.found) continue; // gone since the folder was listed
            if (!r.ok) {
                f.ReportFailure(QStringLiteral("No se ha podido leer la ficha\n%1\n\n%2")
                                    .arg(shown(store::joinPath(f.File3->path(), name)), r.reason));
                continue;
            }
            text += addresses::copyAllColumns(addresses::cardFromFile(r.bytes));
            f.platform().message(&f, text);
            text += addresses::kCopyAllLineEnd;
        }
    }
    f.platform().setClipboardText(text);
}

} // namespace

void Form1::LoadAddressBook() {
    Dir1->setPath(DataPath(QStringLiteral("direcciones")));
    Combo3->clear();
    for (int i = 0; i < Dir1->listCount(); ++i)
        Combo3->addItem(Dir1->listName(i));
    // The first group is shown as if picked: a folder name from the disk is no typed
    // text, so a group whose name holds "-" is not cut into another folder.
    Combo3->setText(Combo3->count() > 0 ? Combo3->itemText(0) : QString());
    File2->setPath(listedGroupFolder(*this));
}

void Form1::Combo3_Change() {
    const QStringList cuts = addresses::groupCommitCuts(Combo3->currentText());
    if (cuts.isEmpty()) return;
    {
        // Adding to an empty list would put the entry into the field by itself.
        const QSignalBlocker quiet(Combo3);
        for (const QString& cut : cuts)
            Combo3->addItem(cut);
    }
    // The last cut holds no "-": setting it is a change that commits nothing more.
    Combo3->setEditText(cuts.last());
    createGroupFolder(*this, cuts.last());
}

void Form1::Combo3_Click() {
    File2->setPath(listedGroupFolder(*this));
}

void Form1::File2_Click() {
    const QString name = File2->fileName();
    if (File2->path().isEmpty() || name.isEmpty()) return;
    // A card that cannot be read shows as an empty card.
    const store::ReadResult r = store::readNamed(File2->path(), name);
    showCard(*this, r.ok ? addresses::cardFromFile(r.bytes) : Card{});
}

void Form1::Command7_Click(int Index) {
    switch (Index) {
    case 0:
        saveCard(*this);
        break;
    case 1:
        clearCard(*this);
        break;
    case 2:
        deleteCard(*this);
        break;
    case 3:
        copyAll(*this);
        break;
    default:
        break;
    }
}

void Form1::Command8_Click() {
    // The result is not looked at: the mail program reports its own troubles.
    platform().openMail(addresses::mailRequest(Text7[addresses::kMailField]->text()));
}

void Form1::Text8_Change() {
    File2->setPattern(addresses::searchPattern(Text8->text()));
}
