#pragma once
// What vyxctl's exit status means. Scripts that prepare many vehicles branch on it.

namespace vyx::cli {

enum ExitCode : int {
    ExitDone = 0,            ///< done
    ExitDeviceFailed = 1,    ///< the device refused, or the exchange failed after its resends
    ExitDiffers = 1,         ///< diff, write --dry-run: the device does not hold the profile
    ExitBadUsage = 2,        ///< bad usage, or a refused profile or image
    ExitNoPort = 3,          ///< no such port, or it cannot be opened
    ExitNoAnnouncement = 4,  ///< the device did not announce itself within the listen time
    ExitInterrupted = 5,     ///< interrupted (Ctrl+C, SIGTERM, SIGHUP): the work stopped early
    ExitNoRecord = 6,  ///< history, report, import, purge: the record cannot be opened or read, or
                       ///< has no such visit
};

/// The lines of `--help` that explain the exit status.
inline constexpr const char* ExitCodeHelp =
    "Código de saída:\n"
    "  0  concluído; em service --watch, que só termina com Ctrl+C: todo Vyx visto foi atendido\n"
    "  1  o Vyx recusou (modo de operação, versão antiga, conferência diferente), ou a troca\n"
    "     falhou depois das repetições; em diff e write --dry-run: o Vyx difere do perfil;\n"
    "     em service: também um Vyx fora do plano; em service --watch: o último atendimento\n"
    "     de um Vyx não terminou bem\n"
    "  2  uso errado, ou perfil ou arquivo de firmware recusado\n"
    "  3  a porta não existe ou não pode ser aberta (permissão, em uso)\n"
    "  4  o Vyx não se anunciou dentro do tempo de espera\n"
    "  5  interrompido (Ctrl+C, SIGTERM, SIGHUP): o trabalho parou antes do fim; em service\n"
    "     --watch: um atendimento estava em andamento e parou no próximo ponto seguro\n"
    "  6  history, report, history import, history purge: o histórico não pode ser aberto\n"
    "     ou lido, ou não tem a visita pedida\n";

}  // namespace vyx::cli
