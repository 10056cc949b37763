#include "EditorPresets.h"

namespace vyx {

namespace {

// List positions of the presets.
constexpr int Ping180 = 8;
constexpr int Ping60 = 5;
constexpr int Baud115200 = 3;
constexpr int Baud19200 = 1;

EditorSnapshot Preset(int ping, SingleBoxes single, TripleBoxes triple,
                      std::array<std::string, EditorTextCount> texts) {
    EditorSnapshot s;
    s.List(EditorField::Ping) = ping;
    s.List(EditorField::A232) = Baud115200;
    s.List(EditorField::B232) = Baud19200;
    s.Texts = std::move(texts);
    s.Acp = single;
    s.Acn = single;
    s.Triples.fill(triple);
    return s;
}

}  // namespace

EditorSnapshot DefaultsSnapshot() {
    return Preset(Ping180, SingleBoxes{.Buzzer = true, .Event = true},
                  TripleBoxes{.BuzzerIn = true, .EventIn = true},
                  {"11", "11", "120", "5", "90", "5", "4500", "5", "6", "7", "40", "900", "5"});
}

EditorSnapshot CalveraSnapshot() {
    return Preset(Ping60, SingleBoxes{.Buzzer = false, .Event = true},
                  TripleBoxes{.EventIn = true, .EventOut = true},
                  {"11", "11", "100", "10", "80", "10", "4500", "5", "1", "7", "40", "900", "5"});
}

}  // namespace vyx
