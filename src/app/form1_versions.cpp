// Other versions of what the boxes show: another computer's conflict copy, another
// program's text kept aside, the texts earlier saves replaced. A box whose file has one
// beside it says so on a line under it, the day of such a page is marked on the grid,
// and the versions view shows each beside the box's text and takes the user's choice.
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/textbox.h"
#include "app/versionsview.h"
#include "calendar/calendar.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/history.h"
#include "store/layout.h"
#include "store/names.h"
#include "store/versions.h"

#include <algorithm>

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QListWidget>
#include <QLabel>
#include <QTextCursor>
#include <QTextDocument>

using namespace quelora;

namespace {

// The stored name of a box's file, and its folder's listing.
struct Listed {
    std::shared_ptr<const store::FolderIndex> index;
    QString stored;
};

// `listed`: a listing already made, used when it is of the file's folder.
Listed listedFile(const store::BoxFile& f, const std::shared_ptr<const store::FolderIndex>& listed = nullptr) {
    if (f.folder.isEmpty() || f.name.isEmpty()) return {};
    Listed l{listed && listed->folder() == f.folder ? listed : store::FolderIndex::current(f.folder), {}};
    l.stored = l.index->find(f.name);
    return l;
}

// "esta página", "esta nota", "esta ficha": what the versions of a box are of.
QString thisOf(const BoundBox* box, const BoundBox* diary, const BoundBox* note) {
    return box == diary  ? QStringLiteral("esta página")
           : box == note ? QStringLiteral("esta nota")
                         : QStringLiteral("esta ficha");
}

QString spokenWhen(const QDateTime& when) {
    if (!when.isValid()) return {};
    return when.time() == QTime(0, 0) ? when.toString(QStringLiteral("d/M/yyyy"))
                                      : when.toString(QStringLiteral("d/M/yyyy H:mm"));
}

} // namespace

QList<VersionChoice> Form1::VersionsOf(const BoundBox& box) const {
    QList<VersionChoice> found;
    const Listed l = listedFile(box.file);
    if (l.stored.isEmpty()) return found;
    const auto add = [&](const QString& path, const QString& origin, const QDateTime& when, bool beside) {
        const store::ReadResult r = store::readFile(path);
        if (!r.ok) return;
        VersionChoice v;
        v.origin = origin;
        v.when = when.isValid() ? when : QFileInfo(path).lastModified();
        v.texts = box.textsOf(r.bytes);
        v.text = v.texts.join(QStringLiteral("\r\n"));
        v.path = path;
        v.beside = beside;
        found << v;
    };
    for (const store::OtherVersion& o : store::versionsBeside(*l.index, l.stored))
        add(store::joinPath(box.file.folder, o.name), store::originText(o.says), o.says.when, true);
    for (const history::Kept& k : history::keptOf(DataFolder_, box.file.folder, l.stored))
        add(k.path,
            k.origin.isEmpty() ? QStringLiteral("una versión anterior, del historial")
                               : QStringLiteral("%1, del historial").arg(k.origin),
            k.when, false);
    // Newest first, whatever their kind.
    std::stable_sort(found.begin(), found.end(),
                     [](const VersionChoice& a, const VersionChoice& b) { return a.when > b.when; });
    return found;
}

Form1::VersionsBar& Form1::versionsBarOf(BoundBox* box) {
    for (VersionsBar& bar : VersionsBars)
        if (bar.box == box) return bar;
    QWidget* under = box->fields().back();
    VersionsBar bar;
    bar.box = box;
    bar.full = under->geometry();
    bar.button = new FlatButton(under->parentWidget());
    bar.button->setObjectName(QStringLiteral("Versiones_") + under->objectName());
    bar.button->setBackColor(vb::LightYellow);
    QFont font = under->font();
    font.setPointSizeF(8.25);
    font.setBold(true);
    bar.button->setFont(font);
    bar.button->setFocusPolicy(Qt::StrongFocus);
    bar.button->setGeometry(bar.full.x(), bar.full.bottom() - 19, bar.full.width(), 20);
    bar.button->hide();
    QWidget::setTabOrder(under, bar.button);
    connect(bar.button, &QPushButton::clicked, this, [this, box] { OpenVersions(box); });
    VersionsBars.push_back(bar);
    return VersionsBars.back();
}

