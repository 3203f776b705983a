#pragma once
// The red wavy line under the words of a box that the dictionary does not know, and the
// suggestions its context menu offers. The line is drawn over the text (the box's extra
// selections): it never changes the document, its undo history or its "modified" mark.
#include <QObject>
#include <QPoint>
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
    int marked() const; // how many words are marked now

Q_SIGNALS:
    void addRequested(const QString& word); // the user asked to keep this word

private:
    void mark();
    TextBox* box_;
    Speller* speller_;
    QTimer timer_;
    int typedAt_ = -1; // where the last typed character ended; the word ending there is still being typed
};

} // namespace quelora::spelling
