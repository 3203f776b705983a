// The window as designed (places, colours, fonts, captions), its names for screen
// readers, its Tab order and its keyboard shortcuts.
#include "app/look.h"
#include "app/pictures.h"
#include "support/formfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <array>
#include <set>
#include <vector>

using namespace quelora;
using namespace quelora::test;

namespace {

class Look : public FormFixture {
protected:
    // A designed length in twips as the window's pixels (15 twips a pixel).
    static int pixels(int twips) { return qRound(twips / 15.0); }
    static QString accessibleName(QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    }
    static QColor ink(QWidget* w) { return w->palette().color(QPalette::Text); }
    static QColor fore(QWidget* w) { return w->palette().color(QPalette::WindowText); }
    // A button's colour is its own; a box shows its text on its base.
    static QColor backOf(QWidget* w) {
        if (const auto* b = qobject_cast<FlatButton*>(w)) return colorFromVb(b->backColor());
        return w->palette().color(qobject_cast<QPlainTextEdit*>(w) ? QPalette::Base : QPalette::Window);
    }
    static QColor foreOf(QWidget* w) { return qobject_cast<QPlainTextEdit*>(w) ? ink(w) : fore(w); }
    // Whether c is the designed colour (any, where the design gives none).
    bool wears(qint64 designed, const QColor& c) const;
    QString toolTipOf(QWidget* w) {
        QHelpEvent e(QEvent::ToolTip, w->rect().center(), w->mapToGlobal(w->rect().center()));
        QApplication::sendEvent(w, &e);
        return w->toolTip();
    }
    void pressShortcut(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : form.get();
        pressKey(target, key, mods);
    }
    // The window's controls, shown or hidden: what stands on the window itself, on a
    // panel or on the search (once made), not the inner parts of a control.
    std::vector<QWidget*> controls() const {
        std::vector<QWidget*> holders(form->Frame1.begin(), form->Frame1.end());
        holders.push_back(form.get());
        if (form->SearchPanel) holders.push_back(form->SearchPanel);
        std::vector<QWidget*> out;
        for (QWidget* w : form->findChildren<QWidget*>())
            if (std::find(holders.begin(), holders.end(), w->parentWidget()) != holders.end())
                out.push_back(w);
        return out;
    }
};

// ---- The design ------------------------------------------------------------------------

// One control as the design draws it, found by its name: the window or panel it stands
// on, its place in twips once started, its back and text colours (&H00BBGGRR&), its
// caption and its Arial font.
constexpr int kAny = -1;                  // a length or colour the design leaves open
constexpr qint64 kWindowInk = -2;         // the window's own text colour
constexpr qint64 kHighlight = -3;         // the system's highlight colour
constexpr qint64 kEitherLightYellow = -4; // the design's light yellow, &H00C0FFFF& or &H0080FFFF&
constexpr char kSomeText[] = "(some text)";
constexpr char kPicture[] = "(a picture)";

struct Font {
    qreal points = 0; // 0: not designed
    bool bold = false;
};

struct Designed {
    QString name, in;
    std::array<int, 4> at; // left, top, width, height
    qint64 back = kAny, fore = kAny;
    const char* caption = nullptr; // nullptr: not designed
    Font font = {};
    bool hidden = false; // never shown
};

QString element(const char* array, int i) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(i);
}

