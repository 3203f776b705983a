#pragma once
// A real Form1 on the offscreen platform, on a temporary data folder, with a fixed clock.
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/textbox.h"
#include "support/fakeplatform.h"

#include <QByteArray>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace quelora::test {

class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Builds the window on the data folder, runs Form_Load, shows it and waits
    // until it is active (the focus moves only in an active window).
    void start(const QDate& today = QDate(2007, 3, 15), const QTime& time = QTime(10, 0));
    // Runs the queued work (deferred messages) and repaints.
    void settle();

    // Files below the data folder ("dias/x.txt").
    QString path(const QString& relative) const;
    void writeBytes(const QString& relative, const QByteArray& bytes) const;
    QByteArray readBytes(const QString& relative) const;
    bool exists(const QString& relative) const;
    void makeFolder(const QString& relative) const;

    // Input as a person gives it.
    void click(QWidget* w);                         // press and release at the centre
    void clickInto(TextBox* box);                   // a click into the text of a box
    void typeText(QWidget* w, const QString& text); // accented letters and line breaks included
    void pressKey(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier);
    void pickFromList(QComboBox* combo, int index); // as a pick from the drop-down
    // The day button showing day d of the month on show.
    FlatButton* dayButton(int d) const;

    // The data folder; nestDataFolder() moves it one level down, so that the test owns
    // its parent folder too and can see anything written beside it.
    void nestDataFolder();
    QString dataFolder() const { return dataFolder_.isEmpty() ? dir.path() : dataFolder_; }

    QTemporaryDir dir;
    QString dataFolder_;
    FakePlatform platform;
    std::unique_ptr<Form1> form;
};

// Windows-1252 bytes of a text written here in UTF-8.
QByteArray cp1252(const char* utf8);

} // namespace quelora::test
