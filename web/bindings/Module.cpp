// The module's JavaScript face (see README.md beside this file): build facts,
// the editor's layout and rules, the session and the demo device.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <chrono>
#include <string>
#include <vector>

#include "BuildVersion.h"
#include "ConnectionTexts.h"
#include "DemoDevice.h"
#include "DeviceLine.h"
#include "EditorObject.h"
#include "EditorPresets.h"
#include "JsBytes.h"
#include "LinkHost.h"
#include "MakerSite.h"
#include "ProfileDiff.h"
#include "TimerIntervals.h"
#include "WebRecord.h"
#include "WebSession.h"

namespace vyx::web {

using emscripten::val;

namespace {

val UsbIdentity() {
    val out = val::object();
    out.set("vendorId", VYX_USB_VID);
    out.set("productId", VYX_USB_PID);
    return out;
}

val PortSettings() {
    val out = val::object();
    out.set("baudRate", DeviceBitRate);
    out.set("dataBits", 8);
    out.set("stopBits", 1);
    out.set("parity", std::string("none"));
    out.set("flowControl", std::string("none"));
    return out;
}

int TimerInterval(int timer) {
    if (timer < 1 || timer > 3) {
        return 0;
    }
    return static_cast<int>(IntervalOf(static_cast<TimerId>(timer - 1)).count());
}

val ConnectionTextsObject() {
    val out = val::object();
    out.set("opened", std::string(ConnectionOpenedText));
    out.set("closed", std::string(ConnectionClosedText));
    out.set("lost", std::string(ConnectionLostText));
    return out;
}

int LogMaxLinesValue() {
    return LogMaxLines;
}

val Defaults() {
    return SnapshotToObject(DefaultsSnapshot());
}

val Calvera() {
    return SnapshotToObject(CalveraSnapshot());
}

val CoupleBuzzerObject(const val& snapshot, const std::string& control) {
    return SnapshotToObject(CoupleBuzzer(SnapshotFromObject(snapshot), control));
}

val LinesArray(const std::vector<std::string>& lines) {
    val array = val::array();
    for (const std::string& line : lines) {
        array.call<void>("push", line);
    }
    return array;
}

// The log's lines for a profile opened over what the device holds, as the window's.
val ProfileOpenedObject(const val& device, const val& profile) {
    return LinesArray(ProfileOpenedLines(SnapshotFromObject(device), SnapshotFromObject(profile)));
}

// What a write of the profile would change: no line when the device holds it.
val ProfileDiffObject(const val& device, const val& profile) {
    return LinesArray(ProfileDiffLines(SnapshotFromObject(device), SnapshotFromObject(profile)));
}

val CheckEditorObject(const val& snapshot) {
    return CheckEditor(SnapshotFromObject(snapshot));
}

std::string ToolVersion() {
    return BuildVersionText;
}

std::string MakerUrl() {
    return MakerSite::Default().BaseUrl();
}

std::string ProductPageUrl() {
    return MakerSite::Default().ProductPageUrl();
}

// The page's clock (ms, e.g. performance.now()) as the device model's.
DemoDevice::Clock::time_point PageTime(double ms) {
    return DemoDevice::Clock::time_point(std::chrono::duration_cast<DemoDevice::Clock::duration>(
        std::chrono::duration<double, std::milli>(ms)));
}

double PageMs(DemoDevice::Clock::time_point at) {
    return std::chrono::duration<double, std::milli>(at.time_since_epoch()).count();
}

DemoChoices ChoicesFrom(const val& options) {
    DemoChoices choices;
    if (!HasJsType(options, "object") || options.isNull()) {
        return choices;
    }
    choices.oldRelease = options["oldRelease"].isTrue();
    choices.operatingMode = options["operatingMode"].isTrue();
    const val chunk = options["chunkSize"];
    if (HasJsType(chunk, "number") && chunk.as<double>() >= 1) {
        choices.chunkSize = static_cast<std::size_t>(chunk.as<double>());
    }
    const val hangUp = options["hangUpAfterPackage"];
    if (HasJsType(hangUp, "number") && hangUp.as<double>() >= 1) {
        choices.hangUpAfterPackage = static_cast<std::uint32_t>(hangUp.as<double>());
    }
    return choices;
}

// The demo device as the page holds it.
class WebDemo {
public:
    explicit WebDemo(const val& options) : device(DemoOptions(ChoicesFrom(options))) {}

