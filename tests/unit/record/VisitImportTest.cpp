#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FixedVisit.h"
#include "RecordText.h"
#include "VisitImport.h"
#include "VisitJson.h"

namespace vyx {
namespace {

std::string LineOf(const char* uuid) {
    VisitHead head = test::FixedVisit().Head();
    head.Uuid = uuid;
    const Visit visit = test::FixedVisit();
    return VisitLine(Visit(head, visit.Steps(), visit.LogLines()));
}

const std::string First = LineOf("00000000-0000-4000-8000-000000000001");
const std::string Second = LineOf("00000000-0000-4000-8000-000000000002");

struct Imported {
    std::vector<std::string> uuids;
    std::vector<std::string> skipped;
    std::optional<std::string> refusal;
};

Imported Import(const std::string& file, std::size_t chunk) {
    Imported imported;
    VisitImport import([&](Visit visit) { imported.uuids.push_back(visit.Head().Uuid); });
    for (std::size_t at = 0; at < file.size(); at += chunk) {
        import.Feed(std::string_view(file).substr(at, chunk));
    }
    import.Finish();
    for (const SkippedLine& line : import.Skipped()) {
        imported.skipped.push_back(line.Text());
    }
    imported.refusal = import.Refusal();
    return imported;
}

// Bad rows are skipped with their line numbers however the bytes arrive; a
// last line cut short is a bad row too.
TEST(VisitImport, SkipsBadRowsWithTheirLineNumbers) {
    const std::string file = "\xEF\xBB\xBF" + First + "\r\n\n" + "{\"record\":\"vyx-visit\"}\n" +
                             "isto não\n" + Second + "\n" + First.substr(0, 200);
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, file.size()}) {
        const Imported imported = Import(file, chunk);
        EXPECT_FALSE(imported.refusal) << chunk;
        EXPECT_EQ(imported.uuids,
                  (std::vector<std::string>{"00000000-0000-4000-8000-000000000001",
                                            "00000000-0000-4000-8000-000000000002"}))
            << chunk;
        EXPECT_EQ(imported.skipped,
                  (std::vector<std::string>{"linha 3: formato desconhecido", "linha 4: não é JSON",
                                            "linha 6: linha incompleta (cortada)"}))
            << chunk;
    }
}

TEST(VisitImport, RefusesAFileThatIsNotAnExport) {
    const Imported imported = Import("uuid,door\n" + First + "\n", 64);
    EXPECT_EQ(imported.refusal, "não é uma exportação de visitas do VyxTool (linha 1: não é JSON)");
    EXPECT_TRUE(imported.uuids.empty());
}

TEST(VisitImport, SkipsALineTooLongWithoutKeepingIt) {
    const std::string file =
        First + "\n" + std::string(VisitImport::MaxLineBytes + 1, ' ') + "\n" + Second + "\n";
    const Imported imported = Import(file, 1 << 20);
    EXPECT_EQ(imported.uuids.size(), 2u);
    EXPECT_EQ(imported.skipped,
              (std::vector<std::string>{"linha 2: linha longa demais (mais de 8 MB)"}));
}

TEST(VisitImport, RefusesTooLargeAFileUnread) {
    EXPECT_FALSE(VisitImport::RefuseSize(VisitImport::MaxFileBytes));
    EXPECT_EQ(VisitImport::RefuseSize(std::uint64_t{1} << 30),
              "arquivo grande demais (1024 MB; o limite é 512 MB)");
}

TEST(ImportVisitFile, ReadsAFileAndRefusesAFolder) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vyx-import-" + NewVisitUuid());
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "visitas.jsonl").string();
    std::ofstream(path, std::ios::binary) << First << "\n"
                                          << "{}\n"
                                          << Second << "\n";
    std::size_t taken = 0;
    const ImportOutcome outcome = ImportVisitFile(path, [&](Visit) { ++taken; });
    EXPECT_FALSE(outcome.Refusal);
    EXPECT_EQ(taken, 2u);
    ASSERT_EQ(outcome.Skipped.size(), 1u);
    EXPECT_EQ(outcome.Skipped[0].Text(), "linha 2: não é uma visita");
    EXPECT_EQ(ImportVisitFile(folder.string(), [](Visit) {}).Refusal,
              folder.string() + ": não é um arquivo que se possa ler");
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vyx
