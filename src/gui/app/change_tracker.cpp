#include "gui/app/change_tracker.h"

#include <QTimer>

#include "gui/app/qt_host.h"

namespace vrn::gui {
namespace {

size_t at(Part part) {
    return static_cast<size_t>(part);
}

}  // namespace

ChangeTracker::ChangeTracker(QtHost& host, QObject* parent) : QObject(parent), host_(host) {}

void ChangeTracker::setHooks(Part part, Hooks hooks) {
    hooks_[at(part)] = std::move(hooks);
    clean_[at(part)] = hooks_[at(part)].content ? hooks_[at(part)].content() : std::vector<uint8_t>{};
    touch();
}

const char* ChangeTracker::partName(Part part) {
    switch (part) {
    case Part::Setup:
        return "Setup";
    case Part::Screens:
        return "Screens";
    case Part::Program:
        return "User Program";
    }
    return "";
}

std::string ChangeTracker::questionText(Part part) {
    return std::string("Save changes to the ") + partName(part) + "?";
}

bool ChangeTracker::isModified(Part part) const {
    const Hooks& hooks = hooks_[at(part)];
    return hooks.content && hooks.content() != clean_[at(part)];
}

bool ChangeTracker::anyModified() const {
    for (Part part : kAllParts)
        if (isModified(part)) return true;
    return false;
}

void ChangeTracker::saved(Part part) {
    if (hooks_[at(part)].content) clean_[at(part)] = hooks_[at(part)].content();
    touch();
}

void ChangeTracker::loaded(Part part) {
    saved(part);
    if (hooks_[at(part)].forgetUndo) hooks_[at(part)].forgetUndo();
}

// Many changes come in one burst (a transfer fills the tree node by node): the comparison runs
// once, after them.
void ChangeTracker::touch() {
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        update();
    });
}

void ChangeTracker::update() {
    bool differs = false;
    for (Part part : kAllParts) {
        const bool modified = isModified(part);
        differs = differs || modified != shown_[at(part)];
        shown_[at(part)] = modified;
    }
    if (differs) emit stateChanged();
}

bool ChangeTracker::maySaveFirst(std::initializer_list<Part> parts) {
    for (Part part : parts) {
        if (!isModified(part)) continue;
        switch (host_.askSaveChanges(questionText(part))) {
        case QtHost::SaveAnswer::Save:
            if (!hooks_[at(part)].save || !hooks_[at(part)].save()) return false;
            break;
        case QtHost::SaveAnswer::Discard:
            break;
        case QtHost::SaveAnswer::Cancel:
            return false;
        }
    }
    return true;
}

}  // namespace vrn::gui
