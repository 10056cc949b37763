#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EditorPresets.h"
#include "Plan.h"
#include "PortFolder.h"
#include "ProfileFile.h"

namespace vyx::cli {
namespace {

constexpr DeviceId Truck = {0x00A1B2C3, 0x00000039, 0x56595800};
constexpr DeviceId Car = {0x00A1B2C4, 0x00000039, 0x56595800};
constexpr DeviceId Other = {0x00000001, 0x00000002, 0x00000003};

class PlanCheck : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(ProfileFile::Save(dir + "/truck.json", DefaultsSnapshot()));
        ASSERT_FALSE(ProfileFile::Save(dir + "/car.json", CalveraSnapshot()));
        std::ofstream(dir + "/refused.json") << "{ \"format_version\": 1 ";
        EditorSnapshot over = DefaultsSnapshot();
        over.Text(EditorField::Vmx) = "200";
        std::ofstream(dir + "/unchecked.json") << ProfileFile::FormatUnchecked(over);
    }
    PlanResult Check(const std::string& text) { return Plan::Parse(text, "plano.csv", dir); }

    test::PortFolder folder;
    const std::string dir = folder.Path();
};

// Each reason is the line it starts with; a refused profile's own reasons follow
// the row's line (what they say is the profile reader's).
TEST_F(PlanCheck, EveryReasonIsNamedWithItsLine) {
    const std::string idForm =
        "' não é de três palavras de 8 dígitos hexadecimais, como a janela mostra "
        "(00A1B2C3 00000039 56595800), nem '*'";
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> errors;
    } cases[] = {
        {"sound, with header, quotes and blank lines",
         "id,profile,plate,vin,work_order,note\r\n"
         "00A1B2C3 00000039 56595800,truck.json,ABC1D23,9BWZZZ377VT004251,OS-17,\"eixo, "
         "\"\"duplo\"\"\"\r\n"
         "\r\n"
         "*,car.json\r\n",
         {}},
        {"sound, columns in the header's order", "profile,id\ntruck.json,*\n", {}},
        {"nothing but a header", "id,profile\n", {"plano.csv: o plano não tem nenhuma linha"}},
        {"bad IDs",
         "00A1B2C3 00000039,truck.json\n"
         "00A1B2C3 00000039 5659580G,truck.json\n"
         "00A1B2C3-00000039-56595800,truck.json\n"
         ",truck.json\n",
         {"plano.csv:1: o ID '00A1B2C3 00000039" + idForm,
          "plano.csv:2: o ID '00A1B2C3 00000039 5659580G" + idForm,
          "plano.csv:3: o ID '00A1B2C3-00000039-56595800" + idForm,
          "plano.csv:4: o ID '" + idForm}},
        {"one ID twice, in other letters, and two '*' rows",
         "00A1B2C3 00000039 56595800,truck.json\n"
         "*,truck.json\n"
         "00a1b2c3 00000039 56595800,car.json\n"
         "*,car.json\n",
         {"plano.csv:3: o ID 00A1B2C3 00000039 56595800 já está na linha 1",
          "plano.csv:4: uma segunda linha '*' (a primeira é a linha 2)"}},
        {"missing, refused and unchecked profiles, and none",
         "*,missing.json\n"
         "00A1B2C3 00000039 56595800,refused.json\n"
         "00A1B2C4 00000039 56595800,unchecked.json\n"
         "00A1B2C5 00000039 56595800,\n",
         {"plano.csv:1: " + dir + "/missing.json: ", "plano.csv:2: " + dir + "/refused.json: ",
          "plano.csv:3: " + dir + "/unchecked.json: perfil salvo sem verificação",
          "plano.csv:4: falta o arquivo do perfil"}},
        {"bad CSV lines, the rows after them still checked",
         "*,tru\"ck.json\n"
         "\"00A1B2C3 00000039 56595800\"x,truck.json\n"
         "00A1B2C4 00000039 56595800,truck.json,a,b,c,d,e\n"
         "00A1B2C5 00000039 56595800,truck.json,\"AB\x01\"\n"
         "00A1B2C6 00000039 56595800,\"truck.json\n",
         {"plano.csv:1: aspas no meio de um campo sem aspas",
          "plano.csv:2: texto depois das aspas que fecham um campo",
          "plano.csv:3: campos demais: 7, a linha tem no máximo 6",
          "plano.csv:4: o campo plate tem um caractere de controle",
          "plano.csv:5: aspas abertas que não se fecham até o fim do arquivo"}},
        {"a quoted line break: the next row's line is counted on",
         "*,truck.json,,,,\"two\nlines\"\nnot an id,truck.json\n",
         {"plano.csv:3: o ID 'not an id" + idForm}},
        {"bad header",
         "id,profile,colour\n",
         {"plano.csv:1: coluna desconhecida 'colour'; as colunas são id, profile, plate, vin, "
          "work_order e note"}},
        {"header without profile",
         "id,plate\n*,truck.json\n",
         {"plano.csv:1: a primeira linha precisa das colunas id e profile"}},
    };
    for (const auto& c : cases) {
        const PlanResult result = Check(c.text);
        EXPECT_EQ(result.Checked.has_value(), c.errors.empty()) << c.what;
        // A profile refused for a missing key says so for each: count the rows' reasons.
        std::vector<std::string> firsts;
        std::string lastRow;
        for (const std::string& error : result.Errors) {
            const std::string row = error.substr(0, error.find(": "));
            if (row != lastRow) {
                firsts.push_back(error);
            }
            lastRow = row;
        }
        ASSERT_EQ(firsts.size(), c.errors.size()) << c.what << "\n"
                                                  << ::testing::PrintToString(result.Errors);
        for (std::size_t i = 0; i < firsts.size(); ++i) {
            EXPECT_TRUE(firsts[i].starts_with(c.errors[i])) << c.what << "\n" << firsts[i];
        }
    }
}

