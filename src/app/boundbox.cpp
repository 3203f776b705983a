#include "app/boundbox.h"

#include "addresses/cards.h"
#include "app/textbox.h"
#include "records/records.h"
#include "store/codepage.h"
#include "store/names.h"

#include <QSet>
#include <algorithm>

namespace quelora {

BoundBox::BoundBox(BoxRegistry& registry, const BoxKind& kind, std::vector<TextBox*> fields)
    : registry_(registry), kind_(kind), fields_(std::move(fields)) {}

QStringList BoundBox::texts() const {
    QStringList out;
    for (const TextBox* t : fields_)
        out << t->text();
    return out;
}

void BoundBox::show(const QStringList& texts) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->setText(texts.value(int(i)));
}

void BoundBox::showSaved(const QStringList& texts) {
    for (std::size_t i = 0; i < fields_.size(); ++i)
        fields_[i]->showSaved(texts.value(int(i)));
}

bool BoundBox::typed() const {
    return std::any_of(fields_.begin(), fields_.end(), [](const TextBox* t) { return t->isModified(); });
}

bool BoundBox::takesInput() const {
    return !box()->isReadOnly();
}

bool BoundBox::hasFocus() const {
    // The window's focus, also while another program is in front.
    return std::any_of(fields_.begin(), fields_.end(),
                       [](const TextBox* t) { return t->window()->focusWidget() == t; });
}

QStringList BoundBox::textsOf(const QByteArray& bytes) const {
    switch (kind_.format) {
    case BoxFormat::Page:
        return {records::pageText(bytes)};
    case BoxFormat::DayFile:
        return {records::dayFileText(bytes)};
    case BoxFormat::Note:
        return {store::decodeText(bytes)};
    case BoxFormat::Card: {
        const addresses::Card card = addresses::cardFromFile(bytes);
        return QStringList(card.begin(), card.end());
    }
    }
    return {};
}

store::ReadResult BoundBox::read(store::Lookup lookup) {
    const QString stored = store::findNamed(file.folder, file.name, lookup);
    store::ReadResult r;
    if (!stored.isEmpty()) r = store::readFile(store::joinPath(file.folder, stored));
    if (!r.found) {
        file.base = store::absentVersion();
    } else if (r.ok) {
        file.base = store::versionOf(r.bytes, store::joinPath(file.folder, stored));
    } else {
        file.base = store::versionOf(QByteArray(), store::joinPath(file.folder, stored));
        file.base.unreadable = true;
    }
    file.fromFile = true;
    return r;
}

void BoundBox::park() {
    // A box saved on leaving has saved its text already, or held it when that failed.
    if (!kind_.heldByFile || kind_.saving != Saving::ByButton || file.name.isEmpty()) return;
    if (typed() && !text().isEmpty())
        registry_.hold(kind_, target, file, text());
    else if (typed())
        registry_.release(file); // emptied by the user: nothing of it is to come back
}

void BoundBox::fill(const store::BoxFile& f, const QString& to, store::Lookup lookup) {
    park();
    file = f;
    target = to;
    unreadable = false;
    if (f.name.isEmpty()) {
        show({});
        return;
    }
    if (const BoxRegistry::Waiting* w = registry_.waiting(f)) {
        // A text not saved yet comes back with its file, never the older file.
        show({w->text});
        file.base = w->file.base;
        return;
    }
    showRead(read(lookup), false);
}

void BoundBox::showRead(const store::ReadResult& r, bool following) {
    // A file that cannot be read shows nothing rather than what was shown before.
    const QStringList texts = r.ok ? textsOf(r.bytes) : QStringList();
    for (std::size_t i = 0; i < fields_.size(); ++i)
        if (following)
            fields_[i]->followText(texts.value(int(i)));
        else
            fields_[i]->setText(texts.value(int(i)));
    unreadable = r.found && !r.ok;
}

void BoundBox::empty() {
    park();
    file = store::BoxFile();
    target.clear();
    armed = unreadable = false;
    show({});
}

bool BoundBox::changedOnDisk() const {
    if (!file.fromFile || file.folder.isEmpty()) return false;
    store::Version now;
    // A file removed elsewhere leaves its box as it is: what it shows is then all there
    // is of it, and a later edit saves it again.
    return !store::stillIs(file.path(), file.base, &now) && now.exists;
}

bool BoundBox::follow() {
    if (unsaved() || !changedOnDisk()) return false;
    showRead(read(), true); // under the user's cursor: it stays where it was
    return true;
}

