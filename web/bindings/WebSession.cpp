#include "WebSession.h"

#include "BuildVersion.h"
#include "ConnectionTexts.h"
#include "EditorChecks.h"
#include "EditorPresets.h"
#include "JsBytes.h"
#include "ProfileFile.h"
#include "ProfileTexts.h"
#include "WebRecord.h"

namespace vyx::web {

using emscripten::val;

namespace {

const char* ExchangeName(TransferProgress::Exchange exchange) {
    switch (exchange) {
        case TransferProgress::Exchange::Transfer:
            return "transfer";
        case TransferProgress::Exchange::Read:
            return "read";
        case TransferProgress::Exchange::None:
            break;
    }
    return "none";
}

val Refusal(const std::string& message) {
    val out = val::object();
    out.set("ok", false);
    out.set("caption", std::string(CheckFailureCaption));
    out.set("message", message);
    return out;
}

std::string FieldOf(const val& fields, const char* name) {
    const val value = fields[name];
    return HasJsType(value, "string") ? value.as<std::string>() : std::string();
}

}  // namespace

WebSession::WebSession(val pageObject)
    : page(pageObject),
      host(pageObject),
      // Each step is kept as it ends, with the log lines so far: the page's store
      // replaces the visit's row with its newer line. Log lines alone wait for
      // the next step (the close is one), so logging costs no storage write.
      recorder(DoorPage, BuildVersionText, "",
               {.Begun = [this](const Visit& visit) { KeepVisit(visit); },
                .Stepped = [this](const Visit& visit, const VisitStep&) { KeepVisit(visit); },
                .Logged = {},
                .Changed = [this](const Visit& visit) { KeepVisit(visit); }}),
      outcomes(std::move(pageObject)),
      // The timed close after a write: the page's Timer 2 closes the port.
      session(host, host, host, [this] { host.SetTimerEnabled(TimerId::Timer2, true); }) {
    session.AddEvents(recorder);
    session.AddEvents(*this);
    // After this session's own notes: the page may ask identity() when told.
    session.AddEvents(outcomes);
    host.TapLog([this](const std::string& line) { recorder.LogLine(line); });
}

void WebSession::KeepVisit(const Visit& visit) const {
    // A page without a store (the module's own tests) records nothing.
    if (HasJsType(page["recordVisit"], "function")) {
        page.call<void>("recordVisit", VisitRow(visit));
    }
}

void WebSession::SetServiceFields(const val& fields) {
    if (!HasJsType(fields, "object") || fields.isNull()) {
        return;
    }
    recorder.SetServiceFields({FieldOf(fields, "technician"), FieldOf(fields, "plate"),
                               FieldOf(fields, "vin"), FieldOf(fields, "workOrder"),
                               FieldOf(fields, "note")});
}

val WebSession::VisitRecord() const {
    return recorder.Current() ? VisitRow(*recorder.Current()) : val::null();
}

void WebSession::PortOpened() {
    host.SetTimerEnabled(TimerId::Timer2, false);
    host.Received().Clear();
    host.SetPortOpen(true);
    recorder.PortOpened();
    session.PortOpened();
    host.ClearLog(LogPane::Log);
    host.AppendLog(LogPane::Log, ConnectionOpenedText);
}

void WebSession::PortClosed() {
    // The page's Timer 2 closes the port without a tick here: still set, it was
    // the timed close.
    const bool timed = host.TimerEnabled(TimerId::Timer2);
    host.SetTimerEnabled(TimerId::Timer2, false);
    host.SetPortOpen(false);
    host.Received().Clear();
    session.PortClosed(timed);
    host.AppendLog(LogPane::Log, ConnectionClosedText);
}

void WebSession::PortLost() {
    host.SetTimerEnabled(TimerId::Timer2, false);
    session.PortLost();
    host.SetPortOpen(false);
    host.Received().Clear();
    host.AppendLog(LogPane::Log, ConnectionLostText);
}

int WebSession::Receive(const val& bytes) {
    if (!host.PortOpen()) {
        return 0;  // a chunk still on its way when the port closed
    }
    const std::vector<std::uint8_t> chunk = BytesFromJs(bytes);
    return HandOver(host.Received().Add(chunk, ReceiveBuffer::Clock::now()));
}

int WebSession::ReceiveTimeout() {
    return HandOver(host.Received().Due(ReceiveBuffer::Clock::now()));
}

int WebSession::HandOver(std::chrono::milliseconds wait) {
    if (wait.count() > 0) {
        return static_cast<int>(wait.count());
    }
    const std::size_t count = host.Received().Size();
    if (count > 0) {
        session.VCPRxChar(static_cast<int>(count));
    }
    // Bytes left unread belong to a connection that has just ended.
    host.Received().Clear();
    return 0;
}

void WebSession::Tick(int timer) {
    switch (timer) {
        case 1:
            if (host.TimerEnabled(TimerId::Timer1)) {
                session.Timer1Timer();
            }
            break;
        case 2:
            host.SetTimerEnabled(TimerId::Timer2, false);
            break;
        case 3:
            if (host.TimerEnabled(TimerId::Timer3)) {
                session.Timer3Timer();
            }
            break;
        default:
            break;
    }
}

void WebSession::ClearIdList() {
    host.SetIdListText("");
    host.ClearLog(LogPane::IdList);
    session.L_ClearClick();
}

void WebSession::FillDefaults() {
    host.ApplyEditor(DefaultsSnapshot());
}

void WebSession::FillCalvera() {
    host.ApplyEditor(CalveraSnapshot());
}

val WebSession::SaveProfile() {
    const EditorSnapshot editor = host.ReadEditor();
    if (const auto failure = FirstFailingCheck(editor)) {
        return Refusal(failure->Message);
    }
    val out = val::object();
    out.set("ok", true);
    out.set("text", ProfileFile::Format(editor).value_or(""));
    return out;
}

val WebSession::OpenProfile(const val& bytes, const std::string& fileName) {
    const std::vector<std::uint8_t> data = BytesFromJs(bytes);
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    const ProfileResult profile = ProfileFile::ParseContents(text, fileName);
    if (!profile.Editor) {
        val out = Refusal(RefusalText(profile));
        val errors = val::array();
        for (const std::string& error : profile.Errors) {
            errors.call<void>("push", error);
        }
        out.set("errors", errors);
        return out;
    }
    host.ApplyEditor(*profile.Editor);
    host.AppendLog(LogPane::Log, ProfileOpenedLine(fileName));
    val out = val::object();
    out.set("ok", true);
    return out;
}

val WebSession::Identity() const {
    const DeviceIdentification& identification = session.Identification();
    const DeviceIdentity& stored = identification.Stored();
    val out = val::object();
    out.set("known", identification.HasIdentity());
    out.set("handled", identification.IsIdentityHandled());
    out.set("id", NumbersToJs(std::span<const std::uint32_t>(stored.Id)));
    out.set("idText", IdText(stored.Id));
    out.set("version", NumbersToJs(std::span<const std::uint8_t>(stored.Version)));
    out.set("versionText", VersionText(stored.Version));
    out.set("configBase", static_cast<double>(stored.ConfigBase));
    out.set("action", std::string(WordsOf(stored.Version).ActionCode));
    out.set("firmware", std::string(WordsOf(stored.Version).Code));
    out.set("operatingMode", identified && identified->OperatingMode());
    return out;
}

val WebSession::Progress() const {
    const TransferProgress& progress = session.Progress();
    val out = val::object();
    out.set("packageCount", progress.TxPackageCount);
    out.set("packageIndex", progress.TxPackageIndex);
    out.set("ackedIndex", progress.TxAckedIndex);
    out.set("nacks", progress.Nacks);
    out.set("code10", progress.Code10);
    out.set("code15", progress.Code15);
    out.set("code20", progress.Code20);
    out.set("exchange", std::string(ExchangeName(progress.LastStarted)));
    out.set("transferRunning", host.TimerEnabled(TimerId::Timer1));
    out.set("readRunning", host.TimerEnabled(TimerId::Timer3));
    out.set("linkLosses", progress.LinkLosses);
    out.set("underWay", underWay ? std::string(ExchangeCode(*underWay)) : std::string("none"));
    return out;
}

}  // namespace vyx::web
