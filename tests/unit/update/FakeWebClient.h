#pragma once
// A web client stand-in: records the requests and answers with what the test set.

#include <string>
#include <vector>

#include "WebClient.h"

namespace vyx::test {

class FakeWebClient : public WebClient {
public:
    void Get(const std::string& url) override {
        Requests.push_back(url);
        FetchStateNow = FetchState::NotFinished;
    }
    void Abort() override {
        ++Aborts;
        FetchStateNow = FetchState::Failed;
    }
    FetchState State() const override { return FetchStateNow; }
    std::string Body() const override { return BodyNow; }

    /// Makes the request under way arrive with `body`.
    void Arrive(std::string body) {
        BodyNow = std::move(body);
        FetchStateNow = FetchState::Finished;
    }

    std::vector<std::string> Requests;
    int Aborts = 0;
    FetchState FetchStateNow = FetchState::Failed;
    std::string BodyNow;
};

}  // namespace vyx::test
