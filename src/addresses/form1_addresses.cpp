// The address book: groups, cards, the copy of a whole group, mail and search.
#include "addresses/cards.h"
#include "app/build.h"
#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/layout.h"
#include "store/names.h"

#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QSignalBlocker>
#include <utility>

using namespace quelora;
using namespace quelora::build;

namespace {
const QString kDeleteCardHint = QStringLiteral("Borra la ficha elegida en la lista");
const QString kCardSearchHint =
    QStringLiteral("Escribe para buscar una ficha; Tab lleva a la lista de las encontradas");
} // namespace
using addresses::Card;

namespace {

// The folder the card list shows for the group in the group field: the group's
// folder, or nothing (an empty list) when it has none.
QString listedGroupFolder(const Form1& f) {
    return addresses::groupFolder(f.BookFolder(), f.Combo3->currentText());
}

Card fieldsOf(const Form1& f) {
    Card card;
    for (int i = 0; i < addresses::kFieldCount; ++i)
        card[i] = f.Text7[i]->text();
    return card;
}

// The card's copy in the all-cards group, known as this card's own only while it holds
// what the card's file in its group held (card: that version): a copy that differs is
// another person's card of the same name, which a save never replaces.
Form1::BoxFile copyOfCard(Form1::BoxFile copy, const store::Version& card) {
    const store::Version now = store::versionAt(copy.path());
    if (card.known && now.sameContent(card)) copy.base = now;
    copy.fromFile = copy.base.known;
    return copy;
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
    // The folder must work on Windows too, where the data folder may be copied.
    if (const QString problem = store::windowsNameProblem(name); !problem.isEmpty()) {
        f.ReportFailure(QStringLiteral("No se ha creado el grupo «%1»: el nombre %2.").arg(name, problem));
        return;
    }
    if (addresses::bookHasEntry(f.BookFolder(), name)) return;
    const QString folder = store::joinPath(f.BookFolder(), name);
    if (const store::Status s = store::makeFolder(folder); !s)
        f.ReportFailure(QStringLiteral("No se ha podido crear la carpeta del grupo\n%1\n\n%2")
                            .arg(shown(folder), s.reason));
}

} // namespace

