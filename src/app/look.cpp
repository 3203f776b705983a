#include "app/look.h"

#include "app/dropdown.h"
#include "app/filelist.h"
#include "app/flatbutton.h"
#include "app/form1.h"
#include "app/pictures.h"
#include "app/textbox.h"
#include "calendar/calendar.h"
#include "store/codepage.h"
#include "store/files.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <algorithm>
#include <vector>

namespace quelora {
namespace {

const char* const kDayFileProperty = "queloraDayFile";

QString colourWords(VbColor c) {
    switch (c) {
    case vb::White:
        return QStringLiteral("blanco: de lunes a viernes, sin fiesta ni recordatorio");
    case vb::Green:
        return QStringLiteral("verde: sábado o domingo, sin fiesta ni recordatorio");
    case vb::Yellow:
        return QStringLiteral("amarillo: tiene un texto de fiesta");
    case vb::Blue:
        return QStringLiteral("azul: tiene un recordatorio");
    case vb::Red:
        return QStringLiteral("rojo: es el día seleccionado");
    default:
        return {};
    }
}

QString markWord(VbColor c) {
    switch (c) {
    case vb::Green:
        return QStringLiteral("fin de semana");
    case vb::Yellow:
        return QStringLiteral("festivo");
    case vb::Blue:
        return QStringLiteral("recordatorio");
    case vb::Red:
        return QStringLiteral("seleccionado");
    default:
        return {}; // a weekday says nothing more than its number
    }
}

// One line of a day file for a tooltip: blanks for line breaks, cut when long.
QString tipLine(const QString& text) {
    constexpr int kLongest = 160;
    QString s = text.simplified();
    if (s.size() > kLongest) s = s.left(kLongest - 1).trimmed() + QChar(0x2026);
    return s;
}

void name(QWidget* w, const QString& accessibleName, const QString& description = QString()) {
    w->setAccessibleName(accessibleName);
    if (!description.isEmpty()) w->setAccessibleDescription(description);
}

// Names of the day buttons from their colours as they are now.
void nameDayButtons(Form1& form) {
    for (int i = 0; i < 42; ++i) {
        FlatButton* b = form.Command1[i];
        if (b->isHidden()) {
            b->setAccessibleName(QStringLiteral("Casilla sin día"));
            b->setAccessibleDescription(QString());
            b->setToolTip(QString());
            continue;
        }
        const QString description = dayButtonDescription(b->backColor(), form.GridColors[i]);
        b->setAccessibleName(dayButtonName(b->text(), b->backColor(), form.GridColors[i]));
        b->setAccessibleDescription(description);
        b->setToolTip(description);
    }
}

// The day texts are read only when the user rests the mouse on a day: a repaint of the
// grid lists each day-record folder once and reads no file for its 42 buttons.
class DayToolTips : public QObject {
public:
    explicit DayToolTips(Form1& form) : QObject(&form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::ToolTip) return false;
        auto* b = static_cast<FlatButton*>(watched);
        const QString file = b->property(kDayFileProperty).toString();
        if (b->isHidden() || file.isEmpty()) return false;
        static const char* const folders[3] = {"fiestas", "recordatorio", "santoral"};
        std::array<QString, 3> texts;
        for (int k = 0; k < 3; ++k) {
            const store::ReadResult r =
                store::readNamed(form_.DataPath(QString::fromLatin1(folders[k])), file);
            if (r.ok) texts[k] = store::decode(r.bytes);
        }
        b->setToolTip(dayButtonToolTip(b->accessibleDescription(), texts));
        return false; // the widget shows the tooltip just set
    }

private:
    Form1& form_;
};

// Home and the page keys belong to the control that has the focus when it moves a
// cursor or a selection with them; the shortcuts then stand aside.
class TypingKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::ShortcutOverride) return false;
        auto* k = static_cast<QKeyEvent*>(e);
        const Qt::KeyboardModifiers mods = k->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
        if (mods != Qt::NoModifier) return false;
        if (k->key() == Qt::Key_Home || k->key() == Qt::Key_PageUp || k->key() == Qt::Key_PageDown) {
            k->accept();
            return true;
        }
        return false;
    }
};

bool isTypingControl(QWidget* w) {
    return qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w) ||
           qobject_cast<QAbstractItemView*>(w);
}

// What a click does, keys included: the focus moves to the button first (which makes
// the box that had it save itself), then the button is pressed.
void pressAsClick(QAbstractButton* b) {
    if (!b->isVisibleTo(b->window()) || !b->isEnabled()) return;
    b->setFocus(Qt::ShortcutFocusReason);
    b->click();
}

