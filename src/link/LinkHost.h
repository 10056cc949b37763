#pragma once
// What the device logic shows and asks of the person at the tool: log lines,
// progress, message boxes, its timers and the event pump. Each door implements
// it: the window with its widgets, vyxctl and the headless stand-in with plain
// values on their loop, the page through its script; tests implement a fake
// that records calls and drives ticks by hand. The port itself is reached
// through PortIo; what happened, in the device's terms, the session tells
// through SessionEvents, not through these calls.
// Every call happens on the window thread (or the thread that plays it).

#include <cstddef>
#include <cstdint>
#include <string>

namespace vyx {

enum class LogPane { Log, IdList };

// The timers the device logic drives: the transfer tick, the one-shot close and
// the configuration read tick.
enum class TimerId { Timer1, Timer2, Timer3 };

enum class MsgIcon { None, Warning, Question };
enum class MsgButtons { Ok, YesNo };
enum class MsgResult { Ok, Yes, No };

// Red as the log panes know it (0x00BBGGRR).
inline constexpr std::uint32_t LogRed = 255;

// Lines a log pane keeps, in every door; past it the oldest go as new ones come,
// so a device that floods the link cannot exhaust the memory or the screen.
inline constexpr int LogMaxLines = 5000;

class LinkHost {
public:
    virtual ~LinkHost() = default;

    /// Appends a line (which may itself hold "\r\n") in the pane's current colour.
    virtual void AppendLog(LogPane pane, const std::string& text) = 0;
    /// Sets the colour of text appended from now on, until the pane is cleared.
    virtual void SetLogColour(LogPane pane, std::uint32_t colour) = 0;
    /// Removes every line and returns the pane's colour to black.
    virtual void ClearLog(LogPane pane) = 0;
    /// Text beside the ID list (the count of listed IDs, or empty).
    virtual void SetIdListText(const std::string& text) = 0;

    virtual void SetProgressMax(int maximum) = 0;
    virtual void SetProgress(int position) = 0;

    /// Modal message box without owner window; returns when the user closed it.
    virtual MsgResult ShowMessage(const std::string& text, const std::string& caption, MsgIcon icon,
                                  MsgButtons buttons) = 0;

    virtual void SetTimerEnabled(TimerId timer, bool enabled) = 0;
    virtual bool TimerEnabled(TimerId timer) const = 0;

    /// Lets the window process pending events: ticks, clicks and receive
    /// notifications may run nested inside this call.
    virtual void ProcessMessages() = 0;
};

}  // namespace vyx
