// The search of everything written: a field and a list of results laid over the
// panels while it is open (Ctrl+F, or a click on the date caption); Escape closes it
// and leaves the window as it was. Choosing a result shows it where it lives. While the
// field is empty the list shows the selected day's pages of every other year.
#include "app/build.h"
#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/platform.h"
#include "app/searchcontrols.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "search/background.h"
#include "search/search.h"
#include "store/codepage.h"
#include "store/layout.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QStyledItemDelegate>
#include <QTextCursor>
#include <QToolButton>

using namespace quelora;
using namespace quelora::build;
using search::Hit;

namespace {

const QString kSearchHint = QStringLiteral("Intro muestra el primer resultado; Escape cierra la búsqueda");

enum Role { HitRow = Qt::UserRole, Caption, Excerpt, HitStart, HitLength };

// A result in two lines: its caption in bold, then the excerpt with the words found in bold.
class ResultDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), 2 * option.fontMetrics.height() + 8};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem o = option;
        initStyleOption(&o, index);
        o.text.clear();
        o.widget->style()->drawControl(QStyle::CE_ItemViewItem, &o, p, o.widget);
        const bool chosen = o.state & QStyle::State_Selected;
        p->save();
        p->setPen(o.palette.color(chosen ? QPalette::HighlightedText : QPalette::Text));
        const QRect r = o.rect.adjusted(6, 3, -6, -3);
        const int line = o.fontMetrics.height();
        QFont bold = o.font;
        bold.setBold(true);
        p->setFont(bold);
        p->drawText(QRect(r.left(), r.top(), r.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                    QFontMetrics(bold).elidedText(index.data(Caption).toString(), Qt::ElideRight, r.width()));
        // The excerpt: before the hit, the hit in bold, after it, as far as the row goes.
        const QString excerpt = index.data(Excerpt).toString();
        const int start = index.data(HitStart).toInt();
        const int length = index.data(HitLength).toInt();
        const QString parts[3] = {excerpt.left(start), excerpt.mid(start, length),
                                  excerpt.mid(start + length)};
        int x = r.left();
        const int y = r.top() + line;
        for (int k = 0; k < 3 && x < r.right(); ++k) {
            const QFont f = k == 1 ? bold : o.font;
            const QFontMetrics fm(f);
            const QString shown = fm.elidedText(parts[k], Qt::ElideRight, r.right() - x);
            p->setFont(f);
            p->drawText(QRect(x, y, r.right() - x, line), Qt::AlignLeft | Qt::AlignVCenter, shown);
            x += fm.horizontalAdvance(shown);
        }
        p->restore();
    }
};

// What was found in a box it shows: selected and in view, so that it is seen and typing
// goes there. A box without it (no query) keeps its cursor.
void showFirstHit(TextBox* box, const QString& query) {
    const search::HitPlace hit = search::firstHit(store::fileToBox(box->text()), query);
    if (hit.start < 0) return;
    QTextCursor c(box->document());
    c.setPosition(static_cast<int>(hit.start));
    c.setPosition(static_cast<int>(hit.start + hit.length), QTextCursor::KeepAnchor);
    box->setTextCursor(c);
    box->ensureCursorVisible();
}

// Tells whether a widget is on show, as it comes and goes.
class ShownWatch : public QObject {
public:
    ShownWatch(QWidget* watched, std::function<void(bool)> shown)
        : QObject(watched), shown_(std::move(shown)) {
        watched->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Show || e->type() == QEvent::Hide) shown_(e->type() == QEvent::Show);
        return false;
    }

private:
    std::function<void(bool)> shown_;
};

} // namespace

struct Form1::SearchState {
    // The queries run on the search's own thread: the window is never held by one.
    std::unique_ptr<search::BackgroundSearch> searcher;
    QList<Hit> hits;
    QPointer<QWidget> focusBefore; // where Escape gives the focus back
    bool pickWhenFound = false;    // Return came before the answer: the first result is shown then
    QString keepChosen;            // the file chosen in the list before the day's list is asked again
    std::optional<QDate> day;      // the day of the list asked for while the field is empty
    QPointer<QObject> shownWatch;  // tells the searcher whether the panel is open: gone before it
    ~SearchState() { delete shownWatch; }
};

void Form1::SearchStateDelete::operator()(SearchState* s) const {
    delete s;
}

void Form1::SearchFileWritten(const QString& path) {
    if (Search_ && Search_->searcher) Search_->searcher->fileWritten(path);
}

bool Form1::SearchBusy() const {
    return Search_ && Search_->searcher && Search_->searcher->busy();
}