void Form1::ShowVersionMarks() {
    // Before the window is on the screen the folders are not listed yet (start-up looks
    // only for today's page); the marks come with the first paint.
    if (!DiaryIndexWarmed) return;
    const auto pages = store::FolderIndex::current(DataPath(layout::kPages)); // the box's and the grid's
    for (BoundBox* box : {Diary, Note, Card}) {
        if (!box) continue;
        const Listed l = listedFile(box->file, pages);
        const QList<store::OtherVersion> beside =
            l.stored.isEmpty() ? QList<store::OtherVersion>() : store::versionsBeside(*l.index, l.stored);
        if (beside.isEmpty()) {
            for (VersionsBar& bar : VersionsBars)
                if (bar.box == box && bar.button->isVisible()) {
                    bar.button->hide();
                    box->fields().back()->setGeometry(bar.full);
                }
            continue;
        }
        VersionsBar& bar = versionsBarOf(box);
        const store::OtherVersion& newest = beside.first();
        const QString what = thisOf(box, Diary, Note);
        const QString told =
            beside.size() == 1
                ? QStringLiteral("Hay otra versión de %1: de %2, %3").arg(what, store::originText(newest.says),
                                                                        spokenWhen(newest.says.when))
                : QStringLiteral("Hay %1 versiones más de %2; la última de %3")
                      .arg(beside.size())
                      .arg(what, store::originText(newest.says));
        // On screen, in the line's width: what and whence first, the button's word last.
        const QString shown =
            (beside.size() == 1 ? QStringLiteral("Otra versión: ")
                                : QStringLiteral("%1 versiones más; la última: ").arg(beside.size())) +
            store::originText(newest.says) + QStringLiteral(", ") + spokenWhen(newest.says.when);
        const QString button = QStringLiteral(" \u2014 VER");
        const QFontMetrics metrics(bar.button->font());
        bar.button->setText(
            metrics.elidedText(shown, Qt::ElideRight, bar.full.width() - 8 - metrics.horizontalAdvance(button)) +
            button);
        bar.button->setAccessibleName(QStringLiteral("Otras versiones"));
        bar.button->setAccessibleDescription(told + QStringLiteral(". Pulsa para verlas y elegir (Ctrl+H)."));
        bar.button->setToolTip(told);
        if (!bar.button->isVisible()) {
            QRect shorter = bar.full;
            shorter.setHeight(bar.full.height() - 22);
            box->fields().back()->setGeometry(shorter);
            bar.button->show();
        }
    }
    // The days of the month on show whose page has a version beside it.
    if (!Grid.firstDay.isValid()) return;
    const QStringList marked = store::filesWithVersions(*pages);
    for (int i = 0; i < 42; ++i) {
        bool has = false;
        if (!marked.isEmpty() && Grid.shows(i)) {
            const QDate d = Grid.date(i);
            const QString stored =
                pages->find(records::pageName(calendar::dateCaption(d.dayOfWeek() - 1, d)));
            has = !stored.isEmpty() && marked.contains(stored);
        }
        if (has == DayVersions[i]) continue;
        DayVersions[i] = has;
        Command1[i]->setVersionMark(has);
        DescribeDayButton(i);
    }
}

bool Form1::OpenVersions(BoundBox* box) {
    if (!box) {
        for (const auto& b : Boxes.boxes())
            if (b->hasFocus()) box = b.get();
        if (box != Diary && box != Note && box != Card)
            box = VisiblePanel == Panel::Notes ? Note : VisiblePanel == Panel::Addresses ? Card : Diary;
    }
    if (!box || box->file.name.isEmpty()) return false;
    // Compared with what the box holds now, saved or not: leaving a note would save it as a
    // note of its own, with none of the versions of the one on show.
    QList<VersionChoice> versions = VersionsOf(*box);
    if (versions.isEmpty()) {
        ReportNotice(QStringLiteral("No hay otras versiones de %1: ni de otro ordenador ni del historial.")
                         .arg(thisOf(box, Diary, Note)));
        return false;
    }
    const QString what = box == Diary  ? QStringLiteral("la página del %1").arg(box->target)
                         : box == Note ? QStringLiteral("la nota %1").arg(box->file.name)
                                       : QStringLiteral("la ficha «%1»").arg(box->file.name);
    if (Versions) Versions->close();
    Versions = new VersionsView(this, what, box->texts().join(QStringLiteral("\r\n")), versions);
    Versions->setAttribute(Qt::WA_DeleteOnClose);
    // The choice starts on the newest version that waits for an answer, if any.
    for (int i = 0; i < versions.size(); ++i)
        if (versions[i].beside) {
            Versions->list->setCurrentRow(i);
            break;
        }
    connect(Versions, &VersionsView::chosen, this, [this, box](int i, VersionAction a) {
        if (!Versions || i < 0 || i >= Versions->versions().size()) return;
        const VersionChoice v = Versions->versions()[i];
        TakeVersion(*box, v, a);
    });
    Versions->open();
    return true;
}

