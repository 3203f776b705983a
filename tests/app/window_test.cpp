#include "app/colors.h"
#include "app/platform.h"
#include "support/formfixture.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

using namespace quelora;
using namespace quelora::test;

namespace {

class Window : public FormFixture {
protected:
    void expectOnlyPanel(int k) {
        EXPECT_EQ(static_cast<int>(form->visiblePanel()), k);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(form->Frame1[i]->isVisible(), i == k) << "panel " << i;
    }
};

} // namespace

TEST_F(Window, StartUpLeavesOneBlankInTheExportFileWhateverItHeld) {
    writeBytes(QStringLiteral("texto.txt"), "an earlier export\r\nof two lines");
    start();
    EXPECT_EQ(readBytes(QStringLiteral("texto.txt")), QByteArray(" "));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Window, AFreshDataFolderGetsTheFoldersEverySaveNeeds) {
    start();
    for (const char* sub : {"dias", "fiestas", "recordatorio", "notas", "direcciones", "direcciones/Todos"})
        EXPECT_TRUE(QFileInfo(path(QString::fromLatin1(sub))).isDir()) << sub;
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Window, AnUnwritableDataFolderIsReportedOnceAndTheWindowStillOpensOnToday) {
    makeFolder(QStringLiteral("texto.txt")); // even root cannot write a file where a folder stands
    start(QDate(2007, 3, 15));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(
        QStringLiteral("Tu ordenador no me permite escribir datos en la carpeta del programa \r\nERROR: ")));
    EXPECT_GT(platform.messages[0].size(), 80); // the platform's reason follows
    EXPECT_EQ(form->Label2->text(), QStringLiteral("JUEVES, 15 de MARZO de 2007"));
    click(form->Command1[20]);
    EXPECT_EQ(form->selectedButton(), 20);
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(Window, AReadOnlyExportFileIsReportedByTheWriteTestAndKept) {
    writeBytes(QStringLiteral("texto.txt"), "bloqueado");
    QFile::setPermissions(path(QStringLiteral("texto.txt")), QFile::ReadOwner | QFile::ReadOther);
    start();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].endsWith(QStringLiteral("ERROR: El archivo es de solo lectura")));
    EXPECT_EQ(readBytes(QStringLiteral("texto.txt")), QByteArray("bloqueado"));
}

TEST_F(Window, AFolderThatCannotBeCreatedIsReportedByTheWriteTest) {
    writeBytes(QStringLiteral("dias"), "a file where the diary folder should be");
    start();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("ERROR: ")));
    EXPECT_TRUE(platform.messages[0].contains(QStringLiteral("dias")));
}

TEST_F(Window, AllPanelsShareOneRectangleAndTheTopRowMovesUp) {
    start();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(form->Frame1[i]->geometry(), QRect(192, 32, 521, 433)) << i;
    for (QWidget* b : {static_cast<QWidget*>(form->Command9), static_cast<QWidget*>(form->Command10),
                       static_cast<QWidget*>(form->Command12)})
        EXPECT_EQ(b->y(), 3);
    for (FlatButton* b : form->Command6) {
        EXPECT_EQ(b->y(), 3);
        EXPECT_EQ(b->size(), QSize(33, 33));
    }
    EXPECT_EQ(form->size(), QSize(723, 508));
    EXPECT_EQ(form->BackColor(), vb::White);
    EXPECT_EQ(form->FrameBackColor(0), vb::White);
}

TEST_F(Window, PanelButtonsShowTheirPanelAndDyeTheWindow) {
    start();
    const VbColor colours[6] = {0x00FFFFFF, 0x00C0FFC0, 0x00FFC0FF, 0x00FFFFC0, 0x00C0FFFF, 0x00FFC0FF};
    for (int k : {2, 1, 3, 4, 5, 0, 5}) {
        click(form->Command6[k]);
        expectOnlyPanel(k);
        EXPECT_EQ(form->BackColor(), colours[k]) << k;
        EXPECT_EQ(form->FrameBackColor(k), colours[k]) << k;
    }
}

TEST_F(Window, ADayClickBringsBackTheDayPanelInWhite) {
    start();
    for (int k = 1; k < 6; ++k) {
        click(form->Command6[k]);
        click(form->Command1[10]);
        expectOnlyPanel(0);
        EXPECT_EQ(form->BackColor(), vb::White);
        EXPECT_EQ(form->FrameBackColor(0), vb::White);
    }
}

