#include "HeadlessHost.h"

#include <algorithm>

namespace vyx::test {

namespace {

// Sets one box as a click would: the coupling rule runs when its state changes.
void SetBuzzerBox(TripleBoxes& boxes, bool& box, bool value, BuzzerBox which) {
    if (box == value) {
        return;
    }
    box = value;
    ApplyBuzzerCoupling(boxes, which);
}

}  // namespace

HeadlessHost::HeadlessHost() : HeadlessLoop(HandOverQueueUse::ProcessWide, *this, *this) {}

void HeadlessHost::TimedCloseDue() {
    ++TimedCloses;
    HeadlessLoop::TimedCloseDue();
}

void HeadlessHost::AppendLog(LogPane pane, const std::string& text) {
    Lines.push_back({pane, text, Colour[pane]});
    if (OnAppend) {
        OnAppend(pane, text);
    }
}

void HeadlessHost::SetLogColour(LogPane pane, std::uint32_t colour) {
    Colour[pane] = colour;
}

void HeadlessHost::ClearLog(LogPane pane) {
    std::erase_if(Lines, [pane](const LoggedLine& line) { return line.Pane == pane; });
    Colour[pane] = 0;
}

MsgResult HeadlessHost::ShowMessage(const std::string& text, const std::string& caption,
                                    MsgIcon icon, MsgButtons buttons) {
    Messages.push_back({text, caption, icon, buttons});
    return buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
}

void HeadlessHost::SetTimerEnabled(TimerId timer, bool enabled) {
    timers.SetEnabled(timer, enabled);
}

void HeadlessHost::ApplyEditor(const EditorSnapshot& editor) {
    Editor.Lists = editor.Lists;
    Editor.Texts = editor.Texts;
    Editor.Acp = editor.Acp;
    Editor.Acn = editor.Acn;
    for (std::size_t i = 0; i < TripleConditionCount; ++i) {
        TripleBoxes& boxes = Editor.Triples[i];
        const TripleBoxes& wanted = editor.Triples[i];
        SetBuzzerBox(boxes, boxes.BuzzerIn, wanted.BuzzerIn, BuzzerBox::In);
        SetBuzzerBox(boxes, boxes.BuzzerOut, wanted.BuzzerOut, BuzzerBox::Out);
        SetBuzzerBox(boxes, boxes.BuzzerWhile, wanted.BuzzerWhile, BuzzerBox::While);
        boxes.EventIn = wanted.EventIn;
        boxes.EventOut = wanted.EventOut;
    }
}

void HeadlessHost::ClearListSelections() {
    Editor.Lists.fill(NoSelection);
}

void HeadlessHost::EmptyField(EditorField field) {
    if (!IsList(field)) {
        Editor.Text(field).clear();
    }
}

std::vector<std::string> HeadlessHost::LogTexts(LogPane pane) const {
    std::vector<std::string> out;
    for (const LoggedLine& line : Lines) {
        if (line.Pane == pane) {
            out.push_back(line.Text);
        }
    }
    return out;
}

bool HeadlessHost::Logged(const std::string& text) const {
    return std::ranges::any_of(Lines, [&](const LoggedLine& line) {
        return line.Pane == LogPane::Log && line.Text == text;
    });
}

}  // namespace vyx::test
