#pragma once
// The once-per-run check for a newer VyxTool, one step per tick of Timer4, and the
// two header links L_Msg and L_Site. The window forwards its handlers here:
//
//   Timer4 timeout           -> Timer4Timer()
//   L_Msg click/enter/leave  -> L_MsgClick() / L_MsgMouseEnter() / L_MsgMouseLeave()
//   L_Site click/enter/leave -> L_SiteClick() / L_SiteMouseEnter() / L_SiteMouseLeave()
//
// Steps: 2 requests the version file, 6 judges it, 15 wraps to 0, every other step
// counts on. So the first request goes out at the third tick and is judged four ticks
// later; after an incomplete document the file is asked for again 16 ticks after the
// previous request, after unusable content 7 ticks after it. The check ends (Timer4
// stopped) only when a version record has been read.

#include <string>

#include "MakerSite.h"
#include "UpdateUi.h"
#include "VersionNumber.h"
#include "WebClient.h"

namespace vyx {

/// L_Msg once the server's version equals this build's.
inline constexpr const char* UpToDateText = "O VyxTool está atualizado";
/// L_Msg once a newer version was offered and the user answered No.
inline constexpr const char* DownloadLinkText = "Clique aqui para atualizar o VyxTool";
inline constexpr const char* NewVersionCaption = "Atualização VyxTool";
inline constexpr const char* NewVersionQuestion =
    "Há uma nova versão do aplicativo VyxTool disponível\r\n"
    "gostaria de fazer o download agora?";

class UpdateCheck {
public:
    static constexpr int RequestStep = 2;
    static constexpr int JudgeStep = 6;
    static constexpr int LastStep = 15;

    UpdateCheck(WebClient& web, UpdateUi& ui, MakerSite site = MakerSite::Default());

    /// One step of the check. Does nothing once the check has ended.
    void Timer4Timer();

    /// Starts the download; attached only while L_Msg shows the link, and only once.
    void L_MsgClick();
    /// L_Msg's hover handlers, attached once the link was offered; they stay attached.
    void L_MsgMouseEnter();
    void L_MsgMouseLeave();

    /// Opens the product page (L_Site's caption) in the user's browser.
    void L_SiteClick();
    void L_SiteMouseEnter();
    void L_SiteMouseLeave();

    /// L_Site's caption: the product page of the maker's web server.
    std::string SiteCaption() const { return site.ProductPageUrl(); }
    int UpdateCheckStep() const { return step; }
    /// The address of the newer version once one was found, else empty.
    const std::string& DownloadUrl() const { return downloadUrl; }
    bool Ended() const { return ended; }

private:
    void JudgeVersionFile();
    void OfferDownload(const VersionNumber& serverVersion);

    WebClient& web;
    UpdateUi& ui;
    MakerSite site;
    int step = 0;
    std::string downloadUrl;
    bool ended = false;
    bool inTick = false;
    bool msgClickAttached = false;
    bool msgHoverAttached = false;
    bool handCursorShown = false;
};

}  // namespace vyx
