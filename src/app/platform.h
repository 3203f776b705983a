#pragma once
// What the window needs from the desktop. Tests hand the window a recording fake
// with a fixed clock, so no test blocks on a modal box or starts a program.
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <memory>

class QMessageBox;
class QWidget;

namespace quelora {

class Platform {
public:
    virtual ~Platform() = default;
    virtual QDateTime now() = 0;
    // A modal box with an OK button only, no icon, under the program's own title.
    virtual void message(QWidget* owner, const QString& text) = 0;
    // Clears the clipboard and puts text on it as plain text.
    virtual void setClipboardText(const QString& text) = 0;
    // Opens a "mailto:" request with the desktop's mail program, without waiting.
    virtual bool openMail(const QString& request) = 0;
    // Opens a text file in the text editor, without waiting.
    virtual bool openTextEditor(const QString& path) = 0;
    // Ends the program at once.
    virtual void endProgram() = 0;
    // The folders to look for a Spanish spelling dictionary in; none: no checking.
    virtual QStringList dictionaryFolders() { return {}; }
    // This computer, as its files in the data folder name it (thisComputer()).
    virtual QString computer();
};

class QtPlatform : public Platform {
public:
    QDateTime now() override;
    void message(QWidget* owner, const QString& text) override;
    void setClipboardText(const QString& text) override;
    bool openMail(const QString& request) override;
    bool openTextEditor(const QString& path) override;
    void endProgram() override;
    QStringList dictionaryFolders() override;
};

inline const QString kProgramTitle = QStringLiteral("Quelora");

// The box QtPlatform::message shows: OK only, no icon, the text as plain text.
std::unique_ptr<QMessageBox> messageBox(QWidget* owner, const QString& text);

// Qt's own texts (the buttons of a message box, a text box's context menu) in Spanish,
// from the translations installed with Qt. False when they are not there.
bool installSpanishTranslations();

} // namespace quelora
