// vyxctl: the device work of the window from the command line, for preparing
// many vehicles with one configuration profile.

#include <CLI/CLI.hpp>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "BuildVersion.h"
#include "CliCommands.h"
#include "ExitCode.h"
#include "HistoryCommand.h"
#include "Interruption.h"
#include "TimeLimits.h"

namespace {

using namespace vyx::cli;

constexpr int MaxListenMs = static_cast<int>(vyx::ListenMaximum.count());

// A whole number of milliseconds in range, or why not, in the run's language.
std::string ListenProblem(const std::string& text) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return "'" + text + "' não é um número inteiro de milissegundos";
    }
    if (text.size() > 6 || std::stoi(text) < 1 || std::stoi(text) > MaxListenMs) {
        return text + " está fora do intervalo de 1 a " + std::to_string(MaxListenMs) + " ms";
    }
    return {};
}

void AddListen(CLI::App& command, int& listenMs, int defaultMs) {
    listenMs = defaultMs;
    command
        .add_option("--listen", listenMs,
                    "Quanto tempo esperar o Vyx se anunciar, em milissegundos")
        ->check(CLI::Validator(ListenProblem, "", "listen"))
        ->capture_default_str();
}

void AddPorts(CLI::App& command, CliOptions& options, bool several) {
    auto* port = command.add_option(
        "-p,--port", options.Ports,
        several ? "Porta serial, p. ex. /dev/ttyACM0; repita a opção, ou 'all-vyx' para toda "
                  "porta em que um Vyx se anuncia"
                : "Porta serial, p. ex. /dev/ttyACM0");
    port->required();
    if (!several) {
        port->expected(1);
    }
}

// A command that works on devices: the ports it serves and how long it waits for
// each device's announcement.
CLI::App* AddDeviceCommand(CLI::App& app, const std::string& name, const std::string& help,
                           CliOptions& options, int& listenMs, bool several) {
    auto* command = app.add_subcommand(name, help)->group("Comandos");
    AddPorts(*command, options, several);
    AddListen(*command, listenMs, static_cast<int>(vyx::DeviceListenDefault.count()));
    return command;
}

// What the technician types about the job, kept in the visit's record.
void AddServiceFields(CLI::App& command, CliOptions& options) {
    command.add_option("--technician", options.Fields.Technician,
                       "Técnico que atende, guardado no histórico");
    command.add_option("--vehicle", options.Fields.Plate,
                       "Placa do veículo, guardada no histórico");
    command.add_option("--work-order", options.Fields.WorkOrder,
                       "Ordem de serviço, guardada no histórico");
    command.add_option("--note", options.Fields.Note, "Nota livre, guardada no histórico");
}

std::string CommandNames(const CLI::App& app) {
    std::string names;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        names += (names.empty() ? "" : ", ") + command->get_name();
    }
    return names;
}

// The required option the command line left out, in the parsed command or the
// program; empty when none is (the parser's complaint was of another form).
std::string MissingOption(const CLI::App& app) {
    std::vector<const CLI::App*> commands = {&app};
    for (const CLI::App* command : app.get_subcommands()) {
        commands.push_back(command);
    }
    for (const CLI::App* command : commands) {
        for (const CLI::Option* option :
             command->get_options([](const CLI::Option* o) { return o->get_required(); })) {
            if (option->count() == 0) {
                return option->get_name();
            }
        }
    }
    return {};
}

// The parser's complaint in the run's language, from the kind of error and the
// options and words the command line held.
std::string UsageProblem(const CLI::App& app, const CLI::ParseError& e) {
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr) {
        if (const std::string missing = MissingOption(app); !missing.empty()) {
            return "falta " + missing;
        }
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
        std::string words;
        for (const std::string& word : app.remaining(true)) {
            words += (words.empty() ? "" : " ") + word;
        }
        return "argumento inesperado: " + words;
    }
    const std::string what = e.what();
    if (dynamic_cast<const CLI::ValidationError*>(&e) != nullptr) {
        return what;  // our own words
    }
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) != nullptr) {
        // The parser names the option before its first colon.
        return what.substr(0, what.find(':')) + ": número errado de valores";
    }
    return "argumentos que não servem (" + what + ")";
}

