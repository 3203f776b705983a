// Benchmarks of the real window on a large data folder, offscreen. Each timed step is
// what one user action costs: the handler and the repaint it causes.
//
//   quelora_bench [--quelora_data=FOLDER] [--quelora_scale=1|10|100] [--quelora_cards=N]
//                 [--quelora_notes=N] [Google Benchmark flags]
//
// Without --quelora_data a folder is generated in a temporary folder first.
#include "benchplatform.h"
#include "datagen.h"

#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "notes/notes.h"
#include "records/records.h"
#include "spelling/spelling.h"
#include "store/codepage.h"
#include "store/files.h"
#include "store/folderindex.h"
#include "store/history.h"
#include "store/layout.h"
#include "store/names.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#if defined(__GLIBC__)
#include <malloc.h>
#endif
#include <QFileInfo>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#if defined(Q_OS_UNIX)
#include <dirent.h>
#endif
#include <memory>
#include <vector>

using quelora::bench::BenchPlatform;
namespace store = quelora::store;
namespace records = quelora::records;
namespace history = quelora::history;

namespace {

QString g_data; // the data folder every benchmark runs on

const QDateTime kClock(quelora::bench::kLastDiaryDay, QTime(10, 0));

// Posted work (the repaint of what changed, deferred messages) done now.
void settle() {
    QCoreApplication::sendPostedEvents();
    QApplication::processEvents();
}

// The window as the program starts it, shown and painted once.
struct Window {
    BenchPlatform platform;
    std::unique_ptr<Form1> form;

    explicit Window(bool spelling = false) {
        platform.clock = kClock;
        if (spelling) platform.dictionaries = quelora::spelling::systemDictionaryFolders();
        form = std::make_unique<Form1>(g_data, platform);
        form->Form_Load();
        form->show();
        QApplication::setActiveWindow(form.get());
        (void)QTest::qWaitForWindowExposed(form.get());
        settle();
    }
    ~Window() {
        form.reset();
        settle();
    }
    Form1* operator->() const { return form.get(); }

