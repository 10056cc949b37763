// What vyxctl writes: counts, progress that nobody reads.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "DeviceJob.h"
#include "DeviceRun.h"
#include "JsonOutput.h"
#include "ProgressReporter.h"
#include "Terminal.h"

namespace vyx::cli {
namespace {

TEST(CountText, GroupsThousandsWithDots) {
    const std::pair<int, const char*> cases[] = {
        {0, "0"},          {501, "501"},        {1000, "1.000"},
        {1861, "1.861"},   {999999, "999.999"}, {1234567, "1.234.567"},
        {-1861, "-1.861"}, {-100, "-100"},
    };
    for (const auto& [count, text] : cases) {
        EXPECT_EQ(CountText(count), text) << count;
    }
}

TEST(JsonText, IsWellFormedWhateverTheBytes) {
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/ttyACM0", "\"/dev/ttyACM0\""},
        {"/tmp/bad\xffname", "\"/tmp/bad\xEF\xBF\xBDname\""},
        {"\xC3", "\"\xEF\xBF\xBD\""},                              // cut short
        {"Opera\xC3\xA7\xC3\xA3o", "\"Opera\xC3\xA7\xC3\xA3o\""},  // kept
        {std::string("a\0b\x1b", 4), "\"a\\u0000b\\u001b\""},
    };
    for (const auto& [text, json] : cases) {
        EXPECT_EQ(JsonText(nlohmann::ordered_json(text)), json);
    }
}

TEST(BarText, ShowsARateOnlyOverAMeaningfulSpan) {
    const struct {
        int position, maximum;
        double seconds;
        const char* text;
    } cases[] = {
        {5, 5, 0.0004, "[########################] 5/5"},  // five quick reads
        {930, 1861, 0.4, "[###########.............] 930/1861"},
        {930, 1861, 0.62, "[###########.............] 930/1861  1498 pacotes/s  faltam 0,6 s"},
        {0, 0, 0.0, "[........................] 0/0"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ProgressReporter::BarText(c.position, c.maximum, c.seconds), c.text);
    }
}

TEST(UploadNeededText, SaysWhyAsIdentificationDecides) {
    const std::pair<DeviceVersion, const char*> cases[] = {
        {{4, 0, 255, 255}, "o Vyx está sem firmware (4.0.255.255)"},
        {{4, 0, 99, 1}, "o Vyx está só com o carregador de firmware (4.0.99.1)"},
        {{3, 0, 2, 38}, "o firmware 3.0.2.38 é mais antigo que a versão que esta ferramenta leva"},
        {{4, 0, 255, 0},
         "o firmware 4.0.255.0 é mais antigo que a versão que esta ferramenta leva"},
    };
    for (const auto& [version, text] : cases) {
        EXPECT_EQ(UploadNeededText(version), text);
    }
}

TEST(OneLine, KeepsATableCellOnOneLine) {
    const std::pair<std::string, std::string> cases[] = {
        {"Erro: falhou\r\nTente de novo", "Erro: falhou Tente de novo"},
        {"a\n\n\tb", "a b"},
        {"\nlido\n", "lido"},
        {"\x1b]0;title\x07x", "]0;title x"},
        {"gravação", "gravação"},
    };
    for (const auto& [text, line] : cases) {
        EXPECT_EQ(OneLine(text), line);
    }
    EXPECT_EQ(Columns("SAÍDA"), 5U);
}

// More rows than the screen has would scroll and the redraw would hit the wrong lines.
TEST(FitsInPlace, OnlyRowsThatFitOnTheScreenWithTheCursorLine) {
    const struct {
        std::size_t rows;
        int screen;
        bool fits;
    } cases[] = {
        {1, 24, true},   {23, 24, true}, {24, 24, false},
        {40, 24, false}, {23, 0, true},  {24, 0, false},  // size unknown: the usual 24 lines
        {60, 80, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FitsInPlace(c.rows, c.screen), c.fits) << c.rows << " " << c.screen;
    }
}

// A stream whose every write fails, as standard error does once the reader of
// its pipe went away, counting the attempts.
struct DeadEnd {
    int writes = 0;
    std::FILE* Open() {
        cookie_io_functions_t io{};
        io.write = [](void* self, const char*, std::size_t) -> ssize_t {
            ++static_cast<DeadEnd*>(self)->writes;
            return -1;
        };
        std::FILE* file = ::fopencookie(this, "w", io);
        std::setvbuf(file, nullptr, _IONBF, 0);
        return file;
    }
};

TEST(ProgressReporter, AFailedWriteEndsTheShowingAndNothingElse) {
    for (const bool terminal : {false, true}) {
        for (const std::size_t devices : {1U, 3U}) {
            DeadEnd dead;
            std::FILE* out = dead.Open();
            ProgressReporter reporter(out, terminal, std::vector<std::string>(devices, "p"));
            reporter.Log(0, "Vyx v4.0.2.39", false);
            const int tried = dead.writes;
            EXPECT_GE(tried, 1);
            for (int position = 1; position <= 1861; ++position) {
                reporter.Progress(devices - 1, position, 1861);
            }
            reporter.Log(0, "O Vyx está atualizado!", true);
            EXPECT_EQ(dead.writes, tried) << terminal << devices;
            std::fclose(out);
        }
    }
}

}  // namespace
}  // namespace vyx::cli
