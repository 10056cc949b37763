// The window's firmware upload (it keeps its event thread and hand-over) against
// the floor bench's minimal device, replying at once and after 1 ms: wall and
// CPU per package, medians and ranges of several runs, offscreen.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "../Median.h"
#include "DropDownList.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "MiniDevice.h"
#include "ModalBox.h"
#include "Unit1.h"
#include "VyxApplication.h"

namespace {

using vyx::bench::Median;

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using vyx::bench::MiniDevice;

constexpr std::size_t Packages = 1861;

/// No server behind it: the update check finds nothing.
class OfflineWebClient : public vyx::WebClient {
public:
    void Get(const std::string&) override {}
    void Abort() override {}
    vyx::FetchState State() const override { return vyx::FetchState::Failed; }
    std::string Body() const override { return {}; }
};

struct Sample {
    double wall = -1;  // µs per package
    double cpu = 0;    // µs per package, the device's thread left out
};

Sample Upload(std::chrono::microseconds delay) {
    MiniDevice device({3, 0, 2, 38}, delay);
    device.Measure(Packages);
    QTemporaryDir programFolder;
    vyx::app::FormEnvironment environment;
    const QString port = QString::fromStdString(device.Path());
    environment.ListPorts = [port] { return QStringList{port}; };
    environment.ProgramFolder = programFolder.path();
    environment.MakeWebClient = [] { return std::make_unique<OfflineWebClient>(); };
    environment.OpenUrl = [](const QUrl&) {};
    Sample sample;
    {
        vyx::app::TForm1 form(environment);
        auto* list = form.Header().ComboBox1;
        list->OnDropDown();
        list->setCurrentIndex(list->findText(port));
        form.Header().ButtonVCP->click();
        QTimer glance;
        glance.start(5);
        const auto deadline = Clock::now() + 60s;
        while (!device.Ended() && Clock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        }
    }
    if (!device.Ended()) {
        return sample;
    }
    const auto& s = device.Start();
    const auto& e = device.End();
    sample.wall = std::chrono::duration<double, std::micro>(e.wall - s.wall).count() / Packages;
    sample.cpu = (e.processCpu - s.processCpu - (e.deviceCpu - s.deviceCpu)) * 1e6 / Packages;
    return sample;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    vyx::app::VyxApplication app(argc, argv);
    vyx::app::ModalBox::SetHook([](const vyx::app::BoxRequest&) { return QMessageBox::Ok; });
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    for (const auto delay : {0us, 1000us}) {
        std::vector<double> wall, cpu;
        for (int round = 0; round < rounds; ++round) {
            const Sample s = Upload(delay);
            if (s.wall < 0) {
                std::printf("the window's upload did not complete\n");
                return 1;
            }
            wall.push_back(s.wall);
            cpu.push_back(s.cpu);
        }
        std::printf(
            "window upload, device replies after %lld us, %d runs: wall %.1f us per "
            "package (%.1f-%.1f), CPU %.1f us\n",
            static_cast<long long>(delay.count()), rounds, Median(wall),
            *std::min_element(wall.begin(), wall.end()),
            *std::max_element(wall.begin(), wall.end()), Median(cpu));
    }
    return 0;
}