void Form1::buildSearchPanel() {
    Search_.reset(new SearchState);
    SearchPanel = new QFrame(this);
    SearchPanel->setObjectName(QStringLiteral("SearchPanel"));
    SearchPanel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    SearchPanel->setGeometry(tw(2880, 480, 7815, 6495));
    SearchPanel->setAutoFillBackground(true);
    QPalette p = SearchPanel->palette();
    p.setColor(QPalette::Window, colorFromVb(vb::White));
    SearchPanel->setPalette(p);
    describe(SearchPanel, QStringLiteral("Buscar"));
    // Where no notices come, the search keeps its check of the folders fresh while it is
    // open, on its own thread: no keystroke waits for one.
    Search_->shownWatch = new ShownWatch(SearchPanel, [this](bool shown) {
        if (Search_->searcher) Search_->searcher->keepUp(shown);
    });
    label(SearchPanel, QStringLiteral("SearchTitle"), tw(240, 120, 7335, 300),
          QStringLiteral("Buscar en el diario, las notas, las fichas y los textos de los días:"),
          arial(9.75, true));
    auto* field = new SearchField(SearchPanel);
    SearchText = field;
    SearchText->setObjectName(QStringLiteral("SearchText"));
    SearchText->setGeometry(tw(240, 420, 7335, 450));
    SearchText->setFont(arial(14.25));
    SearchText->setClearButtonEnabled(true);
    for (QToolButton* clear : SearchText->findChildren<QToolButton*>())
        describe(clear, QStringLiteral("Borrar el texto a buscar"));
    describe(SearchText, QStringLiteral("Texto a buscar"), kSearchHint);
    connect(field, &QLineEdit::textChanged, this, [this] { SearchText_Change(); });
    connect(field, &SearchField::escaped, this, [this] { CloseSearch(); });
    connect(field, &SearchField::entered, this, [this] {
        // The first result of what the field says: when it is still being looked for, once found.
        if (SearchBusy())
            Search_->pickWhenFound = true;
        else
            SearchResult_Pick(0);
    });
    // While the field is empty the list shows the selected day in the other years, under
    // this heading, and starts below it.
    SearchHeading = label(SearchPanel, QStringLiteral("SearchHeading"), tw(240, 960, 7335, 300), QString(),
                          arial(9.75, true));
    SearchHeading->hide();
    auto* results = new ResultList(SearchPanel);
    field->setResults(results);
    SearchResults = results;
    SearchResults->setObjectName(QStringLiteral("SearchResults"));
    SearchResults->setGeometry(tw(240, 960, 7335, 5055));
    SearchResults->setFont(arial(9.75));
    SearchResults->setUniformItemSizes(true);
    SearchResults->setItemDelegate(new ResultDelegate(SearchResults));
    describe(SearchResults, QStringLiteral("Resultados"),
             QStringLiteral("Lo más reciente primero; Intro o un clic lo muestra donde está"));
    connect(results, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* it) { SearchResult_Pick(SearchResults->row(it)); });
    connect(results, &ResultList::escaped, this, [this] { CloseSearch(); });
    connect(results, &ResultList::entered, this, [this](int row) { SearchResult_Pick(row); });
    SearchCount =
        label(SearchPanel, QStringLiteral("SearchCount"), tw(240, 6075, 7335, 300), QString(), arial(8.25));
    // Whatever takes the focus outside the search (a click on a day, a panel or a month
    // button, Tab into a box underneath) closes it first: nothing is ever shown or typed
    // into out of sight.
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { SearchFocusChanged(now); });
}

void Form1::SearchFocusChanged(QWidget* now) {
    if (!SearchPanel || !SearchPanel->isVisible() || !now || now->window() != this) return;
    if (now == SearchPanel || SearchPanel->isAncestorOf(now)) return;
    SearchPanel->hide();
    Search_->focusBefore.clear();
}

void Form1::installSearch() {
    auto* find = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this] { OpenSearch(); });
}

void Form1::OpenSearch() {
    if (!SearchPanel) buildSearchPanel();
    if (!SearchPanel->isVisible()) {
        Search_->focusBefore = QApplication::focusWidget();
        SearchPanel->raise();
        SearchPanel->show();
        // Opened again: an empty field, which shows this day in other years; the words of
        // the last search are one Ctrl+Z away.
        if (!SearchText->text().isEmpty()) {
            SearchText->selectAll();
            SearchText->del();
        }
    }
    // Taking the focus is leaving the box that had it: what it holds is saved as on any click.
    SearchText->setFocus(Qt::ShortcutFocusReason);
    SearchText->selectAll();
    // An empty field shows the day selected now in the other years.
    if (SearchText->text().trimmed().isEmpty()) SearchText_Change();
}

