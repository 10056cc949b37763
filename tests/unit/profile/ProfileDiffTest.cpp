#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "EditorPresets.h"
#include "ProfileDiff.h"

namespace vyx {
namespace {

TEST(ProfileDiff, NamesEachDifferingKeyWithItsCaptionAndBothValues) {
    using E = EditorField;
    using T = TripleCondition;
    const struct {
        const char* what;
        std::function<void(EditorSnapshot& device, EditorSnapshot& profile)> change;
        std::vector<std::string> lines;
    } cases[] = {
        {"equal", [](EditorSnapshot&, EditorSnapshot&) {}, {}},
        {"edit",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Text(E::Vmx) = "100"; },
         {"speed.max_kmh (Velocidade máxima permitida): 120 → 100"}},
        {"edit whose label has two lines",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Text(E::Tosc) = "10"; },
         {"idling.max_min (Tempo máximo permitido para ociosidade do motor): 6 → 10"}},
        {"lists in their own units",
         [](EditorSnapshot&, EditorSnapshot& p) {
             p.List(E::Ping) = 5;
             p.List(E::A232) = 0;
         },
         {"ping.period_s (PING): 180 → 60", "rs232_a.bit_rate (RS232-A): 115200 → 9600"}},
        {"single action box",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Acp.Buzzer = false; },
         {"acceleration.buzzer (ACELERAÇÃO (aceleração brusca) / ALERTA BUZZER): true → false"}},
        {"buzzer box of a triple action",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Triple(T::Vmx).BuzzerIn = false; },
         {"speed.buzzer.on_entry (VELOCIDADE / ALERTA BUZZER / Entrada): true → false"}},
        {"its \"Durante\" box",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Triple(T::Vch).BuzzerWhile = true; },
         {"rain_speed.buzzer.during (VELOCIDADE NA CHUVA / ALERTA BUZZER / Durante): false → "
          "true"}},
        {"event box of a triple action",
         [](EditorSnapshot&, EditorSnapshot& p) { p.Triple(T::Bgl).EventOut = true; },
         {"coasting.event.on_exit (CONDUÇÃO DESENGRENADA (banguela) / REGISTRAR EVENTO / "
          "Saída): false → true"}},
        {"empty edit and list without a selection on the device",
         [](EditorSnapshot& d, EditorSnapshot&) {
             d.List(E::B232) = NoSelection;
             d.Text(E::Rbgl).clear();
         },
         {"rs232_b.bit_rate (RS232-B): nenhum → 19200",
          "coasting.max_rpm (Rotação máxima validação): vazio → 900"}},
    };
    for (const auto& c : cases) {
        EditorSnapshot device = DefaultsSnapshot();
        EditorSnapshot profile = DefaultsSnapshot();
        c.change(device, profile);
        EXPECT_EQ(ProfileDiffLines(device, profile), c.lines) << c.what;
    }
}

}  // namespace
}  // namespace vyx
