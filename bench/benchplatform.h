#pragma once
// What the window asks of the desktop, answered at once: a fixed clock, message
// boxes that close themselves, a clipboard and editor that only count.
#include "app/platform.h"

namespace quelora::bench {

class BenchPlatform : public Platform {
public:
    QDateTime clock;
    int messages = 0;
    QString lastMessage; // kept, as a real box holds its text while it is open
    int clipboardTexts = 0;
    QString clipboard;
    int editorRequests = 0;

    QDateTime now() override { return clock; }
    void message(QWidget*, const QString& text) override {
        ++messages;
        lastMessage = text;
    }
    void setClipboardText(const QString& text) override {
        ++clipboardTexts;
        clipboard = text;
    }
    bool openMail(const QString&) override { return true; }
    bool openTextEditor(const QString&) override {
        ++editorRequests;
        return true;
    }
    void endProgram() override {}
    QStringList dictionaries; // where a spelling dictionary is looked for: none, no checking
    QStringList dictionaryFolders() override { return dictionaries; }
};

} // namespace quelora::bench
