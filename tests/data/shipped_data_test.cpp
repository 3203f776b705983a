// The saints' calendar and the national holidays shipped in data/: the files the
// program reads from "santoral" and "fiestas", checked byte for byte as it reads them.
#include "calendar/calendar.h"
#include "store/codepage.h"
#include "store/files.h"
#include "support/text.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace quelora;

namespace {

using quelora::test::cp1252;

const QString kData = QStringLiteral(QUELORA_DATA_DIR);

QString folder(const char* name) {
    return kData + QLatin1Char('/') + QLatin1String(name);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return f.readAll();
}

// Every day of the year as the program names its day file, 29 February included.
QStringList everyDayFile() {
    static const int lengths[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    QStringList names;
    for (int m = 1; m <= 12; ++m)
        for (int d = 1; d <= lengths[m - 1]; ++d)
            names << calendar::dayFileName(QString::number(d), calendar::monthName(m));
    return names;
}

QSet<QString> filesIn(const QString& path) {
    const QStringList list = QDir(path).entryList(QDir::Files | QDir::Hidden);
    return {list.begin(), list.end()};
}

// The text of a day file without the one CR LF its writer puts after it, or an
// error naming what is wrong with the bytes.
struct DayText {
    QString text;
    QString error;
};

DayText dayText(const QByteArray& bytes) {
    if (!bytes.endsWith("\r\n")) return {{}, QStringLiteral("does not end with CR LF")};
    const QByteArray body = bytes.left(bytes.size() - 2);
    if (body.endsWith("\r\n")) return {{}, QStringLiteral("ends with more than one CR LF")};
    for (qsizetype i = 0; i < body.size(); ++i) {
        const bool crlf = i + 1 < body.size() && body[i] == '\r' && body[i + 1] == '\n';
        if (crlf) {
            ++i;
            continue;
        }
        if (body[i] == '\r' || body[i] == '\n') return {{}, QStringLiteral("has a lone CR or LF")};
    }
    const QString text = store::decode(body);
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control && c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            return {{}, QStringLiteral("has a control character or an undefined byte")};
    if (text.trimmed().isEmpty()) return {{}, QStringLiteral("is empty")};
    return {text, {}};
}

QString saintText(const char* name) {
    return dayText(bytesOf(folder("santoral") + QLatin1Char('/') + QLatin1String(name))).text;
}

} // namespace

TEST(ShippedSaints, ThereIsOneFileForEachDayOfTheYearAndNoOther) {
    const QStringList expected = everyDayFile();
    ASSERT_EQ(expected.size(), 366);
    const QSet<QString> found = filesIn(folder("santoral"));
    for (const QString& name : expected)
        EXPECT_TRUE(found.contains(name)) << name.toStdString();
    const QSet<QString> wanted(expected.begin(), expected.end());
    for (const QString& name : found)
        EXPECT_TRUE(wanted.contains(name)) << "unexpected " << name.toStdString();
    EXPECT_EQ(found.size(), 366);
    // The names themselves are what the store finds by its case-blind lookup.
    EXPECT_EQ(store::findNamed(folder("santoral"), QStringLiteral("29 de febrero.txt")),
              QStringLiteral("29 de FEBRERO.txt"));
}

TEST(ShippedSaints, EveryFileIsADayFileOfAPrincipalLineAndAnAlsoLine) {
    for (const QString& name : everyDayFile()) {
        const QByteArray bytes = bytesOf(folder("santoral") + QLatin1Char('/') + name);
        const DayText day = dayText(bytes);
        if (!day.error.isEmpty()) {
            ADD_FAILURE() << name.toStdString() << ": " << day.error.toStdString();
            continue;
        }
        const QStringList lines = day.text.split(QStringLiteral("\r\n"));
        EXPECT_LE(lines.size(), 2) << name.toStdString();
        EXPECT_FALSE(lines[0].trimmed().isEmpty()) << name.toStdString();
        EXPECT_FALSE(lines[0].startsWith(QStringLiteral("También"))) << name.toStdString();
        if (lines.size() == 2) {
            EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("También: "))) << name.toStdString();
            EXPECT_FALSE(lines[1].endsWith(QLatin1Char(','))) << name.toStdString();
            EXPECT_FALSE(lines[1].contains(QStringLiteral(",,"))) << name.toStdString();
        }
        // The saint box shows two short lines; longer ones would hide the rest.
        for (const QString& line : lines)
            EXPECT_LE(line.size(), 66) << name.toStdString();
        // The store reads these bytes back to the same text.
        EXPECT_EQ(store::encode(day.text) + "\r\n", bytes) << name.toStdString();
    }
}

