#pragma once
// What the diary box was loaded for, and the diary texts held after failed saves: one
// value, read by the day and week panels, the exit and the recovery of unsaved text.
#include "calendar/calendar.h"
#include "store/boxfile.h"

#include <QMap>
#include <QString>

namespace quelora::records {

struct DiaryBox {
    // The caption of the page the box was loaded for; empty while it shows no page (a
    // repaint of the month emptied it).
    QString DiaryCaption;
    // Armed: clicked into or typed into since it was loaded or saved.
    bool DiaryEdited = false;
    // That page exists but could not be read: a click alone does not arm its save.
    bool DiaryUnreadable = false;
    store::BoxFile DiaryFile;
    // Diary texts whose save failed, by caption, from the day or the week panel: retried
    // after every save that succeeds and when leaving, shown again whenever their date is
    // shown, dropped once a newer text of that page is saved or the page is emptied in
    // its box.
    QMap<QString, store::HeldText> UnsavedPages;

    // The box shows the page of a real date: the only text it may ever save.
    bool dated() const { return calendar::captionDate(DiaryCaption).has_value(); }
    // Whether a click arms the save: never over a page that could not be read.
    bool armsOnClick() const { return dated() && !DiaryUnreadable; }
    // Loaded for a caption's page, nothing typed yet.
    void load(const QString& caption, const store::BoxFile& file) {
        DiaryCaption = caption;
        DiaryEdited = DiaryUnreadable = false;
        DiaryFile = file;
    }
    // Emptied: the box shows no page and its text is nobody's. What is held stays held.
    void unload() { load(QString(), store::BoxFile()); }
    // The text held for a caption's page, if any.
    const store::HeldText* held(const QString& caption) const {
        const auto it = UnsavedPages.constFind(caption);
        return it == UnsavedPages.constEnd() ? nullptr : &*it;
    }
};

} // namespace quelora::records
