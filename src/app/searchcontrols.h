#pragma once
// The search's field and its list of results, each with the keys it answers itself.
#include <QLineEdit>
#include <QListWidget>

namespace quelora {

class ResultList;

// The text to search for. Escape and Return are told to the window; Down goes on to the
// first result.
class SearchField : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;
    // The list that Down goes on to.
    void setResults(ResultList* results) { results_ = results; }

Q_SIGNALS:
    void escaped(); // Escape
    void entered(); // Return or Enter

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    ResultList* results_ = nullptr;
};

// The results. Escape and Return (with the row chosen) are told to the window.
class ResultList : public QListWidget {
    Q_OBJECT
public:
    using QListWidget::QListWidget;

Q_SIGNALS:
    void escaped();
    void entered(int row);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

} // namespace quelora