namespace {

// Puts texts into the box's fields as an edit of the user's: the box is then saved by
// its own save, and Ctrl+Z in a field brings back what it held.
void putAsTyped(BoundBox& box, const QStringList& texts) {
    for (std::size_t i = 0; i < box.fields().size(); ++i) {
        TextBox* t = box.fields()[i];
        const QString text = texts.value(int(i));
        if (t->text() == text) continue;
        QTextCursor c(t->document());
        c.select(QTextCursor::Document);
        c.insertText(store::fileToBox(text));
    }
}

} // namespace

void Form1::TakeVersion(BoundBox& box, const VersionChoice& v, VersionAction a) {
    QStringList texts = box.texts();
    if (a == VersionAction::TakeOther) {
        texts = v.texts;
    } else if (a == VersionAction::KeepBoth) {
        if (box.fields().size() == 1) {
            texts[0] = joinedText(texts[0], v);
        } else {
            // A card: the fields where the other differs go into its last field, each with
            // its caption, under the dated line; the card's own fields stay.
            QStringList lines;
            for (int i = 0; i < texts.size() && i < v.texts.size(); ++i)
                if (texts[i] != v.texts[i] && !v.texts[i].isEmpty())
                    lines << QStringLiteral("%1: %2").arg(Label4[i] ? Label4[i]->text() : QString::number(i + 1),
                                                           v.texts[i]);
            if (!lines.isEmpty()) {
                VersionChoice other = v;
                other.text = lines.join(QStringLiteral("\r\n"));
                texts.back() = joinedText(texts.back(), other);
            }
        }
    }
    const QString stored = listedFile(box.file).stored;
    bool saved = true;
    if (texts != box.texts()) {
        putAsTyped(box, texts);
        if (box.kind().saving == Saving::ByButton) {
            if (auto* b = qobject_cast<QAbstractButton*>(box.button)) b->click();
        } else {
            box.armed = true;
            if (box.kind().leave) box.kind().leave(box);
        }
        saved = !box.unsaved();
    }
    // The version beside the file has been answered: it leaves the folder, into the history.
    if (saved && v.beside && !stored.isEmpty()) {
        const QByteArray answered = store::readFile(v.path).bytes;
        const auto keepAway = [this, &v](const QString& path, const QString& storedName) {
            QString why;
            NoteOwnWrite(path);
            if (!history::keepFileAway(DataFolder_, path, storedName, platform().now(), v.origin, &why))
                ReportFailure(QStringLiteral("La otra versión no se ha podido pasar al historial y sigue junto al "
                                             "archivo:\n%1\n\n%2")
                                  .arg(QDir::toNativeSeparators(path), why));
        };
        keepAway(v.path, stored);
        // A card's copy in the all-cards group came with a conflict copy of its own, of the
        // same text: answered with it.
        if (&box == Card && CardCopyFile.folder != box.file.folder) {
            const Listed copy = listedFile(CardCopyFile);
            if (!copy.stored.isEmpty())
                for (const store::OtherVersion& o : store::versionsBeside(*copy.index, copy.stored)) {
                    const QString path = store::joinPath(CardCopyFile.folder, o.name);
                    if (store::readFile(path).bytes == answered) keepAway(path, copy.stored);
                }
        }
    } else if (!saved) {
        ReportNotice(QStringLiteral("No se ha guardado: la otra versión sigue junto al archivo."));
    }
    ShowVersionMarks();
}