void UsePortuguese(CLI::App& app) {
    auto formatter = app.get_formatter();
    for (const auto& [key, label] : std::initializer_list<std::pair<const char*, const char*>>{
             {"Usage", "Uso"},
             {"OPTIONS", "OPÇÕES"},
             {"SUBCOMMAND", "COMANDO"},
             {"SUBCOMMANDS", "COMANDOS"},
             {"REQUIRED", "OBRIGATÓRIO"},
             {"Positionals", "Argumentos"},
             {"TEXT", "TEXTO"},
             {"INT", "INTEIRO"},
             {"Excludes", "Exclui"},
         }) {
        formatter->label(key, label);
    }
    app.option_defaults()->group("Opções");
    app.set_help_flag("-h,--help", "Mostra esta ajuda e sai");
}

}  // namespace

int main(int argc, char** argv) {
    Interruption::Install();
    CLI::App app{"vyxctl: configura e atualiza Vyx pela linha de comando", "vyxctl"};
    UsePortuguese(app);
    app.footer(ExitCodeHelp);
    app.require_subcommand(1);
    app.set_help_all_flag("--help-all", "A ajuda de todos os comandos");
    app.set_version_flag("--version", std::string("vyxctl ") + vyx::BuildVersionText,
                         "Mostra a versão e sai");

    CliOptions options;
    // One per command: each has its own default.
    int portsListen = 0;
    int deviceListen = 0;

    auto* ports =
        app.add_subcommand("ports",
                           "Lista as portas seriais, marcando aquelas em que um Vyx se anuncia")
            ->group("Comandos");
    AddListen(*ports, portsListen, static_cast<int>(vyx::PortsListenDefault.count()));

    auto* info = AddDeviceCommand(
        app, "info",
        "Espera o Vyx se anunciar e mostra versão, ID, linha de produto, modo e do que o "
        "firmware precisa",
        options, deviceListen, false);
    info->add_flag("--json", options.Json, "Saída para programas (JSON)");

    auto* read = AddDeviceCommand(
        app, "read",
        "Lê a configuração (uma rejeitada é trocada pela padrão, como na janela) e a grava "
        "como perfil",
        options, deviceListen, true);
    read->add_option("-o,--output", options.Output,
                     "Arquivo do perfil ('-' ou nenhum: a saída padrão); com várias portas, "
                     "uma pasta");
    read->add_flag("--unchecked", options.Unchecked,
                   "Guarda valores que não passam nas conferências, num perfil que write recusa "
                   "até serem corrigidos");

    auto* write =
        AddDeviceCommand(app, "write", "Confere um perfil, grava no Vyx, lê de volta e compara",
                         options, deviceListen, true);
    write->add_option("FILE", options.File, "Arquivo do perfil")->required();
    write->add_flag("--dry-run", options.DryRun,
                    "Só mostra o que a gravação mudaria, chave por chave; não grava nada");

    auto* diff = AddDeviceCommand(
        app, "diff",
        "Lê o Vyx e mostra cada chave do perfil cujo valor difere, com o valor do Vyx e o do "
        "perfil",
        options, deviceListen, true);
    diff->add_option("FILE", options.File, "Arquivo do perfil")->required();

    auto* service = AddDeviceCommand(
        app, "service",
        "Atende cada Vyx por inteiro: identifica, envia o firmware quando é mais antigo, grava o "
        "perfil quando difere e confere",
        options, deviceListen, true);
    // The profile is optional here: each --port takes one name, so it is not taken for a port.
    service->get_option("--port")->allow_extra_args(false);
    // --watch takes every port that appears instead.
    service->get_option("--port")->required(false);
    service->add_flag(
        "--watch", options.Watch,
        "Atende até Ctrl+C cada Vyx que aparecer (conectado, ou na pasta de portas virtuais), "
        "uma vez, assim que aparece; as portas presentes ao começar também. Sem --port");
    service->add_flag("--quiet", options.Quiet,
                      "Em --watch: sem a campainha do terminal quando um Vyx pode ser "
                      "desconectado");
    service->add_option("FILE", options.File, "Arquivo do perfil para todo Vyx (ou --plan)");
    service->add_option("--plan", options.Plan,
                        "Plano CSV com o perfil de cada Vyx pelo ID "
                        "(id,profile,plate,vin,work_order,note)");

    auto* flash = AddDeviceCommand(
        app, "flash",
        "Envia o firmware a um Vyx de versão mais antiga e espera que ele anuncie a nova", options,
        deviceListen, true);
    flash->add_option(
        "--image", options.Image,
        "Arquivo da imagem do firmware (padrão: o firmware que esta ferramenta leva)");
    flash->add_option("--trailer", options.Trailer, "O arquivo de 5 bytes que fecha a imagem");
    flash->add_flag("--jump", options.Jump, "Envia o comando de salto ao fim do envio");

    for (CLI::App* served : {read, write, flash, service}) {
        AddServiceFields(*served, options);
    }

    HistoryOptions history;
    auto* historyCommand =
        app.add_subcommand("history", "Lista as visitas do histórico, a mais recente primeiro")
            ->group("Comandos");
    historyCommand->require_subcommand(0, 1);
    historyCommand->add_option("--device", history.Filter.DeviceId, "Só as visitas deste ID");
    historyCommand->add_option("--vehicle", history.Filter.Plate, "Só as visitas desta placa");
    historyCommand->add_option("--since", history.Filter.Since,
                               "Só as visitas desde esta data (2026-12-09)");
    historyCommand->add_option("--until", history.Filter.Until, "Só as visitas antes desta data");
    historyCommand->add_option("--result", history.Filter.Result,
                               "Só as visitas com este resultado (concluída, falhou, "
                               "interrompida, em curso)");
    historyCommand->add_option("--search", history.Filter.Text,
                               "Texto nos campos do serviço, no ID ou no UUID");
    auto* historyJson = historyCommand->add_flag(
        "--json", history.Json, "JSON Lines, uma visita inteira por linha (o que import lê)");
    historyCommand->add_flag("--csv", history.Csv, "CSV, uma visita por linha")
        ->excludes(historyJson);
    auto* import = historyCommand->add_subcommand("import",
                                                  "Junta ao histórico as visitas de uma "
                                                  "exportação JSON Lines; as já presentes "
                                                  "(mesmo UUID) são puladas");
    import->add_option("FILE", history.File, "Arquivo JSON Lines")->required();
    auto* purge = historyCommand->add_subcommand(
        "purge", "Apaga as visitas iniciadas antes de uma data, depois de confirmar");
    purge->add_option("--before", history.Before, "Data (2026-12-09)")->required();
    purge->add_flag("--yes", history.Yes, "Não pergunta (para scripts)");

    auto* report = app.add_subcommand("report", "Gera o relatório de serviço (HTML) de uma visita")
                       ->group("Comandos");
    auto* reportVisit = report->add_option("VISIT", history.Visit, "UUID da visita");
    report->add_flag("--last", history.Last, "A visita mais recente")->excludes(reportVisit);
    report->add_option("-o,--output", history.Output,
                       "Arquivo .html ('-' ou nenhum: a saída padrão); PDF o vyxctl não gera");

    auto* commands =
        app.add_subcommand(
               "commands",
               "Mostra os comandos de configuração remota de um perfil, como a janela os lista")
            ->group("Comandos");
    commands->add_option("FILE", options.File, "Arquivo do perfil")->required();

    // Each command made its help flags before its options took the group's name.
    std::vector<CLI::App*> all = app.get_subcommands([](CLI::App*) { return true; });
    all.insert(all.end(), {import, purge});
    for (CLI::App* command : all) {
        for (CLI::Option* flag :
             {command->get_help_ptr(), command->get_option_no_throw("--help-all")}) {
            if (flag != nullptr) {
                flag->group("Opções");
            }
        }
    }

    // An unknown word where the command goes is named with the commands there are.
    if (argc > 1 && argv[1][0] != '-' &&
        (", " + CommandNames(app) + ",").find(", " + std::string(argv[1]) + ",") ==
            std::string::npos) {
        std::fprintf(stderr, "vyxctl: comando desconhecido '%s'; os comandos são: %s\n", argv[1],
                     CommandNames(app).c_str());
        return ExitBadUsage;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);  // --help, --help-all, --version
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty()) {
            std::fprintf(stderr, "vyxctl: falta o comando; os comandos são: %s\n",
                         CommandNames(app).c_str());
        } else {
            std::fprintf(stderr, "vyxctl: %s\nExecute com --help para ver as opções.\n",
                         UsageProblem(app, e).c_str());
        }
        return ExitBadUsage;
    }
    options.Listen = std::chrono::milliseconds(ports->parsed() ? portsListen : deviceListen);

    const std::pair<const CLI::App*, int (*)(const CliOptions&)> runs[] = {
        {ports, PortsCommand}, {info, InfoCommand},       {read, ReadCommand},
        {write, WriteCommand}, {flash, FlashCommand},     {commands, CommandsCommand},
        {diff, DiffCommand},   {service, ServiceCommand},
    };
    if (import->parsed()) {
        return ImportCommand(history);
    }
    if (purge->parsed()) {
        return PurgeCommand(history);
    }
    if (historyCommand->parsed()) {
        return HistoryCommand(history);
    }
    if (report->parsed()) {
        return ReportCommand(history);
    }
    for (const auto& [command, run] : runs) {
        if (command->parsed()) {
            return run(options);
        }
    }
    return ExitBadUsage;
}
