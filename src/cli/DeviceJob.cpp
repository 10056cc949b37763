#include "DeviceJob.h"

#include <cstdio>

#include "CliHost.h"
#include "CliRecord.h"
#include "DeviceSession.h"
#include "EditorChecks.h"
#include "SessionEvents.h"

namespace vyx::cli {

namespace {

using std::chrono::milliseconds;

// The cable was pulled or the device went away mid-exchange.
constexpr const char* LostText = "a conexão caiu: o cabo foi puxado ou o Vyx foi desconectado";

// The device's own notice is in the log, which a listening run does not show.
constexpr const char* OperatingModeText =
    "o Vyx está em modo de operação: desconecte todos os chicotes, conecte apenas o cabo USB, "
    "aguarde a porta aparecer e execute o vyxctl de novo";

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

// One job's device: the window's session, except that identification starts
// nothing by itself: the job decides, from the outcomes, what is done next.
class Job : private SessionEvents {
public:
    Job(const JobRequest& request, const JobEvents& events)
        : request(request), session(host, host.Port(), host, [this] { host.CloseSoon(); }) {
        session.SetStartsOnIdentity(false);
        session.AddEvents(*this);
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
        host.OnLost = [this] { session.PortLost(); };
        host.OnClosed = [this](bool timed) { session.PortClosed(timed); };
    }

    // A job may end with bytes on their way (an interrupted upload): what the
    // port still hands over must not reach the session, which goes first. The
    // close itself is still told, so the session ends what was under way (its
    // progress reset is no news for the job's caller: the job has ended).
    ~Job() {
        host.OnProgress = nullptr;
        host.OnRxChar = nullptr;
        host.OnTimer1 = nullptr;
        host.OnTimer3 = nullptr;
        host.OnConnected = nullptr;
        host.OnLost = nullptr;
        host.Close();
        host.OnClosed = nullptr;
        session.RemoveEvents(*this);
        if (visit != nullptr) {
            session.RemoveEvents(visit->Recorder());
        }
    }
    Job(const Job&) = delete;
    Job& operator=(const Job&) = delete;

