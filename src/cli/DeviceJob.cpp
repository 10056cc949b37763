#include "DeviceJob.h"

#include <cstdio>

#include "CliHost.h"
#include "ConfigDecoder.h"
#include "DeviceSession.h"
#include "EditorChecks.h"
#include "ProfileKeys.h"

namespace vyx::cli {

namespace {

using std::chrono::milliseconds;

// Safety nets only: every exchange ends on its own resend schedule well before.
constexpr milliseconds ConfigLimit(60'000);
constexpr milliseconds FlashLimit(30 * 60'000);

// The cable was pulled or the device went away mid-exchange.
constexpr const char* LostText = "a conexão caiu: o cabo foi puxado ou o Vyx foi desconectado";

// The device's own notice is in the log, which a listening run does not show.
constexpr const char* OperatingModeText =
    "o Vyx está em modo de operação: desconecte todos os chicotes, conecte apenas o cabo USB, "
    "aguarde a porta aparecer e execute o vyxctl de novo";

enum class FollowUp { None, Upload, Read };

// What a job is doing, for the line that says where an interruption cut it off.
enum class Phase { Announce, Read, Write, Verify, Upload, Restart };

// " no pacote 501 de 1.861", or nothing before the first package.
std::string AtPackage(const char* unit, int position, int maximum) {
    if (position <= 0 || maximum <= 0) {
        return {};
    }
    return std::string(" ") + unit + " " + CountText(position) + " de " + CountText(maximum);
}

std::string InterruptedText(Phase phase, int position, int maximum) {
    // The device takes a transfer only whole: before the last package was sent it
    // keeps what it had; after, it may have taken the new one.
    const bool last = maximum > 0 && position >= maximum;
    switch (phase) {
        case Phase::Announce:
            return "interrompido antes de o Vyx se anunciar; nada foi feito";
        case Phase::Read:
            return "leitura interrompida" + AtPackage("na leitura", position, maximum) +
                   "; nenhum perfil foi salvo; execute read de novo";
        case Phase::Write:
            return "gravação interrompida" + AtPackage("no pacote", position, maximum) +
                   (last ? "; o Vyx pode ter ficado com a configuração nova"
                         : "; o Vyx mantém a configuração anterior") +
                   "; execute write de novo";
        case Phase::Verify:
            return "configuração gravada, mas a conferência foi interrompida; execute write de "
                   "novo para conferir";
        case Phase::Upload:
            return "envio do firmware interrompido" + AtPackage("no pacote", position, maximum) +
                   (last ? "; o Vyx pode ter recebido o firmware novo"
                         : "; o Vyx mantém o firmware antigo") +
                   "; execute flash de novo";
        case Phase::Restart:
            break;
    }
    return "firmware enviado, mas interrompido antes de o Vyx anunciar a nova versão; execute "
           "info para conferir";
}

// The window's session, except that identification only notes what it would
// start: the job decides, from the loop, what is actually done.
class JobSession : public DeviceSession {
public:
    using DeviceSession::DeviceSession;
    FollowUp followUp = FollowUp::None;

private:
    void StartFirmwareUpload() override { followUp = FollowUp::Upload; }
    void StartConfigRead() override { followUp = FollowUp::Read; }
};

// The first profile key whose value differs between what was written and what
// was read back; a difference outside the values is named by its offset.
std::string FirstDifference(const EditorSnapshot& written, const ConfigImage& expected,
                            const ConfigImage& received) {
    EditorSnapshot wrote = written;
    EditorSnapshot read;
    MergeDecoded(read, DecodeConfigImage(received, false));
    for (const ProfileKey& key : ProfileKeys()) {
        const std::string a = ProfileValueText(key, wrote);
        const std::string b = ProfileValueText(key, read);
        if (a != b) {
            return std::string(key.Key) + ": gravado " + a + ", lido de volta " + b;
        }
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] != received[i]) {
            char text[80];
            std::snprintf(text, sizeof text, "byte %zu do bloco: gravado %02X, lido de volta %02X",
                          i, expected[i], received[i]);
            return text;
        }
    }
    return {};
}

class Job {
public:
    Job(const JobRequest& request, const JobEvents& events)
        : request(request), session(host, host.Port(), host, [this] { host.CloseSoon(); }) {
        host.OnRxChar = [this](int count) { session.VCPRxChar(count); };
        host.OnTimer1 = [this] { session.Timer1Timer(); };
        host.OnTimer3 = [this] { session.Timer3Timer(); };
        host.OnLog = events.Log;
        host.OnProgress = [this, progress = events.Progress](int position, int maximum) {
            lastPosition = position;
            lastMaximum = maximum;
            if (progress) {
                progress(position, maximum);
            }
        };
        host.OnConnected = [this] { session.PortOpened(); };
        host.OnTimedClose = [this] { closeAsked = true; };
        host.OnConfigDone = [this] { configDone = true; };
        host.OnLost = [this] { session.PortLost(); };
    }

