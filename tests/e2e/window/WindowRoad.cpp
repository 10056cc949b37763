#include "WindowRoad.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <vector>

#include "Cport.h"
#include "DropDownList.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "RichLog.h"

namespace vyx::app::test {

namespace {

constexpr std::chrono::milliseconds SimulatorGlance{5};

/// No server behind it: the update check finds nothing and says nothing.
class OfflineWebClient : public WebClient {
public:
    void Get(const std::string&) override {}
    void Abort() override {}
    FetchState State() const override { return FetchState::Failed; }
    std::string Body() const override { return {}; }
};

}  // namespace

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

void WindowRoad::SetUp() {
    ASSERT_TRUE(ttyFolder.isValid());
    ASSERT_TRUE(programFolder.isValid());
    ModalBox::SetHook([this](const BoxRequest& box) {
        Boxes.push_back(box);
        return box.Buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
    });
}

void WindowRoad::TearDown() {
    Form.reset();  // closes the port before its devices go away
    devices.clear();
    ModalBox::SetHook({});
}

sim::SimDevice& WindowRoad::StartDevice(sim::SimOptions options, const std::string& linkName) {
    options.portFolder = portFolder.Path();
    options.linkName = linkName;
    devices.push_back(std::make_unique<sim::SimDevice>(std::move(options)));
    devices.back()->Start();
    return *devices.back();
}

TForm1& WindowRoad::CreateWindow() {
    FormEnvironment environment;
    const ComPortSources sources{ttyFolder.path().toStdString(), portFolder.Path()};
    environment.ListPorts = [sources] {
        std::vector<std::string> names;
        EnumComPorts(names, sources);
        QStringList ports;
        for (const std::string& name : names) {
            ports.append(QString::fromStdString(name));
        }
        return ports;
    };
    environment.ProgramFolder = programFolder.path();
    environment.MakeWebClient = [] { return std::make_unique<OfflineWebClient>(); };
    environment.OpenUrl = [](const QUrl&) {};
    Form = std::make_unique<TForm1>(environment);
    return *Form;
}

void WindowRoad::Select(const sim::SimDevice& device) {
    DropDownList* list = Form->Header().ComboBox1;
    list->OnDropDown();  // what opening the list runs: the folder is read afresh
    const int index = list->findText(QString::fromStdString(device.LinkPath()));
    ASSERT_GE(index, 0) << device.LinkPath();
    list->setCurrentIndex(index);
}

void WindowRoad::ClickConnect() {
    Form->Header().ButtonVCP->click();
}

bool WindowRoad::WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    // Sleeps only inside the event loop's own wait, so every hand-over from the
    // port is handled the moment it arrives and the road figures stay true. The
    // glance timer bounds how late a change seen only by the simulator is noticed.
    const auto deadline = Clock::now() + limit;
    QTimer glance;
    glance.start(SimulatorGlance);
    while (!done()) {
        if (Clock::now() >= deadline) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

bool WindowRoad::WaitForLog(const char* text, std::chrono::milliseconds limit, int times) {
    return WaitFor([&] { return CountLogged(text) >= times; }, limit);
}

int WindowRoad::CountLogged(const char* text) const {
    return static_cast<int>(LogLines().count(QString::fromUtf8(text)));
}

QStringList WindowRoad::LogLines() const {
    return Form->Header().Log->Lines();
}

void WindowRoad::ExpectCleanRoad(const sim::SimDevice& device) const {
    EXPECT_EQ(device.Status().resendsSeen, 0u);
    const TransferProgress& p = Form->Session().Progress();
    EXPECT_EQ(p.Nacks + p.Code10 + p.Code15 + p.Code20, 0)
        << "Nacks " << p.Nacks << " Code10 " << p.Code10 << " Code15 " << p.Code15 << " Code20 "
        << p.Code20;
    for (const BoxRequest& box : Boxes) {
        ADD_FAILURE() << "box " << box.Caption.toStdString() << ": " << box.Text.toStdString();
    }
}

int WindowRoad::LineOf(const char* text) const {
    return static_cast<int>(LogLines().indexOf(QString::fromUtf8(text)));
}

}  // namespace vyx::app::test