void Form1::buildAddressPanel(QFrame* f) {
    Combo3 =
        dropDown(f, QStringLiteral("Combo3"), tw(120, 240, 1935, 360), QString(), QStringLiteral("Grupo"),
                 QStringLiteral("Grupo de direcciones; escribe un nombre para uno nuevo"));
    connect(Combo3, &DropDown::edited, this, [this] { Combo3_Change(); });
    connect(Combo3, &QComboBox::activated, this, [this] { Combo3_Click(); });
    File2 = new FileList(f);
    File2->setObjectName(QStringLiteral("File2"));
    File2->setGeometry(tw(120, 720, 1935, 5070));
    describe(File2, QStringLiteral("Lista de fichas"), QStringLiteral("Fichas del grupo"));
    connect(File2, &FileList::clicked, this, [this] { File2_Click(); });

    const QStringList captions = {QStringLiteral("APELLIDOS"),     QStringLiteral("NOMBRE"),
                                  QString::fromUtf8("DIRECCIÓN"),  QString::fromUtf8("POBLACIÓN"),
                                  QString::fromUtf8("TELÉFONO/S"), QStringLiteral("E-MAIL"),
                                  QStringLiteral("REFERENCIA")};
    const QString names[7] = {QStringLiteral("Apellidos"), QStringLiteral("Nombre"),
                              QStringLiteral("Dirección"), QStringLiteral("Población"),
                              QStringLiteral("Teléfonos"), QStringLiteral("Correo electrónico"),
                              QStringLiteral("Referencia")};
    const VbColor colors[7] = {0x00400040, 0x00004000, 0x00000040, 0x00004040,
                               0x00008080, 0x00800000, 0x00404040};
    for (int i = 0; i < 7; ++i) {
        Label4[i] = label(f, indexed("Label4", i), tw(2160, 240 + 720 * i, 3000, 240), captions[i],
                          arial(9.75, true), names[i]);
        setForeColor(Label4[i], colors[i]);
        if (i == addresses::kMailField) { // beside the E-MAIL caption, before its field
            Command8 = button(f, QStringLiteral("Command8"), tw(5280, 3840, 2295, 255),
                              QStringLiteral("Enviar mensaje"), vb::LightYellow, arial(8.25),
                              QStringLiteral("Enviar mensaje"),
                              QStringLiteral("Abre el programa de correo con la dirección de la ficha"));
            connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
        }
        const bool reference = i == addresses::kReferenceField;
        Text7[i] = textBox(f, indexed("Text7", i), tw(2160, 480 + 720 * i, 5415, reference ? 930 : 330),
                           reference ? TextBox::Lines::Multi : TextBox::Lines::Single, arial(9.75), names[i]);
    }
    Text7[addresses::kReferenceField]->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Text8 = textBox(f, QStringLiteral("Text8"), tw(120, 5880, 1935, 495), TextBox::Lines::Single,
                    arial(14.25), QStringLiteral("Buscar"), kCardSearchHint);
    connect(Text8, &TextBox::changed, this, [this] { Text8_Change(); });
    const QString buttonCaptions[4] = {QStringLiteral("GUARDAR"), QStringLiteral("NUEVO"),
                                       QStringLiteral("ELIMINAR"), QStringLiteral("Copiar Todos")};
    const QString buttonNames[4] = {QStringLiteral("Guardar ficha"), QStringLiteral("Nueva ficha"),
                                    QStringLiteral("Eliminar ficha"), QStringLiteral("Copiar todas")};
    const QString buttonDescriptions[4] = {
        QStringLiteral("Guarda la ficha en su grupo y en Todos"),
        QStringLiteral("Vacía las casillas para una ficha nueva"),
        kDeleteCardHint,
        QStringLiteral("Copia todas las fichas del grupo al portapapeles")};
    const VbColor backs[4] = {vb::Green, vb::Blue, vb::Red, 0x0080FFFF};
    for (int i = 0; i < 4; ++i) {
        Command7[i] =
            button(f, indexed("Command7", i), tw(2160 + 1360 * i, 5880, 1335, 495), buttonCaptions[i],
                   backs[i], arial(9.75, true), buttonNames[i], buttonDescriptions[i]);
        connect(Command7[i], &QPushButton::clicked, this, [this, i] { Command7_Click(i); });
    }
    // Group, search, then the list it filters: Tab goes from the search to what it found.
    setTabOrder(Combo3, Text8);
    setTabOrder(Text8, File2);
    Dir1 = new FolderList(f);
    Dir1->setObjectName(QStringLiteral("Dir1"));
    describe(Dir1, QStringLiteral("Grupos"));
    Dir1->hide();
    File3 = new FileList(f);
    File3->setObjectName(QStringLiteral("File3"));
    describe(File3, QStringLiteral("Fichas"));
    File3->hide();
    Card = Boxes.add(Boxes.kind(CardKind()), std::vector<TextBox*>(Text7.begin(), Text7.end()));
    Card->button = Command7[0];
    // The card in the fields belongs to the group of the group field, as GUARDAR saves it.
    connect(Combo3, &QComboBox::editTextChanged, this,
            [this](const QString& group) { Card->target = group; });
}

BoxKind Form1::CardKind() {
    // A card not saved yet stays in its fields, which take no other card until GUARDAR
    // saves it or NUEVO clears it.
    BoxKind k;
    k.tag = QStringLiteral("ficha");
    k.format = BoxFormat::Card;
    k.saving = Saving::ByButton;
    k.spelled = {false, false, false, false, false, false, true}; // prose only in REFERENCIA
    k.waiting = [](const QString&, const QStringList& fields) {
        return QStringLiteral("• la ficha «%1»: está en la agenda de direcciones; pulsa GUARDAR para "
                              "guardarla.")
            .arg(fields.value(0));
    };
    k.restore = [this](const recovery::Entry& e, QStringList* told) { RestoreCard(e, told); };
    return k;
}

QString Form1::BookFolder() const {
    return Dir1->path();
}

QString Form1::AllCardsFolder() const {
    const QString all = store::findFolder(BookFolder(), layout::kAllCards);
    return store::joinPath(BookFolder(), all.isEmpty() ? layout::kAllCards : all);
}

void Form1::LoadAddressBook() {
    Dir1->setPath(DataPath(layout::kBook));
    Combo3->clear();
    for (int i = 0; i < Dir1->listCount(); ++i)
        Combo3->addItem(Dir1->listName(i));
    // The first group is shown as if picked: a folder name from the disk is no typed
    // text, so a group whose name holds "-" is not cut into another folder.
    Combo3->setText(Combo3->count() > 0 ? Combo3->itemText(0) : QString());
    File2->setPath(listedGroupFolder(*this));
}

