// Unsaved text through a crash: what the boxes hold that is not yet saved is kept in a
// hidden file of the data folder a moment after the typing pauses, and given back at the
// next start when the program did not end cleanly.
#include "addresses/cards.h"
#include "app/dropdown.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/recovery.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <utility>

using namespace quelora;
using recovery::Entry;
using recovery::Kind;

namespace {

// Typing on without a pause is kept at the latest after this many pauses' time.
constexpr int kLongestWait = 5;

QString dayTextName(int k) {
    return k == 0 ? QStringLiteral("el texto de fiesta") : QStringLiteral("el recordatorio");
}

Entry entry(Kind kind, const QString& target, const QStringList& texts, const store::Version& base,
            int dayKind = 0) {
    Entry e;
    e.kind = kind;
    e.target = target;
    e.texts = texts;
    e.base = base;
    e.dayKind = dayKind;
    return e;
}

QString dayOfFile(const QString& dayFileName) {
    QString day = dayFileName;
    if (day.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive)) day.chop(4);
    return day;
}

} // namespace

void Form1::setRecoveryDelay(int ms) {
    RecoveryDelay = ms;
    if (ms < 0 && RecoveryTimer) RecoveryTimer->stop();
}

void Form1::UnsavedTextChanged(bool typed) {
    if (RecoveryDelay < 0) return;
    if (!RecoveryTimer) {
        RecoveryTimer = new QTimer(this);
        RecoveryTimer->setSingleShot(true);
        connect(RecoveryTimer, &QTimer::timeout, this, [this] { KeepUnsavedTexts(); });
    }
    // A text put into a box by the program may end an unsaved one: the hidden file
    // follows, if there is one.
    if (!typed && !RecoveryFileThere) return;
    if (!RecoveryTimer->isActive()) {
        RecoveryWaiting.start();
    } else if (RecoveryWaiting.elapsed() >= qint64(kLongestWait) * RecoveryDelay) {
        return; // typing without a pause: let the timer run out
    }
    RecoveryTimer->start(RecoveryDelay);
}

void Form1::UnsavedTextSaved() {
    // Once the handler that saved has marked its box saved, the hidden file follows, at
    // once: a crash just after a save must not bring back what it saved.
    if (!RecoveryFileThere || KeepQueued) return;
    KeepQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            KeepQueued = false;
            if (RecoveryFileThere) KeepUnsavedTexts();
        },
        Qt::QueuedConnection);
}

QList<Entry> Form1::UnsavedEntries() const {
    QList<Entry> out;
    QSet<QString> pages;
    // The newest text of a page first: a box before a text held from an older save.
    const auto page = [&](const QString& caption, const QString& text, const store::Version& base) {
        if (!calendar::captionDate(caption) || pages.contains(caption)) return;
        pages.insert(caption);
        out << entry(Kind::Page, caption, {text}, base);
    };
    if (Text1->isModified() && Diary.dated()) page(Diary.DiaryCaption, Text1->text(), Diary.DiaryFile.base);
    for (int i = 0; i < 7; ++i)
        if (Text2[i]->isModified() && !Text2[i]->isReadOnly() && !Text2[i]->text().isEmpty())
            page(Label3[i]->text(), Text2[i]->text(), WeekFiles[i].base);
    for (auto it = Diary.UnsavedPages.cbegin(); it != Diary.UnsavedPages.cend(); ++it)
        page(it.key(), it->text, it->base);

    if ((Text6->isModified() || NoteUnsaved) && !Text6->text().isEmpty())
        out << entry(Kind::Note, NoteFile.name, {Text6->text()}, NoteFile.base);
    for (int k = 0; k < 2; ++k) {
        const bool typed = Text9[k]->isModified() && !Text9[k]->isReadOnly() && !DayFiles[k].name.isEmpty();
        if (typed) out << entry(Kind::DayText, DayFiles[k].name, {Text9[k]->text()}, DayFiles[k].base, k);
        for (auto it = HeldDayTexts[k].cbegin(); it != HeldDayTexts[k].cend(); ++it)
            if (!typed || it.key() != DayFiles[k].name)
                out << entry(Kind::DayText, it.key(), {it->text}, it->base, k);
    }
    QStringList fields;
    bool cardTyped = false;
    for (const TextBox* t : Text7) {
        cardTyped = cardTyped || t->isModified();
        fields << t->text();
    }
    if (cardTyped || CardUnsaved) {
        Entry e = entry(Kind::Card, Combo3->currentText(), fields, CardFile.base);
        e.file = CardFile.name;
        out << e;
    }
    return out;
}

void Form1::KeepUnsavedTexts() {
    if (RecoveryTimer) RecoveryTimer->stop();
    const QList<Entry> entries = UnsavedEntries();
    const QString path = store::joinPath(DataFolder_, recovery::kFileName);
    if (entries.isEmpty()) {
        ForgetUnsavedTexts();
        return;
    }
    if (entries == RecoveryEntries && RecoveryFileThere) return; // nothing new to keep
    const QByteArray bytes = recovery::encode(entries, Platform_.now());
    if (const store::Status s = store::writeFile(path, bytes); !s) {
        // Said once: every pause in the typing would say it again.
        if (!RecoveryFailureTold)
            ReportFailure(
                QStringLiteral("No se puede guardar la copia de lo que escribes sin guardar todavía en\n"
                               "%1\n\n%2\n\nSi Quelora se cerrase de golpe, se perdería. Guarda "
                               "lo que escribes saliendo de su casilla o con su botón.")
                    .arg(QDir::toNativeSeparators(path), s.reason));
        RecoveryFailureTold = true;
        return;
    }
    RecoveryFileThere = true;
    RecoveryEntries = entries;
}