void Form1::CloseSearch() {
    if (!SearchPanel) return;
    // The focus goes straight back (which hides the panel): hiding the panel first would
    // hand it, for a moment, to the first control of the window.
    QWidget* back = Search_->focusBefore;
    Search_->focusBefore.clear();
    if (!back || !back->isVisible() || !back->isEnabled()) back = HomeFocus();
    back->setFocus(Qt::ShortcutFocusReason);
    SearchPanel->hide();
}

QWidget* Form1::HomeFocus() const {
    if (SelectedButton >= 0 && SelectedButton < 42 && Command1[SelectedButton]->isVisible())
        return Command1[SelectedButton];
    return Command5;
}

void Form1::SearchFilesChanged() {
    // A typed query keeps its list until the next keystroke; the day's list has none to wait for.
    if (!SearchPanel || !SearchPanel->isVisible() || !SearchText->text().trimmed().isEmpty()) return;
    const QListWidgetItem* current = SearchResults->currentItem();
    const QString path = current ? Search_->hits.value(current->data(HitRow).toInt()).path : QString();
    SearchText_Change();
    Search_->keepChosen = path; // chosen again in the new list
}

void Form1::SearchText_Change() {
    SearchState& st = *Search_;
    if (!st.searcher) {
        st.searcher = std::make_unique<search::BackgroundSearch>(
            DataFolder_, this, [this](const search::BackgroundSearch::Answer& a) { SearchFound(a); },
            SharedWatch());
        st.searcher->keepUp(SearchPanel->isVisible());
    }
    st.pickWhenFound = false;
    st.keepChosen.clear();
    // An empty field: this day in other years, the day being the one the caption names.
    const bool otherYears = SearchText->text().trimmed().isEmpty();
    st.day = otherYears ? calendar::captionDate(Label2->text()) : std::nullopt;
    if (!otherYears) {
        st.searcher->find(SearchText->text());
    } else if (st.day) {
        st.searcher->otherYears(*st.day);
    } else {
        // No day to look for: said at once, and whatever runs is of no more use.
        st.searcher->find(QString());
    }
}

void Form1::SearchFound(const search::SearchAnswer& a) {
    SearchState& st = *Search_;
    QList<Hit>& hits = st.hits;
    hits = a.hits;
    const bool otherYears = SearchText->text().trimmed().isEmpty();
    const std::optional<QDate> day = otherYears ? st.day : std::nullopt;
    SearchHeading->setVisible(otherYears && day);
    if (day)
        SearchHeading->setText(QStringLiteral("Este día en otros años: %1 de %2%3")
                                   .arg(day->day())
                                   .arg(calendar::monthTitle(day->month()).toLower(),
                                        day->month() == 2 && day->day() == 29
                                            ? QStringLiteral(", en los años bisiestos")
                                            : QString()));
    SearchResults->setGeometry(otherYears && day ? tw(240, 1290, 7335, 4725) : tw(240, 960, 7335, 5055));
    SearchResults->clear();
    for (int i = 0; i < hits.size(); ++i) {
        const Hit& h = hits[i];
        auto* it =
            new QListWidgetItem(h.caption + QLatin1Char('\n') + h.excerpt); // what a screen reader says
        it->setData(HitRow, i);
        it->setData(Caption, h.caption);
        it->setData(Excerpt, h.excerpt);
        it->setData(HitStart, h.hitStart);
        it->setData(HitLength, h.hitLength);
        SearchResults->addItem(it);
    }
    for (int i = 0; !st.keepChosen.isEmpty() && i < hits.size(); ++i)
        if (hits[i].path == st.keepChosen) SearchResults->setCurrentRow(i);
    st.keepChosen.clear();
    const search::Searcher::Stats stats = !otherYears || day ? a.stats : search::Searcher::Stats();
    const int matched = stats.matched;
    QString count;
    if (otherYears && !day)
        count = QStringLiteral("Elige un día en el calendario para ver sus páginas de otros años.");
    else if (stats.failed)
        count = QStringLiteral("La búsqueda no ha podido terminar: falta memoria. Cierra otros programas y "
                               "vuelve a intentarlo.");
    else if (otherYears)
        count = matched == 0   ? QStringLiteral("Ningún otro año tiene página este día.")
                : matched == 1 ? QStringLiteral("1 página de otro año")
                               : QStringLiteral("%1 páginas de otros años").arg(matched);
    else if (matched == 0)
        count = QStringLiteral("Nada encontrado");
    else if (matched > hits.size())
        count = QStringLiteral("%1 encontrados; se muestran los %2 más recientes: escribe más palabras "
                               "para afinar")
                    .arg(matched)
                    .arg(hits.size());
    else
        count = matched == 1 ? QStringLiteral("1 encontrado") : QStringLiteral("%1 encontrados").arg(matched);
    // A file too long to read whole is searched in its beginning only: the user is told.
    if (stats.cut > 0 && !count.isEmpty() && !stats.failed)
        count += stats.cut == 1
                     ? QStringLiteral(" (un archivo muy largo: solo se ha buscado en sus primeros %1 MB)")
                           .arg(search::kFileCapBytes >> 20)
                     : QStringLiteral(" (%1 archivos muy largos: solo se ha buscado en sus primeros %2 MB)")
                           .arg(stats.cut)
                           .arg(search::kFileCapBytes >> 20);
    SearchCount->setText(count);
    // The field that has the focus says it: a screen reader hears the count as it changes.
    // Only a change is said: a key that leaves the count as it was is not heard twice.
    const QString stop = count.endsWith(QLatin1Char('.')) ? QStringLiteral(" ") : QStringLiteral(". ");
    if (const QString said = count.isEmpty() ? kSearchHint : count + stop + kSearchHint;
        SearchText->accessibleDescription() != said)
        SearchText->setAccessibleDescription(said);
    if (st.pickWhenFound) {
        st.pickWhenFound = false;
        SearchResult_Pick(0);
    }
}