std::vector<Designed> theDesign() {
    std::vector<Designed> d = {{"Form1", QString(), {kAny, kAny, 10845, 7620}, 0x00FFFFFF}};
    QString in = "Form1"; // where the controls added next stand
    const auto add = [&](const QString& name, std::array<int, 4> at, qint64 back = kAny, qint64 fore = kAny,
                         const char* caption = nullptr, Font font = {}) {
        d.push_back({name, in, at, back, fore, caption, font});
    };
    const std::array<int, 4> anywhere = {kAny, kAny, kAny, kAny};
    const auto hidden = [&](const QString& name) {
        d.push_back({name, in, anywhere, kAny, kAny, nullptr, {}, true});
    };

    add("Label2", {240, 120, 5655, 375}, kAny, 0x000000C0, nullptr, {14.25});
    const char* letters[7] = {"L", "M", "Mi", "J", "V", "S", "D"};
    for (int i = 0; i < 7; ++i) // "S" and "D" in magenta
        add(element("Label1", i), {240 + 360 * i, 720, 375, 375}, kAny, i >= 5 ? 0x00FF00FF : kWindowInk,
            letters[i], {14.25});
    for (int i = 0; i < 42; ++i) // row i \ 7, column i mod 7
        add(element("Command1", i), {240 + 360 * (i % 7), 1200 + 360 * (i / 7), 375, 375}, kAny, kAny,
            nullptr, {9.75});
    add("Combo1", {240, 3480, 2535, 315});
    add("Combo2", {240, 3840, 2535, 315});
    add("Command2_0", {240, 4200, 2055, 495}, 0x00C0FFFF, kAny, nullptr, {12});
    add("Command3_0", {2400, 4200, 375, 255}, kAny, kAny, kPicture);
    add("Command3_1", {2400, 4440, 375, 255}, kAny, kAny, kPicture);
    const char* months[12] = {"Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
                              "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
    for (int i = 0; i < 12; ++i)
        add(element("Command4", i), {i % 2 == 0 ? 240 : 1560, 4800 + 360 * (i / 2), 1215, 375}, 0x00FFFF00,
            kAny, months[i], {8.25});
    add("Command5", {240, 7080, 2535, 495}, 0x0000FFFF, kAny, "HOY", {12, true});
    // The top row stands at 40 once the start-up layout has moved it up from 120.
    const int panelLefts[6] = {6000, 6480, 6960, 7440, 8040, 8520};
    const qint64 panelColours[6] = {0x00FFFFFF, 0x00C0FFC0, 0x00FFC0FF, 0x00FFFFC0, 0x00C0FFFF, 0x00FFC0FF};
    const char* panelFaces[6] = {"D", "S", "M", "A", kPicture, kPicture};
    for (int i = 0; i < 6; ++i)
        add(element("Command6", i), {panelLefts[i], 40, 495, 495}, panelColours[i], kAny, panelFaces[i],
            i < 4 ? Font{18, true} : Font{});
    add("Command9", {9000, 40, 495, 495}, kAny, kAny, kPicture);
    add("Command12", {9720, 40, 495, 495}, kAny, kAny, kPicture);
    add("Command10", {10200, 40, 495, 495}, kAny, kAny, kPicture);
    hidden("Text4");
    for (int i = 0; i < 6; ++i) // all six on one rectangle once started
        add(element("Frame1", i), {2880, 480, 7815, 6495}, i == 0 ? 0x00FFFFFF : kAny); // the day panel white
    add("Label5_0", {3120, 7080, kAny, kAny}, kAny, kHighlight, "Quelora 1.1", {18, true});
    add("Label5_1", {9000, 7080, kAny, kAny}, kAny, 0x00800000, "Software gratuito");
    add("Label5_2", {6360, 7320, 4215, kAny}, kAny, kAny, kSomeText);

    in = "Frame1_0";
    add("Picture1", {120, 240, 615, 6135});
    add("Text9_0", {840, 240, 6495, 330}, 0x00FFC0FF, 0x00800000, nullptr, {9.75, true});
    add("Command11_0", {7320, 240, 255, 375}, 0x0000FF00, kAny, "G");
    add("Text1", {840, 600, 6735, 4455}, kAny, kAny, nullptr, {12});
    add("Text9_1", {840, 5160, 6495, 570}, 0x0080FFFF, 0x000000C0, nullptr, {9.75, true});
    add("Command11_1", {7320, 5160, 255, 615}, 0x0000FF00, kAny, "G");
    add("Text9_2", {840, 5760, 6735, 570}, 0x008080FF, 0x00008000, nullptr, {9.75, true});

    in = "Frame1_1";
    const char* weekdays[7] = {"Lunes", "Martes", "Miércoles", "Jueves", "Viernes", "Sábado", "Domingo"};
    for (int i = 0; i < 7; ++i) {
        add(element("Label3", i), {kAny, 360 + 840 * i, kAny, kAny}, kAny, kAny, weekdays[i]);
        add(element("Text2", i), {240, 600 + 840 * i, 7335, 615});
    }
    in = "Frame1_2";
    add("Picture3", anywhere);
    add("Text3", {840, 240, 6735, 6015});
    in = "Frame1_3";
    add("Picture2", anywhere);
    add("Text5", {840, 240, 6735, 6015});

    in = "Frame1_4";
    add("Text6", {240, 360, 5655, 5775}, 0x0080FFFF, 0x00400000);
    add("File1", {6000, 360, 1575, 5280});
    add("Command13", {6000, 5760, 1575, 375}, 0x000000FF, kAny, "ELIMINAR");

    in = "Frame1_5";
    add("Combo3", {120, 240, 1935, 360});
    add("File2", {120, 720, 1935, 5070});
    const char* fields[7] = {"APELLIDOS",  "NOMBRE", "DIRECCIÓN", "POBLACIÓN",
                             "TELÉFONO/S", "E-MAIL", "REFERENCIA"};
    for (int i = 0; i < 7; ++i) {
        add(element("Label4", i), {2160, 240 + 720 * i, kAny, kAny}, kAny, kAny, fields[i]);
        add(element("Text7", i), {2160, 480 + 720 * i, 5415, i == 6 ? 930 : 330});
    }
    add("Command8", {5280, 3840, 2295, 255}, kAny, kAny, "Enviar mensaje");
    const char* cardButtons[4] = {"GUARDAR", "NUEVO", "ELIMINAR", "Copiar Todos"};
    const qint64 cardColours[4] = {0x0000FF00, 0x00FF0000, 0x000000FF, kEitherLightYellow};
    for (int i = 0; i < 4; ++i) // in one row
        add(element("Command7", i), {kAny, 5880, kAny, kAny}, cardColours[i], kAny, cardButtons[i]);
    add("Text8", {120, 5880, 1935, 495}, kAny, kAny, nullptr, {14.25});
    hidden("Dir1");
    hidden("File3");
    return d;
}

bool Look::wears(qint64 designed, const QColor& c) const {
    switch (designed) {
    case kAny:
        return true;
    case kWindowInk:
        return c == form->palette().color(QPalette::WindowText);
    case kHighlight:
        return c == form->palette().color(QPalette::Highlight);
    case kEitherLightYellow:
        return c == colorFromVb(0x00C0FFFF) || c == colorFromVb(0x0080FFFF);
    default:
        return c == colorFromVb(static_cast<VbColor>(designed));
    }
}

TEST_F(Look, EveryControlIsAsTheDesignDrawsIt) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    for (const Designed& c : theDesign()) {
        SCOPED_TRACE(c.name.toStdString());
        QWidget* w = c.name == QLatin1String("Form1") ? form.get() : f.findChild<QWidget*>(c.name);
        if (!w) {
            ADD_FAILURE() << "no control of that name";
            continue;
        }
        EXPECT_EQ(w->parentWidget() ? w->parentWidget()->objectName() : QString(), c.in);
        const QRect g = w->geometry();
        const std::array<int, 4> placed = {g.x(), g.y(), g.width(), g.height()}; // left, top, width, height
        std::array<int, 4> designed = placed;
        for (int k = 0; k < 4; ++k)
            if (c.at[k] != kAny) designed[k] = pixels(c.at[k]);
        EXPECT_EQ(placed, designed);
        EXPECT_TRUE(wears(c.back, backOf(w))) << "back " << backOf(w).name().toStdString();
        EXPECT_TRUE(wears(c.fore, foreOf(w))) << "fore " << foreOf(w).name().toStdString();
        const auto* button = qobject_cast<QAbstractButton*>(w);
        const auto* label = qobject_cast<QLabel*>(w);
        const QString caption = button ? button->text() : label ? label->text() : QString();
        if (c.caption == kSomeText) {
            EXPECT_FALSE(caption.isEmpty());
        } else if (c.caption == kPicture) {
            EXPECT_TRUE(caption.isEmpty());
            EXPECT_TRUE(button && !button->icon().isNull());
        } else if (c.caption) {
            EXPECT_EQ(caption, QString::fromUtf8(c.caption));
        }
        if (c.font.points > 0) {
            EXPECT_EQ(w->font().family(), "Arial");
            EXPECT_DOUBLE_EQ(w->font().pointSizeF(), c.font.points);
            EXPECT_EQ(w->font().bold(), c.font.bold);
        }
        if (c.hidden) {
            EXPECT_TRUE(w->isHidden());
        }
    }

    EXPECT_EQ(f.windowTitle(), "Quelora");
    EXPECT_FALSE(f.windowIcon().isNull());
    // The window and the day panel take the white of the "D" button.
    EXPECT_EQ(f.BackColor(), 0x00FFFFFFu);
    EXPECT_EQ(f.FrameBackColor(0), 0x00FFFFFFu);
    // Each day of the week panel: its caption and its box in one colour.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fore(f.Label3[i]), ink(f.Text2[i])) << i;
    // March 2007 starts on a Thursday: Saturday 3 and Sunday 4 green, Monday 5 white,
    // today (15) red.
    EXPECT_EQ(dayButton(3)->backColor(), 0x0000FF00u);
    EXPECT_EQ(dayButton(4)->backColor(), 0x0000FF00u);
    EXPECT_EQ(dayButton(5)->backColor(), 0x00FFFFFFu);
    EXPECT_EQ(dayButton(15)->backColor(), 0x000000FFu);
}

