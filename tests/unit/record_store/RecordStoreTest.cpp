#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <set>
#include <string>
#include <vector>

#include "RecordStore.h"
#include "Schema.h"
#include "SqliteHandles.h"
#include "StoreFolder.h"

namespace vyx::record {
namespace {

using test::Head;

std::vector<std::string> Uuids(const std::vector<VisitHead>& heads) {
    std::vector<std::string> uuids;
    for (const VisitHead& head : heads) {
        uuids.push_back(head.Uuid);
    }
    return uuids;
}

class RecordStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        OpenedStore opened = RecordStore::Open(path);
        ASSERT_EQ(opened.Error, "");
        store = std::move(opened.Store);
    }

    vyx::test::PortFolder folder;
    std::string path = folder.Path() + "/record.sqlite3";
    std::unique_ptr<RecordStore> store;
};

TEST_F(RecordStoreTest, AVisitAppendedStepByStepReadsBackWhole) {
    VisitHead head = Head("v-1", "2026-12-09T10:29:40-03:00", "");
    // Typed text goes in as typed: SQL, quotes, a NUL, a right-to-left override.
    using namespace std::string_literals;
    head.Note = "'); DROP TABLE visits; --\0\u202e fim"s;
    ASSERT_EQ(store->BeginVisit(head), std::nullopt);
    // Identified, the plate typed meanwhile; an ID once known is kept.
    VisitHead update = head;
    update.DeviceId = "7654321";
    update.Plate = "XYZ9K88";
    update.StartedAt = "not to be taken";
    ASSERT_EQ(store->UpdateHead(update), std::nullopt);
    update.DeviceId = "1111111";
    ASSERT_EQ(store->UpdateHead(update), std::nullopt);
    ASSERT_EQ(store->AppendStep("v-1", 1, "2026-12-09T10:29:41-03:00", "identified", "{\"a\":1}"),
              std::nullopt);
    ASSERT_EQ(store->AppendStep("v-1", 2, "2026-12-09T10:31:02-03:00", "upload", "cut at 501"),
              std::nullopt);
    ASSERT_EQ(store->AppendLog("v-1", {"linha 1", "linha 2"}), std::nullopt);
    ASSERT_EQ(store->AppendLog("v-1", {"linha 3"}), std::nullopt);
    ASSERT_EQ(store->FinishVisit("v-1", "2026-12-09T10:32:00-03:00", "interrompida", "4.0.2.31",
                                 "envio do firmware interrompido no pacote 501 de 1.861"),
              std::nullopt);

    std::optional<StoredVisit> visit;
    ASSERT_EQ(store->Find("v-1", visit), std::nullopt);
    ASSERT_TRUE(visit.has_value());
    VisitHead expected = head;
    expected.DeviceId = "7654321";
    expected.Plate = "XYZ9K88";
    expected.EndedAt = "2026-12-09T10:32:00-03:00";
    expected.Result = "interrompida";
    expected.DeviceVersionAfter = "4.0.2.31";
    expected.Cut = "envio do firmware interrompido no pacote 501 de 1.861";
    EXPECT_EQ(visit->Head, expected);
    EXPECT_EQ(visit->Steps,
              (std::vector<StoredStep>{{1, "2026-12-09T10:29:41-03:00", "identified", "{\"a\":1}"},
                                       {2, "2026-12-09T10:31:02-03:00", "upload", "cut at 501"}}));
    EXPECT_EQ(visit->Log, (std::vector<std::string>{"linha 1", "linha 2", "linha 3"}));

    // An export's pass hands over the same visit, with its log or without.
    for (const bool withLog : {true, false}) {
        std::vector<StoredVisit> scanned;
        ASSERT_EQ(
            store->ScanWhole({}, withLog, [&](const StoredVisit& v) { scanned.push_back(v); }),
            std::nullopt);
        StoredVisit expectedWhole = *visit;
        if (!withLog) {
            expectedWhole.Log.clear();
        }
        EXPECT_EQ(scanned, std::vector<StoredVisit>{expectedWhole});
    }
}

