// The small generated signal most reader tests start from.
#pragma once

#include "tools/lgomgen/lgomgen.h"

#include <string>

namespace lgsigtest {

// Three channels of five samples holding both extremes of the 16-bit range;
// in MIN layouts the middle channel is inactive.
inline lgomgen::Signal SmallSignal(lgomgen::Layout layout) {
    lgomgen::Signal s;
    s.layout = layout;
    s.samplingRate = 500.9;
    s.start = {2023, 11, 7, 13, 45, 59, 250};
    s.headerScale = 4;
    s.channels.resize(3);
    const bool mbj = layout == lgomgen::Layout::MBJ;
    const char* components[] = {"z", "x", "y"};
    for (int c = 0; c < 3; ++c) {
        lgomgen::Channel& ch = s.channels[c];
        ch.number = 11 + c;
        ch.component = mbj ? components[c] : (c == 0 ? "Z" : c == 1 ? " N" : "E  ");
        ch.name = c == 0 ? "STA1" : "ST" + std::to_string(c + 1);
        ch.x = 1000.5 + c;
        ch.y = 2000.25 + c;
        ch.z = 300.0 + c;
        ch.factor1 = 2.0;
        ch.factor2 = 5.0;
        ch.factor3 = 0.5;
        ch.sensorType = c == 2 ? 'v' : 'a';
        ch.enabled = c != 2;
    }
    s.channels[2].x = s.channels[2].y = s.channels[2].z = 0.0;
    s.channels[0].samples = {100, -200, 32767, 0, 5};
    s.channels[1].samples = {1, 2, 3, 4, 5};
    s.channels[2].samples = {-32768, 7, 8, 9, 10};
    if (layout == lgomgen::Layout::MIN32 || layout == lgomgen::Layout::MIN64) s.channels[1].active = false;
    return s;
}

}  // namespace lgsigtest
