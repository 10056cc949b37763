#pragma once
// A window stand-in for the update check: records L_Msg, the Yes/No boxes, the
// addresses handed to the browser and the cursor; answers the box as told.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "UpdateUi.h"

namespace vyx::test {

struct MsgLabel {
    std::string Text;
    bool Underlined = true;  // as laid out: Verdana, grey, underlined, no caption
    std::uint32_t Colour = MsgGrey;
};

struct AskedBox {
    std::string Text;
    std::string Caption;
};

class FakeUpdateUi : public UpdateUi {
public:
    void ProcessMessages() override {
        if (OnPump) {
            OnPump();
        }
    }
    void SetCheckTimerEnabled(bool enabled) override { TimerEnabled = enabled; }
    void SetMsgLabel(const std::string& text, bool underlined, std::uint32_t colour) override {
        Msg = {text, underlined, colour};
    }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        Asked.push_back({text, caption});
        return AnswerYes;
    }
    void OpenUrl(const std::string& url) override { Opened.push_back(url); }
    void SetHandCursor(bool shown) override { CursorCalls.push_back(shown); }

    bool TimerEnabled = true;
    MsgLabel Msg;
    std::vector<AskedBox> Asked;
    bool AnswerYes = false;
    std::vector<std::string> Opened;
    std::vector<bool> CursorCalls;
    std::function<void()> OnPump;
};

}  // namespace vyx::test