TEST_F(RecordStoreTest, WritesThatWouldRewriteOrOrphanAreRefused) {
    const std::string where = "registro de serviço " + path + ": ";
    ASSERT_EQ(store->BeginVisit(Head("v-1", "2026-12-09")), std::nullopt);
    ASSERT_EQ(store->AppendStep("v-1", 1, "t", "identified", "first"), std::nullopt);
    struct Case {
        const char* name;
        std::optional<std::string> line;
        std::string expected;
    } cases[] = {
        {"same UUID again", store->BeginVisit(Head("v-1", "2026-12-10")),
         where + "já registrado, nada foi reescrito"},
        {"same step again", store->AppendStep("v-1", 1, "t", "identified", "second"),
         where + "já registrado, nada foi reescrito"},
        {"step of no visit", store->AppendStep("v-9", 1, "t", "identified", "x"),
         where + "nenhuma visita com esse UUID"},
        {"log of no visit", store->AppendLog("v-9", {"x"}), where + "nenhuma visita com esse UUID"},
        {"finish of no visit", store->FinishVisit("v-9", "t", "concluída", "", ""),
         where + "nenhuma visita com esse UUID"},
        {"head of no visit", store->UpdateHead(Head("v-9", "t")),
         where + "nenhuma visita com esse UUID"},
        {"no UUID", store->BeginVisit(Head("", "2026-12-09")), where + "visita sem UUID"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.value_or("(stored)"), c.expected) << c.name;
    }
    std::optional<StoredVisit> visit;
    ASSERT_EQ(store->Find("v-1", visit), std::nullopt);
    EXPECT_EQ(visit->Head.StartedAt, "2026-12-09");
    EXPECT_EQ(visit->Steps.at(0).Body, "first");
    ASSERT_EQ(store->Find("v-9", visit), std::nullopt);
    EXPECT_FALSE(visit.has_value());
}

TEST_F(RecordStoreTest, ListingsFilterAndComeNewestFirstByTheInstant) {
    // The texts keep each workshop's offset; the order is the UTC instant's.
    struct Stored {
        const char* uuid;
        const char* started;  // UTC instant in the comment
        const char* device;
        const char* plate;
        const char* result;
    } stored[] = {
        {"a", "2026-12-01T09:00:00-03:00", "1000001", "ABC1D23", "concluída"},  // 12:00Z
        {"b", "2026-12-01T11:30:00+00:00", "1000002", "XYZ9K88", "falhou"},     // 11:30Z
        {"c", "2026-12-02T08:00:00-03:00", "1000001", "XYZ9K88", "concluída"},  // 11:00Z
        {"d", "2026-11-30T23:00:00-03:00", "1000003", "ABC1D23", "em curso"},   // 02:00Z
    };
    for (const Stored& s : stored) {
        VisitHead head = Head(s.uuid, s.started, s.device, s.plate);
        head.Result = s.result;
        ASSERT_EQ(store->BeginVisit(head), std::nullopt);
    }
    VisitHead note = Head("e", "2026-11-01T00:00:00Z", "1000004", "QWE");
    note.Note = "troca 50%_off";
    ASSERT_EQ(store->BeginVisit(note), std::nullopt);

    struct Case {
        const char* name;
        VisitFilter filter;
        std::int64_t limit, offset;
        std::vector<std::string> expected;
    } cases[] = {
        {"all", {}, 0, 0, {"c", "a", "b", "d", "e"}},
        {"page", {}, 2, 1, {"a", "b"}},
        {"device", {.DeviceId = "1000001"}, 0, 0, {"c", "a"}},
        {"plate", {.Plate = "XYZ9K88"}, 0, 0, {"c", "b"}},
        {"since", {.Since = "2026-12-01T11:30:00Z"}, 0, 0, {"c", "a", "b"}},
        {"until excludes", {.Until = "2026-12-01T11:30:00Z"}, 0, 0, {"d", "e"}},
        {"date range", {.Since = "2026-12-01", .Until = "2026-12-02"}, 0, 0, {"a", "b", "d"}},
        {"result", {.Result = "concluída"}, 0, 0, {"c", "a"}},
        {"device and plate", {.DeviceId = "1000001", .Plate = "ABC1D23"}, 0, 0, {"a"}},
        {"text, either case", {.Text = "xyz9k"}, 0, 0, {"c", "b"}},
        {"text, LIKE characters as typed", {.Text = "50%_o"}, 0, 0, {"e"}},
        {"text, % alone matches only a %", {.Text = "%"}, 0, 0, {"e"}},
        {"text never spans two fields", {.Text = "D239BW"}, 0, 0, {}},
        {"text over the device ID", {.Text = "1000003"}, 0, 0, {"d"}},
    };
    for (const Case& c : cases) {
        std::vector<VisitHead> heads;
        ASSERT_EQ(store->List(c.filter, c.limit, c.offset, heads), std::nullopt) << c.name;
        EXPECT_EQ(Uuids(heads), c.expected) << c.name;
    }
    std::vector<VisitHead> heads;
    EXPECT_EQ(store->List({.Since = "ontem"}, 0, 0, heads),
              "data inválida: \"ontem\" (use AAAA-MM-DD)");

    std::optional<StoredVisit> last;
    ASSERT_EQ(store->Last(last), std::nullopt);
    EXPECT_EQ(last->Head.Uuid, "c");
}

