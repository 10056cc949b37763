#include "UpdateCheck.h"

#include <optional>
#include <utility>

#include "VersionRecord.h"

namespace vyx {

UpdateCheck::UpdateCheck(WebClient& web, UpdateUi& ui, MakerSite site)
    : web(web), ui(ui), site(std::move(site)) {}

void UpdateCheck::Timer4Timer() {
    // A tick queued before the timer stopped, or one run from the event pump below,
    // must not judge the file a second time.
    if (ended || inTick) {
        return;
    }
    inTick = true;
    ui.ProcessMessages();
    if (!ended) {
        switch (step) {
            case RequestStep:
                web.Abort();
                web.Get(site.VersionFileUrl());
                ++step;
                break;
            case JudgeStep:
                JudgeVersionFile();
                break;
            case LastStep:
                step = 0;
                break;
            default:
                ++step;
                break;
        }
    }
    inTick = false;
}

void UpdateCheck::JudgeVersionFile() {
    if (web.State() != FetchState::Finished) {
        ++step;
        return;
    }
    const std::optional<VersionNumber> serverVersion = VersionRecord::Parse(web.Body());
    if (!serverVersion) {
        step = 0;
        return;
    }
    // The step stays at JudgeStep: the check is over either way.
    ended = true;
    ui.SetCheckTimerEnabled(false);
    if (*serverVersion == ToolVersion) {
        ui.SetMsgLabel(UpToDateText, false, MsgGrey);
        return;
    }
    OfferDownload(*serverVersion);
}

void UpdateCheck::OfferDownload(const VersionNumber& serverVersion) {
    // Any difference counts as newer: the maker may also withdraw a release.
    downloadUrl = site.DownloadUrl(serverVersion);
    if (ui.AskYesNo(NewVersionQuestion, NewVersionCaption)) {
        ui.OpenUrl(downloadUrl);
        return;
    }
    ui.SetMsgLabel(DownloadLinkText, true, MsgBlue);
    msgClickAttached = true;
    msgHoverAttached = true;
}

void UpdateCheck::L_MsgClick() {
    if (!msgClickAttached) {
        return;
    }
    msgClickAttached = false;
    ui.OpenUrl(downloadUrl);
    ui.SetMsgLabel("", true, MsgBlue);
}

void UpdateCheck::L_MsgMouseEnter() {
    if (msgHoverAttached) {
        L_SiteMouseEnter();
    }
}

void UpdateCheck::L_MsgMouseLeave() {
    if (msgHoverAttached) {
        L_SiteMouseLeave();
    }
}

void UpdateCheck::L_SiteClick() {
    ui.OpenUrl(site.ProductPageUrl());
}

void UpdateCheck::L_SiteMouseEnter() {
    if (!handCursorShown) {
        handCursorShown = true;
        ui.SetHandCursor(true);
    }
}

void UpdateCheck::L_SiteMouseLeave() {
    if (handCursorShown) {
        handCursorShown = false;
        ui.SetHandCursor(false);
    }
}

}  // namespace vyx