void pageMonth(Form1& form, int step) {
    int shown = calendar::monthNumber(form.Combo1->currentText());
    if (shown == 0) shown = form.SelectedMonth; // a typed text: the grid still shows that month
    if (shown < 1 || shown > 12) return;
    const MonthPage page = monthPage(shown, step);
    if (page.yearStep != 0) {
        const auto year = calendar::yearOf(form.Combo2->currentText());
        if (!year) return;
        if (calendar::leadingNumber(form.Command2[0]->text()) == *year) {
            pressAsClick(form.Command3[page.yearStep > 0 ? 0 : 1]);
        } else {
            // The year was picked from the list, so the arrows would step from another
            // year: pick the neighbouring year from the list as the user would.
            const int index = form.Combo2->findText(QString::number(*year + page.yearStep));
            if (index < 0) return;
            form.Combo2->setFocus(Qt::ShortcutFocusReason);
            form.Combo2->setCurrentIndex(index);
            Q_EMIT form.Combo2->activated(index);
        }
    }
    pressAsClick(form.Command4[page.month - 1]);
}

} // namespace

QString dayButtonName(const QString& dayText, VbColor back, VbColor gridColor) {
    QString s = QStringLiteral("Día ") + dayText;
    QString mark = markWord(back);
    if (!mark.isEmpty()) s += QStringLiteral(", ") + mark;
    if (back == vb::Red && gridColor != vb::Red && !markWord(gridColor).isEmpty())
        s += QStringLiteral(", ") + markWord(gridColor);
    return s;
}

QString dayButtonDescription(VbColor back, VbColor gridColor) {
    QString s = colourWords(back);
    if (s.isEmpty()) return {};
    if (back == vb::Red && gridColor != vb::Red && !colourWords(gridColor).isEmpty())
        s += QStringLiteral("; sin la marca sería ") + colourWords(gridColor);
    return QStringLiteral("Color ") + s + QLatin1Char('.');
}

QString dayButtonToolTip(const QString& description, const std::array<QString, 3>& dayTexts) {
    static const char* const heads[3] = {"Fiesta: ", "Recordatorio: ", "Santo: "};
    QStringList lines;
    if (!description.isEmpty()) lines << description;
    for (int k = 0; k < 3; ++k) {
        const QString line = tipLine(dayTexts[k]);
        if (!line.isEmpty()) lines << QString::fromLatin1(heads[k]) + line;
    }
    return lines.join(QLatin1Char('\n'));
}

MonthPage monthPage(int shownMonth, int step) {
    const int target = shownMonth + step;
    if (target < 1) return {12, -1};
    if (target > 12) return {1, +1};
    return {target, 0};
}

QPoint windowPlace(const QRect& available, const QSize& frame) {
    const int x = available.x() + std::max(0, (available.width() - frame.width()) / 2);
    const int y = available.y() + std::max(0, (available.height() - frame.height()) / 2);
    return {x, y};
}

