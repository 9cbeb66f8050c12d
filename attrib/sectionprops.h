// The property formulas of the section types, one function per type and
// property; attrib/section.cpp puts them into the table of section types.
// Internal to attrib/: the rest of the program goes through the table.
#pragma once

#include "attrib/section.h"

namespace attrib::props {

double genericA(const Section&), genericI(const Section&), genericDepth(const Section&),
    genericYgc(const Section&);
double rectA(const Section&), rectI(const Section&), rectDepth(const Section&),
    rectYgc(const Section&);
double iA(const Section&), iI(const Section&), iDepth(const Section&), iYgc(const Section&);
double angleA(const Section&), angleI(const Section&), angleDepth(const Section&),
    angleYgc(const Section&);
double teeA(const Section&), teeI(const Section&), teeDepth(const Section&), teeYgc(const Section&);
double channelA(const Section&), channelI(const Section&), channelDepth(const Section&),
    channelYgc(const Section&);
double zeeA(const Section&), zeeI(const Section&), zeeDepth(const Section&), zeeYgc(const Section&);
double circleA(const Section&), circleI(const Section&), ringA(const Section&),
    ringI(const Section&), roundDepth(const Section&), roundYgc(const Section&);
double dangleA(const Section&), dangleI(const Section&), dangleDepth(const Section&),
    dangleYgc(const Section&);
double girderA(const Section&), girderI(const Section&), girderDepth(const Section&),
    girderYgc(const Section&);
double boxA(const Section&), boxI(const Section&);

} // namespace attrib::props