void Form1::SaveCard() {
    const addresses::Card typed = fieldsOf(*this);
    if (const QString problem = addresses::cardNameProblem(typed[0]); !problem.isEmpty()) {
        ReportFailure(problem);
        return;
    }
    bool lossy = false;
    const addresses::Card card = addresses::storedCard(typed, &lossy);
    const QString group = Combo3->currentText();
    const QString book = BookFolder();
    const QString groupStored = store::findFolder(book, group);
    const QString allStored = store::findFolder(book, layout::kAllCards);
    const addresses::CardSavePlan plan = addresses::planCardSave(card[0], group, groupStored, allStored);
    if (!plan.refusal.isEmpty()) {
        ReportFailure(plan.refusal);
        return;
    }
    if (plan.nothing) {
        File2->refresh();
        return;
    }
    const QString text = addresses::cardFileText(card);
    const QByteArray bytes = store::encode(text);
    const QString groupFolder = store::joinPath(book, groupStored);
    const QString allFolder = AllCardsFolder();
    // Each copy checked against what was loaded or last saved of that very card (in its
    // group or in the all-cards group, whichever the folder is), so that another
    // program's change to it is kept beside.
    const auto target = [&](const QString& folder) {
        for (const BoxFile* known : {&Card->file, &CardCopyFile})
            if (!known->folder.isEmpty() && QDir(known->folder) == QDir(folder) &&
                store::sameName(known->name, card[0]))
                return BoxFile{folder, card[0], known->base, known->fromFile};
        return BoxFile{folder, card[0], {}, false};
    };
    BoxFile intoGroup = target(groupFolder);
    BoxFile intoAll = target(allFolder);
    // The name is a card's key, but a card of another person that happens to have it is
    // never replaced: two friends called García are two cards.
    QStringList others;
    if (plan.intoGroup && addresses::anotherCard(intoGroup, bytes)) others << groupStored;
    if (plan.intoAll && addresses::anotherCard(intoAll, bytes)) others << QDir(allFolder).dirName();
    if (!others.isEmpty()) {
        ReportFailure(addresses::anotherCardMessage(card[0], others));
        return;
    }
    bool failed = false;
    const QString what = QStringLiteral("La ficha «%1»").arg(card[0]);
    if (plan.intoGroup) {
        if (SaveBoxFile(intoGroup, text, QString(), what) == Saved::Failed)
            failed = true;
        else
            Card->file = intoGroup;
    }
    bool savedInAll = false;
    if (plan.intoAll) {
        savedInAll = SaveBoxFile(intoAll, text, QString(), what) != Saved::Failed;
        if (savedInAll) CardCopyFile = intoAll;
        failed = failed || !savedInAll;
    }
    if (!plan.intoGroup) {
        Card->file = CardCopyFile; // the card lives in the all-cards group only
        ReportFailure(addresses::groupWithoutFolderMessage(group, savedInAll));
    }
    // A card that could not be saved stays in the fields, as typed, until it can be; a
    // card saved shows what its files keep.
    Card->held = failed;
    if (!failed) Card->showSaved(QStringList(typed.begin(), typed.end()));
    if (lossy && !failed) {
        ReportNotice(QStringLiteral("Algunos caracteres de la ficha «%1» no caben en los archivos de texto "
                                    "(Windows-1252) y se han guardado como «?».")
                         .arg(card[0]));
    }
    KeepUnsavedTexts();
    ShowUnsavedMarks();
    ShowVersionMarks(); // the card now shown is the one saved
    File2->refresh();
}

void Form1::ClearCard() {
    Card->show({});
    Card->file = CardCopyFile = BoxFile();
    Card->held = false;
    KeepUnsavedTexts();
    ShowUnsavedMarks();
    ShowVersionMarks();
}

void Form1::DeleteCard() {
    const QString folder = File2->path();
    const QString name = File2->fileName();
    // Only the very file selected: a name found in another letter case is not it.
    if (folder.isEmpty() || name.isEmpty()) return;
    if (store::findNamed(folder, name) != name) { // gone meanwhile
        File2->refresh();
        return;
    }
    NoteOwnWrite(store::joinPath(folder, name));
    if (const store::Status s = RemoveText(folder, name); !s) {
        if (!s.notFound())
            ReportFailure(QStringLiteral("No se ha podido eliminar el archivo\n%1\n\n%2")
                              .arg(shown(store::joinPath(folder, name)), s.reason));
        File2->refresh();
        return;
    }
    // The fields show the card deleted, unless they hold one that is not saved.
    if (!Card->unsaved()) ClearCard();
    File2->refresh();
    // The button keeps the focus: a reader hears what went in its description.
    // What was deleted is kept in the history first: said with where to find it.
    Command7[2]->setAccessibleDescription(
        QStringLiteral("Se ha borrado la ficha de %1 del grupo %2; su texto queda en el historial, en la "
                       "carpeta %3. %4")
            .arg(name, Combo3->currentText(),
                 QDir::toNativeSeparators(QStringLiteral(".historial/%1/%2/%3")
                                              .arg(layout::kBook, QDir(folder).dirName(), name)),
                 kDeleteCardHint));
}

