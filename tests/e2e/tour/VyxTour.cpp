// vyx-tour: opens the VyxTool window, connects it to a device the way a technician
// does (drop the port list down, pick the port, press the connect button), waits
// until the device's configuration has been read, prints the log and saves pictures
// of the narrow and the wide layout and of the whole screen.
//
//   vyx-tour --port PATH [--out DIR] [--timeout-s N]
//
// Exit status: 0 when the configuration was read, 1 when it was not in time,
// 2 on a bad command line or when the port is not in the window's list.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "DropDownList.h"
#include "HeaderPanel.h"
#include "LatchButton.h"
#include "RichLog.h"
#include "Unit1.h"
#include "VyxApplication.h"

namespace {

constexpr const char* ReadDone = "Leitura da configuração interna concluída!";

struct TourOptions {
    QString Port;
    QString Out = QStringLiteral("out");
    int TimeoutSeconds = 30;
};

bool ParseOptions(const QStringList& args, TourOptions& options) {
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--port") && hasValue) {
            options.Port = args[++i];
        } else if (arg == QLatin1String("--out") && hasValue) {
            options.Out = args[++i];
        } else if (arg == QLatin1String("--timeout-s") && hasValue) {
            bool ok = false;
            options.TimeoutSeconds = args[++i].toInt(&ok);
            if (!ok || options.TimeoutSeconds <= 0) {
                return false;
            }
        } else {
            return false;
        }
    }
    return !options.Port.isEmpty();
}

// Lets the window run until `done` holds or the time is up.
bool WaitFor(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) {
            return false;
        }
        QEventLoop loop;
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

void Save(const QPixmap& picture, const QString& path) {
    if (picture.save(path)) {
        std::printf("vyx-tour: saved %s\n", qPrintable(QDir(path).absolutePath()));
    } else {
        std::fprintf(stderr, "vyx-tour: could not save %s\n", qPrintable(path));
    }
}

}  // namespace

int main(int argc, char** argv) {
    vyx::app::VyxApplication app(argc, argv);
    TourOptions options;
    if (!ParseOptions(QApplication::arguments(), options)) {
        std::fprintf(stderr, "usage: vyx-tour --port PATH [--out DIR] [--timeout-s N]\n");
        return 2;
    }
    QDir().mkpath(options.Out);

    vyx::app::TForm1 form;
    form.show();
    WaitFor([] { return false; }, 200);  // let the window settle after its start-up

    auto& header = form.Header();
    form.ComboBox1DropDown();
    const int index = header.ComboBox1->findText(options.Port);
    if (index < 0) {
        std::fprintf(stderr, "vyx-tour: %s is not in the port list\n", qPrintable(options.Port));
        return 2;
    }
    header.ComboBox1->setCurrentIndex(index);
    std::printf("vyx-tour: connecting to %s\n", qPrintable(options.Port));
    header.ButtonVCP->click();

    const bool read =
        WaitFor([&] { return header.Log->Lines().contains(QString::fromUtf8(ReadDone)); },
                options.TimeoutSeconds * 1000);
    WaitFor([] { return false; }, 200);  // let the last repaint happen

    std::printf("---- Log ----\n");
    for (const QString& line : header.Log->Lines()) {
        std::printf("%s\n", qPrintable(line));
    }
    std::printf("-------------\n");

    Save(form.grab(), options.Out + QStringLiteral("/vyxtool-narrow.png"));
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        Save(screen->grabWindow(0), options.Out + QStringLiteral("/screen.png"));
    }
    form.FormKeyDown(Qt::Key_F11, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier);
    WaitFor([] { return false; }, 200);
    Save(form.grab(), options.Out + QStringLiteral("/vyxtool-wide.png"));

    if (!read) {
        std::fprintf(stderr, "vyx-tour: the configuration was not read within %d s\n",
                     options.TimeoutSeconds);
        return 1;
    }
    return 0;
}
