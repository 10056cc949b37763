#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "FixedVisit.h"
#include "VisitCsv.h"
#include "VisitJson.h"

namespace vyx {
namespace {

// What the fixed visit's blocks decode to: before, speed at 100 km/h; after, at 95.
const std::string ValuesBefore =
    R"({"ping.period_s":"180","rs232_a.bit_rate":"115200","rs232_b.bit_rate":"19200")"
    R"(,"acceleration.max_kmh_per_s":"11","braking.max_kmh_per_s":"11")"
    R"(,"acceleration.buzzer":"true","acceleration.event":"true","braking.buzzer":"true")"
    R"(,"braking.event":"true","speed.buzzer.on_entry":"true","speed.buzzer.on_exit":"false")"
    R"(,"speed.buzzer.during":"false","speed.event.on_entry":"true")"
    R"(,"speed.event.on_exit":"false","speed.max_kmh":"100","speed.confirm_s":"5")"
    R"(,"rain_speed.buzzer.on_entry":"true","rain_speed.buzzer.on_exit":"false")"
    R"(,"rain_speed.buzzer.during":"false","rain_speed.event.on_entry":"true")"
    R"(,"rain_speed.event.on_exit":"false","rain_speed.max_kmh":"90","rain_speed.confirm_s":"5")"
    R"(,"engine_speed.buzzer.on_entry":"true","engine_speed.buzzer.on_exit":"false")"
    R"(,"engine_speed.buzzer.during":"false","engine_speed.event.on_entry":"true")"
    R"(,"engine_speed.event.on_exit":"false","engine_speed.max_rpm":"4500")"
    R"(,"engine_speed.confirm_s":"12","idling.buzzer.on_entry":"true")"
    R"(,"idling.buzzer.on_exit":"false","idling.buzzer.during":"false")"
    R"(,"idling.event.on_entry":"true","idling.event.on_exit":"false","idling.max_min":"6")"
    R"(,"idling.manoeuvre_grace_s":"7","coasting.buzzer.on_entry":"true")"
    R"(,"coasting.buzzer.on_exit":"false","coasting.buzzer.during":"false")"
    R"(,"coasting.event.on_entry":"true","coasting.event.on_exit":"false")"
    R"(,"coasting.min_kmh":"40","coasting.max_rpm":"900","coasting.confirm_s":"5"})";

std::string ValuesAfter() {
    std::string values = ValuesBefore;
    const std::string before = R"("speed.max_kmh":"100")";
    return values.replace(values.find(before), before.size(), R"("speed.max_kmh":"95")");
}

const std::string BytesBefore =
    "cafef0da001e010200b4048000c00b0b0b0b0b64050b5a050b11940c0b06070b28038405000848";
const std::string BytesAfter =
    "cafef0da001e010200b4048000c00b0b0b0b0b5f050b5a050b11940c0b06070b28038405000843";

std::string FixedLine() {
    return R"({"record":"vyx-visit","format":1,"uuid":"3f2a6c1e-9b4d-4e7a-8c21-5d0f6e9a7b13",)"
           R"("door":"vyxctl","tool_version":"2.39.C","host":"oficina-2",)"
           R"("started_at":"2026-12-09T10:29:40-03:00","ended_at":"2026-12-09T10:29:55-03:00",)"
           R"("device_id":"0012ABCD 00000001 5A5A0003","device_version_before":"4.0.2.30",)"
           R"("device_version_after":"4.0.2.39","technician":"Ana Souza","plate":"ABC1D23",)"
           R"("vin":"FROTA-042","work_order":"=OS 7781","note":"Troca do chicote;\n\"limite\" 95",)"
           R"("result":"concluída","cut":"","steps":[)"
           R"({"kind":"identified","ended_at":"2026-12-09T10:29:41-03:00",)"
           R"("device_id":"0012ABCD 00000001 5A5A0003","device_version":"4.0.2.30","verdict":"older"},)"
           R"({"kind":"upload_started","ended_at":"2026-12-09T10:29:42-03:00"},)"
           R"({"kind":"upload_finished","ended_at":"2026-12-09T10:29:44-03:00","counts":{"package":1861,)"
           R"("packages":1861,"resends":2,"nacks":1,"code10":0,"code15":0,"code20":0}},)"
           R"({"kind":"identified","ended_at":"2026-12-09T10:29:47-03:00",)"
           R"("device_id":"0012ABCD 00000001 5A5A0003","device_version":"4.0.2.39","verdict":"current"},)"
           R"({"kind":"config_read","ended_at":"2026-12-09T10:29:48-03:00","block":{"bytes":")" +
           BytesBefore + R"(","errors":0,"values":)" + ValuesBefore + "}}," +
           R"({"kind":"config_written","ended_at":"2026-12-09T10:29:50-03:00","block":{"bytes":")" +
           BytesAfter + R"(","errors":0,"values":)" + ValuesAfter() + "}}," +
           R"({"kind":"config_read_back","ended_at":"2026-12-09T10:29:51-03:00","block":{"bytes":")" +
           BytesAfter + R"(","errors":0,"values":)" + ValuesAfter() + "}}," +
           R"({"kind":"closed","ended_at":"2026-12-09T10:29:55-03:00"}],)"
           R"("log":["Porta aberta","Versão: 4.0.2.30"]})";
}