TEST_F(Window, QtsOwnTextsAreInSpanish) {
    ASSERT_TRUE(installSpanishTranslations()) << "Qt's Spanish translations are not installed";
    start();
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, QStringLiteral("x"), QMessageBox::Ok, form.get());
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("Aceptar"));
    std::unique_ptr<QMenu> menu(form->Text1->createStandardContextMenu());
    QStringList entries;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) entries << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(entries.mid(0, 6),
              (QStringList{QStringLiteral("Deshacer"), QStringLiteral("Rehacer"), QStringLiteral("Cortar"),
                           QStringLiteral("Copiar"), QStringLiteral("Pegar"), QStringLiteral("Borrar")}));
}

TEST_F(Window, MinimiseOnlyMinimises) {
    start();
    click(form->Command12);
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
    EXPECT_EQ(platform.endRequests, 0);
}

TEST_F(Window, TheExitButtonEndsTheProgramWhenNothingIsLeftUnsaved) {
    start();
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(Window, AFailureReportedWhileTheFocusMovesIsShownAfterTheClick) {
    start();
    form->Text9[0]->setFocus(Qt::MouseFocusReason);
    bool shownDuringClick = false;
    QObject::connect(form->Text9[0], &TextBox::lostFocus, form.get(),
                     [this] { form->ReportFailure(QStringLiteral("fallo")); });
    QObject::connect(form->Command6[3], &QPushButton::clicked, form.get(),
                     [&] { shownDuringClick = !platform.messages.isEmpty(); });
    QTest::mouseClick(form->Command6[3], Qt::LeftButton);
    EXPECT_FALSE(shownDuringClick);
    settle();
    EXPECT_EQ(platform.messages, QStringList{QStringLiteral("fallo")});
}

TEST_F(Window, ClosingTheWindowSavesTheFocusedWeekBox) {
    start(QDate(2007, 3, 15));
    click(form->Command6[1]);
    clickInto(form->Text2[3]);
    typeText(form->Text2[3], QStringLiteral("cerrar"));
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_EQ(readBytes(QStringLiteral("dias/JUEVES, 15 de MARZO de 2007.txt")), QByteArray("cerrar"));
}

TEST_F(Window, ClosingTheWindowIsRefusedWhileASaveFails) {
    start(QDate(2007, 3, 15));
    click(form->Command6[1]);
    QDir(path(QStringLiteral("dias"))).removeRecursively();
    writeBytes(QStringLiteral("dias"), "a file where the diary folder should be");
    clickInto(form->Text2[3]);
    typeText(form->Text2[3], QStringLiteral("no se pierde"));
    QCloseEvent refused;
    QApplication::sendEvent(form.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    ASSERT_FALSE(platform.messages.isEmpty());
    EXPECT_EQ(form->Text2[3]->text(), QStringLiteral("no se pierde"));
    EXPECT_TRUE(platform.messages.last().contains(QStringLiteral("Si vuelves a salir")));
    // Told once, the user may still leave: a broken folder never locks them in.
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(Window, TheExitButtonStaysOnceWhenTheDiaryCannotBeSaved) {
    start(QDate(2007, 3, 15));
    QDir(path(QStringLiteral("dias"))).removeRecursively();
    writeBytes(QStringLiteral("dias"), "a file where the diary folder should be");
    clickInto(form->Text1);
    typeText(form->Text1, QStringLiteral("importante"));
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 0);
    EXPECT_EQ(form->Text1->text(), QStringLiteral("importante"));
    ASSERT_GE(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages.last().contains(QStringLiteral("Si vuelves a salir")));
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
}

TEST_F(Window, ClosingAfterOnlyReadingANoteMakesNoCopyOfIt) {
    writeBytes(QStringLiteral("notas/2007-3-1--9-0"), cp1252("una nota\r\nleída"));
    start(QDate(2007, 3, 15));
    click(form->Command6[4]);
    form->File1->refresh();
    ASSERT_EQ(form->File1->count(), 1);
    const QRect r = form->File1->visualItemRect(form->File1->item(0));
    QTest::mouseClick(form->File1->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    settle();
    ASSERT_EQ(form->Text6->text(), QStringLiteral("una nota\r\nleída"));
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_EQ(QDir(path(QStringLiteral("notas"))).entryList(QDir::Files),
              QStringList{QStringLiteral("2007-3-1--9-0")});
}

TEST_F(Window, ClosingWhileTypingANoteSavesIt) {
    start(QDate(2007, 3, 15), QTime(9, 5));
    click(form->Command6[4]);
    clickInto(form->Text6);
    typeText(form->Text6, QStringLiteral("apunte"));
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_EQ(readBytes(QStringLiteral("notas/2007-3-15--9-5")), QByteArray("apunte"));
}
