// The window as a screen reader presents it: names, values, descriptions, roles and
// states through Qt's accessibility interfaces, and the events a reader hears while the
// keys and clicks of each row are delivered as real input.
#include "support/formfixture.h"
#include "support/gestures.h"

#include <QAccessible>
#include <QImage>
#include <QApplication>
#include <QListWidget>
#include <QToolButton>

// The offscreen platform has no screen reader, so Qt sends no accessibility events
// there; Qt's own tests switch them on through its platform layer, as this does. The
// declarations name Qt's exported functions (Qt ships no headers for them on Debian).
class QPlatformAccessibility {
public:
    void setActive(bool);
};
class QPlatformIntegration {
public:
    QPlatformAccessibility* accessibility() const;
};
class QGuiApplicationPrivate {
public:
    static QPlatformIntegration* platform_integration;
};

using namespace quelora;
using namespace quelora::test;

namespace {

// One event as the reader receives it: what its object says at that moment.
struct Heard {
    QAccessible::Event type;
    QObject* object;
    QString name, description;
};
std::vector<Heard>* heard = nullptr;

void record(QAccessibleEvent* e) {
    QAccessibleInterface* a = e->accessibleInterface();
    if (!heard || !a) return;
    heard->push_back({e->type(), e->object(), a->text(QAccessible::Name), a->text(QAccessible::Description)});
}

class Reader : public FormFixture {
public:
    using FormFixture::filesIn;
    using FormFixture::click;
    using FormFixture::crashAndRestart;
    using FormFixture::platform;
    using FormFixture::waitUntil;
    using FormFixture::clickInto;
    using FormFixture::dayButton;
    using FormFixture::focused;
    using FormFixture::makeFolder;
    using FormFixture::pressKey;
    using FormFixture::readBytes;
    using FormFixture::start;
    using FormFixture::typeText;
    using FormFixture::writeBytes;
    using FormFixture::exists;
    using FormFixture::settle;
    Form1& f() { return *form; }

    void SetUp() override {
        FormFixture::SetUp();
        QGuiApplicationPrivate::platform_integration->accessibility()->setActive(true);
        heard = &events;
        QAccessible::installUpdateHandler(record);
    }
    void TearDown() override {
        QAccessible::installUpdateHandler(nullptr);
        heard = nullptr;
        FormFixture::TearDown();
    }
    static QAccessibleInterface* of(QWidget* w) { return QAccessible::queryAccessibleInterface(w); }
    static QString name(QWidget* w) { return of(w)->text(QAccessible::Name); }
    static QString value(QWidget* w) { return of(w)->text(QAccessible::Value); }
    static QString description(QWidget* w) { return of(w)->text(QAccessible::Description); }
    // A key pressed on the control that has the focus.
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) { pressKey(focused(), k, mods); }
    // Tab until w has the focus, as a keyboard user walks the window.
    void tabTo(QWidget* w) {
        for (int i = 0; i < 90 && focused() != w; ++i)
            key(Qt::Key_Tab);
        ASSERT_EQ(focused(), w) << name(w).toStdString();
    }
    void keys(const QString& typed) { typeText(focused(), typed); }
    void press(std::initializer_list<Qt::Key> all) {
        for (Qt::Key k : all)
            key(k);
    }
    void open(QWidget* button) { // Tab to a button, then Espacio
        tabTo(button);
        key(Qt::Key_Space);
    }
    // What the reader says of the control that has the focus.
    static QString said() { return name(focused()); }
    // What was heard of one kind since the last call.
    std::vector<Heard> take(QAccessible::Event type) {
        std::vector<Heard> out;
        for (const Heard& h : events)
            if (h.type == type) out.push_back(h);
        events.clear();
        return out;
    }
    // Whether a description change of o starting with `start` was heard since the last take.
    bool told(QObject* o, const QString& start) {
        bool found = false;
        for (const Heard& h : take(QAccessible::DescriptionChanged))
            found |= h.object == o && h.description.startsWith(start);
        return found;
    }
    // The one object the focus was heard arriving at since the last take (none: nullptr).
    QObject* focusHeard() {
        const auto focus = take(QAccessible::Focus);
        EXPECT_EQ(focus.size(), 1u);
        return focus.size() == 1 ? focus[0].object : nullptr;
    }
    std::vector<Heard> events;
};