TEST_F(Look, CaptionsFitTheirControls) {
    start();
    Form1& f = *form;
    std::vector<QAbstractButton*> captioned(f.Command4.begin(), f.Command4.end());
    for (QAbstractButton* b :
         {static_cast<QAbstractButton*>(f.Command5), static_cast<QAbstractButton*>(f.Command8),
          static_cast<QAbstractButton*>(f.Command13)})
        captioned.push_back(b);
    for (int i = 0; i < 4; ++i)
        captioned.push_back(f.Command6[i]);
    for (FlatButton* b : f.Command7)
        captioned.push_back(b);
    for (QAbstractButton* b : captioned) {
        const QFontMetrics m(b->font());
        EXPECT_LE(m.horizontalAdvance(b->text()), b->width() - 4) << b->text().toStdString();
        EXPECT_LE(m.height(), b->height()) << b->text().toStdString();
    }
    for (QLabel* l : f.Label4)
        EXPECT_LE(QFontMetrics(l->font()).horizontalAdvance(l->text()), l->width());
    EXPECT_LE(QFontMetrics(f.Label5[2]->font()).horizontalAdvance(f.Label5[2]->text()), f.Label5[2]->width());
    const QFontMetrics big(f.Label2->font());
    EXPECT_LE(big.horizontalAdvance(QString::fromUtf8("MIÉRCOLES, 30 de SEPTIEMBRE de 2009")),
              f.Label2->width());
}