void Form1::ShowCalendarMonth(const QDate& date) {
    // As the month and year lists would: the month on show, no day marked yet.
    SelectedMonth = date.month();
    Combo1->setText(calendar::monthName(date.month()));
    Combo2->setText(QString::number(date.year()));
    Command2[0]->setText(QString::number(date.year())); // the arrows step from the year on show
    RestoreSelectedButtonColor();
    ShowMonth();
    ShowCaption(calendar::monthCaption(Combo1->currentText(), Combo2->currentText()));
}

void Form1::SearchResult_Pick(int row) {
    if (row < 0 || row >= SearchResults->count()) return;
    const Hit hit = Search_->hits.value(SearchResults->item(row)->data(HitRow).toInt());
    Search_->focusBefore.clear();
    // The panel stays until the focus moves to what was found (which hides it): hidden
    // first, it would hand the focus to the first control of the window on the way.
    switch (hit.kind) {
    case search::Kind::Page:
    case search::Kind::Holiday:
    case search::Kind::Reminder:
    case search::Kind::Saint: {
        QDate date = hit.date;
        if (hit.kind != search::Kind::Page) {
            // A day of the year is shown in the year on show (or, for 29 February, the
            // next leap year).
            int year = calendar::yearOf(Combo2->currentText()).value_or(platform().now().date().year());
            while (!QDate::isValid(year, hit.month, hit.day))
                ++year;
            date = QDate(year, hit.month, hit.day);
        }
        ShowCalendarMonth(date);
        Command1_Click(Grid.button(date.day()));
        TextBox* box = hit.kind == search::Kind::Page       ? Text1
                       : hit.kind == search::Kind::Holiday  ? Text9[0]
                       : hit.kind == search::Kind::Reminder ? Text9[1]
                                                            : Text9[2];
        box->setFocus(Qt::OtherFocusReason);
        showFirstHit(box, SearchText->text());
        break;
    }
    case search::Kind::Note: {
        // The calendar stays as it is: a note belongs to no day of it.
        Command6_Click(static_cast<int>(Panel::Notes));
        if (!File1->choose(hit.file)) {
            File1->refresh(); // a note another program has just added
            if (!File1->choose(hit.file)) break;
        }
        File1_Click();
        showFirstHit(Text6, SearchText->text());
        break;
    }
    case search::Kind::Card: {
        Command6_Click(static_cast<int>(Panel::Addresses));
        if (!Text8->text().isEmpty()) Text8->setText(QString()); // no search of names may hide the card
        Combo3->setText(hit.group);
        Combo3_Click();
        if (File2->choose(hit.file)) File2_Click();
        break;
    }
    }
    if (SearchPanel->isVisible()) Command6[static_cast<int>(VisiblePanel)]->setFocus(Qt::OtherFocusReason);
    SearchPanel->hide();
}