void Form1::CopyAllCards() {
    const QString group = Combo3->currentText();
    // A group without a folder copies its heading only; no other folder is read.
    File3->setPath(addresses::groupFolder(BookFolder(), group));
    QString text = addresses::copyAllHeading(group);
    if (!File3->path().isEmpty()) {
        for (const QString& name : File3->names()) {
            const store::ReadResult r = store::readNamed(File3->path(), name);
            if (!r.found) continue; // gone since the folder was listed
            if (!r.ok) {
                ReportFailure(QStringLiteral("No se ha podido leer la ficha\n%1\n\n%2")
                                  .arg(shown(store::joinPath(File3->path(), name)), r.reason));
                continue;
            }
            text += addresses::copyAllColumns(addresses::cardFromFile(r.bytes));
            platform().message(this, text);
            text += addresses::kCopyAllLineEnd;
        }
    }
    platform().setClipboardText(text);
}

bool Form1::MayReplaceCard() {
    if (!Card->unsaved()) return true;
    ReportNotice(
        QStringLiteral("La ficha de las casillas no está guardada y sigue ahí para que no se pierda: "
                       "pulsa GUARDAR para guardarla, o NUEVO para dejarla, antes de abrir otra."));
    return false;
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
    WatchFolder(File2->path());
}

void Form1::File2_Click() {
    const QString name = File2->fileName();
    if (File2->path().isEmpty() || name.isEmpty() || !MayReplaceCard()) return;
    if (Command7[2]->accessibleDescription() != kDeleteCardHint) Command7[2]->setAccessibleDescription(kDeleteCardHint);
    // A card that cannot be read shows as an empty card.
    Card->fill(BoxFile{File2->path(), name, {}, false}, Combo3->currentText());
    // Its copy in the all-cards group, as it is now: a save checks both.
    CardCopyFile = BoxFile{AllCardsFolder(), name, {}, false};
    if (QDir(CardCopyFile.folder) == QDir(Card->file.folder))
        CardCopyFile = Card->file; // the group is the all-cards group: one file
    else
        CardCopyFile = copyOfCard(CardCopyFile, Card->file.base);
    if (!Card->file.base.exists) File2->refresh(); // gone meanwhile: the list shows what there is
    ShowVersionMarks();
}

void Form1::Command7_Click(int Index) {
    switch (Index) {
    case 0:
        SaveCard();
        break;
    case 1:
        ClearCard();
        break;
    case 2:
        DeleteCard();
        break;
    case 3:
        CopyAllCards();
        break;
    default:
        break;
    }
}

void Form1::Command8_Click() {
    if (!platform().openMail(addresses::mailRequest(Text7[addresses::kMailField]->text())))
        ReportFailure(QStringLiteral("No se ha podido abrir el programa de correo."));
}

void Form1::Text8_Change() {
    File2->setPattern(addresses::searchPattern(Text8->text()));
    // As the search of everything written: the field says how many it leaves, once a change.
    const int n = File2->count();
    const QString count = n == 0   ? QStringLiteral("Ninguna ficha. ")
                          : n == 1 ? QStringLiteral("1 ficha. ")
                                   : QStringLiteral("%1 fichas. ").arg(n);
    if (const QString said = count + kCardSearchHint; Text8->accessibleDescription() != said)
        Text8->setAccessibleDescription(said);
}

void Form1::RestoreCard(const recovery::Entry& e, QStringList* told) {
    if (e.texts.size() != addresses::kFieldCount) return;
    RecoveredCard = e; // into its fields once the address book is filled
    *told << Card->kind().waiting(e.target, e.texts);
}

void Form1::RecoverCardDraft() {
    if (!RecoveredCard) return;
    const recovery::Entry e = *std::exchange(RecoveredCard, std::nullopt);
    for (int i = 0; i < Combo3->count(); ++i)
        if (store::sameName(Combo3->itemText(i), e.target)) {
            Combo3->setText(Combo3->itemText(i));
            Combo3_Click();
            break;
        }
    addresses::Card c;
    for (int i = 0; i < addresses::kFieldCount; ++i)
        c[i] = e.texts.value(i);
    const QString group = addresses::groupFolder(BookFolder(), e.target);
    // Unless the card is already saved as it was.
    if (!group.isEmpty()) {
        const store::ReadResult r = store::readNamed(group, c[0]);
        if (r.ok && addresses::cardFromFile(r.bytes) == addresses::storedCard(c)) return;
    }
    Card->show(QStringList(c.begin(), c.end()));
    Card->file = BoxFile{group, e.file, e.base, false};
    CardCopyFile = copyOfCard(BoxFile{AllCardsFolder(), e.file, {}, false}, e.base);
    Card->held = true;
    ShowUnsavedMarks();
    ShowVersionMarks();
}