void Form1::ForgetUnsavedTexts() {
    if (RecoveryTimer) RecoveryTimer->stop();
    if (!RecoveryFileThere) return;
    const QString path = store::joinPath(DataFolder_, recovery::kFileName);
    if (QFile::remove(path) || !QFile::exists(path)) {
        RecoveryFileThere = false;
        RecoveryEntries.clear();
    }
}

void Form1::RecoverUnsavedTexts() {
    const QString path = store::joinPath(DataFolder_, recovery::kFileName);
    const store::ReadResult r = store::readFile(path);
    if (!r.found) return;
    RecoveryFileThere = true; // the next keep replaces it
    const std::optional<QList<Entry>> entries = recovery::decode(r.bytes);
    if (!entries) {
        ReportNotice(QStringLiteral("Quelora no se cerró bien la última vez, y la copia de lo que no estaba "
                                    "guardado no se puede leer:\n%1")
                         .arg(QDir::toNativeSeparators(path)));
        return;
    }
    QStringList told;
    for (const Entry& e : *entries) {
        const QString text = e.texts.value(0);
        switch (e.kind) {
        case Kind::Page: {
            if (!calendar::captionDate(e.target)) break;
            BoxFile f = PageFile(e.target);
            f.base = e.base;
            const store::ReadResult page = store::readNamed(f.folder, f.name, store::Lookup::Once);
            if (page.ok && page.bytes == records::pageBytes(text)) break; // it was saved after all
            const QString what = QStringLiteral("la página del diario del %1").arg(e.target);
            if (FileUnchanged(f)) {
                // As leaving its box would have saved it.
                if (SavePage(e.target, text, f) == PageSave::Written)
                    told << QStringLiteral("• %1: guardada en su página.").arg(what);
                else
                    told << QStringLiteral("• %1: todavía no se ha podido guardar; se muestra al elegir su "
                                           "día.")
                                .arg(what);
                break;
            }
            // The page changed after the text was typed: it stays, and the text goes beside it.
            const QString stored = store::findNamed(f.folder, f.name, store::Lookup::Once);
            const QString beside =
                store::otherVersionName(f.folder, stored.isEmpty() ? f.name : stored, Platform_.now());
            QString written;
            if (SaveText(f.folder, beside, text, QString(), store::Sync::Durable, &written) != Saved::Failed)
                told << QStringLiteral("• %1: la página cambió fuera de Quelora después; lo que escribiste "
                                       "está en el archivo\n   %2")
                            .arg(what, QDir::toNativeSeparators(written));
            else
                Diary.UnsavedPages.insert(e.target, {text, e.base});
            break;
        }
        case Kind::Note: {
            if (text.isEmpty()) break;
            if (!e.target.isEmpty()) {
                const store::ReadResult note = store::readNamed(DataPath(layout::kNotes), e.target);
                if (note.ok && note.bytes == store::encode(text)) break;
            }
            const QString name = NoteSaveName(); // the editor holds no note yet: a minute of its own
            if (SaveText(DataPath(layout::kNotes), name, text) != Saved::Failed) {
                told << QStringLiteral("• una nota: guardada como nota %1.").arg(name);
            } else {
                Text6->setText(text);
                NoteUnsaved = true;
                told << QStringLiteral(
                    "• una nota: todavía no se ha podido guardar; está en la casilla de las "
                    "notas.");
            }
            break;
        }
        case Kind::DayText: {
            const QString folder = DataPath(records::dayRecordFolder(e.dayKind));
            const store::ReadResult file = store::readNamed(folder, e.target);
            if (file.ok && file.bytes == records::dayFileBytes(text)) break;
            HeldDayTexts[e.dayKind].insert(e.target, {text, e.base});
            told << QStringLiteral("• %1 del %2: está en su casilla al elegir ese día; pulsa su botón G para "
                                   "guardarlo.")
                        .arg(dayTextName(e.dayKind), dayOfFile(e.target));
            break;
        }
        case Kind::Card:
            RecoveredCard = e; // into its fields once the address book is filled
            told << QStringLiteral("• la ficha «%1»: está en la agenda de direcciones; pulsa GUARDAR para "
                                   "guardarla.")
                        .arg(text);
            break;
        }
    }
    if (!told.isEmpty())
        ReportNotice(QStringLiteral("Quelora no se cerró bien la última vez. Se ha recuperado lo que aún no "
                                    "estaba guardado:\n\n") +
                     told.join(QLatin1Char('\n')));
}

void Form1::RecoverCardDraft() {
    if (!RecoveredCard) return;
    const Entry e = *std::exchange(RecoveredCard, std::nullopt);
    for (int i = 0; i < Combo3->count(); ++i)
        if (store::sameName(Combo3->itemText(i), e.target)) {
            Combo3->setText(Combo3->itemText(i));
            Combo3_Click();
            break;
        }
    addresses::Card card;
    for (int i = 0; i < addresses::kFieldCount; ++i)
        card[i] = e.texts.value(i);
    const QString group = addresses::groupFolder(BookFolder(), e.target);
    // Unless the card is already saved as it was.
    if (!group.isEmpty()) {
        const store::ReadResult r = store::readNamed(group, card[0]);
        if (r.ok && addresses::cardFromFile(r.bytes) == addresses::storedCard(card)) return;
    }
    for (int i = 0; i < addresses::kFieldCount; ++i)
        Text7[i]->setText(card[i]);
    CardFile = BoxFile{group, e.file, e.base, false};
    CardCopyFile = BoxFile();
    CardUnsaved = true;
}