void describeControls(Form1& form) {
    name(&form, QStringLiteral("Quelora"), QStringLiteral("Agenda y diario personal"));

    // Calendar column
    name(form.Label2, QString(), QStringLiteral("Fecha del día elegido, o mes y año a la vista"));
    const QString weekdays[7] = {QStringLiteral("Lunes"),     QStringLiteral("Martes"),
                                 QStringLiteral("Miércoles"), QStringLiteral("Jueves"),
                                 QStringLiteral("Viernes"),   QStringLiteral("Sábado"),
                                 QStringLiteral("Domingo")};
    for (int i = 0; i < 7; ++i)
        name(form.Label1[i], weekdays[i]);
    for (FlatButton* b : form.Command1)
        b->installEventFilter(new DayToolTips(form));
    nameDayButtons(form);
    // The red mark moves on a click without a repaint: name the buttons again after it.
    for (FlatButton* b : form.Command1)
        QObject::connect(b, &QPushButton::clicked, &form, [&form] { nameDayButtons(form); });
    QObject::connect(form.Command5, &QPushButton::clicked, &form, [&form] { nameDayButtons(form); });

    name(form.Combo1, QStringLiteral("Mes"),
         QStringLiteral("Lista de los meses: el mes que muestra el calendario"));
    name(form.Combo2, QStringLiteral("Año"),
         QStringLiteral("Lista de los años: el año que muestra el calendario"));
    name(form.Command2[0], QStringLiteral("Año de las flechas"),
         QStringLiteral("El año desde el que cuentan las flechas de año"));
    name(form.Command3[0], QStringLiteral("Año siguiente"));
    name(form.Command3[1], QStringLiteral("Año anterior"));
    form.Command3[0]->setToolTip(QStringLiteral("Año siguiente"));
    form.Command3[1]->setToolTip(QStringLiteral("Año anterior"));
    const QString months[12] = {
        QStringLiteral("enero"),   QStringLiteral("febrero"),   QStringLiteral("marzo"),
        QStringLiteral("abril"),   QStringLiteral("mayo"),      QStringLiteral("junio"),
        QStringLiteral("julio"),   QStringLiteral("agosto"),    QStringLiteral("septiembre"),
        QStringLiteral("octubre"), QStringLiteral("noviembre"), QStringLiteral("diciembre")};
    for (int i = 0; i < 12; ++i)
        name(
            form.Command4[i], form.Command4[i]->text(),
            QStringLiteral("Muestra %1 del año a la vista (teclas Re Pág y Av Pág: mes anterior y siguiente)")
                .arg(months[i]));
    name(form.Command5, QStringLiteral("Hoy"), QStringLiteral("Vuelve al día de hoy (tecla Inicio)"));

    // Top row
    const QString panels[6] = {QStringLiteral("Día"),   QStringLiteral("Semana"),
                               QStringLiteral("Mes"),   QStringLiteral("Año"),
                               QStringLiteral("Notas"), QStringLiteral("Direcciones")};
    const QString shows[6] = {QStringLiteral("Muestra la página del diario del día elegido"),
                              QStringLiteral("Muestra las siete páginas de la semana del día elegido"),
                              QStringLiteral("Muestra seguidas todas las páginas del mes"),
                              QStringLiteral("Muestra seguidas todas las páginas del año"),
                              QStringLiteral("Muestra las notas"),
                              QStringLiteral("Muestra la agenda de direcciones")};
    for (int i = 0; i < 6; ++i) {
        name(form.Command6[i], panels[i], shows[i]);
        form.Command6[i]->setToolTip(panels[i]);
    }
    name(form.Command9, QStringLiteral("Exportar"),
         QStringLiteral("Escribe lo que se ve en un archivo de texto y lo abre en el editor de textos"));
    form.Command9->setToolTip(QStringLiteral("Exportar al editor de textos"));
    name(form.Command12, QStringLiteral("Minimizar"));
    form.Command12->setToolTip(QStringLiteral("Minimizar"));
    name(form.Command10, QStringLiteral("Salir"), QStringLiteral("Guarda el diario y cierra el programa"));
    form.Command10->setToolTip(QStringLiteral("Salir"));
    name(form.Text4, QStringLiteral("Separador de páginas"));

    const QString frames[6] = {QStringLiteral("Panel del día"),  QStringLiteral("Panel de la semana"),
                               QStringLiteral("Panel del mes"),  QStringLiteral("Panel del año"),
                               QStringLiteral("Panel de notas"), QStringLiteral("Panel de direcciones")};
    for (int i = 0; i < 6; ++i)
        name(form.Frame1[i], frames[i]);
    for (QLabel* l : form.Label5)
        name(l, l->text());

    // Day panel
    name(form.Picture1, QStringLiteral("Espiral del cuaderno"));
    name(form.Text9[0], QStringLiteral("Festivo"),
         QStringLiteral("Texto de fiesta del día; se guarda con su botón G"));
    name(form.Text9[1], QStringLiteral("Recordatorio"),
         QStringLiteral("Recordatorio del día; se guarda con su botón G"));
    name(form.Text9[2], QStringLiteral("Santoral"), QStringLiteral("Santos del día"));
    name(form.Command11[0], QStringLiteral("Guardar festivo"));
    name(form.Command11[1], QStringLiteral("Guardar recordatorio"));
    form.Command11[0]->setToolTip(QStringLiteral("Guardar festivo"));
    form.Command11[1]->setToolTip(QStringLiteral("Guardar recordatorio"));
    name(form.Text1, QStringLiteral("Diario"),
         QStringLiteral("Página del diario del día elegido; se guarda al salir de la casilla"));

    // Week panel
    for (int i = 0; i < 7; ++i) {
        name(form.Label3[i], weekdays[i]);
        name(form.Text2[i], QStringLiteral("Diario del ") + weekdays[i].toLower(),
             QStringLiteral("Se guarda al salir de la casilla"));
    }

    // Month and year panels
    name(form.Picture3, QStringLiteral("Espiral del cuaderno"));
    name(form.Text3, QStringLiteral("Diario del mes"),
         QStringLiteral("Todas las páginas del mes, una tras otra; lo que se escriba aquí no se guarda"));
    name(form.Picture2, QStringLiteral("Espiral del cuaderno"));
    name(form.Text5, QStringLiteral("Diario del año"),
         QStringLiteral("Todas las páginas del año, una tras otra; lo que se escriba aquí no se guarda"));

    // Notes panel
    name(form.Text6, QStringLiteral("Nota"),
         QStringLiteral("Texto de la nota; se guarda al salir de la casilla"));
    name(form.File1, QStringLiteral("Lista de notas"), QStringLiteral("Notas guardadas, por fecha y hora"));
    name(form.Command13, QStringLiteral("Eliminar nota"));

    // Address-book panel
    name(form.Combo3, QStringLiteral("Grupo"),
         QStringLiteral("Grupo de direcciones; escribe un nombre para uno nuevo"));
    name(form.File2, QStringLiteral("Lista de fichas"), QStringLiteral("Fichas del grupo"));
    const QString fields[7] = {QStringLiteral("Apellidos"), QStringLiteral("Nombre"),
                               QStringLiteral("Dirección"), QStringLiteral("Población"),
                               QStringLiteral("Teléfonos"), QStringLiteral("Correo electrónico"),
                               QStringLiteral("Referencia")};
    for (int i = 0; i < 7; ++i) {
        name(form.Label4[i], fields[i]);
        name(form.Text7[i], fields[i]);
    }
    name(form.Command8, QStringLiteral("Enviar mensaje"),
         QStringLiteral("Abre el programa de correo con la dirección de la ficha"));
    const QString cardButtons[4] = {QStringLiteral("Guardar ficha"), QStringLiteral("Nueva ficha"),
                                    QStringLiteral("Eliminar ficha"), QStringLiteral("Copiar todas")};
    name(form.Command7[0], cardButtons[0]);
    name(form.Command7[1], cardButtons[1], QStringLiteral("Vacía las casillas para una ficha nueva"));
    name(form.Command7[2], cardButtons[2]);
    name(form.Command7[3], cardButtons[3],
         QStringLiteral("Copia todas las fichas del grupo al portapapeles"));
    name(form.Text8, QStringLiteral("Buscar"), QStringLiteral("Escribe para buscar una ficha"));
    name(form.Dir1, QStringLiteral("Grupos"));
    name(form.File3, QStringLiteral("Fichas"));
}

