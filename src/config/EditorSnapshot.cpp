#include "EditorSnapshot.h"

namespace vyx {

void ApplyBuzzerCoupling(TripleBoxes& boxes, BuzzerBox changed) {
    if (changed == BuzzerBox::While) {
        if (boxes.BuzzerWhile) {
            boxes.BuzzerIn = false;
            boxes.BuzzerOut = false;
        }
    } else if (changed == BuzzerBox::In ? boxes.BuzzerIn : boxes.BuzzerOut) {
        boxes.BuzzerWhile = false;
    }
}

}  // namespace vyx
