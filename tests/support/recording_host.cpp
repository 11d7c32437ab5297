#include "recording_host.h"

#include <stdexcept>

namespace vrn::test {

RecordingHost::RecordingHost() : clockInUse_(clock_) {
    timer_.start(clockInUse_.nowMs());
}

RecordingHost::RecordingHost(Clock& clock) : clockInUse_(clock) {
    timer_.start(clockInUse_.nowMs());
}

void RecordingHost::appendLine(std::string_view line) {
    lines.emplace_back(line);
}

void RecordingHost::appendText(std::string_view text) {
    if (lines.empty()) lines.emplace_back();
    lines.back() += text;
}

void RecordingHost::clearMessages() {
    lines.clear();
}

MsgResult RecordingHost::MyMessage(std::string_view text, MsgButtons buttons, MsgKind kind) {
    boxes.push_back({std::string(text), buttons, kind});
    if (buttons == MsgButtons::Ok) return MsgResult::Ok;
    if (answers.empty()) throw std::logic_error("unscripted question: " + std::string(text));
    const MsgResult answer = answers.front();
    answers.pop_front();
    return answer;
}

void RecordingHost::beep(BeepKind kind) {
    beepTimesUs.push_back(clockInUse_.nowUs());
    beepKinds.push_back(kind);
}

void RecordingHost::setWaitCursor(bool on) {
    waitCursorDepth += on ? 1 : -1;
    if (on) ++waitCursorShown;
}

void RecordingHost::pump() {
    ++pumps;
    timer_.catchUp(clockInUse_.nowMs());
}

std::optional<std::string> RecordingHost::openFileName(const FileDialogSpec& spec) {
    dialogs.push_back(spec);
    if (fileNames.empty()) throw std::logic_error("unscripted open dialog: " + spec.title);
    auto name = fileNames.front();
    fileNames.pop_front();
    return name;
}

std::optional<std::string> RecordingHost::saveFileName(const FileDialogSpec& spec) {
    return openFileName(spec);
}

std::optional<std::string> RecordingHost::openFileNameWithCheckBox(const FileDialogSpec& spec,
                                                                   std::string_view box, bool& checked) {
    checkBoxes.emplace_back(std::string(box), checked);
    if (!checkBoxAnswers.empty()) {
        checked = checkBoxAnswers.front();
        checkBoxAnswers.pop_front();
    }
    return openFileName(spec);
}

}  // namespace vrn::test
