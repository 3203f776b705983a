#include "datagen.h"

#include "calendar/calendar.h"
#include "notes/notes.h"
#include "store/codepage.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace quelora::bench {
namespace {

// splitmix64: tiny, and its sequence is fixed by the seed alone (the standard
// library's distributions differ between implementations).
class Random {
public:
    explicit Random(quint64 seed) : state_(seed) {}
    quint64 next() {
        quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return n <= 0 ? 0 : static_cast<int>((next() >> 11) % static_cast<quint64>(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    template <class List> const auto& pick(const List& list) {
        return list[below(static_cast<int>(list.size()))];
    }

private:
    quint64 state_;
};

const QStringList& words() {
    static const QStringList w =
        QString::fromUtf8("hoy mañana ayer tarde noche año día semana mes café comida cena trabajo "
                          "reunión médico niños casa jardín paseo lluvia sol frío calor viaje tren "
                          "coche compra mercado libro película música llamada carta después antes "
                          "también está había tenía fuimos vinimos corazón canción pequeño grande "
                          "muy poco mucho bien mal otra vez con sin para por desde hasta según "
                          "Ana Pedro María José Lucía Andrés abuela tío vecino oficina banco "
                          "cumpleaños aniversario vacaciones playa montaña pueblo ciudad €")
            .split(QLatin1Char(' '));
    return w;
}

// Lines of words joined by CR LF, about targetBytes long, no line end at the end.
QByteArray prose(Random& r, int targetBytes) {
    QString text;
    int line = 0;
    for (;;) {
        const QString& word = r.pick(words());
        const int add = static_cast<int>(word.size()) + 1;
        if (text.size() + add + 2 > targetBytes) break;
        if (line > 0 && line + add > 72) {
            text += QStringLiteral("\r\n");
            line = 0;
        } else if (line > 0) {
            text += QLatin1Char(' ');
        }
        text += word;
        line += add;
    }
    return store::encode(text);
}

struct Writer {
    GenSummary* summary;
    QString* error;
    bool ok = true;

    bool folder(const QString& path) {
        if (QDir().mkpath(path)) return true;
        fail(path, QStringLiteral("no se pudo crear la carpeta"));
        return false;
    }
    bool file(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            fail(path, f.errorString());
            return false;
        }
        summary->bytes += bytes.size();
        return true;
    }
    void fail(const QString& path, const QString& why) {
        if (ok && error) *error = path + QStringLiteral(": ") + why;
        ok = false;
    }
};

QString join(const QString& a, const QString& b) {
    return a + QLatin1Char('/') + b;
}

void writeDiary(Writer& w, Random& r, const QString& root, int days, GenSummary& s) {
    const QString dias = join(root, QStringLiteral("dias"));
    w.folder(dias);
    const QDate first = kLastDiaryDay.addDays(-(days - 1));
    for (QDate d = first; d <= kLastDiaryDay && w.ok; d = d.addDays(1)) {
        QString name = calendar::dateCaption(d.dayOfWeek() - 1, d) + QStringLiteral(".txt");
        // A folder copied from another machine: a few names in other letter case.
        if (r.below(100) == 0) {
            name = name.toLower();
            ++s.renamedPages;
        }
        w.file(join(dias, name), prose(r, r.between(512, 4096)));
        ++s.pages;
    }
}

void writeDayFiles(Writer& w, Random& r, const QString& root, GenSummary& s) {
    const QStringList holidayTexts = QString::fromUtf8("Fiesta local|Día festivo|Puente|Fiesta del pueblo|"
                                                       "Romería|Feria|Día de la comunidad")
                                         .split(QLatin1Char('|'));
    const QStringList reminderTexts = QString::fromUtf8("Cumpleaños de Ana|Pagar el seguro|Revisión del "
                                                        "coche|Llamar a la abuela|Cita en el médico|"
                                                        "Aniversario|Renovar el carné")
                                          .split(QLatin1Char('|'));
    const QString fiestas = join(root, QStringLiteral("fiestas"));
    const QString recordatorio = join(root, QStringLiteral("recordatorio"));
    w.folder(fiestas);
    w.folder(recordatorio);
    for (int m = 1; m <= 12 && w.ok; ++m) {
        for (int d = 1; d <= calendar::monthLength(m, 29); ++d) {
            const QString name = calendar::dayFileName(QString::number(d), calendar::monthName(m));
            w.file(join(fiestas, name), store::encode(r.pick(holidayTexts) + QStringLiteral("\r\n")));
            w.file(join(recordatorio, name), store::encode(r.pick(reminderTexts) + QStringLiteral("\r\n")));
            ++s.holidays;
            ++s.reminders;
        }
    }
}

void writeSaints(Writer& w, const QString& root, const QString& shipped, GenSummary& s) {
    const QString santoral = join(root, QStringLiteral("santoral"));
    w.folder(santoral);
    const QString from = join(shipped, QStringLiteral("santoral"));
    const QStringList names = QDir(from).entryList(QDir::Files, QDir::Name);
    for (const QString& n : names) {
        QFile f(join(from, n));
        if (!f.open(QIODevice::ReadOnly)) {
            w.fail(f.fileName(), f.errorString());
            return;
        }
        w.file(join(santoral, n), f.readAll());
        ++s.saints;
    }
    if (names.isEmpty()) w.fail(from, QStringLiteral("no hay archivos del santoral que copiar"));
}

QStringList groupNames(int count) {
    QStringList all =
        QString::fromUtf8("Abogados Amigos Asociación Banco Clientes Colegio Compras Coro Deporte "
                          "Familia Gimnasio Médicos Música Peña Proveedores Talleres Universidad "
                          "Vecinos Viajes")
            .split(QLatin1Char(' '));
    count = std::clamp(count, 1, static_cast<int>(all.size()) + 1);
    QStringList out = all.mid(0, count - 1);
    out << kBigGroup;
    return out;
}

void writeAddressBook(Writer& w, Random& r, const QString& root, const GenOptions& o, GenSummary& s) {
    const QStringList surnames =
        QString::fromUtf8("García Gómez Martínez Pérez Sánchez Fernández González Rodríguez López Díaz "
                          "Hernández Jiménez Muñoz Álvarez Gutiérrez Ramírez Domínguez Vázquez Ruiz Moreno "
                          "Romero Navarro Torres Gil Serrano Blanco Molina Morales Suárez Ortega Delgado "
                          "Castro Ortiz Rubio Marín Sanz Núñez Iglesias Medina Garrido Cortés Castillo "
                          "Santos Lozano Guerrero Cano Prieto Méndez Cruz Calvo Gallego Vidal León Márquez "
                          "Herrera Peña Flores Cabrera Campos Vega")
            .split(QLatin1Char(' '));
    const QStringList given = QString::fromUtf8("Ana Pedro María José Lucía Andrés Carmen Javier Elena Pablo "
                                                "Marta Luis Isabel Jorge Sofía Miguel Pilar Ángel Rosa Tomás")
                                  .split(QLatin1Char(' '));
    const QStringList towns = QString::fromUtf8("Madrid|Sevilla|Córdoba|Málaga|Cádiz|León|Ávila|Cáceres|"
                                                "Logroño|A Coruña|Alcalá de Henares|Jaén|Almería")
                                  .split(QLatin1Char('|'));

    // Every pair of surnames once, in a shuffled order; a number only once they run out.
    std::vector<QString> names;
    for (const QString& a : surnames)
        for (const QString& b : surnames)
            if (a != b) names.push_back(a + QLatin1Char(' ') + b);
    for (int i = static_cast<int>(names.size()) - 1; i > 0; --i)
        std::swap(names[i], names[r.below(i + 1)]);
    for (int i = static_cast<int>(names.size()); i < o.cards; ++i)
        names.push_back(names[i % names.size()] + QStringLiteral(" %1").arg(i));

    const QString book = join(root, QStringLiteral("direcciones"));
    const QString todos = join(book, QStringLiteral("Todos"));
    w.folder(todos);
    const QStringList groups = groupNames(o.groups);
    for (const QString& g : groups)
        w.folder(join(book, g));
    s.groups = static_cast<int>(groups.size());
    const int big = std::min(o.bigGroupCards, o.cards);
    const int others = static_cast<int>(groups.size()) - 1;
    for (int i = 0; i < o.cards && w.ok; ++i) {
        const QString& apellidos = names[i];
        const QString nombre = r.pick(given);
        QStringList fields = {apellidos,
                              nombre,
                              QStringLiteral("C/ %1, %2").arg(r.pick(surnames)).arg(r.between(1, 120)),
                              r.pick(towns),
                              QStringLiteral("9%1 %2 %3")
                                  .arg(r.between(10, 99))
                                  .arg(r.between(100, 999))
                                  .arg(r.between(100, 999)),
                              QStringLiteral("%1.%2@correo.es").arg(i).arg(r.between(1, 9999)),
                              QString::fromUtf8("Conocido de %1").arg(r.pick(given))};
        QByteArray bytes;
        for (const QString& f : fields)
            bytes += store::encode(f) + QByteArrayLiteral("\r\n");
        const QString group = (i < big || others == 0) ? kBigGroup : groups[r.below(others)];
        w.file(join(join(book, group), apellidos), bytes);
        w.file(join(todos, apellidos), bytes);
        ++s.cards;
    }
}

void writeNotes(Writer& w, Random& r, const QString& root, int count, GenSummary& s) {
    const QString notas = join(root, QStringLiteral("notas"));
    w.folder(notas);
    // Notes saved now and then over the 30 years, each in its own minute.
    QDateTime when(QDate(1995, 1, 1), QTime(8, 0));
    for (int i = 0; i < count && w.ok; ++i) {
        when = when.addSecs(60LL * r.between(1, 1900));
        w.file(join(notas, notes::noteFileName(when)), prose(r, r.between(60, 2000)));
        ++s.notes;
    }
}

} // namespace

int diaryDaysForScale(int scalePercent) {
    return static_cast<int>(std::lround(kFullDiaryDays * (scalePercent / 100.0)));
}

bool generateDataFolder(const QString& folder, const GenOptions& options, GenSummary* summary,
                        QString* error) {
    GenSummary local;
    GenSummary& s = summary ? *summary : local;
    s = GenSummary{};
    Writer w{&s, error};
    // One stream per kind of data, so a change in one leaves the others' bytes alone.
    Random diary(options.seed), days(options.seed ^ 0x1111), book(options.seed ^ 0x2222),
        notes(options.seed ^ 0x3333);
    if (!w.folder(folder)) return false;
    writeDiary(w, diary, folder, diaryDaysForScale(options.diaryScale), s);
    if (w.ok) writeDayFiles(w, days, folder, s);
    if (w.ok) writeSaints(w, folder, options.shippedData, s);
    if (w.ok) writeAddressBook(w, book, folder, options, s);
    if (w.ok) writeNotes(w, notes, folder, options.notes, s);
    return w.ok;
}

} // namespace quelora::bench
