#pragma once
// What the window takes from the machine it runs on; tests hand it their own.

#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

#include "WebClient.h"

namespace vyx::app {

/// What the window takes from its surroundings; tests replace it.
struct FormEnvironment {
    /// Lists the serial port names, sorted; throws EComPort when the ports cannot
    /// be enumerated.
    std::function<QStringList()> ListPorts;
    /// The folder the older copies of the tool are removed from.
    QString ProgramFolder;
    /// The update check's web client.
    std::function<std::unique_ptr<WebClient>()> MakeWebClient;
    /// Hands an address to the user's web browser.
    std::function<void(const QUrl&)> OpenUrl;

    /// The real machine: its serial ports and the running executable's folder.
    static FormEnvironment System();
};

}  // namespace vyx::app