    // The index of the button that shows day d of the month on show.
    int dayIndex(int d) const { return form->firstDayColumn() + d - 1; }
    void chooseGroup(const QString& group) {
        form->Combo3->setEditText(group);
        form->Combo3_Click();
        settle();
    }
};

QString diasFolder() {
    return store::joinPath(g_data, quelora::layout::kPages);
}

// ---- Start-up ---------------------------------------------------------------------------

void StartUp(benchmark::State& state) {
    BenchPlatform platform;
    platform.clock = kClock;
    for (auto _ : state) {
        auto form = std::make_unique<Form1>(g_data, platform);
        form->Form_Load();
        benchmark::DoNotOptimize(form.get());
        state.PauseTiming();
        form.reset();
        settle();
        state.ResumeTiming();
    }
}

void StartUpShown(benchmark::State& state) {
    BenchPlatform platform;
    platform.clock = kClock;
    for (auto _ : state) {
        auto form = std::make_unique<Form1>(g_data, platform);
        form->Form_Load();
        form->show();
        settle();
        state.PauseTiming();
        form.reset();
        settle();
        state.ResumeTiming();
    }
}

// ---- Calendar and day panel -----------------------------------------------------------

void MonthChange(benchmark::State& state) {
    Window w;
    int i = 0;
    for (auto _ : state) {
        w->Command4_Click(10 + (i++ & 1)); // November, December, November, ...
        settle();
    }
}

// Clicks run through the days of the month on show. With pages=false the month is
// December 2025, a month with no pages yet: each click looks for a page that is not there.
void DayClick(benchmark::State& state, bool pages) {
    Window w;
    if (!pages) {
        w->Command3_Click(0);
        settle();
    }
    const int days = w->monthLength();
    int d = 0, found = 0;
    for (auto _ : state) {
        w->Command1_Click(w.dayIndex(d % days + 1));
        settle();
        found += w->Text1->text().isEmpty() ? 0 : 1;
        ++d;
    }
    state.counters["with_page"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
}

// ---- Week view and read-outs ------------------------------------------------------------

void WeekFill(benchmark::State& state, bool pages) {
    Window w;
    if (!pages) {
        w->Command3_Click(0);
        settle();
    }
    w->Command1_Click(w.dayIndex(18));
    settle();
    for (auto _ : state) {
        w->Command6_Click(1);
        settle();
    }
    int shown = 0;
    for (quelora::TextBox* t : w->Text2)
        shown += t->text().isEmpty() ? 0 : 1;
    state.counters["pages"] = shown;
}

void PanelFill(benchmark::State& state, int panel) {
    Window w;
    for (auto _ : state) {
        w->Command6_Click(panel);
        settle();
    }
    const QString text = (panel == 2 ? w->Text3 : w->Text5)->text();
    state.counters["pages"] = static_cast<double>(text.count(QStringLiteral(" de 2024 \r\n")));
    state.counters["chars"] = static_cast<double>(text.size());
}

QStringList yearCaptions2024() {
    return records::yearCaptions(quelora::calendar::januaryFirstColumn(2024), 29,
                                 quelora::calendar::monthNames(), QStringLiteral("2024"));
}

const QString kSeparator = QStringLiteral(" \r\n");

QString indexedYearReadOut() {
    const QString folder = diasFolder();
    const store::FolderIndex pages(folder);
    const auto read = [&folder](const QString& stored) -> std::optional<QByteArray> {
        store::ReadResult page = store::readFile(store::joinPath(folder, stored));
        if (!page.ok) return std::nullopt;
        return std::move(page.bytes);
    };
    return records::readOutText(yearCaptions2024(), pages, read, kSeparator);
}

// The year read-out as the program builds it, without the widget: one listing of
// "dias", 366 look-ups in its index, the pages read.
void YearReadOutIndexed(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(indexedYearReadOut());
}

// The literal algorithm: one directory search, that is one listing of "dias", per date.
QString literalYearReadOut() {
    const QString folder = diasFolder();
    QString out;
    for (const QString& caption : yearCaptions2024()) {
        const QString name = records::pageName(caption);
        QString stored;
        for (const QString& n : store::listFiles(folder))
            if (n.compare(name, Qt::CaseInsensitive) == 0) {
                stored = n;
                break;
            }
        if (stored.isEmpty()) continue;
        out += caption + kSeparator;
        if (const store::ReadResult page = store::readFile(store::joinPath(folder, stored)); page.ok)
            out += records::pageText(page.bytes);
        out += kSeparator + kSeparator;
    }
    return out;
}

void YearReadOutListingPerProbe(benchmark::State& state) {
    if (literalYearReadOut() != indexedYearReadOut()) {
        state.SkipWithError("the literal read-out differs from the program's");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(literalYearReadOut());
}

// Names of the regular files of a folder by the cheapest means the system has: one
// readdir pass where there is one (no stat, no per-entry objects), else QDir.
QStringList rawListing(const QString& folder) {
#if defined(Q_OS_UNIX)
    QStringList names;
    if (DIR* d = opendir(QFile::encodeName(folder).constData())) {
        while (const dirent* e = readdir(d))
            if (e->d_type == DT_REG) names << QFile::decodeName(e->d_name);
        closedir(d);
    }
    return names;
#else
    return store::listFiles(folder);
#endif
}

// The floor: list "dias" once and read that year's pages into memory, nothing else.
void YearReadOutFloor(benchmark::State& state, bool raw) {
    const QString folder = diasFolder();
    const QString suffix = QStringLiteral(" de 2024.txt");
    qsizetype files = 0;
    for (auto _ : state) {
        std::vector<QByteArray> pages;
        pages.reserve(366);
        for (const QString& n : raw ? rawListing(folder) : store::listFiles(folder))
            if (n.endsWith(suffix, Qt::CaseInsensitive)) {
                QFile f(store::joinPath(folder, n));
                if (f.open(QIODevice::ReadOnly)) pages.push_back(f.readAll());
            }
        files = static_cast<qsizetype>(pages.size());
        benchmark::DoNotOptimize(pages.data());
    }
    state.counters["pages"] = static_cast<double>(files);
}

// The widget's share of the year read-out: the finished text put into the year panel.
void YearReadOutSetText(benchmark::State& state) {
    Window w;
    w->Command6_Click(3);
    settle();
    const QString text = indexedYearReadOut();
    for (auto _ : state) {
        w->Text5->setText(text);
        settle();
    }
}

// The program's read-out text as the panel buttons build it: the kept index of "dias"
// (listed once, reused while the folder is unchanged), the look-ups, the pages read.
QString keptReadOut(const QStringList& captions) {
    const QString folder = diasFolder();
    const auto pages = store::FolderIndex::current(folder);
    const auto read = [&folder](const QString& stored) -> std::optional<QByteArray> {
        store::ReadResult page = store::readFile(store::joinPath(folder, stored));
        if (!page.ok) return std::nullopt;
        return std::move(page.bytes);
    };
    return records::readOutText(captions, *pages, read, kSeparator);
}

void ReadOutText(benchmark::State& state, bool year) {
    const QStringList captions =
        year ? yearCaptions2024()
             : records::monthCaptions(QDate(2024, 12, 1).dayOfWeek() - 1, 31, QStringLiteral("DICIEMBRE"),
                                      QStringLiteral("2024"));
    for (auto _ : state)
        benchmark::DoNotOptimize(keptReadOut(captions));
}

// The floor of the month read-out: "dias" listed once and December 2024's pages read.
void MonthReadOutFloor(benchmark::State& state) {
    const QString folder = diasFolder();
    const QString suffix = QStringLiteral(" de DICIEMBRE de 2024.txt");
    for (auto _ : state) {
        std::vector<QByteArray> pages;
        for (const QString& n : rawListing(folder))
            if (n.endsWith(suffix, Qt::CaseInsensitive)) {
                QFile f(store::joinPath(folder, n));
                if (f.open(QIODevice::ReadOnly)) pages.push_back(f.readAll());
            }
        benchmark::DoNotOptimize(pages.data());
    }
}

// The first showing of a panel whose contents are read only then (the note list).
void PanelFirstShow(benchmark::State& state, int panel) {
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>();
        state.ResumeTiming();
        (*w)->Command6_Click(panel);
        settle();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
}

// What a week costs without any listing: its seven pages read by their exact names.
void WeekFloor(benchmark::State& state) {
    const QString folder = diasFolder();
    const std::array<QDate, 7> dates = records::weekDates(QDate(2024, 12, 18), 2);
    const std::array<QString, 7> captions = records::weekCaptions(dates);
    int found = 0;
    for (auto _ : state) {
        found = 0;
        for (const QString& c : captions) {
            const store::ReadResult r = store::readFile(store::joinPath(folder, records::pageName(c)));
            if (r.ok) {
                benchmark::DoNotOptimize(records::pageText(r.bytes));
                ++found;
            }
        }
    }
    state.counters["pages"] = found;
}

// One look-up of a page that is not there: the whole folder is listed to be sure no
// file has that name in other letter case.
void FindNamedMiss(benchmark::State& state) {
    const QString name = QStringLiteral("LUNES, 1 de DICIEMBRE de 2025.txt");
    for (auto _ : state)
        benchmark::DoNotOptimize(store::findNamed(diasFolder(), name));
}

// The part no design can avoid where a name may be stored in any letter case.
void ListDias(benchmark::State& state) {
    qsizetype n = 0;
    for (auto _ : state)
        n = store::listFiles(diasFolder()).size();
    state.counters["files"] = static_cast<double>(n);
}

void IndexDias(benchmark::State& state) {
    for (auto _ : state) {
        const store::FolderIndex index(diasFolder());
        benchmark::DoNotOptimize(index.names().size());
    }
}

// ---- Address book -------------------------------------------------------------------------

void SearchKeystroke(benchmark::State& state, const QString& group, bool typing) {
    Window w;
    w->Command6_Click(5);
    w.chooseGroup(group);
    if (!typing) {
        QTest::keyClick(w->Text8, 'g');
        settle();
    }
    qsizetype shownAfter = 0;
    for (auto _ : state) {
        // One keystroke timed, its undoing not.
        QTest::keyClick(w->Text8, typing ? 'g' : '\b');
        settle();
        state.PauseTiming();
        shownAfter = w->File2->count();
        QTest::keyClick(w->Text8, typing ? '\b' : 'g');
        settle();
        state.ResumeTiming();
    }
    state.counters["listed"] = static_cast<double>(shownAfter);
}

void ChooseGroup(benchmark::State& state, const QString& group) {
    Window w;
    w->Command6_Click(5);
    w->Combo3->setEditText(group);
    for (auto _ : state) {
        w->Combo3_Click();
        settle();
    }
    state.counters["listed"] = static_cast<double>(w->File2->count());
}

void CopyAll(benchmark::State& state, const QString& group) {
    Window w;
    w->Command6_Click(5);
    w.chooseGroup(group);
    int boxes = 0;
    for (auto _ : state) {
        w->Command7_Click(3);
        settle();
        state.PauseTiming();
        boxes = w.platform.messages;
        w.platform.messages = 0;
        w.platform.lastMessage.clear();
        state.ResumeTiming();
    }
    state.counters["cards"] = boxes;
    state.counters["clipboard_chars"] = static_cast<double>(w.platform.clipboard.size());
}

// ---- Notes and export -----------------------------------------------------------------------

void NoteListRefresh(benchmark::State& state) {
    Window w;
    w->Command6_Click(4);
    for (auto _ : state) {
        w->File1->refresh();
        settle();
    }
    state.counters["listed"] = w->File1->count();
}

// Another program adds a note (or removes it again): from its notice to the note list
// that shows it, on the window's thread.
void NoteAddedElsewhere(benchmark::State& state) {
    Window w;
    w->Command6_Click(4);
    const QString note =
        store::joinPath(store::joinPath(g_data, QStringLiteral("notas")), QStringLiteral("2031-1-1--0-0"));
    for (auto _ : state) {
        state.PauseTiming();
        const int before = w->File1->count();
        if (QFile::exists(note))
            QFile::remove(note);
        else
            (void)store::writeFile(note, "nota");
        state.ResumeTiming();
        for (int i = 0; i < 1000 && w->File1->count() == before; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        if (w->File1->count() == before) state.SkipWithError("the list never showed the change");
    }
    QFile::remove(note);
    settle();
    state.counters["listed"] = w->File1->count();
}

// A new note: saved under a minute no other note has, then the list refreshed.
void NoteSave(benchmark::State& state) {
    Window w;
    w->Command6_Click(4);
    const QString text =
        QString::fromUtf8("Llamar a Lucía por lo del viaje.\r\nComprar café y pan.\r\n").repeated(20);
    const QString notas = store::joinPath(g_data, QStringLiteral("notas"));
    QDateTime clock(QDate(2030, 1, 1), QTime(0, 0));
    for (auto _ : state) {
        state.PauseTiming();
        clock = clock.addSecs(60);
        w.platform.clock = clock;
        w->Text6->setText(text);
        state.ResumeTiming();
        w->Text6_LostFocus();
        settle();
        state.PauseTiming();
        (void)store::removeNamed(notas, quelora::notes::noteFileName(clock));
        for (int i = 0; i < 3; ++i)
            settle(); // the notice of that removal and what it asks: no part of a save
        state.ResumeTiming();
    }
}

// A 4 KB diary page saved over itself with one more letter, an hour later each time,
// through the window's save: the check against another program's change, the text it
// replaces kept in the history (read, written durably, that page's versions thinned), the
// durable write of the page.
void PageResave(benchmark::State& state) {
    Window w;
    const QString caption = QStringLiteral("LUNES, 1 de ENERO de 2029");
    Form1::BoxFile f = w->PageFile(caption);
    QString text = QString::fromUtf8("Hoy fuimos al río con Lucía y comimos en la venta. ").repeated(80);
    QDateTime clock(QDate(2029, 1, 1), QTime(0, 0));
    for (auto _ : state) {
        state.PauseTiming();
        clock = clock.addSecs(3600);
        w.platform.clock = clock;
        text += QLatin1Char('x');
        state.ResumeTiming();
        if (w->SavePage(caption, text, f) != Form1::PageSave::Written) state.SkipWithError("not saved");
    }
    state.counters["kept"] = double(history::keptOf(g_data, diasFolder(), f.name).size());
    QFile::remove(f.path());
    QDir(history::versionsFolder(g_data, diasFolder(), f.name)).removeRecursively();
}

// What the history alone adds to such a save: the same text kept, as the save keeps it.
void HistoryKeep(benchmark::State& state) {
    const QString name = QStringLiteral("MARTES, 2 de ENERO de 2029.txt");
    QByteArray bytes =
        store::encode(QString::fromUtf8("Hoy fuimos al río con Lucía y comimos en la venta. ").repeated(80));
    QDateTime clock(QDate(2029, 1, 1), QTime(0, 0));
    for (auto _ : state) {
        clock = clock.addSecs(3600);
        bytes += 'x';
        if (!history::keep(g_data, diasFolder(), name, bytes, clock)) state.SkipWithError("not kept");
    }
    QDir(history::versionsFolder(g_data, diasFolder(), name)).removeRecursively();
}

// The floor of saving a note: the same text written durably through the store alone.
void NoteSaveFloor(benchmark::State& state) {
    const QByteArray bytes = store::encode(
        QString::fromUtf8("Llamar a Lucía por lo del viaje.\r\nComprar café y pan.\r\n").repeated(20));
    const QString path =
        store::joinPath(store::joinPath(g_data, QStringLiteral("notas")), QStringLiteral("2030-1-1--0-0"));
    int n = 0;
    for (auto _ : state) // other bytes each time: a file already holding them is not written
        benchmark::DoNotOptimize(store::writeFile(path, bytes + QByteArray::number(++n % 2)).code);
    QFile::remove(path);
}

// What a pause in typing costs: the unsaved text of the diary box (a 4 KB page with one
// more letter each time) kept in the hidden file, on the window's thread.
void KeepUnsaved(benchmark::State& state) {
    Window w;
    w->Text1->setFocus();
    w->Text1->setText(QString::fromUtf8("Hoy fuimos al río con Lucía y comimos en la venta. ").repeated(80));
    for (auto _ : state) {
        state.PauseTiming();
        w->Text1->insertPlainText(QStringLiteral("x")); // as a keystroke: an edit of the user's
        state.ResumeTiming();
        w->KeepUnsavedTexts();
    }
    w->ForgetUnsavedTexts();
}

// Its floor: a file of the same size written durably through the store alone.
void KeepUnsavedFloor(benchmark::State& state) {
    const QByteArray bytes(4200, 'x');
    const QString path = store::joinPath(g_data, QStringLiteral(".floor"));
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(store::writeFile(path, bytes + QByteArray::number(++n % 2)).code);
    QFile::remove(path);
}

// ---- Spelling --------------------------------------------------------------------------

// A page of the diary: everyday Spanish with a few words the dictionary does not know.
QString spellingPage(int bytes) {
    const QString line =
        QString::fromUtf8("Hoy fuimos al río con Lucía y comimos en la venta de Begoñita; el camarero trajo "
                          "unas migas estupendas y un vino de la tierra. Mañana escribiré a Ximena.\n");
    return line.repeated(std::max(1, bytes / int(line.toUtf8().size())));
}

// The window with the dictionary loaded (checked) or without one.
struct SpellingWindow : Window {
    explicit SpellingWindow(bool checked) : Window(checked) {
        while (checked && !form->speller()->ready())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        settle();
    }
};

// A keystroke in a 4 KB page, the marks of what is in view made again.
void SpellingKeystroke(benchmark::State& state, bool checked) {
    SpellingWindow w(checked);
    w->Text1->setFocus();
    w->Text1->setText(spellingPage(4096));
    settle();
    // One character at a time, as typed: words end and new ones begin.
    const QString typed = QString::fromUtf8("y luego fuimos a casa de Begoñita a cenar ");
    int i = 0;
    for (auto _ : state) {
        w->Text1->insertPlainText(typed.at(i++ % typed.size()));
        settle();
    }
}

// A 4 KB (or 5 MB) page shown in the diary box and its words in view checked.
void SpellingShow(benchmark::State& state, bool checked, int bytes) {
    SpellingWindow w(checked);
    const QString pages[2] = {spellingPage(bytes), spellingPage(bytes) + QStringLiteral("Fin.")};
    int i = 0;
    for (auto _ : state) {
        w->Text1->setText(pages[i++ & 1]);
        settle();
    }
}

// A page of a 5 MB page scrolled, and the words come into view marked.
void SpellingScroll(benchmark::State& state, bool checked) {
    SpellingWindow w(checked);
    w->Text1->setText(spellingPage(5 << 20));
    settle();
    QScrollBar* bar = w->Text1->verticalScrollBar();
    int i = 0;
    for (auto _ : state) {
        bar->setValue((i++ * 37) % bar->maximum());
        settle();
    }
}

// What the context menu waits for: the suggestions for a misspelt word.
void SpellingSuggest(benchmark::State& state) {
    const auto d = quelora::spelling::loadSpanish(quelora::spelling::systemDictionaryFolders());
    if (!d) return state.SkipWithError("no Spanish dictionary");
    const QStringList words = {QStringLiteral("mercadoo"), QString::fromUtf8("fuí"),
                               QStringLiteral("qeremos"),  QStringLiteral("escrivir"),
                               QStringLiteral("telefono"), QStringLiteral("nesecito"),
                               QStringLiteral("dijistes"), QStringLiteral("aora")};
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(d->suggest(words[i++ % words.size()], 6));
}

// Loading the dictionary (on its worker thread in the program), and what it adds to memory:
// the heap it holds (mallinfo2: in use, small blocks and mapped ones) and the resident size.
void SpellingLoad(benchmark::State& state) {
    auto residentMB = [] {
        QFile f(QStringLiteral("/proc/self/statm"));
        if (!f.open(QIODevice::ReadOnly)) return 0.0;
        return f.readAll().split(' ').value(1).toDouble() * 4096 / (1 << 20);
    };
    auto heapMB = [] {
#if defined(__GLIBC__)
        const struct mallinfo2 m = mallinfo2();
        return double(m.uordblks + m.hblkhd) / (1 << 20);
#else
        return 0.0;
#endif
    };
    // The first load only: a dictionary loaded is shared, so later loads cost nothing.
    double resident = -1, heap = -1;
    for (auto _ : state) {
        const double before = residentMB(), heapBefore = heapMB();
        auto d = quelora::spelling::loadSpanish(quelora::spelling::systemDictionaryFolders());
        if (!d) return state.SkipWithError("no Spanish dictionary");
        if (resident < 0) {
            resident = residentMB() - before;
            heap = heapMB() - heapBefore;
        }
    }
    state.counters["resident_MB_added"] = resident;
    state.counters["heap_MB_held"] = heap;
}

void ExportYear(benchmark::State& state) {
    Window w;
    w->Command6_Click(3);
    settle();
    for (auto _ : state) {
        w->Command9_Click();
        settle();
    }
    state.counters["bytes"] =
        static_cast<double>(QFileInfo(store::joinPath(g_data, QStringLiteral("texto.txt"))).size());
}

void registerAll() {
    using benchmark::RegisterBenchmark;
    const auto ms = benchmark::kMillisecond;
    RegisterBenchmark("StartUp", StartUp)->Unit(ms);
    RegisterBenchmark("StartUpShown", StartUpShown)->Unit(ms);
    RegisterBenchmark("MonthChange", MonthChange)->Unit(ms);
    RegisterBenchmark("DayClick/page", DayClick, true)->Unit(ms);
    RegisterBenchmark("DayClick/no_page", DayClick, false)->Unit(ms);
    RegisterBenchmark("WeekFill/pages", WeekFill, true)->Unit(ms);
    RegisterBenchmark("WeekFill/no_pages", WeekFill, false)->Unit(ms);
    RegisterBenchmark("WeekFill/floor", WeekFloor)->Unit(ms);
    RegisterBenchmark("MonthReadOut", PanelFill, 2)->Unit(ms);
    RegisterBenchmark("YearReadOut", PanelFill, 3)->Unit(ms);
    RegisterBenchmark("YearReadOut/indexed_no_widget", YearReadOutIndexed)->Unit(ms);
    RegisterBenchmark("YearReadOut/set_text", YearReadOutSetText)->Unit(ms);
    RegisterBenchmark("YearReadOut/text", ReadOutText, true)->Unit(ms);
    RegisterBenchmark("MonthReadOut/text", ReadOutText, false)->Unit(ms);
    RegisterBenchmark("MonthReadOut/floor", MonthReadOutFloor)->Unit(ms);
    RegisterBenchmark("NotesFirstShow", PanelFirstShow, 4)->Unit(ms);
    RegisterBenchmark("AddressBookFirstShow", PanelFirstShow, 5)->Unit(ms);
    RegisterBenchmark("YearReadOut/floor", YearReadOutFloor, true)->Unit(ms);
    RegisterBenchmark("YearReadOut/floor_qdir", YearReadOutFloor, false)->Unit(ms);
    RegisterBenchmark("YearReadOut/listing_per_probe", YearReadOutListingPerProbe)->Unit(ms);
    RegisterBenchmark("ListDias", ListDias)->Unit(ms);
    RegisterBenchmark("IndexDias", IndexDias)->Unit(ms);
    RegisterBenchmark("FindNamedMiss", FindNamedMiss)->Unit(ms);
    const QString big = quelora::bench::kBigGroup;
    for (const QString& g : {QStringLiteral("Todos"), big, QStringLiteral("Amigos")}) {
        const std::string n = g.toStdString();
        RegisterBenchmark(("SearchKeystroke/type/" + n).c_str(), SearchKeystroke, g, true)->Unit(ms);
        RegisterBenchmark(("SearchKeystroke/erase/" + n).c_str(), SearchKeystroke, g, false)->Unit(ms);
        RegisterBenchmark(("ChooseGroup/" + n).c_str(), ChooseGroup, g)->Unit(ms);
    }
    RegisterBenchmark(("CopyAll/" + big.toStdString()).c_str(), CopyAll, big)->Unit(ms);
    RegisterBenchmark("NoteListRefresh", NoteListRefresh)->Unit(ms);
    RegisterBenchmark("NoteAddedElsewhere", NoteAddedElsewhere)->Unit(ms);
    RegisterBenchmark("NoteSave", NoteSave)->Unit(ms);
    RegisterBenchmark("NoteSave/floor", NoteSaveFloor)->Unit(ms);
    RegisterBenchmark("PageResave", PageResave)->Unit(ms);
    RegisterBenchmark("HistoryKeep/page_4KB", HistoryKeep)->Unit(ms);
    RegisterBenchmark("KeepUnsaved/page_4KB", KeepUnsaved)->Unit(ms);
    RegisterBenchmark("KeepUnsaved/floor", KeepUnsavedFloor)->Unit(ms);
    RegisterBenchmark("ExportYear", ExportYear)->Unit(ms);
    RegisterBenchmark("Spelling/load", SpellingLoad)->Unit(ms)->Iterations(3);
    RegisterBenchmark("Spelling/keystroke_4KB/checked", SpellingKeystroke, true)->Unit(ms);
    RegisterBenchmark("Spelling/keystroke_4KB/unchecked", SpellingKeystroke, false)->Unit(ms);
    RegisterBenchmark("Spelling/show_4KB/checked", SpellingShow, true, 4096)->Unit(ms);
    RegisterBenchmark("Spelling/show_4KB/unchecked", SpellingShow, false, 4096)->Unit(ms);
    RegisterBenchmark("Spelling/show_5MB/checked", SpellingShow, true, 5 << 20)->Unit(ms);
    RegisterBenchmark("Spelling/show_5MB/unchecked", SpellingShow, false, 5 << 20)->Unit(ms);
    RegisterBenchmark("Spelling/scroll_5MB/checked", SpellingScroll, true)->Unit(ms);
    RegisterBenchmark("Spelling/scroll_5MB/unchecked", SpellingScroll, false)->Unit(ms);
    RegisterBenchmark("Spelling/suggest", SpellingSuggest)->Unit(ms);
}

// Takes --quelora_NAME=VALUE out of argv.
QString takeFlag(int& argc, char** argv, const char* name) {
    const std::string prefix = std::string("--quelora_") + name + "=";
    QString value;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
            value = QString::fromLocal8Bit(argv[i] + prefix.size());
        else
            argv[out++] = argv[i];
    }
    argc = out;
    return value;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_data = takeFlag(argc, argv, "data");
    quelora::bench::GenOptions options;
    options.shippedData = QStringLiteral(QUELORA_SHIPPED_DATA);
    if (const QString s = takeFlag(argc, argv, "scale"); !s.isEmpty()) options.diaryScale = s.toInt();
    if (const QString s = takeFlag(argc, argv, "cards"); !s.isEmpty()) {
        options.cards = s.toInt();
        options.bigGroupCards = std::min(options.bigGroupCards, options.cards / 4);
    }
    if (const QString s = takeFlag(argc, argv, "notes"); !s.isEmpty()) options.notes = s.toInt();

    QApplication app(argc, argv);
    QTemporaryDir generated;
    if (g_data.isEmpty()) {
        if (!generated.isValid()) return 1;
        g_data = generated.path();
        quelora::bench::GenSummary s;
        QString error;
        if (!quelora::bench::generateDataFolder(g_data, options, &s, &error)) {
            std::fprintf(stderr, "quelora_bench: %s\n", qPrintable(error));
            return 1;
        }
        std::fprintf(stderr, "generated %s: %d pages, %d cards, %d notes\n", qPrintable(g_data), s.pages,
                     s.cards, s.notes);
    }
    const QDir data(g_data);
    benchmark::AddCustomContext("quelora_data", g_data.toStdString());
    benchmark::AddCustomContext(
        "quelora_pages",
        std::to_string(QDir(data.filePath(QStringLiteral("dias"))).entryList(QDir::Files).size()));
    benchmark::AddCustomContext(
        "quelora_notes",
        std::to_string(QDir(data.filePath(QStringLiteral("notas"))).entryList(QDir::Files).size()));
    benchmark::AddCustomContext(
        "quelora_cards",
        std::to_string(
            QDir(data.filePath(QStringLiteral("direcciones/Todos"))).entryList(QDir::Files).size()));

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    registerAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