using Row = Gesture<Reader>;
class Rows : public Reader, public ::testing::WithParamInterface<Row> {};

TEST_P(Rows, Run) {
    GetParam().run(*this);
}

const QString kToday = u("dias/JUEVES, 15 de MARZO de 2007.txt");

const Row kRows[] = {
    // 1. HOY ends as a click on today's button: its page can be written.
    {"InicioFromAnotherMonthLeavesTodaysPageReadyToWrite",
     [](Reader& t) {
         t.start();
         t.click(t.f().Command4[3]);
         t.key(Qt::Key_Home);
         for (QWidget* w : {static_cast<QWidget*>(t.f().Text1), static_cast<QWidget*>(t.f().Command11[0])})
             EXPECT_FALSE(Reader::of(w)->state().disabled) << Reader::name(w).toStdString();
         t.clickInto(t.f().Text1);
         t.typeText(t.f().Text1, u("escrito tras Inicio"));
         t.key(Qt::Key_Tab);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("escrito tras Inicio"));
     }},
    // 2. The week panel's headings and boxes say their dates.
    {"TheWeekPanelSaysWhichWeekIsShown",
     [](Reader& t) {
         t.start();
         t.click(t.f().Command6[1]);
         EXPECT_EQ(Reader::name(t.f().Label3[0]), u("lunes 12 de marzo de 2007"));
         EXPECT_EQ(Reader::name(t.f().Text2[6]), u("Diario del domingo 18 de marzo de 2007"));
     }},
    // 3. A day in full, as it is when the focus arrives with the click.
    {"AClickedDayIsHeardInFullAsTheClickLeavesIt",
     [](Reader& t) {
         t.writeBytes(u("fiestas/16 de MARZO.txt"), "Fiesta\r\n");
         t.writeBytes(u("recordatorio/16 de MARZO.txt"), "Cita\r\n");
         t.writeBytes(u("dias/VIERNES, 16 de MARZO de 2007.txt"), "Página");
         t.start();
         t.take(QAccessible::Focus);
         t.click(t.dayButton(16));
         const auto focus = t.take(QAccessible::Focus);
         ASSERT_EQ(focus.size(), 1u);
         EXPECT_EQ(focus[0].object, t.dayButton(16));
         EXPECT_EQ(focus[0].name,
                   u("viernes 16 de marzo de 2007, festivo, recordatorio, con página, seleccionado"));
     }},
    // 4. Whatever changes the month lets the reader know.
    {"AMonthButtonPressedFromTheKeyboardTellsTheMonthNowOnShow",
     [](Reader& t) {
         t.start();
         t.click(t.f().Command4[3]);
         t.key(Qt::Key_Tab); // "Mayo"
         t.take(QAccessible::DescriptionChanged);
         t.key(Qt::Key_Space);
         EXPECT_TRUE(t.told(Reader::focused(), u("A la vista: mayo de 2007.")));
     }},
    {"TheYearArrowTellsTheYearAndTheYearButtonShowsIt",
     [](Reader& t) {
         t.start();
         t.click(t.f().Command3[0]);
         EXPECT_TRUE(Reader::description(t.f().Command3[0]).startsWith(u("A la vista: marzo de 2008.")));
         EXPECT_EQ(Reader::name(t.f().Command2[0]), u("Año de las flechas: 2008"));
     }},
    {"RePagOnADayChoosesTheSameDayOfTheMonthBefore",
     [](Reader& t) {
         t.start();
         t.events.clear();
         t.key(Qt::Key_PageUp); // the day is heard, not the month button on the way
         for (const Heard& h : t.take(QAccessible::Focus))
             EXPECT_EQ(h.object, t.dayButton(15)) << h.name.toStdString();
         EXPECT_EQ(Reader::focused(), t.dayButton(15));
         EXPECT_EQ(Reader::name(t.dayButton(15)), u("jueves 15 de febrero de 2007, seleccionado"));
     }},
    // 5. A list's name says what it is, its value what it holds.
    {"TheListsAreNamedForWhatTheyAreAndHoldTheirValue",
     [](Reader& t) {
         t.makeFolder(u("direcciones/Amigos"));
         t.start();
         t.f().Combo3->setText(u("Amigos"));
         const std::pair<QComboBox*, const char*> lists[] = {
             {t.f().Combo1, "Mes"}, {t.f().Combo2, "Año"}, {t.f().Combo3, "Grupo"}};
         for (const auto& [list, what] : lists) {
             EXPECT_EQ(Reader::of(list)->role(), QAccessible::ComboBox);
             EXPECT_EQ(Reader::name(list), u(what));
         }
         EXPECT_EQ(Reader::value(t.f().Combo1), u("MARZO"));
         EXPECT_EQ(Reader::value(t.f().Combo3), u("Amigos"));
         t.click(t.f().Combo2);
         t.key(Qt::Key_Down);
         EXPECT_EQ(Reader::name(t.f().Combo2), u("Año"));
         EXPECT_EQ(Reader::value(t.f().Combo2), u("2008"));
     }},
    // 6. The search.
    {"EscapeGivesTheFocusStraightBackToTheDay",
     [](Reader& t) {
         t.start();
         t.key(Qt::Key_F, Qt::ControlModifier);
         t.typeText(t.f().SearchText, u("x"));
         t.take(QAccessible::Focus);
         t.key(Qt::Key_Escape);
         EXPECT_EQ(t.focusHeard(), t.dayButton(15));
     }},
    {"IntroGivesTheFocusStraightToThePageFound",
     [](Reader& t) {
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), "una cita");
         t.start();
         t.key(Qt::Key_F, Qt::ControlModifier);
         t.typeText(t.f().SearchText, u("cita"));
         EXPECT_TRUE(Reader::description(t.f().SearchText).startsWith(u("1 encontrado.")));
         t.take(QAccessible::Focus);
         t.key(Qt::Key_Return);
         EXPECT_EQ(t.focusHeard(), t.f().Text1);
     }},
    {"TheFirstDownArrowInTheSearchNamesTheFirstResultAndTheCountIsHeard",
     [](Reader& t) {
         t.writeBytes(u("dias/LUNES, 5 de MARZO de 2007.txt"), "una cita");
         t.writeBytes(u("dias/MARTES, 6 de MARZO de 2007.txt"), "otra cita");
         t.start();
         t.key(Qt::Key_F, Qt::ControlModifier);
         t.take(QAccessible::DescriptionChanged);
         t.typeText(t.f().SearchText, u("cita"));
         EXPECT_TRUE(t.told(t.f().SearchText, u("2 encontrados.")));
         t.key(Qt::Key_Down);
         // Qt tells a list's focus twice, its row and then itself: the row is the first result.
         const auto focus = t.take(QAccessible::Focus);
         ASSERT_FALSE(focus.empty());
         EXPECT_TRUE(focus[0].name.startsWith(u("MARTES, 6 de MARZO de 2007\n")))
             << focus[0].name.toStdString();
         for (QToolButton* b : t.f().SearchText->findChildren<QToolButton*>())
             EXPECT_FALSE(Reader::name(b).isEmpty());
     }},
    // 7. The smaller findings.
    {"TheWindowAndItsPanelsHaveTheRolesAReaderExpects",
     [](Reader& t) {
         t.start();
         EXPECT_EQ(Reader::of(&t.f())->role(), QAccessible::Window);
         for (QFrame* panel : t.f().Frame1)
             EXPECT_EQ(Reader::of(panel)->role(), QAccessible::Grouping);
     }},
    {"ThePanelButtonOfThePanelOnShowIsChecked",
     [](Reader& t) {
         t.start();
         t.click(t.f().Command6[3]);
         t.click(t.f().Command6[3]); // again: it stays the one on show
         for (int i = 0; i < 6; ++i)
             EXPECT_EQ(bool(Reader::of(t.f().Command6[i])->state().checked), i == 3) << i;
         t.click(t.dayButton(20));
         EXPECT_TRUE(Reader::of(t.f().Command6[0])->state().checked);
         EXPECT_FALSE(Reader::of(t.f().Command6[3])->state().checked);
     }},
    {"TheSaintBoxIsOnlyForReading",
     [](Reader& t) {
         t.writeBytes(u("santoral/15 de MARZO.txt"), "San Raimundo\r\n");
         t.start();
         t.clickInto(t.f().Text9[2]);
         t.typeText(t.f().Text9[2], u("perdido"));
         EXPECT_EQ(t.f().Text9[2]->text(), u("San Raimundo"));
         EXPECT_TRUE(Reader::of(t.f().Text9[2])->state().readOnly);
         EXPECT_TRUE(Reader::description(t.f().Text9[2]).contains(u("solo para leer")));
     }},
    {"ANoteLeftIsNoLongerSaidToHaveTheFocus",
     [](Reader& t) {
         t.writeBytes(u("notas/2007-3-1--9-0"), "uno");
         t.writeBytes(u("notas/2007-3-2--9-0"), "dos");
         t.start();
         t.click(t.f().Command6[4]);
         t.f().File1->setFocus(Qt::TabFocusReason);
         t.key(Qt::Key_Down);
         QAccessibleInterface* note = Reader::of(t.f().File1)->child(t.f().File1->currentRow());
         ASSERT_TRUE(note);
         EXPECT_TRUE(note->state().focused);
         t.clickInto(t.f().Text6);
         EXPECT_FALSE(note->state().focused);
         EXPECT_TRUE(note->state().selected);
         EXPECT_EQ(note->text(QAccessible::Name), u("Nota del 2/3/2007, 9:00")); // the file name is shown
     }},
    {"TheFocusStartsOnTheDayOnShow",
     [](Reader& t) {
         t.start();
         EXPECT_EQ(Reader::focused(), t.dayButton(15));
     }},
    {"EveryButtonSaysMoreInItsDescriptionThanItsName",
     [](Reader& t) {
         t.start();
         for (FlatButton* b : t.f().findChildren<FlatButton*>()) {
             if (b->isHidden()) continue;
             const QString d = Reader::description(b);
             EXPECT_FALSE(d.isEmpty() || d == Reader::name(b)) << Reader::name(b).toStdString();
         }
     }},
};

