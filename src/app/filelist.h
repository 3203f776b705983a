#pragma once
#include <QListWidget>
#include <functional>
#include <memory>

namespace quelora::store {
class FolderIndex;
}

namespace quelora {

// A list of the regular files of one folder (system files such as desktop.ini left out)
// whose names match a pattern
// ("*.*" for all, letter case ignored, "*" any run of characters, "?" any one),
// sorted by name, letter case ignored.
class FileList : public QListWidget {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& folder); // lists the folder at once
    QString pattern() const { return pattern_; }
    void setPattern(const QString& pattern); // lists again at once
    void refresh();
    // A file of the folder just written or removed by the program itself: the list
    // takes it in or lets it go without reading the folder again.
    void addName(const QString& name);
    void removeName(const QString& name);
    QString fileName() const; // the selected name, or empty
    // Selects the entry of that name and takes the focus; false when it is not listed.
    bool choose(const QString& name);
    QStringList names() const;
    // What a screen reader hears of an entry instead of its file name (empty: the name).
    void speakNamesAs(std::function<QString(const QString&)> spoken) { spoken_ = std::move(spoken); }

Q_SIGNALS:
    void clicked(); // an entry was chosen with the mouse or the arrow keys

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void clearCurrent(); // the choice stays selected
    void speak(QListWidgetItem* item) const;
    std::function<QString(const QString&)> spoken_;
    QString path_;
    QString pattern_ = QStringLiteral("*.*");
    QString pressed_; // the name under the pointer when the button went down
    // What the list shows was made from this listing, pattern and folder.
    std::shared_ptr<const store::FolderIndex> listing_;
    QString listedPattern_, listedPath_;
};

// Whether a file name matches a file-list pattern.
bool matchesPattern(const QString& pattern, const QString& name);

// The subfolders of one folder, sorted by name, letter case ignored (hidden list).
class FolderList : public QListWidget {
    Q_OBJECT
public:
    explicit FolderList(QWidget* parent = nullptr);
    QString path() const { return path_; }
    void setPath(const QString& folder);
    int listCount() const { return count(); }
    QString listName(int i) const; // last path element of subfolder i

private:
    QString path_;
};

} // namespace quelora