TEST_F(RecordStoreTest, AnImportIsWholeOrNothingAndSkipsWhatIsThere) {
    StoredVisit visit{Head("i-1", "2026-12-09T10:00:00Z"),
                      {{1, "t1", "identified", "x"}, {2, "t2", "read", "y"}},
                      {"l1", "l2"}};
    Insertion outcome{};
    ASSERT_EQ(store->InsertWholeVisit(visit, outcome), std::nullopt);
    EXPECT_EQ(outcome, Insertion::Inserted);

    StoredVisit other = visit;
    other.Head.Technician = "outra pessoa";
    ASSERT_EQ(store->InsertWholeVisit(other, outcome), std::nullopt);
    EXPECT_EQ(outcome, Insertion::AlreadyThere);

    // A step given twice fails the import half-way: nothing of it stays.
    StoredVisit torn{
        Head("i-2", "2026-12-09T11:00:00Z"), {{1, "t", "a", ""}, {1, "t", "b", ""}}, {}};
    EXPECT_NE(store->InsertWholeVisit(torn, outcome), std::nullopt);

    std::optional<StoredVisit> found;
    ASSERT_EQ(store->Find("i-1", found), std::nullopt);
    EXPECT_EQ(*found, visit);
    ASSERT_EQ(store->Find("i-2", found), std::nullopt);
    EXPECT_FALSE(found.has_value());
}

TEST_F(RecordStoreTest, APurgeDeletesOlderVisitsWithTheirStepsAndLines) {
    for (const char* uuid : {"old", "new"}) {
        const bool old = std::string(uuid) == "old";
        ASSERT_EQ(store->BeginVisit(Head(uuid, old ? "2025-01-01T00:00:00Z" : "2026-12-01")),
                  std::nullopt);
        ASSERT_EQ(store->AppendStep(uuid, 1, "t", "k", "b"), std::nullopt);
        ASSERT_EQ(store->AppendLog(uuid, {"l"}), std::nullopt);
    }
    std::int64_t deleted = -1;
    EXPECT_EQ(store->PurgeBefore("amanhã", deleted), "data inválida: \"amanhã\" (use AAAA-MM-DD)");
    ASSERT_EQ(store->PurgeBefore("2026-01-01", deleted), std::nullopt);
    EXPECT_EQ(deleted, 1);

    // Counted behind the store's back: no row of the purged visit is left.
    Connection raw(path, SQLITE_OPEN_READONLY);
    for (const char* sql : {"SELECT count(*) FROM visits", "SELECT count(*) FROM steps",
                            "SELECT count(*) FROM log_lines"}) {
        Query count(raw.Prepared(sql));
        ASSERT_TRUE(count.Step());
        EXPECT_EQ(count.Int(0), 1) << sql;
    }
}

