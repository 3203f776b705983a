// The window as designed (places, colours, fonts, captions), its names for screen
// readers, its Tab order and its keyboard shortcuts.
#include "app/look.h"
#include "app/pictures.h"
#include "support/formfixture.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLineEdit>
#include <algorithm>
#include <set>
#include <vector>

using namespace quelora;
using namespace quelora::test;

namespace {

class Look : public FormFixture {
protected:
    // A design rectangle in twips as the window's pixels (15 twips a pixel).
    static QRect design(int left, int top, int width, int height) {
        const auto p = [](int t) { return qRound(t / 15.0); };
        return QRect(p(left), p(top), p(width), p(height));
    }
    static QString accessibleName(QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        return a ? a->text(QAccessible::Name) : QString();
    }
    static QColor base(QWidget* w) { return w->palette().color(QPalette::Base); }
    static QColor ink(QWidget* w) { return w->palette().color(QPalette::Text); }
    static QColor fore(QWidget* w) { return w->palette().color(QPalette::WindowText); }
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

TEST_F(Look, EveryControlStandsAtItsDesignedPlaceAfterStartUp) {
    start();
    Form1& f = *form;
    EXPECT_EQ(f.size(), QSize(723, 508));

    EXPECT_EQ(f.Label2->geometry(), design(240, 120, 5655, 375));
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(f.Label1[i]->geometry(), design(240 + 360 * i, 720, 375, 375)) << i;
    for (int i = 0; i < 42; ++i)
        EXPECT_EQ(f.Command1[i]->geometry(), design(240 + 360 * (i % 7), 1200 + 360 * (i / 7), 375, 375))
            << i;
    EXPECT_EQ(f.Combo1->geometry(), design(240, 3480, 2535, 315));
    EXPECT_EQ(f.Combo2->geometry(), design(240, 3840, 2535, 315));
    EXPECT_EQ(f.Command2[0]->geometry(), design(240, 4200, 2055, 495));
    EXPECT_EQ(f.Command3[0]->geometry(), design(2400, 4200, 375, 255));
    EXPECT_EQ(f.Command3[1]->geometry(), design(2400, 4440, 375, 255));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(f.Command4[i]->geometry(), design(i % 2 == 0 ? 240 : 1560, 4800 + 360 * (i / 2), 1215, 375))
            << i;
    EXPECT_EQ(f.Command5->geometry(), design(240, 7080, 2535, 495));

    // The top row, moved up to 40 by the start-up layout.
    const int lefts[6] = {6000, 6480, 6960, 7440, 8040, 8520};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(f.Command6[i]->geometry(), design(lefts[i], 40, 495, 495)) << i;
    EXPECT_EQ(f.Command9->geometry(), design(9000, 40, 495, 495));
    EXPECT_EQ(f.Command12->geometry(), design(9720, 40, 495, 495));
    EXPECT_EQ(f.Command10->geometry(), design(10200, 40, 495, 495));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(f.Frame1[i]->geometry(), design(2880, 480, 7815, 6495)) << i;

    EXPECT_EQ(f.Label5[0]->pos(), design(3120, 7080, 0, 0).topLeft());
    EXPECT_EQ(f.Label5[1]->pos(), design(9000, 7080, 0, 0).topLeft());
    EXPECT_EQ(f.Label5[2]->geometry().topLeft(), design(6360, 7320, 0, 0).topLeft());
    EXPECT_EQ(f.Label5[2]->width(), design(0, 0, 4215, 0).width());

    // Day panel
    EXPECT_EQ(f.Picture1->geometry(), design(120, 240, 615, 6135));
    EXPECT_EQ(f.Text9[0]->geometry(), design(840, 240, 6495, 330));
    EXPECT_EQ(f.Command11[0]->geometry(), design(7320, 240, 255, 375));
    EXPECT_EQ(f.Text1->geometry(), design(840, 600, 6735, 4455));
    EXPECT_EQ(f.Text9[1]->geometry(), design(840, 5160, 6495, 570));
    EXPECT_EQ(f.Command11[1]->geometry(), design(7320, 5160, 255, 615));
    EXPECT_EQ(f.Text9[2]->geometry(), design(840, 5760, 6735, 570));
    // Week panel
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(f.Label3[i]->y(), design(0, 360 + 840 * i, 0, 0).y()) << i;
        EXPECT_EQ(f.Text2[i]->geometry(), design(240, 600 + 840 * i, 7335, 615)) << i;
    }
    // Month and year panels
    EXPECT_EQ(f.Text3->geometry(), design(840, 240, 6735, 6015));
    EXPECT_EQ(f.Text5->geometry(), design(840, 240, 6735, 6015));
    EXPECT_EQ(f.Picture3->parentWidget(), f.Frame1[2]);
    EXPECT_EQ(f.Picture2->parentWidget(), f.Frame1[3]);
    // Notes panel
    EXPECT_EQ(f.Text6->geometry(), design(240, 360, 5655, 5775));
    EXPECT_EQ(f.File1->geometry(), design(6000, 360, 1575, 5280));
    EXPECT_EQ(f.Command13->geometry(), design(6000, 5760, 1575, 375));
    // Address-book panel
    EXPECT_EQ(f.Combo3->geometry(), design(120, 240, 1935, 360));
    EXPECT_EQ(f.File2->geometry(), design(120, 720, 1935, 5070));
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(f.Label4[i]->pos(), design(2160, 240 + 720 * i, 0, 0).topLeft()) << i;
        EXPECT_EQ(f.Text7[i]->geometry(), design(2160, 480 + 720 * i, 5415, i == 6 ? 930 : 330)) << i;
    }
    EXPECT_EQ(f.Command8->geometry(), design(5280, 3840, 2295, 255));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Command7[i]->y(), design(0, 5880, 0, 0).y()) << i;
    EXPECT_EQ(f.Text8->geometry(), design(120, 5880, 1935, 495));
}

