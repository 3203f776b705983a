#pragma once
#include <QPlainTextEdit>

namespace quelora {

namespace spelling {
class Marks;
class Speller;
} // namespace spelling

// A text box whose text is written as the files hold it (lines joined by CR LF).
// A text set by the program and not changed since comes back byte for byte, so a
// file that is loaded and saved unchanged keeps its exact bytes.
class TextBox : public QPlainTextEdit {
    Q_OBJECT
public:
    enum class Lines { Single, Multi };
    explicit TextBox(Lines lines, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text); // emits changed(), not edited(); the cursor at the start
    // As setText, for a text changed under the user (another program's version of the
    // file): the cursor, any selection and the scroll stay where they were, beside the
    // same text (a cursor at the end stays at the end).
    void followText(const QString& text);
    // The user has changed the text since the program last set it or marked it saved
    // (undoing back to that point makes it unchanged again).
    bool isModified() const;
    // What the box holds has just been saved: from now on it counts as unchanged.
    void markSaved();
    // The box's text has just been saved: it shows it as its file keeps it ("?" for what
    // the code page cannot hold) and counts as unchanged.
    void showSaved(const QString& saved);
    bool isMultiLine() const { return lines_ == Lines::Multi; }
    // Whether the box takes typing; one that does not says why in its empty space.
    void takeInput(bool takes, const QString& whyNot = QString());
    // From now on the box marks the words the speller does not know.
    void checkSpelling(spelling::Speller* speller);
    spelling::Marks* spellMarks() const { return marks_; }
    // Selects the next word marked as misspelt after the cursor (from the start again past
    // the last) and says it; false when none is marked.
    bool nextMarkedWord();
    // Something that has just happened to the box, said to a screen reader before its
    // standing description (the next news replaces it).
    void say(const QString& news);

Q_SIGNALS:
    void clicked();   // mouse released inside the box
    void lostFocus(); // the focus left for another control of the window
    void changed();   // any change of the text, by the user or the program
    void edited();    // a change made by the user

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void insertFromMimeData(const QMimeData* source) override;
    void dropEvent(QDropEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    QString shown() const; // the characters the box holds, its own line breaks as "\n"
    void fill(const QString& text);
    // A screen reader reads each box through its own interface (textboxaccess.cpp).
    static void installAccessibility();
    QString news_; // what say() put before the description
    Lines lines_;
    bool settingText_ = false;
    QString setText_; // the text as given to setText
    spelling::Marks* marks_ = nullptr;
    QString standing_; // its description while it takes input
    bool takesInputSaid_ = false;
};

} // namespace quelora