bool BoundBox::unsaved() const {
    if (held) return true;
    // Filled from a text waiting for its file, not from the file.
    if (kind_.heldByFile && !file.fromFile && !file.name.isEmpty() && registry_.waiting(file)) return true;
    // A typed box took input then, whatever it takes now (a list's text may have made
    // the caption no date since).
    return kind_.saving != Saving::Never && typed();
}

bool BoundBox::holdsText() const {
    if (!unsaved() || kind_.saving == Saving::Never) return false;
    const QStringList all = texts();
    return kind_.savesEmpty ||
           std::any_of(all.begin(), all.end(), [](const QString& t) { return !t.isEmpty(); });
}

namespace {

recovery::Entry entryOf(const BoxKind& kind, const QString& target, const store::BoxFile& file,
                        const QStringList& texts) {
    recovery::Entry e;
    e.kind = kind.tag;
    e.dayKind = kind.variant;
    e.target = target;
    e.file = file.name;
    e.texts = texts;
    e.base = file.base;
    return e;
}

} // namespace

recovery::Entry BoundBox::entry() const {
    return entryOf(kind_, target, file, texts());
}

// ---- The registry -------------------------------------------------------------------------

BoxRegistry::BoxRegistry() = default;
BoxRegistry::~BoxRegistry() = default;

const BoxKind& BoxRegistry::kind(BoxKind kind) {
    kinds_.push_back(std::make_unique<BoxKind>(std::move(kind)));
    return *kinds_.back();
}

const BoxKind* BoxRegistry::find(const QString& tag, int variant) const {
    for (const auto& k : kinds_)
        if (k->tag == tag && k->variant == variant) return k.get();
    return nullptr;
}

BoundBox* BoxRegistry::add(const BoxKind& kind, std::vector<TextBox*> fields) {
    boxes_.push_back(std::make_unique<BoundBox>(*this, kind, std::move(fields)));
    return boxes_.back().get();
}

QString BoxRegistry::key(const store::BoxFile& f) {
    return store::joinPath(f.folder, store::nameKey(f.name));
}

const BoxRegistry::Waiting* BoxRegistry::waiting(const store::BoxFile& f) const {
    const auto it = waiting_.constFind(key(f));
    return it == waiting_.constEnd() ? nullptr : &*it;
}

void BoxRegistry::hold(const BoxKind& kind, const QString& target, const store::BoxFile& f,
                       const QString& text) {
    waiting_.insert(key(f), {&kind, target, f, text});
}

bool BoxRegistry::release(const store::BoxFile& f) {
    return waiting_.remove(key(f)) > 0;
}

QList<recovery::Entry> BoxRegistry::unsavedEntries() const {
    QList<recovery::Entry> out;
    QSet<QString> files;
    for (const auto& box : boxes_) {
        if (!box->holdsText()) continue;
        if (box->kind().heldByFile) {
            if (files.contains(key(box->file))) continue;
            files.insert(key(box->file));
        }
        out << box->entry();
    }
    for (auto it = waiting_.cbegin(); it != waiting_.cend(); ++it)
        if (!files.contains(it.key())) // the box that shows it has its newest text
            out << entryOf(*it->kind, it->target, it->file, {it->text});
    return out;
}

QStringList BoxRegistry::waitingForButtons() const {
    QStringList lines;
    QSet<QString> files;
    for (const auto& box : boxes_) {
        const BoxKind& k = box->kind();
        if (k.saving != Saving::ByButton || !box->holdsText() || !k.waiting) continue;
        if (k.heldByFile) files.insert(key(box->file));
        lines << k.waiting(box->target, box->texts());
    }
    for (auto it = waiting_.cbegin(); it != waiting_.cend(); ++it)
        if (it->kind->saving == Saving::ByButton && it->kind->waiting && !files.contains(it.key()))
            lines << it->kind->waiting(it->target, {it->text});
    return lines;
}

bool BoxRegistry::restore(const recovery::Entry& e, QStringList* told) const {
    for (const auto& k : kinds_)
        if (k->tag == e.kind && k->variant == e.dayKind && k->restore) {
            k->restore(e, told);
            return true;
        }
    return false;
}

std::vector<BoundBox*> BoxRegistry::showing(const store::BoxFile& f) const {
    std::vector<BoundBox*> out;
    for (const auto& box : boxes_)
        if (!box->file.name.isEmpty() && key(box->file) == key(f)) out.push_back(box.get());
    return out;
}

} // namespace quelora