TEST_F(PlanCheck, EachUnitGetsItsRowOrTheStarRowOrNone) {
    const PlanResult withStar = Check(
        "00A1B2C3 00000039 56595800,truck.json,ABC1D23,,OS-17,\"eixo, \"\"duplo\"\"\"\n"
        "*,car.json,,,OS-18\n");
    ASSERT_TRUE(withStar.Checked) << ::testing::PrintToString(withStar.Errors);
    const PlanRow* truck = withStar.Checked->For(Truck);
    ASSERT_NE(truck, nullptr);
    EXPECT_EQ(truck->Profile, DefaultsSnapshot());
    EXPECT_EQ(truck->ProfilePath, dir + "/truck.json");
    EXPECT_EQ(truck->Fields.Plate, "ABC1D23");
    EXPECT_EQ(truck->Fields.WorkOrder, "OS-17");
    EXPECT_EQ(truck->Fields.Note, "eixo, \"duplo\"");
    const PlanRow* car = withStar.Checked->For(Car);
    ASSERT_NE(car, nullptr);
    EXPECT_EQ(car->Profile, CalveraSnapshot());
    EXPECT_EQ(car->Line, 2U);

    const PlanResult without = Check("00A1B2C3 00000039 56595800,truck.json\n");
    ASSERT_TRUE(without.Checked);
    EXPECT_EQ(without.Checked->For(Other), nullptr);
    EXPECT_EQ(OutsidePlanText(Other), "fora do plano: 00000001 00000002 00000003");
}

TEST_F(PlanCheck, APlanThatIsNoRegularFileOrTooLargeIsRefusedUnread) {
    const std::string large = dir + "/large.csv";
    std::ofstream(large) << std::string(Plan::MaxFileSize + 1, '\n');
    for (const std::string& path : {dir, dir + "/none.csv", std::string("/dev/null"), large}) {
        const PlanResult result = Plan::Load(path);
        EXPECT_FALSE(result.Checked) << path;
        ASSERT_EQ(result.Errors.size(), 1U) << path;
        EXPECT_TRUE(result.Errors[0].starts_with(path + ": ")) << result.Errors[0];
    }
    const std::string plan = dir + "/plano.csv";
    std::ofstream(plan) << "\xEF\xBB\xBFid,profile\n*,truck.json\n";
    EXPECT_TRUE(Plan::Load(plan).Checked) << "profiles relative to the plan's folder";
}

}  // namespace
}  // namespace vyx::cli
