#pragma once
// What the update check needs from a web client: one GET at a time that bypasses
// every cache, polled by the check's timer rather than followed by events.

#include <string>

namespace vyx {

enum class FetchState {
    /// The request is still under way.
    NotFinished,
    /// The response arrived whole; its body is in Body().
    Finished,
    /// No request was made, or it was aborted, refused or failed (no server, an error
    /// status, a redirect that is not followed).
    Failed,
};

class WebClient {
public:
    virtual ~WebClient() = default;

    /// Starts a GET of `url` (an encoded address) that neither reads nor writes any
    /// cache. A request still under way is dropped first.
    virtual void Get(const std::string& url) = 0;
    /// Drops the request under way, if any; the state becomes Failed.
    virtual void Abort() = 0;
    virtual FetchState State() const = 0;
    /// The response body once Finished: at most VersionRecord::MaxBodyLength + 1
    /// bytes, the last one only telling that the body is longer than is judged.
    virtual std::string Body() const = 0;
};

}  // namespace vyx
