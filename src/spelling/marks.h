#pragma once
// Which words of a box the dictionary does not know, and the suggestions its context
// menu offers. The box draws the red wavy line under them over its text: nothing of this
// changes the document, its undo history or its "modified" mark.
#include <QList>
#include <QObject>
#include <QPoint>
#include <QTextCursor>
#include <QTimer>

class QMenu;

namespace quelora {
class TextBox;
}

namespace quelora::spelling {

class Speller;

class Marks : public QObject {
    Q_OBJECT
public:
    Marks(TextBox* box, Speller* speller);
    // Marks the words in view again (also after a scroll or a resize of the box).
    void schedule();
    // The word under pos, if marked: its suggestions, "Añadir al diccionario" and
    // "Ignorar" at the top of the menu.
    void addToMenu(QMenu* menu, const QPoint& pos);
    // The words marked now; the cursors move with the text as it is edited.
    const QList<QTextCursor>& ranges() const { return ranges_; }

Q_SIGNALS:
    void addRequested(const QString& word); // the user asked to keep this word

private:
    void mark();
    TextBox* box_;
    Speller* speller_;
    QTimer timer_;
    QList<QTextCursor> ranges_;
    int typedAt_ = -1; // where the last typed character ended; the word ending there is still being typed
};

} // namespace quelora::spelling
