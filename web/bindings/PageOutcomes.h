#pragma once
// The session's outcomes told to the page, each as one plain object with its
// `kind` ("identified", "read", "failed" ...), through the page object's
// optional `outcome(object)`: the page's own steps (the batch) follow them
// instead of what the window would show.

#include <emscripten/val.h>

#include <initializer_list>
#include <utility>

#include "SessionEvents.h"

namespace vyx::web {

class PageOutcomes : public SessionEvents {
public:
    explicit PageOutcomes(emscripten::val page) : page(std::move(page)) {}

    void Identified(const IdentifiedDevice& device) override;
    void OperatingModeNotice() override;
    void ExchangeStarted(Exchange exchange, const ExchangeCounters&) override;
    void ExchangeFailed(const ExchangeFailure& failure) override;
    void ExchangeCutOff(const ExchangeCut& cut) override;
    void UploadFinished(const ExchangeCounters&) override;
    void ConfigurationRead(const ConfigReadResult& result) override;
    void ConfigurationWritten(const ConfigBlock&, const ExchangeCounters&) override;
    void ReadBack(const ReadBackResult& result) override;
    void ConnectionClosed(CloseCause cause) override;
    void ConnectionLost() override;

private:
    using Fields = std::initializer_list<std::pair<const char*, emscripten::val>>;
    void Tell(const char* kind, Fields fields = {}) const;

    emscripten::val page;
};

}  // namespace vyx::web
