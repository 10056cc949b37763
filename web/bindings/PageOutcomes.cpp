#include "PageOutcomes.h"

#include <string>

#include "DeviceIdentity.h"
#include "JsBytes.h"

namespace vyx::web {

using emscripten::val;

namespace {

val Text(const std::string& text) {
    return val(text);
}

val ExchangeText(Exchange exchange) {
    return Text(ExchangeCode(exchange));
}

const char* CauseCode(CloseCause cause) {
    switch (cause) {
        case CloseCause::OperatingMode:
            return "operatingMode";
        case CloseCause::AfterWrite:
            return "afterWrite";
        case CloseCause::Asked:
            break;
    }
    return "asked";
}

}  // namespace

void PageOutcomes::Tell(const char* kind, Fields fields) const {
    // A page without the callback (the window's roads, older pages) is told nothing.
    if (!HasJsType(page["outcome"], "function")) {
        return;
    }
    val outcome = val::object();
    outcome.set("kind", Text(kind));
    for (const auto& [name, value] : fields) {
        outcome.set(name, value);
    }
    page.call<void>("outcome", outcome);
}

void PageOutcomes::Identified(const IdentifiedDevice& device) {
    Tell("identified", {{"idText", Text(IdText(device.Identity.Id))},
                        {"versionText", Text(VersionText(device.Identity.Version))},
                        {"operatingMode", val(device.OperatingMode())},
                        {"need", Text(WordsOf(device.Need).Code)}});
}

void PageOutcomes::OperatingModeNotice() {
    Tell("operatingMode");
}

void PageOutcomes::ExchangeStarted(Exchange exchange, const ExchangeCounters&) {
    Tell("started", {{"exchange", ExchangeText(exchange)}});
}

void PageOutcomes::ExchangeFailed(const ExchangeFailure& failure) {
    Tell("failed", {{"exchange", ExchangeText(failure.Of)},
                    {"code", val(failure.Code)},
                    {"caption", Text(failure.Caption)}});
}

void PageOutcomes::ExchangeCutOff(const ExchangeCut& cut) {
    Tell("cut", {{"exchange", ExchangeText(cut.Of)}});
}

void PageOutcomes::UploadFinished(const ExchangeCounters&) {
    Tell("uploaded");
}

void PageOutcomes::ConfigurationRead(const ConfigReadResult& result) {
    Tell("read", {{"repaired", val(result.Repaired)}});
}

void PageOutcomes::ConfigurationWritten(const ConfigBlock&, const ExchangeCounters&) {
    Tell("written");
}

void PageOutcomes::ReadBack(const ReadBackResult& result) {
    Tell("readBack", {{"equal", val(result.Equal)}, {"difference", Text(result.FirstDifference)}});
}

void PageOutcomes::ConnectionClosed(CloseCause cause) {
    Tell("closed", {{"cause", Text(CauseCode(cause))}});
}

void PageOutcomes::ConnectionLost() {
    Tell("lost");
}

}  // namespace vyx::web