    void Opened(double now) { device.Opened(PageTime(now)); }
    void Closed() { device.Closed(); }
    void Receive(const val& bytes, double now) {
        device.Receive(BytesFromJs(bytes), PageTime(now));
    }
    val Tick(double now) {
        val chunks = val::array();
        for (const auto& chunk : device.Due(PageTime(now))) {
            chunks.call<void>("push", BytesToJs(chunk));
        }
        return chunks;
    }
    double NextDue() const {
        const auto next = device.NextDue();
        return next ? PageMs(*next) : -1;
    }
    bool HungUp() const { return device.HungUp(); }
    val Status() const {
        const sim::SimStatus& status = device.Status();
        val out = val::object();
        out.set("announcements", static_cast<double>(status.announcements));
        out.set("memoryReads", static_cast<double>(status.memoryReads));
        out.set("packagesReceived", static_cast<double>(status.packagesReceived));
        out.set("configsStored", static_cast<double>(status.configsStored));
        out.set("firmwareAccepted", static_cast<double>(status.firmwareAccepted));
        out.set("version", NumbersToJs(std::span<const std::uint8_t>(status.version)));
        return out;
    }

private:
    DemoDevice device;
};

}  // namespace

EMSCRIPTEN_BINDINGS(vyx) {
    using emscripten::function;

    function("toolVersion", &ToolVersion);
    function("makerUrl", &MakerUrl);
    function("productPageUrl", &ProductPageUrl);
    function("usbIdentity", &UsbIdentity);
    function("portSettings", &PortSettings);
    function("timerInterval", &TimerInterval);
    function("connectionTexts", &ConnectionTextsObject);
    function("logMaxLines", &LogMaxLinesValue);
    function("recordLayout", &LayoutRows);
    function("defaultsSnapshot", &Defaults);
    function("calveraSnapshot", &Calvera);
    function("coupleBuzzer", &CoupleBuzzerObject);
    function("checkEditor", &CheckEditorObject);
    function("profileOpenedLines", &ProfileOpenedObject);
    function("profileDiffLines", &ProfileDiffObject);

    emscripten::class_<WebSession>("Session")
        .constructor<val>()
        .function("portOpened", &WebSession::PortOpened)
        .function("portClosed", &WebSession::PortClosed)
        .function("portLost", &WebSession::PortLost)
        .function("receive", &WebSession::Receive)
        .function("receiveTimeout", &WebSession::ReceiveTimeout)
        .function("tick", &WebSession::Tick)
        .function("readConfig", &WebSession::ReadConfig)
        .function("writeConfig", &WebSession::WriteConfig)
        .function("readBack", &WebSession::ReadBackWrite)
        .function("remoteCommands", &WebSession::RemoteCommands)
        .function("uploadFirmware", &WebSession::UploadFirmware)
        .function("clearIdList", &WebSession::ClearIdList)
        .function("fillDefaults", &WebSession::FillDefaults)
        .function("fillCalvera", &WebSession::FillCalvera)
        .function("saveProfile", &WebSession::SaveProfile)
        .function("openProfile", &WebSession::OpenProfile)
        .function("setServiceFields", &WebSession::SetServiceFields)
        .function("visitRecord", &WebSession::VisitRecord)
        .function("identity", &WebSession::Identity)
        .function("progress", &WebSession::Progress)
        .function("portOpen", &WebSession::PortOpen);

    function("visitRowOf", &VisitRowOf);
    function("visitCsvHeader", &VisitCsvHeader);
    function("visitReport", &VisitReportOf);
    emscripten::class_<ImportReader>("ImportReader")
        .constructor<>()
        .class_function("refuseSize", &ImportReader::RefuseSize)
        .function("feed", &ImportReader::Feed)
        .function("finish", &ImportReader::Finish)
        .function("refusal", &ImportReader::Refusal)
        .function("skipped", &ImportReader::Skipped);

    emscripten::class_<WebDemo>("DemoDevice")
        .constructor<val>()
        .function("opened", &WebDemo::Opened)
        .function("closed", &WebDemo::Closed)
        .function("receive", &WebDemo::Receive)
        .function("tick", &WebDemo::Tick)
        .function("nextDue", &WebDemo::NextDue)
        .function("hungUp", &WebDemo::HungUp)
        .function("status", &WebDemo::Status);
}

}  // namespace vyx::web