    JobResult Run() {
        if (const auto failure = host.Open(request.Port)) {
            return Fail(ExitNoPort, *failure);
        }
        if (request.Record) {
            const auto unit = request.Visits.find(request.Port);
            if (unit != request.Visits.end()) {
                visit = unit->second.get();
            } else {
                visit = &own.emplace(request.Fields);
            }
            visit->Recorder().PortOpened();
            session.AddEvents(visit->Recorder());
            host.OnLog = [this, log = host.OnLog](const std::string& text, bool red) {
                visit->Recorder().LogLine(text);
                if (log) {
                    log(text, red);
                }
            };
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
    // SessionEvents: what the session says happened.
    void Identified(const IdentifiedDevice& device) override {
        identified = identified || !device.OperatingMode();
    }
    void OperatingModeNotice() override { operatingMode = true; }
    void ExchangeFailed(const ExchangeFailure& failure) override {
        if (!this->failure) {
            this->failure = failure.Caption + ": " + failure.Text;
        }
    }
    // The device restarts with the new firmware: its next announcement is news.
    void UploadFinished(const ExchangeCounters&) override {
        uploaded = true;
        identified = false;
    }
    void ConfigurationRead(const ConfigReadResult& outcome) override { readResult = outcome; }
    void ConfigurationWritten(const ConfigBlock&, const ExchangeCounters&) override {
        written = true;
    }
    void ReadBack(const ReadBackResult& outcome) override { readBack = outcome; }
    void ConnectionLost() override { lost = true; }

    JobResult Fail(int exit, std::string message) {
        result.Exit = exit;
        result.Message = std::move(message);
        return result;
    }
    JobResult Done(std::string message) { return Fail(ExitDone, std::move(message)); }

    bool StopAsked() const { return request.StopAsked && request.StopAsked(); }

    bool Stopped() const { return failure || host.Error() || lost || operatingMode || StopAsked(); }

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

    // The exchange's own failure (lost device, its failure box, port error), if it ended so.
    bool ExchangeFailed() {
        if (lost) {
            Fail(ExitDeviceFailed, LostText);
        } else if (failure) {
            Fail(ExitDeviceFailed, *failure);
        } else if (host.Error()) {
            Fail(ExitDeviceFailed, "a porta falhou: " + *host.Error());
        } else {
            return false;
        }
        return true;
    }

    // Waits for an announcement and applies identification's rules.
    bool Announced() {
        host.RunUntil([this] { return identified || Stopped(); }, request.Listen);
        if (session.Identification().HasIdentity()) {
            result.Identity = session.Identification().Stored();
        }
        if (Interrupted(identified || operatingMode)) {
            return false;
        }
        if (!operatingMode && ExchangeFailed()) {
            return false;
        }
        if (operatingMode) {
            Fail(ExitDeviceFailed, OperatingModeText);
            return false;
        }
        if (!identified) {
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

    // Runs the loop until `finished` says the exchange ended.
    bool RunExchange(const std::function<bool()>& finished, milliseconds limit) {
        const bool ended = host.RunUntil([&] { return finished() || Stopped(); }, limit);
        if (Interrupted(finished()) || ExchangeFailed()) {
            return false;
        }
        if (!ended || operatingMode) {
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
        readResult.reset();
        written = false;
        session.B_GetConfigClick();
        // A rejected block is repaired at once: the read ends with that write.
        if (!RunExchange([this] { return readResult && (!readResult->Repaired || written); },
                         ConfigExchangeLimit)) {
            return result;
        }
        result.Editor = host.Editor;
        result.Repaired = readResult->Repaired;
        return Done(result.Repaired ? "o bloco foi rejeitado; a configuração padrão foi gravada"
                                    : "lido");
    }

    JobResult Write() {
        if (!MayConfigure()) {
            return result;
        }
        if (!ValuesFromSnapshot(request.Profile)) {
            return Fail(ExitBadUsage, "o perfil não passa nas conferências de gravação");
        }
        host.Editor = request.Profile;
        Enter(Phase::Write);
        written = false;
        if (!session.B_SetConfigClick() ||
            !RunExchange([this] { return written; }, ConfigExchangeLimit)) {
            return result;
        }
        Enter(Phase::Verify);
        readBack.reset();
        session.ReadBackWrite();
        if (!RunExchange([this] { return readBack.has_value(); }, ConfigExchangeLimit)) {
            return result;
        }
        if (!readBack->Equal) {
            return Fail(ExitDeviceFailed,
                        "a leitura de volta difere: " + readBack->FirstDifference);
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
        Enter(Phase::Upload);
        uploaded = false;
        const bool started = request.Image.empty()
                                 ? session.B_FwTxClick()
                                 : session.UploadFirmware(request.Image, request.Trailer);
        if (!started) {
            return Fail(ExitDeviceFailed, "o envio não pôde começar");
        }
        const bool ended =
            host.RunUntil([this] { return uploaded || Stopped(); }, UploadExchangeLimit);
        if (Interrupted(uploaded) || ExchangeFailed()) {
            return result;
        }
        if (!ended || operatingMode) {
            return Fail(ExitDeviceFailed, "o envio não terminou");
        }
        if (request.Jump) {
            session.B_FwJumpClick();
        }
        Enter(Phase::Restart);
        host.RunUntil([this] { return identified || Stopped(); }, request.Listen);
        if (Interrupted(identified || operatingMode) || (!operatingMode && ExchangeFailed())) {
            return result;
        }
        if (operatingMode) {
            return Fail(ExitDeviceFailed, "o Vyx reiniciou em modo de operação");
        }
        if (!identified) {
            return Fail(ExitNoAnnouncement, "enviado, mas o Vyx não anunciou a nova versão em " +
                                                std::to_string(request.Listen.count()) + " ms");
        }
        result.Restarted = session.Identification().Stored();
        return Done("enviado; o Vyx reiniciou em " + VersionText(result.Restarted->Version));
    }

    const JobRequest& request;
    CliHost host;
    DeviceSession session;
    // The connection's visit, from the port's opening: the unit's, or its own.
    std::optional<CliRecord> own;
    CliRecord* visit = nullptr;
    JobResult result;
    // What the session said so far.
    bool identified = false;
    bool operatingMode = false;
    bool lost = false;
    bool uploaded = false;
    bool written = false;
    std::optional<std::string> failure;
    std::optional<ConfigReadResult> readResult;
    std::optional<ReadBackResult> readBack;
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

std::string DecisionText(const DeviceVersion& version) {
    return WordsOf(version).Text;
}

std::string DecisionCode(const DeviceVersion& version) {
    return WordsOf(version).Code;
}

}  // namespace vyx::cli
