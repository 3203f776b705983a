// Spell checking in the boxes the user writes in, and the user's own words.
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "spelling/marks.h"
#include "spelling/spelling.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/folderindex.h"
#include "store/versions.h"
#include "store/history.h"

#include <QDir>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

using namespace quelora;

void Form1::CheckSpelling(std::size_t from) {
    if (!Spelling) Spelling = new spelling::Speller(this);
    // Where the user writes prose: not in names, addresses, telephones or e-mail, not in
    // the read-outs, not in the saints' texts, which are only read.
    const auto& boxes = Boxes.boxes();
    for (std::size_t b = from; b < boxes.size(); ++b) {
        const BoundBox& bound = *boxes[b];
        for (std::size_t i = 0; i < bound.fields().size(); ++i) {
            if (i >= bound.kind().spelled.size() || !bound.kind().spelled[i]) continue;
            TextBox* box = bound.fields()[i];
            box->checkSpelling(Spelling);
            connect(box->spellMarks(), &spelling::Marks::addRequested, this, &Form1::AddOwnWord);
        }
    }
}

void Form1::StartSpelling() {
    const QStringList folders = Platform_.dictionaryFolders();
    if (folders.isEmpty()) return;
    Spelling->setOwnWords(OwnWordsOfEveryCopy(nullptr));
    // The dictionary (some 9 MB) is loaded when a box first has words to check: a text
    // shown or typed. A window whose boxes stay empty never holds it.
    if (Spelling->wanted())
        LoadDictionary(folders);
    else
        connect(
            Spelling, &spelling::Speller::needed, this, [this, folders] { LoadDictionary(folders); },
            Qt::SingleShotConnection);
}

void Form1::LoadDictionary(const QStringList& folders) {
    auto* loading = new QFutureWatcher<std::shared_ptr<const spelling::Dictionary>>(this);
    connect(loading, &QFutureWatcherBase::finished, this, [this, loading] {
        Spelling->setDictionary(loading->result());
        loading->deleteLater();
    });
    loading->setFuture(QtConcurrent::run([folders] { return spelling::loadSpanish(folders); }));
}

QStringList Form1::OwnWordsOfEveryCopy(bool* read) {
    const store::ReadResult file = store::readNamed(DataFolder_, layout::kOwnWords);
    if (read) *read = file.ok;
    QStringList words = spelling::readWordList(file.bytes);
    if (!file.ok) return words;
    // Words added on another computer while this one added others: the sync engine kept
    // its list beside this one. The list takes the words of both, and the copy goes into
    // the history once they are written.
    const auto index = store::FolderIndex::current(DataFolder_);
    const QString stored = index->find(layout::kOwnWords);
    const QList<store::OtherVersion> copies = store::versionsBeside(*index, stored);
    if (stored.isEmpty() || copies.isEmpty()) return words;
    for (const store::OtherVersion& c : copies)
        for (const QString& w : spelling::readWordList(store::readFile(store::joinPath(DataFolder_, c.name)).bytes))
            if (!words.contains(w)) words << w;
    QString path;
    if (!store::writeNamed(DataFolder_, stored, store::encode(spelling::wordListText(words)), store::Sync::Durable,
                           &path))
        return words; // the copies stay where they are, and are read again next time
    NoteOwnWrite(path);
    for (const store::OtherVersion& c : copies) {
        NoteOwnWrite(store::joinPath(DataFolder_, c.name));
        history::keepFileAway(DataFolder_, store::joinPath(DataFolder_, c.name), stored, platform().now(),
                              store::originText(c.says));
    }
    return words;
}

void Form1::AddOwnWord(const QString& word) {
    // What the file holds now, so that words another copy of the folder added are kept.
    bool read = false;
    QStringList words = OwnWordsOfEveryCopy(&read);
    if (!read) words = Spelling->ownWords();
    if (!words.contains(word)) words << word;
    QString path;
    const store::Status s =
        store::writeNamed(DataFolder_, layout::kOwnWords, store::encode(spelling::wordListText(words)),
                          store::Sync::Durable, &path);
    NoteOwnWrite(path);
    if (!s) {
        ReportFailure(QStringLiteral("No se ha podido guardar la palabra «%1» en el diccionario\n%2\n\n%3\n\n"
                                     "Hasta que se cierre Quelora no se marcará.")
                          .arg(word, QDir::toNativeSeparators(path), s.reason));
        Spelling->ignore(word);
        return;
    }
    Spelling->setOwnWords(words);
    if (auto* box = qobject_cast<TextBox*>(focusWidget()))
        box->say(QStringLiteral("«%1» añadida al diccionario: ya no se marca.").arg(word));
}
