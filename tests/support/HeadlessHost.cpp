#include "HeadlessHost.h"

#include <algorithm>
#include <exception>

#include "DevicePort.h"

namespace vyx::test {

namespace {

using Clock = std::chrono::steady_clock;

// How often RunUntil looks at a condition that may change without a wake-up.
constexpr std::chrono::milliseconds ConditionPoll(5);

// Sets one box as a click would: the coupling rule runs when its state changes.
void SetBuzzerBox(TripleBoxes& boxes, bool& box, bool value, BuzzerBox which) {
    if (box == value) {
        return;
    }
    box = value;
    ApplyBuzzerCoupling(boxes, which);
}

}  // namespace

HeadlessHost::HeadlessHost()
    : connection(
          port, *this, *this,
          [this] {
              if (OnConnected) {
                  OnConnected();
              }
          },
          [this] {
              if (OnLost) {
                  OnLost();
              }
          }) {
    DevicePort::Configure(port);
    port.OnRxChar = [this](TCustomComPort&, std::int32_t count) {
        ++receiveDepth;
        Guarded([&] {
            if (OnRxChar) {
                OnRxChar(count);
            }
        });
        --receiveDepth;
    };
    port.OnHangUp = [this](TCustomComPort&) { Guarded([this] { connection.Lost(); }); };
    timers.SetHandler(TimerId::Timer1, [this] {
        if (OnTimer1) {
            OnTimer1();
        }
    });
    timers.SetHandler(TimerId::Timer2, [this] {
        ++TimedCloses;
        connection.TimedClose();
    });
    timers.SetHandler(TimerId::Timer3, [this] {
        if (OnTimer3) {
            OnTimer3();
        }
    });
    SetHandOverWakeUp([this] {
        {
            std::lock_guard lock(wakeMutex);
            wakePending = true;
        }
        wakeCondition.notify_one();
    });
}

HeadlessHost::~HeadlessHost() {
    try {
        port.Close();
    } catch (const EComPort&) {
        // Going away: the port object lets the device go on its own.
    }
    SetHandOverWakeUp({});
    RunPendingHandOvers();
}

void HeadlessHost::Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        Errors.emplace_back(error.what());
    } catch (...) {
        Errors.emplace_back();
    }
}

void HeadlessHost::ProcessMessages() {
    ++pumpDepth;
    Pump();
    --pumpDepth;
}

void HeadlessHost::Pump() {
    RunPendingHandOvers();
    // The close waits for the port's event thread, which waits for a receive
    // handler that is under way: it runs from the loop once the handler returned.
    Guarded([this] {
        timers.RunDue([this](TimerId id) { return id != TimerId::Timer2 || receiveDepth == 0; });
    });
}

bool HeadlessHost::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    bool met = false;
    Loop(&done, limit, met);
    return met;
}

void HeadlessHost::RunFor(std::chrono::milliseconds duration) {
    bool met = false;
    Loop(nullptr, duration, met);
}

void HeadlessHost::Loop(const std::function<bool()>* done, std::chrono::milliseconds limit,
                        bool& met) {
    const auto deadline = Clock::now() + limit;
    for (;;) {
        {
            std::lock_guard lock(wakeMutex);
            wakePending = false;
        }
        Pump();
        if (done != nullptr && (*done)()) {
            met = true;
            return;
        }
        const auto now = Clock::now();
        if (now >= deadline) {
            return;
        }
        auto wakeAt = std::min(deadline, timers.NextDue().value_or(deadline));
        if (done != nullptr) {
            wakeAt = std::min(wakeAt, now + ConditionPoll);
        }
        std::unique_lock lock(wakeMutex);
        wakeCondition.wait_until(lock, wakeAt, [this] { return wakePending; });
    }
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

bool HeadlessHost::TimerEnabled(TimerId timer) const {
    return timers.Enabled(timer);
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
