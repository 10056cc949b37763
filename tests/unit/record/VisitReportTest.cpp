#include <gtest/gtest.h>

#include "FixedVisit.h"
#include "RecordText.h"
#include "VisitReport.h"

namespace vyx {
namespace {

TEST(VisitReport, ShowsHostileServiceFieldsInert) {
    Visit visit = test::FixedVisit();
    visit.SetServiceFields({"<script>alert(1)</script>", "\"><img src=x onerror=alert(1)>",
                            "ABC\xE2\x80\xAE"
                            "321",
                            "\x1B[2J&\x07", std::string(10 * 1024 * 1024, '<')});
    const std::string html = VisitReportHtml(visit);
    for (const std::string shown : {"<td>&lt;script&gt;alert(1)&lt;/script&gt;</td>",
                                    "<td>&quot;&gt;&lt;img src=x onerror=alert(1)&gt;</td>",
                                    "<td>ABC\\u202E321</td>", "<td>\\u001B[2J&amp;\\u0007</td>"}) {
        EXPECT_NE(html.find(shown), std::string::npos) << shown;
    }
    for (const std::string hidden : {"<script", "<img", "\xE2\x80\xAE", "\x1B", "\x07"}) {
        EXPECT_EQ(html.find(hidden), std::string::npos) << hidden;
    }
    // The note is capped at a thousand characters, each shown as &lt;.
    std::string note = "<th>Nota</th><td colspan=\"3\">";
    for (std::size_t i = 0; i < RecordTextCap; ++i) {
        note += "&lt;";
    }
    EXPECT_NE(html.find(note + "</td>"), std::string::npos);
    EXPECT_LT(html.size(), 40'000u);
}

TEST(VisitReport, MarksTheChangedConfiguration) {
    const std::vector<ConfigRow> rows = ReportConfigRows(test::FixedVisit());
    ASSERT_EQ(rows.size(), 23u);  // 3 lists, 13 value edits, 7 conditions' boxes
    std::vector<const ConfigRow*> changed;
    for (const ConfigRow& row : rows) {
        if (row.Changed) {
            changed.push_back(&row);
        }
    }
    ASSERT_EQ(changed.size(), 1u);
    EXPECT_EQ(changed[0]->Group, "VELOCIDADE");
    EXPECT_EQ(changed[0]->Field, "Velocidade máxima permitida [km/h]:");
    EXPECT_EQ(changed[0]->Before, "100");
    EXPECT_EQ(changed[0]->After, "95");
    EXPECT_EQ(rows[7].Field, "ALERTA BUZZER / REGISTRAR EVENTO");
    EXPECT_EQ(rows[7].After, "Entrada / Entrada");  // speed: buzzer, event boxes
    EXPECT_EQ(rows[5].After, "sim / sim");          // acceleration
}

// The report names the visit and the digest of its line (sha256sum of the
// fixed line's bytes).
TEST(VisitReport, CarriesTheVisitAndItsDigest) {
    const std::string html = VisitReportHtml(test::FixedVisit());
    EXPECT_NE(html.find("Visita 3f2a6c1e-9b4d-4e7a-8c21-5d0f6e9a7b13<br>SHA-256 da visita: "
                        "bf01726406e9b0ef0cedf9bafbf1dfd9b9003f295fec37502f192a1e230167da"),
              std::string::npos);
    EXPECT_NE(html.find("<td>4.0.2.30 → 4.0.2.39</td>"), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
}

}  // namespace
}  // namespace vyx
