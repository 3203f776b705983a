#include "app/build.h"

#include "app/clicklabel.h"
#include "app/dropdown.h"
#include "app/flatbutton.h"

#include <QAccessibleWidget>
#include <QLabel>

namespace quelora::build {
namespace {

const char* const kRoleProperty = "queloraRole";

QAccessibleInterface* roleAccessible(const QString& className, QObject* object) {
    // Only for the object's own class: Qt's interfaces of its own widgets stay as they are.
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    const QVariant role = object->property(kRoleProperty);
    if (!role.isValid()) return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object), static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void setRole(QWidget* w, int role) {
    static const bool installed = (QAccessible::installFactory(roleAccessible), true);
    Q_UNUSED(installed);
    w->setProperty(kRoleProperty, role);
}

QRect tw(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

QFont arial(qreal points, bool bold) {
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

QString indexed(const char* array, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(index);
}

void describe(QWidget* w, const QString& name, const QString& description) {
    w->setAccessibleName(name);
    if (!description.isEmpty()) w->setAccessibleDescription(description);
}

void setForeColor(QWidget* w, VbColor c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colorFromVb(c));
    p.setColor(QPalette::Text, colorFromVb(c));
    w->setPalette(p);
}

void setBoxColors(TextBox* box, VbColor back, VbColor fore) {
    QPalette p = box->palette();
    p.setColor(QPalette::Base, colorFromVb(back));
    p.setColor(QPalette::Text, colorFromVb(fore));
    box->setPalette(p);
}

FlatButton* button(QWidget* parent, const QString& id, const QRect& r, const QString& caption, VbColor back,
                   const QFont& font, const QString& name, const QString& description) {
    auto* b = new FlatButton(parent);
    b->setObjectName(id);
    b->setGeometry(r);
    b->setText(caption);
    b->setBackColor(back);
    b->setFont(font);
    describe(b, name, description);
    return b;
}

FlatButton* pictureButton(QWidget* parent, const QString& id, const QRect& r, const QIcon& icon, VbColor back,
                          const QString& name, const QString& description) {
    FlatButton* b = button(parent, id, r, QString(), back, arial(8.25), name, description);
    b->setIcon(icon);
    b->setIconSize(r.size() - QSize(6, 6));
    b->setToolTip(name);
    return b;
}

namespace {

template <typename Label>
Label* makeLabel(QWidget* parent, const QString& id, const QRect& r, const QString& caption,
                 const QFont& font, const QString& name) {
    auto* l = new Label(caption, parent);
    l->setObjectName(id);
    l->setTextFormat(Qt::PlainText); // a caption may come from a list the user typed into
    l->setGeometry(r);
    l->setFont(font);
    describe(l, name);
    return l;
}

} // namespace

QLabel* label(QWidget* parent, const QString& id, const QRect& r, const QString& caption, const QFont& font,
              const QString& name) {
    return makeLabel<QLabel>(parent, id, r, caption, font, name);
}

ClickLabel* clickLabel(QWidget* parent, const QString& id, const QRect& r, const QString& caption,
                       const QFont& font, const QString& name) {
    return makeLabel<ClickLabel>(parent, id, r, caption, font, name);
}

TextBox* textBox(QWidget* parent, const QString& id, const QRect& r, TextBox::Lines lines, const QFont& font,
                 const QString& name, const QString& description) {
    auto* t = new TextBox(lines, parent);
    t->setObjectName(id);
    t->setGeometry(r);
    t->setFont(font);
    describe(t, name, description);
    return t;
}

DropDown* dropDown(QWidget* parent, const QString& id, const QRect& r, const QString& text,
                   const QString& name, const QString& description) {
    auto* c = new DropDown(parent);
    c->setObjectName(id);
    c->setGeometry(r);
    c->setFont(arial(8.25));
    c->setEditText(text);
    describe(c, name, description);
    return c;
}

} // namespace quelora::build