TEST_F(Look, PicturesAreDrawnAtEverySizeTheyAreAskedFor) {
    for (const QIcon& icon :
         {doorPicture(), downArrowPicture(), notepadPicture(), clipboardPicture(), peoplePicture(),
          trianglePicture(true), trianglePicture(false), programIcon()}) {
        const QImage image = icon.pixmap(QSize(28, 28)).toImage();
        ASSERT_FALSE(image.isNull());
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, image.width() * image.height() / 10); // a picture, not an empty square
    }
    EXPECT_TRUE(programIcon().availableSizes().contains(QSize(64, 64)));
}

// ---- Screen readers -------------------------------------------------------------------

// Every control, the search's too, has a Spanish name for screen readers and a name of its
// own by which tests and tools find it.
TEST_F(Look, EveryControlHasASpanishAccessibleNameAndCanBeFoundByItsOwnName) {
    start();
    pressKey(form.get(), Qt::Key_F, Qt::ControlModifier); // the search's controls are made now
    std::set<QString> names;
    for (QWidget* w : controls()) {
        const QString name = w->objectName();
        EXPECT_FALSE(accessibleName(w).trimmed().isEmpty())
            << w->metaObject()->className() << " " << name.toStdString();
        EXPECT_FALSE(name.isEmpty()) << w->metaObject()->className() << " "
                                     << accessibleName(w).toStdString();
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name.toStdString();
        EXPECT_EQ(form->findChild<QWidget*>(name), w) << name.toStdString();
    }
    Form1& f = *form;
    EXPECT_EQ(accessibleName(f.Command11[0]), "Guardar festivo");
    EXPECT_EQ(accessibleName(f.Command11[1]), "Guardar recordatorio");
    EXPECT_EQ(accessibleName(f.Command5), "Hoy");
    EXPECT_EQ(accessibleName(f.Command10), "Salir");
    EXPECT_EQ(accessibleName(f.Command6[5]), "Direcciones");
    EXPECT_EQ(accessibleName(f.Label1[2]), QString::fromUtf8("Miércoles"));
    EXPECT_EQ(accessibleName(f.Text1), "Diario del jueves 15 de marzo de 2007"); // the day it holds
    EXPECT_FALSE(f.Text1->accessibleDescription().isEmpty());
    // A label without a name of its own is read as what it shows.
    EXPECT_EQ(accessibleName(f.Label2), f.Label2->text());
}

