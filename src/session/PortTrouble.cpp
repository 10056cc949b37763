#include "PortTrouble.h"

#include "PortTroubleSystem.h"

namespace vyx {

namespace {

constexpr const char* RefusedText = "Sem permissão para abrir a porta %PATH%.";
constexpr const char* BusyText =
    "A porta %PATH% está em uso por outro programa.\n"
    "Feche o outro programa e tente de novo.";
constexpr const char* VanishedText =
    "A porta %PATH% não existe mais: o Vyx foi desconectado ou a porta mudou de nome.";
constexpr const char* OtherText = "Não foi possível abrir a porta %PATH%.";

std::string ExplainRefusal(const std::string& devicePath) {
    std::string text = RefusedText;
    const std::string detail = port_trouble::RefusalDetail(devicePath);
    if (!detail.empty()) {
        text += "\n" + detail;
    }
    return text;
}

}  // namespace

PortTrouble::Kind PortTrouble::Classify(const EComPort& error) {
    if (error.ErrorNumber != ComErrorOpen) {
        return Kind::Other;
    }
    return port_trouble::KindOfOpenFailure(error.SystemCode);
}

std::string PortTrouble::Explain(const EComPort& error, const std::string& devicePath) {
    std::string text;
    switch (Classify(error)) {
        case Kind::Permission:
            text = ExplainRefusal(devicePath);
            break;
        case Kind::Busy:
            text = BusyText;
            break;
        case Kind::Vanished:
            text = VanishedText;
            break;
        case Kind::Other:
            text = OtherText;
            break;
    }
    port_trouble::Fill(text, "%PATH%", devicePath);
    return text;
}

}  // namespace vyx
