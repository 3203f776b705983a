// Spell checking in the boxes the user writes in, and the user's own words.
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "spelling/marks.h"
#include "spelling/spelling.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"

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
    Spelling->setOwnWords(spelling::readWordList(store::readNamed(DataFolder_, layout::kOwnWords).bytes));
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

void Form1::AddOwnWord(const QString& word) {
    // What the file holds now, so that words another copy of the folder added are kept.
    const store::ReadResult file = store::readNamed(DataFolder_, layout::kOwnWords);
    QStringList words = file.ok ? spelling::readWordList(file.bytes) : Spelling->ownWords();
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
