// The session's outcomes as the page's objects: the fields its batch steps on,
// under their names.

#include <emscripten/val.h>
#include <gtest/gtest.h>

#include <string>

#include "PageOutcomes.h"

namespace vyx::web {
namespace {

using emscripten::val;

TEST(PageOutcomes, EachOutcomeReachesThePageAsOnePlainObject) {
    const val told = val::array();
    val page = val::object();
    page.set("outcome", told["push"].call<val>("bind", told));
    PageOutcomes outcomes(page);
    outcomes.Identified(
        {{1, {0x00A1B2C3, 0x39, 0x56595800}, {4, 0, 2, 38}, 0}, FirmwareNeed::Older});
    outcomes.ExchangeFailed({Exchange::ConfigWrite, 2, "ERRO #0x02", "", {}});
    PageOutcomes(val::object()).ConnectionLost();  // a page without the callback

    EXPECT_EQ(val::global("JSON").call<std::string>("stringify", told),
              R"([{"kind":"identified","idText":"00A1B2C3 00000039 56595800",)"
              R"("versionText":"4.0.2.38","operatingMode":false,"need":"needs upload"},)"
              R"({"kind":"failed","exchange":"write","code":2,"caption":"ERRO #0x02"}])");
}

}  // namespace
}  // namespace vyx::web