TEST_F(Look, DayButtonsSayInWordsWhatTheirColourMeans) {
    writeBytes("fiestas/19 de MARZO.txt", cp1252("San José\r\n"));
    writeBytes("recordatorio/22 de MARZO.txt", cp1252("Cumpleaños de Ana\r\n"));
    writeBytes("recordatorio/15 de MARZO.txt", cp1252("Revisión del coche\r\n"));
    start(QDate(2007, 3, 15));
    EXPECT_EQ(accessibleName(dayButton(19)), QString::fromUtf8("lunes 19 de marzo de 2007, festivo"));
    EXPECT_EQ(accessibleName(dayButton(22)), QString::fromUtf8("jueves 22 de marzo de 2007, recordatorio"));
    EXPECT_EQ(accessibleName(dayButton(17)), QString::fromUtf8("sábado 17 de marzo de 2007"));
    EXPECT_EQ(accessibleName(dayButton(14)), QString::fromUtf8("miércoles 14 de marzo de 2007"));
    EXPECT_EQ(accessibleName(dayButton(15)),
              QString::fromUtf8("jueves 15 de marzo de 2007, recordatorio, seleccionado"));
    EXPECT_TRUE(dayButton(19)->accessibleDescription().contains("amarillo"));
    EXPECT_TRUE(dayButton(15)->accessibleDescription().startsWith("Color rojo"));

    // The mark moves with a click, and so do the words.
    click(dayButton(19));
    EXPECT_EQ(accessibleName(dayButton(19)),
              QString::fromUtf8("lunes 19 de marzo de 2007, festivo, seleccionado"));
    EXPECT_EQ(accessibleName(dayButton(15)), QString::fromUtf8("jueves 15 de marzo de 2007, recordatorio"));
    // A month without a mark: April 2007 begins on a Sunday.
    click(form->Command4[3]);
    EXPECT_EQ(accessibleName(form->Command1[6]), QString::fromUtf8("domingo 1 de abril de 2007"));
    EXPECT_EQ(accessibleName(form->Command1[0]), QString::fromUtf8("Casilla sin día"));
}

TEST_F(Look, ADayTooltipTellsTheTextsOfThatDay) {
    writeBytes("fiestas/19 de MARZO.txt", cp1252("San José\r\n"));
    writeBytes("recordatorio/19 de marzo.txt", cp1252("Llevar flores\r\na la abuela\r\n"));
    writeBytes("santoral/19 de MARZO.txt", cp1252("San José, esposo de la Virgen\r\n"));
    start(QDate(2007, 3, 15));
    const QString tip = toolTipOf(dayButton(19));
    EXPECT_TRUE(tip.startsWith(QString::fromUtf8("Color azul: tiene un recordatorio."))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QString::fromUtf8("Fiesta: San José\n"))) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Recordatorio: Llevar flores a la abuela\n")) << tip.toStdString();
    EXPECT_TRUE(tip.endsWith(QString::fromUtf8("Santo: San José, esposo de la Virgen"))) << tip.toStdString();
    // A day with no files tells its colour only.
    EXPECT_EQ(toolTipOf(dayButton(20)),
              QString::fromUtf8("Color blanco: de lunes a viernes, sin fiesta ni recordatorio."));
}

// ---- Keyboard -------------------------------------------------------------------------

