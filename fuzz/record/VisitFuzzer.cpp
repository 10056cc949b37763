// Feeds arbitrary bytes to the import of a visits export, cut where the first
// byte says (as a file stream hands them over): every visit taken writes its line
// again and that line reads back as the same bytes, and its CSV row and its
// report are made without fault. A refused file takes nothing after its refusal.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "VisitCsv.h"
#include "VisitImport.h"
#include "VisitJson.h"
#include "VisitReport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t cut = data[0] % size;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    std::size_t taken = 0;
    vyx::VisitImport import([&](vyx::Visit visit) {
        ++taken;
        const std::string line = vyx::VisitLine(visit);
        const vyx::VisitParse again = vyx::ParseVisitLine(line);
        if (!again.Found || vyx::VisitLine(*again.Found) != line) {
            std::abort();  // an imported visit would not survive its own export
        }
        if (vyx::CsvRow(visit).empty() || vyx::VisitReportHtml(visit).empty()) {
            std::abort();
        }
    });
    import.Feed(bytes.substr(0, cut));
    import.Feed(bytes.substr(std::min(cut, bytes.size())));
    import.Finish();
    if (taken != import.Taken() || (import.Refusal() && taken != 0)) {
        std::abort();
    }
    return 0;
}
