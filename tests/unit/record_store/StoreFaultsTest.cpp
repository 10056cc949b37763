#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "RecordStore.h"
#include "SqliteHandles.h"
#include "StoreFolder.h"

namespace vyx::record {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::Head;

// A database with one visit recorded, closed, then spoiled as each case says.
// Whatever the fault, that visit must still be readable afterwards, and a file
// the store refused must be byte for byte as it was.
struct FaultCase {
    const char* name;
    // Spoils the file; what it returns is held (a lock, say) while the store opens.
    std::function<std::shared_ptr<void>(const std::string& path)> spoil;
    StoreOptions options;
    // After "registro de serviço PATH: ", or empty when the store opens.
    std::string openLine{};
    // The line for recording a visit with a 64 KiB note, or empty when stored.
    std::string writeLine{};
    // Set aside as damaged and a new database begun.
    bool setAside = false;
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << c.name;
}

std::int64_t PageCount(const std::string& path) {
    Connection raw(path, SQLITE_OPEN_READONLY);
    Query pages(raw.Prepared("PRAGMA page_count"));
    return pages.Step() ? pages.Int(0) : 0;
}

std::shared_ptr<void> Nothing(const std::string&) {
    return nullptr;
}

const FaultCase Cases[] = {
    {"locked by another program",
     [](const std::string& path) -> std::shared_ptr<void> {
         auto holder = std::make_shared<Connection>(path, SQLITE_OPEN_READWRITE);
         holder->Exec(
             "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; "
             "UPDATE visits SET note = note");
         return holder;
     },
     {.BusyTimeoutMs = 50},
     "em uso por outro programa (esperou 50 ms)"},
    {"read-only",
     [](const std::string& path) -> std::shared_ptr<void> {
         fs::permissions(path, fs::perms::owner_read | fs::perms::group_read);
         return std::shared_ptr<void>(nullptr, [path](void*) {
             fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
         });
     },
     {},
     "somente leitura"},
    {"not a database",
     [](const std::string& path) -> std::shared_ptr<void> {
         std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string(4096, 'x');
         return nullptr;
     },
     {},
     "",
     "",
     true},
    {"truncated",
     [](const std::string& path) -> std::shared_ptr<void> {
         fs::resize_file(path, fs::file_size(path) / 2);
         return nullptr;
     },
     {},
     "",
     "",
     true},
    {"newer schema",
     [](const std::string& path) -> std::shared_ptr<void> {
         Connection(path, SQLITE_OPEN_READWRITE).Exec("PRAGMA user_version = 7");
         return nullptr;
     },
     {},
     "escrito por um VyxTool mais novo (esquema 7, este lê até 1); não foi alterado"},
    {"another program's database",
     [](const std::string& path) -> std::shared_ptr<void> {
         Connection(path, SQLITE_OPEN_READWRITE)
             .Exec("PRAGMA application_id = 0; PRAGMA user_version = 0");
         return nullptr;
     },
     {},
     "é um banco de dados de outro programa; não foi alterado"},
    {"full disk", Nothing, {.MaxPageCount = -1}, "", "disco cheio"},
};

class StoreFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(StoreFault, OneLineAndNothingRecordedLost) {
    const FaultCase& c = GetParam();
    vyx::test::PortFolder folder;
    const std::string path = folder.Path() + "/record.sqlite3";
    const std::string where = "registro de serviço " + path + ": ";
    {
        auto store = RecordStore::Open(path).Store;
        ASSERT_TRUE(store);
        ASSERT_EQ(store->BeginVisit(Head("kept", "2026-12-09T10:00:00Z")), std::nullopt);
        ASSERT_EQ(store->AppendStep("kept", 1, "t", "identified", "kept step"), std::nullopt);
        // Enough visits that the file has pages beyond its schema's.
        for (int v = 0; v < 200; ++v) {
            ASSERT_EQ(store->BeginVisit(Head("filler-" + std::to_string(v), "2026-12-01")),
                      std::nullopt);
        }
    }
    StoreOptions options = c.options;
    if (options.MaxPageCount < 0) {
        options.MaxPageCount = PageCount(path);
    }
    std::string spoiled, notice;
    {
        const std::shared_ptr<void> held = c.spoil(path);
        spoiled = Bytes(path);
        OpenedStore opened = RecordStore::Open(path, options);
        if (!c.openLine.empty()) {
            EXPECT_EQ(opened.Error, where + c.openLine);
            EXPECT_FALSE(opened.Store);
            EXPECT_EQ(Bytes(path), spoiled);
        } else {
            ASSERT_EQ(opened.Error, "");
            ASSERT_TRUE(opened.Store);
            VisitHead big = Head("big", "2026-12-09T11:00:00Z");
            big.Note = std::string(64 * 1024, 'n');
            const auto line = opened.Store->BeginVisit(big);
            EXPECT_EQ(line.value_or(""), c.writeLine.empty() ? "" : where + c.writeLine);
        }
        notice = opened.Notice;
    }

    // Where the recorded visit now is, and that it is all there.
    std::string kept = path;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        const std::string name = entry.path().filename().string();
        if (name.find(".corrupt-") != std::string::npos && name.find("-wal") == std::string::npos &&
            name.find("-shm") == std::string::npos) {
            kept = entry.path().string();
        }
    }
    if (c.setAside) {
        ASSERT_NE(kept, path) << "no file set aside";
        EXPECT_EQ(Bytes(kept), spoiled);
        EXPECT_EQ(notice.substr(0, where.size() + 11), where + "danificado ");
        EXPECT_TRUE(notice.ends_with("), guardado como " + kept + "; um novo foi começado"))
            << notice;
        return;
    }
    EXPECT_EQ(notice, "");
    // Read behind the store's back: a newer schema's file is not the store's to open.
    Connection raw(path, SQLITE_OPEN_READONLY);
    Query step(
        raw.Prepared("SELECT body FROM steps JOIN visits ON visit = id WHERE uuid = 'kept'"));
    ASSERT_TRUE(step.Step());
    EXPECT_EQ(step.Text(0), "kept step");
}

INSTANTIATE_TEST_SUITE_P(Faults, StoreFault, ::testing::ValuesIn(Cases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return name;
});

}  // namespace
}  // namespace vyx::record
