#pragma once
// The versions of what a box shows, beside its own text: another computer's conflict
// copy, another program's text kept aside, the texts earlier saves replaced. One list,
// newest first; what each differs from the box by; and what to do with it.
#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

class QLabel;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace quelora {

struct VersionChoice {
    QString origin; // where it came from, for the user
    QDateTime when; // when it was written or replaced (invalid: unknown)
    QStringList texts; // per field of its box, in the files' form (CR LF)
    QString text;      // the fields one a line: what is compared and joined
    QString path;   // its file
    bool beside = false; // a file beside the box's own (it leaves the folder once resolved)
};

enum class VersionAction {
    KeepBoth,  // the other text joins the box's under a dated line
    KeepThis,  // the box's text stays; the other goes to the history
    TakeOther, // the other text replaces the box's, which goes to the history
};

// "otro ordenador (Syncthing, dispositivo R7HI5PD), 10/12/2026 14:09"
QString versionLine(const VersionChoice& v);
// The line that heads another version's text joined to a box's.
QString joinedHeading(const VersionChoice& v);
// The box's text with the other one after it under its heading; the box's text alone
// when it already holds the other's whole.
QString joinedText(const QString& mine, const VersionChoice& v);

// What two texts differ by, word by word: the words only the other holds marked {+ +},
// those only the box holds [- -], so that a screen reader says them too.
struct TextDiff {
    QString html;
    int added = 0;   // words only in the other
    int removed = 0; // words only in the box
};
TextDiff wordDiff(const QString& mine, const QString& other);

class VersionsView : public QDialog {
    Q_OBJECT
public:
    VersionsView(QWidget* parent, const QString& what, const QString& mine, QList<VersionChoice> versions);
    const QList<VersionChoice>& versions() const { return versions_; }
    int current() const;

    QListWidget* list = nullptr;
    QTextBrowser* diff = nullptr;
    QPushButton* keepBoth = nullptr;
    QPushButton* keepThis = nullptr;
    QPushButton* takeOther = nullptr;
    QPushButton* closeButton = nullptr;

Q_SIGNALS:
    void chosen(int version, quelora::VersionAction action);

private:
    void showDiff();
    QString mine_;
    QList<VersionChoice> versions_;
    QLabel* summary_ = nullptr;
};

} // namespace quelora
