#include "app/versionsview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <dtl/dtl.hpp>
#include <vector>

namespace quelora {

QString versionLine(const VersionChoice& v) {
    if (!v.when.isValid()) return v.origin;
    const QString at = v.when.time() == QTime(0, 0) ? v.when.toString(QStringLiteral("d/M/yyyy"))
                                                     : v.when.toString(QStringLiteral("d/M/yyyy H:mm"));
    return QStringLiteral("%1, %2").arg(v.origin, at);
}

QString joinedHeading(const VersionChoice& v) {
    return QStringLiteral("\u2014\u2014 Otra versi\u00F3n, de %1 \u2014\u2014").arg(versionLine(v));
}

QString joinedText(const QString& mine, const VersionChoice& v) {
    if (v.text.isEmpty() || mine.contains(v.text)) return mine;
    if (mine.isEmpty()) return v.text;
    // Texts in the files' form: lines end with CR LF.
    const QString crlf = QStringLiteral("\r\n");
    QString joined = mine;
    if (!joined.endsWith(crlf)) joined += crlf;
    return joined + crlf + joinedHeading(v) + crlf + v.text;
}

namespace {

// Words, and the blanks between them, as units of the comparison.
std::vector<QString> units(const QString& text) {
    std::vector<QString> out;
    static const QRegularExpression re(QStringLiteral("\\s+|[^\\s]+"));
    for (auto it = re.globalMatch(text); it.hasNext();)
        out.push_back(it.next().captured(0));
    return out;
}

QString escaped(const QString& s) {
    QString e = s.toHtmlEscaped();
    e.remove(QLatin1Char('\r'));
    e.replace(QLatin1Char('\n'), QStringLiteral("<br>"));
    return e;
}

} // namespace

TextDiff wordDiff(const QString& mine, const QString& other) {
    const std::vector<QString> a = units(mine), b = units(other);
    dtl::Diff<QString, std::vector<QString>> d(a, b);
    d.compose();
    TextDiff r;
    int run = 0; // the kind of the run being written: 0 common, -1 removed, 1 added
    const auto close = [&] {
        if (run < 0) r.html += QStringLiteral(" -]</span>");
        if (run > 0) r.html += QStringLiteral(" +}</span>");
        run = 0;
    };
    for (const auto& [unit, info] : d.getSes().getSequence()) {
        const int kind = info.type == dtl::SES_ADD ? 1 : info.type == dtl::SES_DELETE ? -1 : 0;
        const bool word = !unit.trimmed().isEmpty();
        if (kind != run && (word || kind == 0)) {
            close();
            if (kind < 0) r.html += QStringLiteral("<span style=\"color:#a00000;text-decoration:line-through\">[- ");
            if (kind > 0) r.html += QStringLiteral("<span style=\"color:#006000;font-weight:bold\">{+ ");
            run = kind;
        }
        if (word && kind > 0) ++r.added;
        if (word && kind < 0) ++r.removed;
        r.html += escaped(unit);
    }
    close();
    return r;
}

VersionsView::VersionsView(QWidget* parent, const QString& what, const QString& mine, QList<VersionChoice> versions)
    : QDialog(parent), mine_(mine), versions_(std::move(versions)) {
    setObjectName(QStringLiteral("Versiones"));
    setWindowTitle(QStringLiteral("Otras versiones de %1").arg(what));
    setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(QStringLiteral("Versiones de %1, la más nueva primero. Lo que difiere de lo que "
                                              "hay ahora: {+ así +} lo que solo tiene la otra, [- así -] lo que "
                                              "solo tiene la tuya.")
                                   .arg(what),
                               this);
    heading->setWordWrap(true);
    layout->addWidget(heading);
    list = new QListWidget(this);
    list->setObjectName(QStringLiteral("ListaVersiones"));
    list->setAccessibleName(QStringLiteral("Versiones"));
    for (const VersionChoice& v : versions_)
        list->addItem(versionLine(v));
    list->setMaximumHeight(110);
    layout->addWidget(list);
    summary_ = new QLabel(this);
    layout->addWidget(summary_);
    diff = new QTextBrowser(this);
    diff->setObjectName(QStringLiteral("Diferencias"));
    diff->setAccessibleName(QStringLiteral("Diferencias con tu texto"));
    layout->addWidget(diff);
    auto* buttons = new QHBoxLayout;
    keepBoth = new QPushButton(QStringLiteral("&Conservar las dos"), this);
    keepBoth->setAccessibleDescription(
        QStringLiteral("La otra versión se añade a tu texto bajo una línea con su origen y su fecha; no se pierde nada"));
    keepThis = new QPushButton(QStringLiteral("&Quedarme con la mía"), this);
    keepThis->setAccessibleDescription(QStringLiteral("Tu texto se queda; la otra versión pasa al historial"));
    takeOther = new QPushButton(QStringLiteral("&Tomar la otra"), this);
    takeOther->setAccessibleDescription(
        QStringLiteral("La otra versión sustituye a tu texto, que se guarda antes en el historial"));
    closeButton = new QPushButton(QStringLiteral("Cerrar"), this);
    for (QPushButton* b : {keepBoth, keepThis, takeOther, closeButton}) {
        b->setAccessibleName(b->text().remove(QLatin1Char('&')));
        buttons->addWidget(b);
    }
    keepBoth->setDefault(true);
    layout->addLayout(buttons);
    const auto choose = [this](VersionAction a) {
        const int i = current();
        if (i < 0) return;
        accept();
        Q_EMIT chosen(i, a);
    };
    connect(keepBoth, &QPushButton::clicked, this, [choose] { choose(VersionAction::KeepBoth); });
    connect(keepThis, &QPushButton::clicked, this, [choose] { choose(VersionAction::KeepThis); });
    connect(takeOther, &QPushButton::clicked, this, [choose] { choose(VersionAction::TakeOther); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(list, &QListWidget::currentRowChanged, this, [this] { showDiff(); });
    resize(620, 460);
    if (!versions_.isEmpty()) list->setCurrentRow(0);
    list->setFocus();
}

int VersionsView::current() const {
    return list->currentRow();
}

void VersionsView::showDiff() {
    const int i = current();
    if (i < 0 || i >= versions_.size()) return;
    const VersionChoice& v = versions_[i];
    const TextDiff d = wordDiff(mine_, v.text);
    diff->setHtml(d.html);
    const QString said =
        d.added == 0 && d.removed == 0
            ? QStringLiteral("Esta versión dice lo mismo que tu texto.")
            : QStringLiteral("Esta versión tiene %1 palabras que tu texto no tiene, y le faltan %2 de las tuyas.")
                  .arg(d.added)
                  .arg(d.removed);
    summary_->setText(said);
    diff->setAccessibleDescription(said);
    list->setAccessibleDescription(versionLine(v) + QStringLiteral(". ") + said);
    // An earlier save is already in the history: keeping this text leaves it there.
    keepThis->setEnabled(v.beside);
}

} // namespace quelora
