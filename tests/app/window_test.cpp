#include "app/colors.h"
#include "app/platform.h"
#include "support/formfixture.h"

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
    writeBytes(u("texto.txt"), "an earlier export\r\nof two lines");
    start();
    EXPECT_EQ(readBytes(u("texto.txt")), QByteArray(" "));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Window, AFreshDataFolderGetsTheFoldersEverySaveNeeds) {
    start();
    for (const char* sub : {"dias", "fiestas", "recordatorio", "notas", "direcciones", "direcciones/Todos"})
        EXPECT_TRUE(QFileInfo(path(QString::fromLatin1(sub))).isDir()) << sub;
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(Window, AnUnwritableDataFolderIsReportedOnceAndTheWindowStillOpensOnToday) {
    makeFolder(u("texto.txt")); // even root cannot write a file where a folder stands
    start(QDate(2007, 3, 15));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].startsWith(
        u("Tu ordenador no me permite escribir datos en la carpeta del programa \r\nERROR: ")));
    EXPECT_GT(platform.messages[0].size(), 80); // the platform's reason follows
    EXPECT_EQ(form->Label2->text(), u("JUEVES, 15 de MARZO de 2007"));
    click(form->Command1[20]);
    EXPECT_EQ(form->selectedButton(), 20);
    EXPECT_EQ(platform.messages.size(), 1);
}

TEST_F(Window, AReadOnlyExportFileIsReportedByTheWriteTestAndKept) {
    writeBytes(u("texto.txt"), "bloqueado");
    QFile::setPermissions(path(u("texto.txt")), QFile::ReadOwner | QFile::ReadOther);
    start();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].endsWith(u("ERROR: El archivo es de solo lectura")));
    EXPECT_EQ(readBytes(u("texto.txt")), QByteArray("bloqueado"));
}

TEST_F(Window, AFolderThatCannotBeCreatedIsReportedByTheWriteTest) {
    writeBytes(u("dias"), "a file where the diary folder should be");
    start();
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u("ERROR: ")));
    EXPECT_TRUE(platform.messages[0].contains(u("dias")));
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
    QMessageBox box(QMessageBox::NoIcon, kProgramTitle, u("x"), QMessageBox::Ok, form.get());
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), u("Aceptar"));
    std::unique_ptr<QMenu> menu(form->Text1->createStandardContextMenu());
    QStringList entries;
    for (const QAction* a : menu->actions())
        if (!a->isSeparator()) entries << a->text().remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
    EXPECT_EQ(entries.mid(0, 6),
              (QStringList{u("Deshacer"), u("Rehacer"), u("Cortar"), u("Copiar"), u("Pegar"), u("Borrar")}));
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
                     [this] { form->ReportFailure(u("fallo")); });
    QObject::connect(form->Command6[3], &QPushButton::clicked, form.get(),
                     [&] { shownDuringClick = !platform.messages.isEmpty(); });
    QTest::mouseClick(form->Command6[3], Qt::LeftButton);
    EXPECT_FALSE(shownDuringClick);
    settle();
    EXPECT_EQ(platform.messages, QStringList{u("fallo")});
}

TEST_F(Window, ClosingAfterOnlyReadingANoteMakesNoCopyOfIt) {
    writeBytes(u("notas/2007-3-1--9-0"), cp1252("una nota\r\nleída"));
    start(QDate(2007, 3, 15));
    click(form->Command6[4]);
    form->File1->refresh();
    ASSERT_EQ(form->File1->count(), 1);
    clickRow(form->File1, 0);
    ASSERT_EQ(form->Text6->text(), u("una nota\r\nleída"));
    QCloseEvent close;
    QApplication::sendEvent(form.get(), &close);
    EXPECT_TRUE(close.isAccepted());
    EXPECT_EQ(QDir(path(u("notas"))).entryList(QDir::Files), QStringList{u("2007-3-1--9-0")});
}

// ---- Leaving -----------------------------------------------------------------------------

