// The table of the fourteen section types, their orientation commands, the
// parameter line of the model file and the conversion of older models.
#include "attrib/section.h"

#include "attrib/sectionprops.h"
#include "units/numformat.h"
#include "units/realtext.h"

#include <cmath>
#include <cstdio>

namespace attrib {

namespace {

using namespace props;

// ---- Orientation codes and commands, one pair of functions per group of types ----

const char* fixedText(int) {
    return "Normal orientation";
}
int fixedOrient(int, int) {
    return -1;
}

// I-shape and the catalogue types: 0 web vertical, 1 web horizontal.
const char* iText(int code) {
    return code == 1 ? "Rotated orientation" : "Normal orientation";
}
int iOrient(int code, int command) {
    if (command == kFlipVertical || command == kFlipHorizontal) return -1;
    return code == 0 ? 1 : code == 1 ? 0 : code;
}

// Angle: flipping about a vertical axis toggles bit 4, about a horizontal
// axis bit 3 (0, 4, 3 and 7 are the four mirror images).
const char* angleText(int code) {
    switch (code) {
    case 4:
        return "Vertical flip orient.";
    case 3:
        return "Horizontal flip orient.";
    case 7:
        return "Vert. and Horiz. flip orient.";
    default:
        return "Normal orientation";
    }
}
int angleOrient(int code, int command) {
    switch (command) {
    case kFlipVertical:
        return code == 0 ? 4 : code == 4 ? 0 : code == 3 ? 7 : code == 7 ? 3 : code;
    case kFlipHorizontal:
        return code == 0 ? 3 : code == 3 ? 0 : code == 4 ? 7 : code == 7 ? 4 : code;
    default:
        return -1;
    }
}

// T-shape, C-shape, Double Angle and Girder Section: four quarter turns,
// counted anticlockwise (1 rotated left, 2 upside down, 3 rotated right).
const char* turnText(int code) {
    switch (code) {
    case 1:
        return "Rotated left";
    case 2:
        return "Rotated south";
    case 3:
        return "Rotated right";
    default:
        return "Normal orientation";
    }
}
int turn(int code, int command) {
    if (code < 0 || code > 3) return code;
    return command == kRotateLeft ? (code + 1) % 4 : (code + 3) % 4;
}
// A mirror image of a shape that is symmetric about its upright axis is one
// of its turns: flipping swaps 0 and 2 in the codes where the mirror axis
// crosses the axis of symmetry, 1 and 3 in the others.
int mirror(int code, int a, int b) {
    if (code == a) return b;
    if (code == b) return a;
    return -1;
}
int teeOrient(int code, int command) {
    switch (command) {
    case kFlipVertical:
        return mirror(code, 1, 3);
    case kFlipHorizontal:
        return mirror(code, 0, 2);
    default:
        return turn(code, command);
    }
}
int channelOrient(int code, int command) {
    switch (command) {
    case kFlipVertical:
        return mirror(code, 0, 2);
    case kFlipHorizontal:
        return mirror(code, 1, 3);
    default:
        return turn(code, command);
    }
}

// Z-shape: point symmetric, so both flips give the same image (bit 4) and
// both turns lay it down or stand it up (bit 1).
const char* zeeText(int code) {
    switch (code) {
    case 1:
        return "Rotated orientation";
    case 4:
        return "Flipped orientation";
    case 5:
        return "Rotated and Flipped orient.";
    default:
        return "Normal orientation";
    }
}
int zeeOrient(int code, int command) {
    const bool flip = command == kFlipVertical || command == kFlipHorizontal;
    switch (code) {
    case 0:
        return flip ? 4 : 1;
    case 1:
        return flip ? 5 : 0;
    case 4:
        return flip ? 0 : 5;
    case 5:
        return flip ? 1 : 4;
    default:
        return code;
    }
}

constexpr ParamQuantity L = kParamLength;
constexpr ParamQuantity N = kParamIndex;

const SectionType kTypes[kSectionTypeCount] = {
    {"Generic",
     "Generic",
     "GENERIC",
     4,
     {kParamArea, kParamInertia, L, L},
     1,
     {0},
     fixedText,
     fixedOrient,
     genericA,
     genericI,
     genericDepth,
     genericYgc,
     false,
     {}},
    {"Rectangle",
     "Rectangle",
     "RECTANGLE",
     2,
     {L, L},
     1,
     {0},
     fixedText,
     fixedOrient,
     rectA,
     rectI,
     rectDepth,
     rectYgc,
     false,
     {"  d = ", "  b = "}},
    {"I-shape",
     "I shape",
     "I",
     4,
     {L, L, L, L},
     2,
     {0, 1},
     iText,
     iOrient,
     iA,
     iI,
     iDepth,
     iYgc,
     true,
     {"  d = ", "  b  = ", "  tw = ", "  tf = "}},
    {"Angle",
     "Angle",
     "ANGLE",
     3,
     {L, L, L},
     4,
     {0, 4, 3, 7},
     angleText,
     angleOrient,
     angleA,
     angleI,
     angleDepth,
     angleYgc,
     true,
     {"  d = ", "  b = ", "  t = "}},
    {"T-shape",
     "T shape",
     "T",
     4,
     {L, L, L, L},
     4,
     {0, 1, 2, 3},
     turnText,
     teeOrient,
     teeA,
     teeI,
     teeDepth,
     teeYgc,
     true,
     {"  d = ", "  b  = ", "  tw = ", "  tf = "}},
    {"C-shape",
     "C shape",
     "C",
     4,
     {L, L, L, L},
     4,
     {0, 1, 2, 3},
     turnText,
     channelOrient,
     channelA,
     channelI,
     channelDepth,
     channelYgc,
     true,
     {"  d = ", "  b  = ", "  tw = ", "  tf = "}},
    {"Z-shape",
     "Z shape",
     "Z",
     3,
     {L, L, L},
     4,
     {0, 1, 4, 5},
     zeeText,
     zeeOrient,
     zeeA,
     zeeI,
     zeeDepth,
     zeeYgc,
     true,
     {"  d = ", "  b = ", "  t = "}},
    {"Circle",
     "Circle",
     "CIRCLE",
     1,
     {L},
     1,
     {0},
     fixedText,
     fixedOrient,
     circleA,
     circleI,
     roundDepth,
     roundYgc,
     false,
     {"  d = "}},
    {"Ring",
     "Ring",
     "RING",
     2,
     {L, L},
     1,
     {0},
     fixedText,
     fixedOrient,
     ringA,
     ringI,
     roundDepth,
     roundYgc,
     false,
     {"  d = ", "  t = "}},
    {"Double Angle",
     "Double Angle",
     "DOUBLE_ANGLE",
     4,
     {L, L, L, L},
     4,
     {0, 1, 2, 3},
     turnText,
     teeOrient,
     dangleA,
     dangleI,
     dangleDepth,
     dangleYgc,
     true,
     {"  d = ", "  b = ", "  t = ", "  e = "}},
    {"Girder Section",
     "Girder section",
     "GIRDER_SEC",
     8,
     {L, L, L, L, L, L, L, L},
     4,
     {0, 1, 2, 3},
     turnText,
     teeOrient,
     girderA,
     girderI,
     girderDepth,
     girderYgc,
     true,
     {"  d1 = ", "  d2 = ", "  d3 = ", "  d4 = ", "  d5 = ", "  b1 = ", "  b2 = ", "  tw = "}},
    {"Box",
     "Box",
     "BOX",
     4,
     {L, L, L, L},
     1,
     {0},
     fixedText,
     fixedOrient,
     boxA,
     boxI,
     rectDepth,
     rectYgc,
     false,
     {"  d  = ", "  b  = ", "  tw = ", "  tf = "}},
    {"NBR Welded I-shapes",
     nullptr,
     "WWF",
     3,
     {N, N, N},
     2,
     {0, 1},
     iText,
     iOrient,
     iA,
     iI,
     iDepth,
     iYgc,
     true,
     {"  d = ", "  b  = ", "  tw = ", "  tf = "}},
    {"Usilight I-shapes",
     nullptr,
     "EWF",
     2,
     {N, N},
     2,
     {0, 1},
     iText,
     iOrient,
     iA,
     iI,
     iDepth,
     iYgc,
     true,
     {"  d = ", "  b  = ", "  tw = ", "  tf = "}},
};

bool isCatalogue(int type) {
    return type == kSecWelded || type == kSecLight;
}

int param(const Section& s, int i) {
    return i < static_cast<int>(s.params.size()) ? static_cast<int>(s.params[i]) : 0;
}

} // namespace

const SectionType& sectionType(int index) {
    return kTypes[validSectionType(index) ? index : kSecGeneric];
}

bool validSectionType(int index) {
    return index >= 0 && index < kSectionTypeCount;
}

Section makeSection(int type) {
    Section s;
    s.type = validSectionType(type) ? type : kSecGeneric;
    s.params.assign(sectionType(s.type).paramCount, 0.0);
    if (isCatalogue(s.type)) s.params[0] = 1;
    return s;
}

double sectionArea(const Section& s) {
    return sectionType(s.type).area(s);
}
double sectionInertia(const Section& s) {
    return sectionType(s.type).inertia(s);
}
const char* negativeSectionPart(const Section& s) {
    const SectionType& t = sectionType(s.type);
    for (int i = 0; i < t.paramCount && i < int(s.params.size()); ++i) {
        if (!(s.params[i] < 0)) continue;
        switch (t.quantity[i]) {
        case kParamLength:
            return "dimension";
        case kParamArea:
            return "area";
        case kParamInertia:
            return "moment of inertia";
        case kParamIndex:
            break;
        }
    }
    if (sectionArea(s) < 0) return "area";
    if (sectionInertia(s) < 0) return "moment of inertia";
    return nullptr;
}
double sectionDepth(const Section& s) {
    return sectionType(s.type).depth(s);
}
double sectionYgc(const Section& s) {
    return sectionType(s.type).ygc(s);
}

std::string sectionTypeName(const Section& s) {
    if (const CatalogueRow* r = sectionCatalogueRow(s)) return r->designation;
    return sectionType(s.type).name;
}

const char* sectionOrientationText(const Section& s) {
    return sectionType(s.type).orientationText(s.orientation);
}

bool orientationAvailable(const Section& s, int command) {
    if (command < 0 || command >= kOrientCommandCount) return false;
    return sectionType(s.type).orient(s.orientation, command) >= 0;
}

bool applyOrientation(Section& s, int command) {
    if (!orientationAvailable(s, command)) return false;
    s.orientation = sectionType(s.type).orient(s.orientation, command);
    return true;
}

bool admitsOrientation(int type, int code) {
    const SectionType& t = sectionType(type);
    for (int i = 0; i < t.codeCount; ++i)
        if (t.codes[i] == code) return true;
    return false;
}

WeldedPosition weldedPosition(const Section& s) {
    return clampWelded({param(s, 0), param(s, 1), param(s, 2)});
}
LightPosition lightPosition(const Section& s) {
    return clampLight({param(s, 0), param(s, 1)});
}
void setWeldedPosition(Section& s, WeldedPosition p) {
    p = clampWelded(p);
    s.params = {double(p.family), double(p.group), double(p.row)};
}
void setLightPosition(Section& s, LightPosition p) {
    p = clampLight(p);
    s.params = {double(p.family), double(p.row)};
}

const CatalogueRow* sectionCatalogueRow(const Section& s) {
    if (s.type == kSecWelded) {
        const WeldedPosition p = weldedPosition(s);
        return weldedRow(p.family, p.group, p.row);
    }
    if (s.type == kSecLight) {
        const LightPosition p = lightPosition(s);
        return lightRow(p.family, p.row);
    }
    return nullptr;
}

std::string sectionDescription(const Section& s) {
    const SectionType& t = sectionType(s.type);
    if (s.type == kSecGeneric) return "  Global params.:\n";
    std::string out;
    if (t.describesOrientation) out = std::string("  ") + t.orientationText(s.orientation) + "\n";
    double values[kMaxSectionParams] = {};
    int count = t.paramCount;
    if (const CatalogueRow* r = sectionCatalogueRow(s)) {
        values[0] = r->d, values[1] = r->b, values[2] = r->tw, values[3] = r->tf;
        count = 4;
    } else {
        for (int i = 0; i < count; ++i) values[i] = i < int(s.params.size()) ? s.params[i] : 0;
    }
    for (int i = 0; i < count; ++i)
        out += t.lineHeads[i] +
               units::formatValueWithUnit(units::kSectionSizeUnit, units::kSectionSizeFormat,
                                          values[i]) +
               "\n";
    return out;
}

// ---- Model file ----

std::string sectionParamLine(const Section& s) {
    const SectionType& t = sectionType(s.type);
    std::string line;
    char buf[64];
    for (int i = 0; i < t.paramCount; ++i) {
        const double v = i < int(s.params.size()) ? s.params[i] : 0;
        if (isCatalogue(s.type))
            std::snprintf(buf, sizeof buf, " %d", static_cast<int>(v));
        else
            std::snprintf(buf, sizeof buf, " %s", units::realG(v).c_str());
        line += buf;
    }
    return line + "\n";
}

bool writeSectionParams(const Section& s, std::FILE* f) {
    return std::fputs(sectionParamLine(s).c_str(), f) >= 0;
}

namespace {
// Reads the type's parameters into `out`; false at the first missing or
// non-finite number, and for a catalogue position that is not a whole
// number (the numbers are read as reals so that an out-of-range integer is
// refused instead of overflowing).
bool readParams(int type, std::FILE* f, std::vector<double>& out) {
    const SectionType& t = sectionType(type);
    out.assign(t.paramCount, 0.0);
    for (int i = 0; i < t.paramCount; ++i) {
        double& v = out[i];
        if (std::fscanf(f, "%lf", &v) != 1 || !std::isfinite(v)) return false;
        if (isCatalogue(type) && (v != std::floor(v) || std::abs(v) > 1e6)) return false;
    }
    return true;
}
} // namespace

bool readSectionParams(Section& s, std::FILE* f) {
    if (!validSectionType(s.type)) s.type = kSecGeneric;
    std::vector<double> values;
    if (!readParams(s.type, f, values)) return false;
    s.params = std::move(values);
    if (s.type == kSecWelded) setWeldedPosition(s, weldedPosition(s));
    if (s.type == kSecLight) setLightPosition(s, lightPosition(s));
    if (!admitsOrientation(s.type, s.orientation)) s.orientation = 0;
    return true;
}

bool skipSectionParams(int type, std::FILE* f) {
    std::vector<double> values;
    return validSectionType(type) && readParams(type, f, values);
}

Section* sectionOf(PropertyBlock* b) {
    auto* sb = dynamic_cast<SectionBlock*>(b);
    return sb ? &sb->section : nullptr;
}

void convertSectionParams(Section& s, int lengthCode, int areaCode, int inertiaCode) {
    const SectionType& t = sectionType(s.type);
    for (int i = 0; i < t.paramCount && i < int(s.params.size()); ++i) {
        switch (t.quantity[i]) {
        case kParamLength:
            s.params[i] = units::toInternal(lengthCode, s.params[i]);
            break;
        case kParamArea:
            s.params[i] = units::toInternal(areaCode, s.params[i]);
            break;
        case kParamInertia:
            s.params[i] = units::toInternal(inertiaCode, s.params[i]);
            break;
        case kParamIndex:
            break;
        }
    }
}

} // namespace attrib