TEST(RecordStoreMigration, EveryEarlierVersionIsBroughtUpToTheLatest) {
    // The latest schema, as it must read after any migration.
    constexpr int Latest = 1;
    const std::vector<std::string> expected = {
        "log_lines(visit,seq,text)",
        "steps(visit,seq,ended_at,kind,body)",
        "visits(id,uuid,door,tool_version,host,started_at,started_unix,ended_at,device_id,"
        "device_version_before,device_version_after,technician,plate,vin,work_order,note,"
        "result,cut)",
        "visits_by_device(device_id,started_unix)",
        "visits_by_plate(plate,started_unix)",
        "visits_by_result(result,started_unix)",
        "visits_by_start(started_unix)",
    };
    ASSERT_EQ(LatestSchemaVersion(), Latest);
    for (int from = 0; from < Latest; ++from) {
        vyx::test::PortFolder folder;
        const std::string path = folder.Path() + "/record.sqlite3";
        {
            Connection older(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
            MigrateSchema(older, from);
        }
        OpenedStore opened = RecordStore::Open(path);
        ASSERT_EQ(opened.Error, "") << "from " << from;

        Connection raw(path, SQLITE_OPEN_READONLY);
        Query version(raw.Prepared("PRAGMA user_version"));
        ASSERT_TRUE(version.Step());
        EXPECT_EQ(version.Int(0), Latest) << "from " << from;
        Query mark(raw.Prepared("PRAGMA application_id"));
        ASSERT_TRUE(mark.Step());
        EXPECT_EQ(mark.Int(0), 0x56797852) << "from " << from;  // "VyxR"
        std::vector<std::string> shapes;
        Query names(raw.Prepared(
            "SELECT name, type FROM sqlite_schema WHERE name NOT LIKE 'sqlite_%' ORDER BY name"));
        while (names.Step()) {
            const std::string name = names.Text(0);
            Query columns(raw.Prepared(names.Text(1) == "index"
                                           ? "SELECT name FROM pragma_index_info(?)"
                                           : "SELECT name FROM pragma_table_info(?)"));
            columns.Bind(name);
            std::string shape = name + "(";
            while (columns.Step()) {
                shape += columns.Text(0) + ",";
            }
            shape.back() = ')';
            shapes.push_back(shape);
        }
        EXPECT_EQ(shapes, expected) << "from " << from;
    }
}

TEST(RecordStoreWriters, ProcessesAppendingAtOnceLoseAndTearNothing) {
    vyx::test::PortFolder folder;
    const std::string path = folder.Path() + "/record.sqlite3";
    constexpr int Writers = 4, VisitsEach = 20, StepsEach = 12, LinesEach = 40;
    std::vector<pid_t> children;
    for (int writer = 0; writer < Writers; ++writer) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Each process its own connection, as the window and every vyxctl.
            OpenedStore opened = RecordStore::Open(path);
            bool ok = opened.Store != nullptr;
            std::vector<std::string> lines(LinesEach, "uma linha do diário da visita");
            for (int v = 0; ok && v < VisitsEach; ++v) {
                const std::string uuid = std::to_string(writer) + "-" + std::to_string(v);
                ok = !opened.Store->BeginVisit(Head(uuid, "2026-12-09T10:00:00Z"));
                for (int s = 1; ok && s <= StepsEach; ++s) {
                    ok = !opened.Store->AppendStep(uuid, s, "t", "step", uuid);
                    // The log in two halves, between the steps.
                    if (ok && (s == 4 || s == 8)) {
                        ok = !opened.Store->AppendLog(
                            uuid,
                            std::vector<std::string>(lines.begin(), lines.begin() + LinesEach / 2));
                    }
                }
                ok = ok && !opened.Store->FinishVisit(uuid, "t", "concluída", "4.0.2.31", "");
            }
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    OpenedStore opened = RecordStore::Open(path);
    ASSERT_EQ(opened.Error, "");
    std::vector<VisitHead> heads;
    ASSERT_EQ(opened.Store->List({}, 0, 0, heads), std::nullopt);
    ASSERT_EQ(heads.size(), std::size_t{Writers * VisitsEach});
    std::set<std::string> seen;
    for (const VisitHead& head : heads) {
        EXPECT_TRUE(seen.insert(head.Uuid).second) << head.Uuid;
        std::optional<StoredVisit> visit;
        ASSERT_EQ(opened.Store->Find(head.Uuid, visit), std::nullopt);
        EXPECT_EQ(visit->Head.Result, "concluída");
        ASSERT_EQ(visit->Steps.size(), std::size_t{StepsEach}) << head.Uuid;
        for (int s = 0; s < StepsEach; ++s) {
            EXPECT_EQ(visit->Steps[s].Seq, s + 1);
            EXPECT_EQ(visit->Steps[s].Body, head.Uuid);
        }
        EXPECT_EQ(visit->Log.size(), std::size_t{LinesEach}) << head.Uuid;
    }
}

}  // namespace
}  // namespace vyx::record
