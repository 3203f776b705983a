#pragma once
#include "app/platform.h"

#include <QStringList>

namespace quelora::test {

// Records what the window asks of the desktop; the clock is fixed.
class FakePlatform : public Platform {
public:
    QDateTime clock = QDateTime(QDate(2007, 3, 15), QTime(10, 0));
    QStringList messages;
    QStringList clipboardHistory; // every text put on the clipboard, in order
    QStringList mailRequests;
    QStringList editorRequests;
    int endRequests = 0;
    QStringList dictionaries; // the folders a spelling dictionary is looked for in: none, none is used

    QString computerName; // another computer's name; empty: this one's
    QDateTime now() override { return clock; }
    QString computer() override { return computerName.isEmpty() ? Platform::computer() : computerName; }
    void message(QWidget*, const QString& text) override { messages << text; }
    void setClipboardText(const QString& text) override { clipboardHistory << text; }
    bool openMail(const QString& request) override {
        mailRequests << request;
        return true;
    }
    bool openTextEditor(const QString& path) override {
        editorRequests << path;
        return true;
    }
    void endProgram() override { ++endRequests; }
    QStringList dictionaryFolders() override { return dictionaries; }
};

} // namespace quelora::test
