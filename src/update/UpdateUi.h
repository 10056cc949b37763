#pragma once
// What the update check needs from the window: Timer4, the header label L_Msg, the
// Yes/No box, the user's web browser and the screen cursor. The window implements
// it (its ProcessMessages may serve LinkHost's as well); tests record the calls.

#include <cstdint>
#include <string>

namespace vyx {

/// L_Msg's colours, 0x00BBGGRR as the window's colour values are written.
inline constexpr std::uint32_t MsgGrey = 0x808080;
inline constexpr std::uint32_t MsgBlue = 0xFF0000;

class UpdateUi {
public:
    virtual ~UpdateUi() = default;

    /// Lets the window process pending events; a click may run nested inside it.
    virtual void ProcessMessages() = 0;
    /// Starts or stops Timer4 (1000 ms), whose ticks call UpdateCheck::Timer4Timer.
    virtual void SetCheckTimerEnabled(bool enabled) = 0;
    /// Shows `text` in L_Msg (Verdana, height -11) with the given underline and colour.
    virtual void SetMsgLabel(const std::string& text, bool underlined, std::uint32_t colour) = 0;
    /// Modal Yes/No box without owner window, information icon; true when Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    /// Hands an encoded address to the user's web browser; the outcome is not looked at.
    /// The address is already percent-encoded: take it as it is (QUrl::fromEncoded).
    virtual void OpenUrl(const std::string& url) = 0;
    /// Shows the screen-wide hand cursor, or returns to the default one. Called only
    /// on a change, so one override cursor set and one restore are all it takes.
    virtual void SetHandCursor(bool shown) = 0;
};

}  // namespace vyx