TEST_F(Look, ControlsWearTheirDesignedColours) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fore(f.Label1[i]) == colorFromVb(0x00FF00FF), i >= 5) << "weekday letter " << i;
    EXPECT_EQ(fore(f.Label2), colorFromVb(0x000000C0));
    EXPECT_EQ(f.Command2[0]->backColor(), 0x00C0FFFFu);
    for (FlatButton* b : f.Command4)
        EXPECT_EQ(b->backColor(), 0x00FFFF00u);
    EXPECT_EQ(f.Command5->backColor(), 0x0000FFFFu);
    const VbColor panels[6] = {0x00FFFFFF, 0x00C0FFC0, 0x00FFC0FF, 0x00FFFFC0, 0x00C0FFFF, 0x00FFC0FF};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(f.Command6[i]->backColor(), panels[i]) << i;
    // The window and the day panel take the white of the "D" button.
    EXPECT_EQ(f.BackColor(), 0x00FFFFFFu);
    EXPECT_EQ(f.palette().color(QPalette::Window), colorFromVb(0x00FFFFFF));
    EXPECT_EQ(f.FrameBackColor(0), 0x00FFFFFFu);

    EXPECT_EQ(base(f.Text9[0]), colorFromVb(0x00FFC0FF));
    EXPECT_EQ(ink(f.Text9[0]), colorFromVb(0x00800000));
    EXPECT_EQ(base(f.Text9[1]), colorFromVb(0x0080FFFF));
    EXPECT_EQ(ink(f.Text9[1]), colorFromVb(0x000000C0));
    EXPECT_EQ(base(f.Text9[2]), colorFromVb(0x008080FF));
    EXPECT_EQ(ink(f.Text9[2]), colorFromVb(0x00008000));
    for (FlatButton* b : f.Command11)
        EXPECT_EQ(b->backColor(), 0x0000FF00u);
    // Each day of the week panel: its caption and its box in one colour.
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(fore(f.Label3[i]), ink(f.Text2[i])) << i;
    EXPECT_EQ(f.Command13->backColor(), 0x000000FFu);
    EXPECT_EQ(f.Command7[0]->backColor(), 0x0000FF00u);
    EXPECT_EQ(f.Command7[1]->backColor(), 0x00FF0000u);
    EXPECT_EQ(f.Command7[2]->backColor(), 0x000000FFu);
    EXPECT_TRUE(f.Command7[3]->backColor() == 0x00C0FFFFu || f.Command7[3]->backColor() == 0x0080FFFFu);
    EXPECT_EQ(fore(f.Label5[0]), f.palette().color(QPalette::Highlight));
    EXPECT_EQ(fore(f.Label5[1]), colorFromVb(0x00800000));

    // March 2007 starts on a Thursday: Saturday 3 and Sunday 4 green, Monday 5 white,
    // today (15) red.
    EXPECT_EQ(dayButton(3)->backColor(), 0x0000FF00u);
    EXPECT_EQ(dayButton(4)->backColor(), 0x0000FF00u);
    EXPECT_EQ(dayButton(5)->backColor(), 0x00FFFFFFu);
    EXPECT_EQ(dayButton(15)->backColor(), 0x000000FFu);
}

