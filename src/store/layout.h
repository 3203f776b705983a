#pragma once
// The data folder's layout: the one place its folder and file names are written.
#include <QString>

namespace quelora::layout {

inline const QString kPages = QStringLiteral("dias");             // one diary page per date
inline const QString kHolidays = QStringLiteral("fiestas");       // a holiday text per day of the year
inline const QString kReminders = QStringLiteral("recordatorio"); // a reminder per day of the year
inline const QString kSaints = QStringLiteral("santoral");        // the saints of each day, only read
inline const QString kNotes = QStringLiteral("notas");            // one file per note
inline const QString kBook = QStringLiteral("direcciones");       // one folder per group of cards
inline const QString kAllCards = QStringLiteral("Todos");         // the group holding every card
inline const QString kExportFile = QStringLiteral("texto.txt");   // handed to the text editor
inline const QString kOwnWords = QStringLiteral("diccionario.txt"); // words the user added to the dictionary
inline const QString kHistory = QStringLiteral(".historial");     // earlier texts of every file, hidden

} // namespace quelora::layout