// Tab from the first control of a panel walks its controls in the designed order and comes
// back to the calendar's first day (March 2007: days on buttons 3 to 33).
TEST_F(Look, TabWalksThePanelsInTheDesignedOrder) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    std::vector<QWidget*> dayPanel(f.Command1.begin() + 3, f.Command1.begin() + 34);
    for (QWidget* w : std::initializer_list<QWidget*>{f.Combo1, f.Combo2, f.Command3[0], f.Command3[1]})
        dayPanel.push_back(w);
    dayPanel.insert(dayPanel.end(), f.Command4.begin(), f.Command4.end());
    dayPanel.push_back(f.Command5);
    dayPanel.insert(dayPanel.end(), f.Command6.begin(), f.Command6.end());
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.Command9, f.Command12, f.Command10, f.Text9[0], f.Command11[0],
                                         f.Text1, f.Text9[1], f.Command11[1], f.Text9[2], f.Command1[3]})
        dayPanel.push_back(w);
    // The address book down its columns, then along the bottom row.
    // The search before the list it filters.
    const std::vector<QWidget*> addressBook = {f.Combo3,      f.Text8,       f.File2,       f.Text7[0],
                                               f.Text7[1],    f.Text7[2],    f.Text7[3],    f.Text7[4],
                                               f.Command8,    f.Text7[5],    f.Text7[6],    f.Command7[0],
                                               f.Command7[1], f.Command7[2], f.Command7[3], f.Command1[3]};
    for (const auto& [panel, expected] : {std::pair{0, dayPanel}, std::pair{5, addressBook}}) {
        click(f.Command6[panel]);
        expected[0]->setFocus(Qt::TabFocusReason);
        settle();
        for (std::size_t i = 1; i < expected.size(); ++i) {
            pressKey(QApplication::focusWidget(), Qt::Key_Tab);
            ASSERT_EQ(focused(), expected[i])
                << "panel " << panel << ", step " << i << ": " << accessibleName(focused()).toStdString();
        }
    }
}

TEST_F(Look, TabLeavesAMultiLineBoxWithoutTypingATab) {
    start();
    Form1& f = *form;
    click(dayButton(15));
    clickInto(f.Text1);
    typeText(f.Text1, "Hola");
    pressKey(f.Text1, Qt::Key_Tab);
    EXPECT_EQ(focused(), f.Text9[1]);
    EXPECT_EQ(f.Text1->toPlainText(), "Hola");
    click(f.Command6[1]);
    f.Text2[0]->setFocus(Qt::MouseFocusReason);
    typeText(f.Text2[0], "a");
    pressKey(f.Text2[0], Qt::Key_Tab);
    EXPECT_EQ(focused(), f.Text2[1]);
    EXPECT_FALSE(f.Text2[0]->toPlainText().contains('\t'));
}

TEST_F(Look, TabbingThroughTheMonthAndYearListsPicksNothing) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(dayButton(20));
    f.Combo1->setFocus(Qt::TabFocusReason);
    settle();
    pressKey(QApplication::focusWidget(), Qt::Key_Tab);
    pressKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), f.Command3[0]);
    EXPECT_TRUE(f.Frame1[0]->isEnabled()) << "the month was not repainted";
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("MARTES, 20 de MARZO de 2007"));
    EXPECT_EQ(f.Command1[f.selectedButton()]->backColor(), vb::Red);
}

TEST(LookPlace, TheFrameIsCentredAndATooLargeWindowKeepsItsTitleBarOnTheScreen) {
    struct {
        QRect available;
        QSize frame;
        QPoint place;
    } rows[] = {
        {{0, 0, 1280, 1024}, {723, 508}, {278, 258}},     // the frame, not the inner window
        {{0, 0, 1280, 1024}, {733, 538}, {273, 243}},     // with a window manager's frame
        {{0, 24, 1280, 1000}, {733, 538}, {273, 255}},    // a panel along the top
        {{1280, 0, 1920, 1080}, {733, 538}, {1873, 271}}, // the second screen
        {{0, 0, 640, 512}, {1456, 1046}, {0, 0}},         // 1280x1024 scaled to 2x
        {{0, 0, 640, 512}, {600, 1046}, {20, 0}},         // too tall only
    };
    for (const auto& r : rows)
        EXPECT_EQ(windowPlace(r.available, r.frame), r.place) << r.available.x() << "," << r.frame.width();
}