TEST_F(Look, CaptionsAndFontsAreTheDesignedOnes) {
    start();
    Form1& f = *form;
    const auto font = [](QWidget* w, qreal points, bool bold) {
        EXPECT_EQ(w->font().family(), QStringLiteral("Arial")) << w->objectName().toStdString();
        EXPECT_DOUBLE_EQ(w->font().pointSizeF(), points) << w->objectName().toStdString();
        EXPECT_EQ(w->font().bold(), bold) << w->objectName().toStdString();
    };
    const QStringList letters = {"L", "M", "Mi", "J", "V", "S", "D"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(f.Label1[i]->text(), letters[i]);
        font(f.Label1[i], 14.25, false);
    }
    font(f.Label2, 14.25, false);
    for (FlatButton* b : f.Command1)
        font(b, 9.75, false);
    font(f.Command2[0], 12, false);
    const QStringList months = {"Enero", "Febrero", "Marzo",      "Abril",   "Mayo",      "Junio",
                                "Julio", "Agosto",  "Septiembre", "Octubre", "Noviembre", "Diciembre"};
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(f.Command4[i]->text(), months[i]);
        font(f.Command4[i], 8.25, false);
    }
    EXPECT_EQ(f.Command5->text(), "HOY");
    font(f.Command5, 12, true);
    const QStringList panels = {"D", "S", "M", "A"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(f.Command6[i]->text(), panels[i]);
        font(f.Command6[i], 18, true);
    }
    for (FlatButton* b : {f.Command6[4], f.Command6[5], f.Command9, f.Command12, f.Command10}) {
        EXPECT_TRUE(b->text().isEmpty());
        EXPECT_FALSE(b->icon().isNull());
    }
    for (FlatButton* b : f.Command3)
        EXPECT_FALSE(b->icon().isNull());
    for (FlatButton* b : f.Command11)
        EXPECT_EQ(b->text(), "G");
    font(f.Text1, 12, false);
    for (TextBox* t : f.Text9)
        font(t, 9.75, true);
    font(f.Text8, 14.25, false);
    EXPECT_EQ(f.Label5[0]->text(), "Quelora 1.1");
    font(f.Label5[0], 18, true);
    EXPECT_EQ(f.Label5[1]->text(), "Software gratuito");
    EXPECT_FALSE(f.Label5[2]->text().isEmpty());
    const QStringList week = {"Lunes",  "Martes",  QString::fromUtf8("Miércoles"),
                              "Jueves", "Viernes", QString::fromUtf8("Sábado"),
                              "Domingo"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(f.Label3[i]->text(), week[i]);
    const QStringList fields = {"APELLIDOS",
                                "NOMBRE",
                                QString::fromUtf8("DIRECCIÓN"),
                                QString::fromUtf8("POBLACIÓN"),
                                QString::fromUtf8("TELÉFONO/S"),
                                "E-MAIL",
                                "REFERENCIA"};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(f.Label4[i]->text(), fields[i]);
    EXPECT_EQ(f.Command8->text(), "Enviar mensaje");
    EXPECT_EQ(f.Command13->text(), "ELIMINAR");
    const QStringList cards = {"GUARDAR", "NUEVO", "ELIMINAR", "Copiar Todos"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(f.Command7[i]->text(), cards[i]);
    EXPECT_EQ(f.windowTitle(), "Quelora");
    EXPECT_FALSE(f.windowIcon().isNull());
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

TEST_F(Look, EveryControlHasASpanishAccessibleName) {
    start();
    for (QWidget* w : controls())
        EXPECT_FALSE(accessibleName(w).trimmed().isEmpty())
            << w->metaObject()->className() << " " << w->objectName().toStdString();
    Form1& f = *form;
    EXPECT_EQ(accessibleName(f.Command11[0]), "Guardar festivo");
    EXPECT_EQ(accessibleName(f.Command11[1]), "Guardar recordatorio");
    EXPECT_EQ(accessibleName(f.Command5), "Hoy");
    EXPECT_EQ(accessibleName(f.Command10), "Salir");
    EXPECT_EQ(accessibleName(f.Command6[5]), "Direcciones");
    EXPECT_EQ(accessibleName(f.Label1[2]), QString::fromUtf8("Miércoles"));
    EXPECT_EQ(accessibleName(f.Text1), "Diario");
    EXPECT_FALSE(f.Text1->accessibleDescription().isEmpty());
    // A label without a name of its own is read as what it shows.
    EXPECT_EQ(accessibleName(f.Label2), f.Label2->text());
}

TEST_F(Look, EveryControlCanBeFoundByItsOwnName) {
    start();
    pressKey(form.get(), Qt::Key_F, Qt::ControlModifier); // the search's controls are made now
    std::set<QString> names;
    for (QWidget* w : controls()) {
        const QString name = w->objectName();
        EXPECT_FALSE(name.isEmpty()) << w->metaObject()->className() << " "
                                     << accessibleName(w).toStdString();
        EXPECT_TRUE(names.insert(name).second) << "twice: " << name.toStdString();
        EXPECT_EQ(form->findChild<QWidget*>(name), w) << name.toStdString();
    }
    for (const char* name : {"Command1_41", "Text9_2", "Label3_6", "Combo1", "Frame1_5", "Picture2", "File3",
                             "Dir1", "Command7_3", "SearchText", "SearchResults"})
        EXPECT_TRUE(names.count(QString::fromLatin1(name))) << name;
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

TEST_F(Look, TabWalksTheCalendarThenTheTopRowThenTheDayPanel) {
    start(QDate(2007, 3, 15)); // March 2007: days on buttons 3 to 33
    Form1& f = *form;
    std::vector<QWidget*> expected;
    for (int i = 3; i <= 33; ++i)
        expected.push_back(f.Command1[i]);
    for (QWidget* w : std::initializer_list<QWidget*>{f.Combo1, f.Combo2, f.Command3[0], f.Command3[1]})
        expected.push_back(w);
    for (FlatButton* b : f.Command4)
        expected.push_back(b);
    expected.push_back(f.Command5);
    for (FlatButton* b : f.Command6)
        expected.push_back(b);
    for (QWidget* w :
         std::initializer_list<QWidget*>{f.Command9, f.Command12, f.Command10, f.Text9[0], f.Command11[0],
                                         f.Text1, f.Text9[1], f.Command11[1], f.Text9[2], f.Command1[3]})
        expected.push_back(w);

    f.Command1[3]->setFocus(Qt::TabFocusReason);
    settle();
    for (std::size_t i = 1; i < expected.size(); ++i) {
        pressKey(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(focused(), expected[i]) << "step " << i << ": " << accessibleName(focused()).toStdString();
    }
}

TEST_F(Look, TabWalksTheAddressBookDownItsColumnsThenAlongTheBottomRow) {
    start();
    Form1& f = *form;
    click(f.Command6[5]);
    const std::vector<QWidget*> expected = {f.Combo3,      f.File2,       f.Text7[0],   f.Text7[1],
                                            f.Text7[2],    f.Text7[3],    f.Text7[4],   f.Command8,
                                            f.Text7[5],    f.Text7[6],    f.Text8,      f.Command7[0],
                                            f.Command7[1], f.Command7[2], f.Command7[3]};
    f.Combo3->setFocus(Qt::TabFocusReason);
    settle();
    for (std::size_t i = 1; i < expected.size(); ++i) {
        pressKey(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(focused(), expected[i]) << "step " << i;
    }
    pressKey(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(focused(), f.Command1[3]) << "from the last control back to the calendar";
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

TEST_F(Look, PageDownAndPageUpAreTheNextAndPreviousMonthButtons) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(dayButton(20));
    pressShortcut(Qt::Key_PageDown);
    EXPECT_EQ(f.Combo1->currentText(), "ABRIL");
    EXPECT_EQ(f.selectedMonth(), 4);
    EXPECT_EQ(f.Label2->text(), "ABRIL de 2007");
    EXPECT_EQ(focused(), f.Command4[3]) << "the focus is where a click would have left it";
    EXPECT_FALSE(f.Frame1[0]->isEnabled());
    pressShortcut(Qt::Key_PageUp);
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Combo1->currentText(), "FEBRERO");
    EXPECT_EQ(f.Label2->text(), "FEBRERO de 2007");
    EXPECT_EQ(focused(), f.Command4[1]);
}

TEST_F(Look, PageKeysCrossIntoTheNeighbouringYear) {
    start(QDate(2007, 1, 10));
    Form1& f = *form;
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Combo1->currentText(), "DICIEMBRE");
    EXPECT_EQ(f.Combo2->currentText(), "2006");
    EXPECT_EQ(f.Command2[0]->text(), "2006") << "stepped as the year arrow steps";
    EXPECT_EQ(f.Label2->text(), "DICIEMBRE de 2006");
    pressShortcut(Qt::Key_PageDown);
    EXPECT_EQ(f.Combo1->currentText(), "ENERO");
    EXPECT_EQ(f.Combo2->currentText(), "2007");
    EXPECT_EQ(f.Label2->text(), "ENERO de 2007");

    // A year picked from the list: the year button still shows 2007, yet the key goes to
    // the year before the one on show.
    pickFromList(f.Combo2, f.Combo2->findText("2010"));
    click(f.Command4[0]);
    pressShortcut(Qt::Key_PageUp);
    EXPECT_EQ(f.Label2->text(), "DICIEMBRE de 2009");
}

TEST_F(Look, HomeIsTheTodayButton) {
    start(QDate(2007, 3, 15));
    Form1& f = *form;
    click(f.Command4[6]); // July
    pressShortcut(Qt::Key_Home);
    EXPECT_EQ(f.Label2->text(), QString::fromUtf8("JUEVES, 15 de MARZO de 2007"));
    EXPECT_EQ(f.Combo1->currentText(), "MARZO");
    EXPECT_EQ(dayButton(15)->backColor(), vb::Red);
    EXPECT_EQ(focused(), f.Command5);
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
    EXPECT_EQ(focused(), f.Command5);
}

} // namespace
