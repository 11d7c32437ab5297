#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace vrn::gui {

class QtHost;

// The three parts of the instrument's configuration the window edits.
enum class Part : uint8_t { Setup, Screens, Program };
inline constexpr std::array<Part, 3> kAllParts = {Part::Setup, Part::Screens, Part::Program};

// Knows whether each part changed since it was last opened, saved, got or sent, by comparing
// what a save would write now with what it would have written then (so an edit undone is no
// change), and asks before work is replaced.
class ChangeTracker final : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<std::vector<uint8_t>()> content;  // the bytes a save keeps
        std::function<bool()> save;                     // the part's own Save; true when saved
        std::function<void()> forgetUndo;               // its undo history, which a load ends
    };

    explicit ChangeTracker(QtHost& host, QObject* parent = nullptr);

    void setHooks(Part part, Hooks hooks);

    bool isModified(Part part) const;
    bool anyModified() const;
    // The part was saved or sent: what it holds now is no change.
    void saved(Part part);
    // The part was opened or got: no change, and nothing before it to undo.
    void loaded(Part part);

    // A part may have changed; stateChanged follows at the next turn of the event loop if one did.
    void touch();

    // Asks "Save changes to the ...?" for each changed part of parts, in order. Save runs the
    // part's Save (its dialog cancelled or its write failed count as Cancel), Discard goes on.
    // True when the caller may go on; on Cancel nothing has changed.
    bool maySaveFirst(std::initializer_list<Part> parts);

    static std::string questionText(Part part);
    static const char* partName(Part part);

signals:
    void stateChanged();

private:
    void update();

    QtHost& host_;
    std::array<Hooks, 3> hooks_;
    std::array<std::vector<uint8_t>, 3> clean_;
    std::array<bool, 3> shown_{};
    bool pending_ = false;
};

}  // namespace vrn::gui