INSTANTIATE_TEST_SUITE_P(ScreenReader, Rows, ::testing::ValuesIn(kRows), gestureName<Reader>);

// Everyday tasks by keys alone: each row presses only keys, then reads what the focused
// control (or the one the task is about) tells a screen reader.
const Row kTasks[] = {
    {"WriteTodaysPage",
     [](Reader& t) {
         t.start();
         t.key(Qt::Key_Return); // from the day: into its page
         EXPECT_EQ(t.said(), u("Diario del jueves 15 de marzo de 2007"));
         t.keys(u("hoy"));
         t.key(Qt::Key_Tab);
         EXPECT_EQ(t.readBytes(kToday), QByteArray("hoy"));
     }},
    {"WriteAPageInAnotherMonth",
     [](Reader& t) {
         t.start();
         t.key(Qt::Key_PageDown);
         EXPECT_EQ(t.said(), u("domingo 15 de abril de 2007, seleccionado"));
         t.press({Qt::Key_Down, Qt::Key_Return}); // a week on, into its page
         EXPECT_EQ(t.said(), u("Diario del domingo 22 de abril de 2007"));
         t.keys(u("abril"));
         t.key(Qt::Key_Home, Qt::AltModifier); // today again, the page saved
         EXPECT_EQ(t.readBytes(u("dias/DOMINGO, 22 de ABRIL de 2007.txt")), QByteArray("abril"));
         EXPECT_EQ(t.said(), u("jueves 15 de marzo de 2007, seleccionado"));
     }},
    {"WriteInWednesdaysWeekBox",
     [](Reader& t) {
         t.start();
         t.open(t.f().Command6[1]);
         t.tabTo(t.f().Text2[2]);
         EXPECT_EQ(t.said(), u("Diario del miércoles 14 de marzo de 2007"));
         t.keys(u("semana"));
         t.key(Qt::Key_Tab);
         EXPECT_EQ(t.readBytes(u("dias/MIÉRCOLES, 14 de MARZO de 2007.txt")), QByteArray("semana"));
     }},
    {"ReadTheYear",
     [](Reader& t) {
         t.writeBytes(u("dias/LUNES, 5 de FEBRERO de 2007.txt"), "febrero");
         t.start();
         t.open(t.f().Command6[3]);
         t.tabTo(t.f().Text5);
         EXPECT_TRUE(Reader::value(t.f().Text5).contains(u("febrero")));
     }},
    {"FindAndOpenAPageYearsBack",
     [](Reader& t) {
         t.writeBytes(u("dias/MARTES, 5 de MARZO de 2002.txt"), "una boda");
         t.start();
         t.key(Qt::Key_F, Qt::ControlModifier);
         t.keys(u("boda"));
         t.take(QAccessible::DescriptionChanged);
         t.keys(u(" ")); // the count stays: nothing is said again
         EXPECT_TRUE(t.take(QAccessible::DescriptionChanged).empty());
         t.key(Qt::Key_Return);
         EXPECT_EQ(t.said(), u("Diario del martes 5 de marzo de 2002"));
         t.key(Qt::Key_F, Qt::ControlModifier); // again: this day in other years, not the old words
         EXPECT_TRUE(Reader::description(t.f().SearchText).startsWith(u("Ningún otro año")));
         t.key(Qt::Key_Z, Qt::ControlModifier);
         EXPECT_EQ(t.f().SearchText->text(), u("boda ")); // the last words come back
     }},
    {"SaveAHolidayWithG",
     [](Reader& t) {
         t.start();
         t.tabTo(t.f().Text9[0]);
         t.keys(u("Fiesta"));
         t.press({Qt::Key_Tab, Qt::Key_Space}); // G
         EXPECT_EQ(t.readBytes(u("fiestas/15 de MARZO.txt")), QByteArray("Fiesta\r\n"));
         EXPECT_EQ(Reader::name(t.dayButton(15)), u("jueves 15 de marzo de 2007, festivo, seleccionado"));
         EXPECT_TRUE(Reader::description(t.dayButton(15)).contains(u("amarillo")));
     }},
    {"CreateFindOpenAndDeleteACard",
     [](Reader& t) {
         t.makeFolder(u("direcciones/Todos"));
         t.start();
         t.open(t.f().Command6[5]);
         t.tabTo(t.f().Text7[0]);
         t.keys(u("García"));
         t.open(t.f().Command7[0]);
         t.open(t.f().Command7[1]); // an empty card
         t.tabTo(t.f().Text8);
         t.keys(u("Gar"));
         EXPECT_TRUE(Reader::description(t.f().Text8).startsWith(u("1 ficha.")));
         t.press({Qt::Key_Tab, Qt::Key_Down}); // to the list it filters, its lone row
         EXPECT_EQ(t.f().Text7[0]->text(), u("García"));
         t.open(t.f().Command7[2]);
         EXPECT_FALSE(t.exists(u("direcciones/Todos/García")));
         EXPECT_TRUE(Reader::description(t.f().Command7[2]).startsWith(u("Se ha borrado la ficha de García")));
         // and where its text is kept
         EXPECT_TRUE(Reader::description(t.f().Command7[2]).contains(u(".historial/direcciones/Todos/García")));
         EXPECT_EQ(t.filesIn(u(".historial/direcciones/Todos/García")).size(), 1);
     }},
    {"WriteAndPickNotesOneAndSeveral",
     [](Reader& t) {
         t.writeBytes(u("notas/2007-3-1--9-0"), "uno");
         t.start();
         t.open(t.f().Command6[4]);
         t.tabTo(t.f().File1);
         t.key(Qt::Key_Return);
         EXPECT_EQ(t.f().Text6->text(), u("uno"));
         EXPECT_EQ(Reader::of(t.f().File1)->child(0)->text(QAccessible::Name), u("Nota del 1/3/2007, 9:00"));
         t.key(Qt::Key_Tab, Qt::ShiftModifier);
         t.key(Qt::Key_End, Qt::ControlModifier);
         t.keys(u(" más"));
         t.key(Qt::Key_Tab); // saved as a note of this minute
         t.key(Qt::Key_Down);
         EXPECT_EQ(t.f().File1->fileName(), u("2007-3-15--10-0"));
         EXPECT_EQ(t.f().Text6->text(), u("uno más"));
         t.key(Qt::Key_Up);
         EXPECT_EQ(t.f().Text6->text(), u("uno"));
     }},
    {"Export",
     [](Reader& t) {
         t.writeBytes(kToday, "para exportar");
         t.start();
         t.open(t.f().Command9);
         EXPECT_EQ(t.readBytes(u("texto.txt")), QByteArray("para exportar"));
         EXPECT_EQ(t.platform.editorRequests.size(), 1);
     }},
    {"RecoverAfterACrash",
     [](Reader& t) {
         t.start();
         t.key(Qt::Key_Return);
         t.keys(u("sin guardar"));
         t.f().KeepUnsavedTexts();
         t.crashAndRestart();
         t.settle();
         ASSERT_FALSE(t.platform.messages.isEmpty());
         t.key(Qt::Key_Return);
         EXPECT_EQ(t.said(), u("Diario del jueves 15 de marzo de 2007"));
         EXPECT_EQ(t.f().Text1->text(), u("sin guardar"));
     }},
    {"APageChangedByAnotherProgramIsToldOnceTheCursorKept",
     [](Reader& t) {
         t.writeBytes(kToday, "antes");
         t.start();
         t.press({Qt::Key_Return, Qt::Key_Left, Qt::Key_Left});
         t.writeBytes(kToday, "antes y luego");
         EXPECT_TRUE(t.waitUntil([&] { return t.f().Text1->text() == u("antes y luego"); }));
         t.settle();
         EXPECT_EQ(t.f().Text1->textCursor().position(), 3);
         ASSERT_EQ(t.platform.messages.size(), 1);
         EXPECT_TRUE(t.platform.messages[0].contains(u("Diario del jueves 15 de marzo de 2007")));
     }},
    {"TheDaysAndTheMonthListsSayWhatIsOnShow",
     [](Reader& t) {
         t.start();
         t.key(Qt::Key_Up); // a week up
         EXPECT_EQ(Reader::focused(), t.dayButton(8));
         QImage shot = t.dayButton(8)->grab().toImage();
         EXPECT_EQ(shot.pixelColor(3, shot.height() / 2), QColor(Qt::black)) << "the focus is seen";
         t.key(Qt::Key_Down);
         shot = t.dayButton(15)->grab().toImage(); // on the red of the selected day too
         EXPECT_EQ(shot.pixelColor(3, shot.height() / 2), QColor(Qt::black));
         t.tabTo(t.f().Combo1);
         t.key(Qt::Key_Down);
         for (FlatButton* b : {t.f().Command5, t.f().Command3[0]})
             EXPECT_TRUE(Reader::description(b).startsWith(u("A la vista: abril de 2007.")));
     }},
};

INSTANTIATE_TEST_SUITE_P(KeysAlone, Rows, ::testing::ValuesIn(kTasks), gestureName<Reader>);

} // namespace