namespace {

// The boxes that save themselves when they are left, and the file each one's text goes to.
struct TypedBox {
    const char* name;
    int panel; // the panel button that shows the box
    TextBox* (*box)(Form1&);
    const char* file;
};
const TypedBox kTypedBoxes[] = {
    {"Diary", 0, [](Form1& f) { return f.Text1; }, "dias/JUEVES, 15 de MARZO de 2007.txt"},
    {"WeekBox", 1, [](Form1& f) { return f.Text2[4]; }, "dias/VIERNES, 16 de MARZO de 2007.txt"},
    {"Note", 4, [](Form1& f) { return f.Text6; }, "notas/2007-3-15--10-0"},
};

// The ways out of the program: each saves by a path of its own (the exit button takes the
// focus first, a close does not, the session's end asks for the saves alone).
void PrintTo(const TypedBox& typed, std::ostream* os) {
    *os << typed.name;
}

enum class Way { ExitButton, ClosingTheWindow, SessionEnd };
const char* const kWayNames[] = {"ByTheExitButton", "ByClosingTheWindow", "AtTheSessionEnd"};

// How a save fails: for good (its folder is a file now) or once (a write cut half-way).
enum class Fault { FolderGone, OneWriteFails };
const char* const kFaultNames[] = {"WithItsFolderGone", "WithOneWriteFailing"};

class Leaving : public Window {
protected:
    // The window on the box's panel, the text typed into the box, which keeps the focus.
    TextBox* typeInto(const TypedBox& typed, const QString& text) {
        start(QDate(2007, 3, 15));
        if (typed.panel != 0) click(form->Command6[typed.panel]);
        TextBox* box = typed.box(*form);
        FormFixture::typeInto(box, text);
        EXPECT_TRUE(box->hasFocus());
        return box;
    }
    // Whether the program ends (or, at the session's end, everything was saved).
    bool leave(Way way) {
        switch (way) {
        case Way::ExitButton: {
            const int before = platform.endRequests;
            click(form->Command10);
            return platform.endRequests > before;
        }
        case Way::ClosingTheWindow: {
            const bool closed = form->close();
            settle();
            return closed;
        }
        case Way::SessionEnd:
            return form->SessionEnds();
        }
        return false;
    }
};

} // namespace

class LeavingSaves : public Leaving, public ::testing::WithParamInterface<std::tuple<TypedBox, Way>> {};

TEST_P(LeavingSaves, WhatIsTypedInTheBoxThatHasTheFocus) {
    const auto& [typed, way] = GetParam();
    typeInto(typed, u("último día\nsegunda línea"));
    EXPECT_TRUE(leave(way));
    EXPECT_EQ(readBytes(u(typed.file)), cp1252("último día\r\nsegunda línea"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Boxes, LeavingSaves,
                         ::testing::Combine(::testing::ValuesIn(kTypedBoxes),
                                            ::testing::Values(Way::ExitButton, Way::ClosingTheWindow,
                                                              Way::SessionEnd)),
                         [](const auto& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    kWayNames[int(std::get<1>(row.param))];
                         });

class LeavingWhileASaveFails : public Leaving,
                               public ::testing::WithParamInterface<std::tuple<TypedBox, Way, Fault>> {};

TEST_P(LeavingWhileASaveFails, StaysOnceSaysWhyAndKeepsTheText) {
    const auto& [typed, way, fault] = GetParam();
    const QString folder = u(typed.file).section(u'/', 0, 0);
    TextBox* box = typeInto(typed, u("no se pierde"));
    if (fault == Fault::FolderGone) {
        QDir(path(folder)).removeRecursively();
        writeBytes(folder, "a file where the folder should be");
    } else {
        writeFaults.failNext(1, u("disco lleno (prueba)"));
    }
    EXPECT_FALSE(leave(way));
    EXPECT_EQ(platform.endRequests, 0);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(box->text(), u("no se pierde"));
    ASSERT_GE(platform.messages.size(), 2); // why, and that leaving again would lose it
    EXPECT_TRUE(platform.messages[0].contains(QDir::toNativeSeparators(path(u(typed.file)))))
        << platform.messages[0].toStdString();
    EXPECT_TRUE(platform.messages.last().contains(u("Si vuelves a salir")));
    if (fault == Fault::OneWriteFails) {
        EXPECT_EQ(platform.messages.size(), 2);
    }
    // Told once, the user may still leave: a broken folder never locks them in.
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
}

INSTANTIATE_TEST_SUITE_P(Boxes, LeavingWhileASaveFails,
                         ::testing::Combine(::testing::ValuesIn(kTypedBoxes),
                                            ::testing::Values(Way::ExitButton, Way::ClosingTheWindow),
                                            ::testing::Values(Fault::FolderGone, Fault::OneWriteFails)),
                         [](const auto& row) {
                             return std::string(std::get<0>(row.param).name) +
                                    kWayNames[int(std::get<1>(row.param))] +
                                    kFaultNames[int(std::get<2>(row.param))];
                         });

class LossySaves : public Leaving, public ::testing::WithParamInterface<TypedBox> {};

// Characters the code page cannot hold are stored as "?", the box shows what was kept,
// the user is told once, not at every leave, and the exit is not held up by it.
TEST_P(LossySaves, KeepWhatTheCodePageHoldsAndAreToldOnce) {
    const TypedBox& typed = GetParam();
    TextBox* box = typeInto(typed, u("té \u4E2D→"));
    click(form->Command10);
    EXPECT_EQ(platform.endRequests, 1);
    EXPECT_EQ(readBytes(u(typed.file)), QByteArray("t\xE9 ??"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].contains(u("«?»")));
    EXPECT_TRUE(platform.messages[0].contains(QDir::toNativeSeparators(path(u(typed.file)))));
    EXPECT_EQ(box->text(), u("té ??"));
    clickInto(box);
    pressKey(box, Qt::Key_Tab);
    EXPECT_EQ(platform.messages.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Boxes, LossySaves, ::testing::ValuesIn(kTypedBoxes),
                         [](const auto& row) { return std::string(row.param.name); });
