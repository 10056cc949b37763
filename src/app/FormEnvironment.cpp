#include "FormEnvironment.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <string>
#include <vector>

#include "Cport.h"
#include "QtWebClient.h"

namespace vyx::app {

FormEnvironment FormEnvironment::System() {
    FormEnvironment environment;
    environment.ListPorts = [] {
        std::vector<std::string> names;
        EnumComPorts(names);
        QStringList ports;
        for (const std::string& name : names) {
            ports.append(QString::fromStdString(name));
        }
        return ports;
    };
    environment.ProgramFolder = QCoreApplication::applicationDirPath();
    environment.MakeWebClient = [] { return std::make_unique<QtWebClient>(); };
    environment.OpenUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return environment;
}

}  // namespace vyx::app