TEST(VisitLine, IsTheFixedRecordAndReadsBackToTheSameVisit) {
    const Visit visit = test::FixedVisit();
    EXPECT_EQ(VisitLine(visit), FixedLine());
    const VisitParse parsed = ParseVisitLine(FixedLine() + "\r\n");
    ASSERT_TRUE(parsed.Found) << parsed.Reason;
    EXPECT_EQ(*parsed.Found, visit);
}

// A store keeps the head, each step's kind and body, and the log: enough to
// give the same line again.
TEST(StepBody, RebuildsTheVisitAStoreKeeps) {
    const Visit visit = test::FixedVisit();
    EXPECT_EQ(StepBody(visit.Steps()[4]),
              R"({"kind":"config_read","ended_at":"2026-12-09T10:29:48-03:00","block":{"bytes":")" +
                  BytesBefore + R"(","errors":0}})");
    std::vector<StoredStep> stored;
    for (const VisitStep& step : visit.Steps()) {
        stored.push_back({std::string(StepKindText(step.Kind)), StepBody(step)});
    }
    const VisitParse rebuilt = RebuildVisit(visit.Head(), stored, visit.LogLines());
    ASSERT_TRUE(rebuilt.Found) << rebuilt.Reason;
    EXPECT_EQ(VisitLine(*rebuilt.Found), FixedLine());

    stored[2].Kind = "upload_failed";
    EXPECT_EQ(RebuildVisit(visit.Head(), stored, {}).Reason, "passo 3: tipo diferente do guardado");
    stored[2].Body.pop_back();
    EXPECT_EQ(RebuildVisit(visit.Head(), stored, {}).Reason, "passo 3: não é JSON");
}

// Each way a line is not a whole visit, and the reason given.
TEST(ParseVisitLine, RefusesWhatIsNotAWholeVisit) {
    using Json = nlohmann::ordered_json;
    const auto edited = [](auto edit) {
        Json line = Json::parse(FixedLine());
        edit(line);
        return line.dump();
    };
    const struct {
        std::string line;
        std::string reason;
    } cases[] = {
        {"uuid,door,tool_version", "não é JSON"},
        {FixedLine().substr(0, 300), "linha incompleta (cortada)"},
        {std::string(100000, '['), "linha incompleta (cortada)"},
        {"[1,2]", "não é uma visita"},
        {R"({"record":"profile","format":1})", "não é uma visita"},
        {edited([](Json& l) { l["format"] = 2; }), "formato mais novo (2)"},
        {edited([](Json& l) { l.erase("uuid"); }), "campo ausente: uuid"},
        {edited([](Json& l) { l["uuid"] = "3F2A6C1E-9B4D-4E7A-8C21-5D0F6E9A7B13"; }),
         "identificador inválido: uuid"},
        {edited([](Json& l) { l["door"] = "telefone"; }), "porta de entrada desconhecida: door"},
        {edited([](Json& l) { l["result"] = "ok"; }), "resultado desconhecido: result"},
        {edited([](Json& l) { l["started_at"] = "2026-12-09 10:29"; }),
         "hora inválida: started_at"},
        {edited([](Json& l) { l["ended_at"] = "2026-13-09T10:29:55-03:00"; }),
         "hora inválida: ended_at"},
        {edited([](Json& l) { l["note"] = 95; }), "tipo errado: note"},
        {edited([](Json& l) { l["note"] = std::string(1001, 'n'); }), "texto longo demais: note"},
        {edited([](Json& l) { l["extra"] = true; }), "campo desconhecido: extra"},
        {edited([](Json& l) { l.erase("log"); }), "campo ausente: log"},
        {edited([](Json& l) { l["log"][1] = 7; }), "linha de registro 2 inválida"},
        {edited([](Json& l) { l["steps"][0]["kind"] = "dance"; }),
         "passo 1: tipo de passo desconhecido: dance"},
        {edited([](Json& l) { l["steps"][1]["ended_at"] = ""; }),
         "passo 2: hora inválida: ended_at"},
        {edited([](Json& l) { l["steps"][2]["counts"]["resends"] = -1; }),
         "passo 3: counts: fora do intervalo: resends"},
        {edited([](Json& l) { l["steps"][2]["counts"].erase("code20"); }),
         "passo 3: counts: campo ausente: code20"},
        {edited([](Json& l) { l["steps"][4]["block"]["bytes"] = "cafe0"; }),
         "passo 5: bloco: bytes não são hexadecimais"},
        {edited([](Json& l) { l["steps"][5]["block"]["values"]["speed.max_kmh"] = "150"; }),
         "passo 6: bloco: valores não correspondem aos bytes"},
        {edited([](Json& l) { l["steps"][0]["verdict"] = "fine"; }),
         "passo 1: veredito desconhecido: fine"},
    };
    for (const auto& c : cases) {
        const VisitParse parsed = ParseVisitLine(c.line);
        EXPECT_FALSE(parsed.Found) << c.reason;
        EXPECT_EQ(parsed.Reason, c.reason);
    }
}