TEST_F(Look, PageDownAndPageUpChooseTheSameDayOfTheNextAndPreviousMonth) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(dayButton(20));
    pressShortcut(Qt::Key_PageDown);
    EXPECT_EQ(f.Combo1->currentText(), "ABRIL");
    EXPECT_EQ(f.selectedMonth(), 4);
    EXPECT_EQ(f.Label2->text(), "VIERNES, 20 de ABRIL de 2007");
    EXPECT_EQ(focused(), dayButton(20)) << "the focus is where a click on the day would have left it";
    EXPECT_TRUE(f.Frame1[0]->isEnabled());
    pressShortcut(Qt::Key_PageDown);
    click(dayButton(31));
    pressShortcut(Qt::Key_PageDown); // June has 30 days: its last
    EXPECT_EQ(f.Label2->text(), "SÁBADO, 30 de JUNIO de 2007");
    pressShortcut(Qt::Key_PageUp);
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Combo1->currentText(), "ABRIL");
    EXPECT_EQ(f.Label2->text(), "LUNES, 30 de ABRIL de 2007");
    EXPECT_EQ(focused(), dayButton(30));
}

TEST_F(Look, PageKeysCrossIntoTheNeighbouringYear) {
    start(QDate(2007, 1, 10));
    Form1& f = *form;
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Combo1->currentText(), "DICIEMBRE");
    EXPECT_EQ(f.Combo2->currentText(), "2006");
    EXPECT_EQ(f.Command2[0]->text(), "2006") << "stepped as the year arrow steps";
    EXPECT_EQ(f.Label2->text(), "DOMINGO, 10 de DICIEMBRE de 2006");
    pressShortcut(Qt::Key_PageDown);
    EXPECT_EQ(f.Combo1->currentText(), "ENERO");
    EXPECT_EQ(f.Combo2->currentText(), "2007");
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("MIÉRCOLES, 10 de ENERO de 2007"));

    // A year picked from the list: the year button still shows 2007, yet the key goes to
    // the year before the one on show.
    pickFromList(f.Combo2, f.Combo2->findText("2010"));
    click(f.Command4[0]);
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Label2->text(), "JUEVES, 10 de DICIEMBRE de 2009");
}

TEST_F(Look, HomeIsTheTodayButton) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(f.Command4[6]); // July
    pressShortcut(Qt::Key_Home);
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(f.Combo1->currentText(), "MARZO");
    EXPECT_EQ(dayButton(15)->backColor(), vb::Red);
    EXPECT_EQ(focused(), dayButton(15)) << "Intro goes on into its page";
}

TEST_F(Look, KeysThatMoveTheCursorStayWithTheBoxesAndLists) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(dayButton(20));
    clickInto(f.Text1);
    typeText(f.Text1, "uno\ndos");
    pressKey(f.Text1, Qt::Key_Home);
    pressKey(f.Text1, Qt::Key_PageUp);
    EXPECT_EQ(focused(), f.Text1);
    EXPECT_EQ(f.Text1->textCursor().position(), 0) << "Home and Re Pág moved the cursor";
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("MARTES, 20 de MARZO de 2007")) << "no month was changed";
    EXPECT_EQ(f.Combo1->currentText(), "MARZO");

    f.Combo2->setFocus(Qt::TabFocusReason);
    settle();
    pressKey(QApplication::focusWidget(), Qt::Key_Home);
    EXPECT_EQ(f.Combo1->currentText(), "MARZO");
    EXPECT_NE(focused(), f.Command5);
}

TEST_F(Look, AltHomeFromTheDiaryBoxSavesThePageFirst) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(dayButton(20));
    clickInto(f.Text1);
    typeText(f.Text1, "Cita con el médico");
    pressShortcut(Qt::Key_Home, Qt::AltModifier);
    EXPECT_EQ(readBytes("dias/MARTES, 20 de MARZO de 2007.txt"), cp1252("Cita con el médico"));
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(focused(), dayButton(15));
}

} // namespace