TEST(ShippedSaints, WellKnownDaysHaveTheirSaintFirst) {
    struct Day {
        const char* file;
        const char* first; // the principal line starts with this
    };
    const Day days[] = {
        {"1 de ENERO.txt", "Santa María, Madre de Dios"},
        {"19 de MARZO.txt", "San José"},
        {"15 de MAYO.txt", "San Isidro"},
        {"24 de JUNIO.txt", "Natividad de San Juan Bautista"},
        {"29 de JUNIO.txt", "San Pedro y San Pablo"},
        {"25 de JULIO.txt", "Santiago Apóstol"},
        {"8 de SEPTIEMBRE.txt", "Natividad de la Virgen María"},
        {"12 de OCTUBRE.txt", "Nuestra Señora del Pilar"},
        {"15 de OCTUBRE.txt", "Santa Teresa de Jesús"},
        {"3 de DICIEMBRE.txt", "San Francisco Javier"},
        {"8 de DICIEMBRE.txt", "Inmaculada Concepción"},
        {"13 de DICIEMBRE.txt", "Santa Lucía"},
    };
    for (const Day& d : days) {
        const QString text = saintText(d.file);
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(d.first))) << d.file << ": " << text.toStdString();
    }
    // Accented letters are single Windows-1252 bytes, not UTF-8 pairs.
    const QByteArray march19 = bytesOf(folder("santoral") + QStringLiteral("/19 de MARZO.txt"));
    EXPECT_TRUE(march19.startsWith(cp1252("San José")));
    EXPECT_TRUE(march19.contains(QByteArray("\r\nTambi\xE9n: ")));
    EXPECT_TRUE(saintText("29 de FEBRERO.txt").contains(QStringLiteral("San Osvaldo")));
}

TEST(ShippedHolidays, TheNineNationalHolidaysAndNothingElse) {
    struct Holiday {
        const char* file;
        const char* text;
    };
    const Holiday holidays[] = {
        {"1 de ENERO.txt", "Año Nuevo"},
        {"6 de ENERO.txt", "Epifanía del Señor"},
        {"1 de MAYO.txt", "Fiesta del Trabajo"},
        {"15 de AGOSTO.txt", "Asunción de la Virgen"},
        {"12 de OCTUBRE.txt", "Fiesta Nacional de España"},
        {"1 de NOVIEMBRE.txt", "Todos los Santos"},
        {"6 de DICIEMBRE.txt", "Día de la Constitución Española"},
        {"8 de DICIEMBRE.txt", "Inmaculada Concepción"},
        {"25 de DICIEMBRE.txt", "Natividad del Señor"},
    };
    QSet<QString> wanted;
    for (const Holiday& h : holidays) {
        wanted.insert(QString::fromUtf8(h.file));
        EXPECT_EQ(bytesOf(folder("fiestas") + QLatin1Char('/') + QLatin1String(h.file)),
                  cp1252(h.text) + "\r\n")
            << h.file;
    }
    EXPECT_EQ(filesIn(folder("fiestas")), wanted);
    // Their names are day file names the grid builds.
    EXPECT_TRUE(wanted.contains(calendar::dayFileName(QStringLiteral("25"), calendar::monthName(12))));
}
