#pragma once
// A window and port stand-in for the device logic: records log lines, colours,
// message boxes, timers and written frames, and hands out queued incoming bytes. Ticks are run by
// the test; `OnPump` lets a test inject a reply in the middle of a send's event pump.

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "LinkHost.h"
#include "PortIo.h"

namespace vyx::test {

struct LoggedLine {
    LogPane Pane;
    std::string Text;
    std::uint32_t Colour;  // 0 = black
};

struct ShownMessage {
    std::string Text;
    std::string Caption;
    MsgIcon Icon;
    MsgButtons Buttons;
};

class FakeHost : public LinkHost, public PortIo {
public:
    void AppendLog(LogPane pane, const std::string& text) override {
        Lines.push_back({pane, text, Colour[pane]});
    }
    void SetLogColour(LogPane pane, std::uint32_t colour) override { Colour[pane] = colour; }
    void ClearLog(LogPane pane) override {
        std::erase_if(Lines, [pane](const LoggedLine& l) { return l.Pane == pane; });
        Colour[pane] = 0;
    }
    void SetIdListText(const std::string& text) override { IdListText = text; }
    void SetProgressMax(int maximum) override { ProgressMax = maximum; }
    void SetProgress(int position) override {
        Progress = position;
        ProgressHistory.push_back(position);
    }
    MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                          MsgButtons buttons) override {
        Messages.push_back({text, caption, icon, buttons});
        return buttons == MsgButtons::YesNo ? NextAnswer : MsgResult::Ok;
    }
    void SetTimerEnabled(TimerId timer, bool enabled) override { Timers[timer] = enabled; }
    bool TimerEnabled(TimerId timer) const override {
        auto it = Timers.find(timer);
        return it != Timers.end() && it->second;
    }
    void ProcessMessages() override {
        ++Pumps;
        if (OnPump) {
            // One injection per pump; a nested pump must not re-enter it.
            auto pump = std::move(OnPump);
            OnPump = nullptr;
            pump();
        }
    }
    bool PortOpen() const override { return Open; }
    void WritePort(std::span<const std::uint8_t> bytes) override {
        Written.emplace_back(bytes.begin(), bytes.end());
    }
    int ReadPort(std::uint8_t* buffer, int count) override {
        ++Reads;
        int n = 0;
        while (n < count && !Incoming.empty()) {
            buffer[n++] = Incoming.front();
            Incoming.pop_front();
        }
        return n;
    }

    /// Lines of one pane, text only.
    std::vector<std::string> LogTexts(LogPane pane = LogPane::Log) const {
        std::vector<std::string> out;
        for (const auto& l : Lines) {
            if (l.Pane == pane) {
                out.push_back(l.Text);
            }
        }
        return out;
    }

    std::vector<LoggedLine> Lines;
    std::map<LogPane, std::uint32_t> Colour;
    std::string IdListText;
    int ProgressMax = 100;
    int Progress = 0;
    std::vector<int> ProgressHistory;
    std::vector<ShownMessage> Messages;
    MsgResult NextAnswer = MsgResult::No;
    std::map<TimerId, bool> Timers;
    int Pumps = 0;
    std::function<void()> OnPump;
    bool Open = true;
    std::vector<std::vector<std::uint8_t>> Written;
    std::deque<std::uint8_t> Incoming;
    int Reads = 0;
};

}  // namespace vyx::test