    // A job may end with bytes on their way (an interrupted upload): what the
    // port still hands over must not reach the session, which goes first.
    ~Job() {
        host.OnRxChar = nullptr;
        host.OnTimer1 = nullptr;
        host.OnTimer3 = nullptr;
        host.OnConnected = nullptr;
        host.OnLost = nullptr;
        host.OnTimedClose = nullptr;
        host.OnConfigDone = nullptr;
        host.Close();
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    JobResult Run() {
        if (const auto failure = host.Open(request.Port)) {
            return Fail(ExitNoPort, *failure);
        }
        if (!Announced()) {
            return result;
        }
        switch (request.Kind) {
            case JobKind::Info:
                return Done("identificado");
            case JobKind::Read:
                return Read();
            case JobKind::Write:
                return Write();
            case JobKind::Flash:
                return Flash();
        }
        return result;
    }

private:
    JobResult Fail(int exit, std::string message) {
        result.Exit = exit;
        result.Message = std::move(message);
        return result;
    }
    JobResult Done(std::string message) { return Fail(ExitDone, std::move(message)); }

    bool StopAsked() const { return request.StopAsked && request.StopAsked(); }

    bool Stopped() const {
        return host.Failure() || host.Error() || host.Lost() || closeAsked || StopAsked();
    }

    // Starts a phase; its progress starts afresh.
    void Enter(Phase next) {
        phase = next;
        lastPosition = 0;
        lastMaximum = 0;
    }

    // Whether an interruption cut the phase off before `finished` (a step that
    // finished as the request came counts as done: the next one is cut off).
    bool Interrupted(bool finished) {
        if (finished || !StopAsked()) {
            return false;
        }
        Fail(ExitInterrupted, InterruptedText(phase, lastPosition, lastMaximum));
        return true;
    }

    // The exchange's own failure (lost device, message box, port error), if it ended so.
    bool ExchangeFailed() {
        if (host.Lost()) {
            Fail(ExitDeviceFailed, LostText);
        } else if (host.Failure()) {
            Fail(ExitDeviceFailed, *host.Failure());
        } else if (host.Error()) {
            Fail(ExitDeviceFailed, "a porta falhou: " + *host.Error());
        } else {
            return false;
        }
        return true;
    }

    bool Identified() const {
        return session.followUp != FollowUp::None || session.Identification().IsIdentityHandled();
    }

    // Waits for the announcement and applies identification's rules.
    bool Announced() {
        host.RunUntil([this] { return Identified() || Stopped(); }, request.Listen);
        if (session.Identification().HasIdentity()) {
            result.Identity = session.Identification().Stored();
        }
        if (Interrupted(Identified() || closeAsked)) {
            return false;
        }
        if (!closeAsked && ExchangeFailed()) {
            return false;
        }
        if (closeAsked) {
            Fail(ExitDeviceFailed, OperatingModeText);
            return false;
        }
        if (!Identified()) {
            Fail(ExitNoAnnouncement,
                 "nenhum anúncio em " + std::to_string(request.Listen.count()) + " ms");
            return false;
        }
        return true;
    }

    // Configuring needs a served line at our release or later.
    bool MayConfigure() {
        const DeviceVersion& version = result.Identity->Version;
        switch (DecideIdentityAction(version)) {
            case IdentityAction::UploadFirmware:
                Fail(ExitDeviceFailed,
                     UploadNeededText(version) + ": execute vyxctl flash primeiro");
                return false;
            case IdentityAction::Nothing:
                Fail(ExitDeviceFailed, "a linha de produto " + std::to_string(version[0]) +
                                           " não é atendida por esta ferramenta");
                return false;
            default:
                return true;
        }
    }

    bool RunExchange(milliseconds limit) {
        configDone = false;
        const bool ended = host.RunUntil([this] { return configDone || Stopped(); }, limit);
        if (Interrupted(configDone) || ExchangeFailed()) {
            return false;
        }
        if (!ended || closeAsked) {
            Fail(ExitDeviceFailed, "a troca não terminou");
            return false;
        }
        return true;
    }

    JobResult Read() {
        if (!MayConfigure()) {
            return result;
        }
        Enter(Phase::Read);
        session.B_GetConfigClick();
        if (!RunExchange(ConfigLimit)) {
            return result;
        }
        result.Editor = host.Editor;
        result.Repaired = !DecodeConfigImage(session.Read().Received(), false).Accepted();
        return Done(result.Repaired ? "o bloco foi rejeitado; a configuração padrão foi gravada"
                                    : "lido");
    }

    JobResult Write() {
        if (!MayConfigure()) {
            return result;
        }
        const auto values = ValuesFromSnapshot(request.Profile);
        if (!values) {
            return Fail(ExitBadUsage, "o perfil não passa nas conferências de gravação");
        }
        const ConfigImage expected = EncodeConfigImage(*values).Image;
        host.Editor = request.Profile;
        session.SetRepairOnRead(false);
        Enter(Phase::Write);
        if (!session.B_SetConfigClick() || !RunExchange(ConfigLimit)) {
            return result;
        }
        Enter(Phase::Verify);
        session.B_GetConfigClick();
        if (!RunExchange(ConfigLimit)) {
            return result;
        }
        const ConfigImage& received = session.Read().Received();
        if (received != expected) {
            return Fail(ExitDeviceFailed, "a leitura de volta difere: " +
                                              FirstDifference(request.Profile, expected, received));
        }
        return Done("gravado e conferido");
    }

    JobResult Flash() {
        const DeviceVersion& version = result.Identity->Version;
        const IdentityAction action = DecideIdentityAction(version);
        if (action == IdentityAction::UpToDate) {
            return Done("já está em " + VersionText(version) + ": nada a enviar");
        }
        if (action != IdentityAction::UploadFirmware) {
            return Fail(ExitDeviceFailed, "o firmware " + VersionText(version) +
                                              " da linha de produto " + std::to_string(version[0]) +
                                              " não é atualizado");
        }
        session.followUp = FollowUp::None;
        Enter(Phase::Upload);
        const bool started = request.Image.empty()
                                 ? session.B_FwTxClick()
                                 : session.UploadFirmware(request.Image, request.Trailer);
        if (!started) {
            return Fail(ExitDeviceFailed, "o envio não pôde começar");
        }
        // The engine forgets the identity once the last package is acknowledged,
        // so that the device's next announcement is acted on.
        const bool ended = host.RunUntil(
            [this] { return !session.Identification().IsIdentityHandled() || Stopped(); },
            FlashLimit);
        if (Interrupted(!session.Identification().IsIdentityHandled()) || ExchangeFailed()) {
            return result;
        }
        if (!ended || closeAsked) {
            return Fail(ExitDeviceFailed, "o envio não terminou");
        }
        if (request.Jump) {
            session.B_FwJumpClick();
        }
        Enter(Phase::Restart);
        host.RunUntil([this] { return Identified() || Stopped(); }, request.Listen);
        if (Interrupted(Identified() || closeAsked) || (!closeAsked && ExchangeFailed())) {
            return result;
        }
        if (closeAsked) {
            return Fail(ExitDeviceFailed, "o Vyx reiniciou em modo de operação");
        }
        if (!Identified()) {
            return Fail(ExitNoAnnouncement, "enviado, mas o Vyx não anunciou a nova versão em " +
                                                std::to_string(request.Listen.count()) + " ms");
        }
        result.Restarted = session.Identification().Stored();
        return Done("enviado; o Vyx reiniciou em " + VersionText(result.Restarted->Version));
    }

    const JobRequest& request;
    CliHost host;
    JobSession session;
    JobResult result;
    bool closeAsked = false;
    bool configDone = false;
    Phase phase = Phase::Announce;
    int lastPosition = 0;
    int lastMaximum = 0;
};

}  // namespace

JobResult DeviceJob::Run(const JobRequest& request, const JobEvents& events) {
    Job job(request, events);
    return job.Run();
}

std::string CountText(int count) {
    // Built front to back: inserting into the string trips a false overlap warning
    // in the Windows cross-compiler's optimiser.
    const std::string digits = std::to_string(count);
    const std::size_t first = digits.front() == '-' ? 1 : 0;
    std::string text = digits.substr(0, first);
    for (std::size_t at = first; at < digits.size(); ++at) {
        if (at > first && (digits.size() - at) % 3 == 0) {
            text += '.';
        }
        text += digits[at];
    }
    return text;
}

namespace {

// What the firmware needs: for programs, then for people.
std::pair<const char*, const char*> Decision(const DeviceVersion& version) {
    switch (DecideIdentityAction(version)) {
        case IdentityAction::Discontinued:
            return {"discontinued", "descontinuado"};
        case IdentityAction::UploadFirmware:
            return {"needs upload", "precisa de atualização"};
        case IdentityAction::UpToDate:
            return {"up to date", "atualizado"};
        case IdentityAction::Nothing:
            break;
    }
    return {"not served", "não atendido"};
}

}  // namespace

std::string DecisionText(const DeviceVersion& version) {
    return Decision(version).second;
}

std::string DecisionCode(const DeviceVersion& version) {
    return Decision(version).first;
}

std::string UploadNeededText(const DeviceVersion& version) {
    const std::string text = VersionText(version);
    if (HasNoFirmware(version)) {
        return "o Vyx está sem firmware (" + text + ")";
    }
    if (RunsOnlyLoader(version)) {
        return "o Vyx está só com o carregador de firmware (" + text + ")";
    }
    return "o firmware " + text + " é mais antigo que a versão que esta ferramenta leva";
}

}  // namespace vyx::cli