void describeDayButtons(Form1& form) {
    // The grid's month: the day files a tooltip reads are those of the days on show,
    // even when the month list is typed into before the next repaint.
    const QString month = form.Combo1->currentText();
    for (FlatButton* b : form.Command1)
        b->setProperty(kDayFileProperty, b->isHidden() ? QString() : calendar::dayFileName(b->text(), month));
    nameDayButtons(form);
}

void setTabOrder(Form1& form) {
    std::vector<QWidget*> order;
    // Calendar column, top to bottom, left to right.
    for (FlatButton* b : form.Command1)
        order.push_back(b);
    order.push_back(form.Combo1);
    order.push_back(form.Combo2);
    order.push_back(form.Command2[0]);
    for (FlatButton* b : form.Command3)
        order.push_back(b);
    for (FlatButton* b : form.Command4)
        order.push_back(b);
    order.push_back(form.Command5);
    // Top row, left to right.
    for (FlatButton* b : form.Command6)
        order.push_back(b);
    order.push_back(form.Command9);
    order.push_back(form.Command12);
    order.push_back(form.Command10);
    // The panels; only the one on show takes the focus.
    order.push_back(form.Text9[0]);
    order.push_back(form.Command11[0]);
    order.push_back(form.Text1);
    order.push_back(form.Text9[1]);
    order.push_back(form.Command11[1]);
    order.push_back(form.Text9[2]);
    for (TextBox* t : form.Text2)
        order.push_back(t);
    order.push_back(form.Text3);
    order.push_back(form.Text5);
    order.push_back(form.Text6);
    order.push_back(form.File1);
    order.push_back(form.Command13);
    // Address book: the group and its cards, the card's fields, then the bottom row.
    order.push_back(form.Combo3);
    order.push_back(form.File2);
    for (int i = 0; i < 5; ++i)
        order.push_back(form.Text7[i]);
    order.push_back(form.Command8); // beside the E-MAIL caption, above its field
    order.push_back(form.Text7[5]);
    order.push_back(form.Text7[6]);
    order.push_back(form.Text8);
    for (FlatButton* b : form.Command7)
        order.push_back(b);
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void installShortcuts(Form1& form) {
    auto* typing = new TypingKeys(&form);
    for (QWidget* w : form.findChildren<QWidget*>())
        if (isTypingControl(w)) w->installEventFilter(typing);

    const auto add = [&form](QKeyCombination keys, auto action) {
        auto* s = new QShortcut(QKeySequence(keys), &form);
        s->setContext(Qt::WindowShortcut);
        QObject::connect(s, &QShortcut::activated, &form, action);
    };
    for (Qt::KeyboardModifier mod : {Qt::NoModifier, Qt::AltModifier}) {
        add(mod | Qt::Key_PageUp, [&form] { pageMonth(form, -1); });
        add(mod | Qt::Key_PageDown, [&form] { pageMonth(form, +1); });
        add(mod | Qt::Key_Home, [&form] { pressAsClick(form.Command5); });
    }
}

} // namespace quelora