TEST(CsvRow, IsTheFixedRecord) {
    EXPECT_EQ(CsvHeader(),
              "uuid,door,tool_version,host,started_at,ended_at,device_id,device_version_before,"
              "device_version_after,technician,plate,vin,work_order,note,result,cut,"
              "ping.period_s,rs232_a.bit_rate,rs232_b.bit_rate,acceleration.max_kmh_per_s,"
              "braking.max_kmh_per_s,acceleration.buzzer,acceleration.event,braking.buzzer,"
              "braking.event,speed.buzzer.on_entry,speed.buzzer.on_exit,speed.buzzer.during,"
              "speed.event.on_entry,speed.event.on_exit,speed.max_kmh,speed.confirm_s,"
              "rain_speed.buzzer.on_entry,rain_speed.buzzer.on_exit,rain_speed.buzzer.during,"
              "rain_speed.event.on_entry,rain_speed.event.on_exit,rain_speed.max_kmh,"
              "rain_speed.confirm_s,engine_speed.buzzer.on_entry,engine_speed.buzzer.on_exit,"
              "engine_speed.buzzer.during,engine_speed.event.on_entry,engine_speed.event.on_exit,"
              "engine_speed.max_rpm,engine_speed.confirm_s,idling.buzzer.on_entry,"
              "idling.buzzer.on_exit,idling.buzzer.during,idling.event.on_entry,"
              "idling.event.on_exit,idling.max_min,idling.manoeuvre_grace_s,"
              "coasting.buzzer.on_entry,coasting.buzzer.on_exit,coasting.buzzer.during,"
              "coasting.event.on_entry,coasting.event.on_exit,coasting.min_kmh,coasting.max_rpm,"
              "coasting.confirm_s\r\n");
    EXPECT_EQ(CsvRow(test::FixedVisit()),
              "3f2a6c1e-9b4d-4e7a-8c21-5d0f6e9a7b13,vyxctl,2.39.C,oficina-2,"
              "2026-12-09T10:29:40-03:00,2026-12-09T10:29:55-03:00,0012ABCD 00000001 5A5A0003,"
              "4.0.2.30,4.0.2.39,Ana Souza,ABC1D23,FROTA-042,'=OS 7781,"
              "\"Troca do chicote;\n\"\"limite\"\" 95\",concluída,,"
              "180,115200,19200,11,11,true,true,true,true,true,false,false,true,false,95,5,"
              "true,false,false,true,false,90,5,true,false,false,true,false,4500,12,"
              "true,false,false,true,false,6,7,true,false,false,true,false,40,900,5\r\n");
}

TEST(CsvCell, MakesFormulasInertAndQuotesWhatNeedsIt) {
    const struct {
        std::string text;
        std::string cell;
    } cases[] = {
        {"ABC1D23", "ABC1D23"},
        {"", ""},
        {"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
        {"+55 11", "'+55 11"},
        {"-1+2", "'-1+2"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"\tTAB", "'\tTAB"},
        {"\rCR", "\"'\rCR\""},
        {"a=b", "a=b"},
        {"1,5", "\"1,5\""},
        {"linha\nduas", "\"linha\nduas\""},
        {"'já", "'já"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CsvCell(c.text), c.cell) << c.text;
    }
}

}  // namespace
}  // namespace vyx
