// Cross sections: the section object that a section property block owns, and
// the table of the fourteen section types. Each type is one entry of the
// table, a set of operations over the common section object (defaults,
// properties A, I, depth and ygc in the section's orientation, the
// orientation codes and commands it admits, texts, the parameter line of the
// model file, unit conversion of older models). The rest of the program
// reaches a section only through its type's entry; the panel pages and the
// picture of the shape are the shell's, in a table indexed by the same type
// number (shell/panels/sectionpanel.h).
//
// Parameters are in internal units: lengths in metres, A in square metres,
// I in metres to the fourth. The two catalogue types hold integers (stored
// as doubles) that select a catalogue row (attrib/catalogue.h).
#pragma once

#include "attrib/attrib.h"
#include "attrib/catalogue.h"

#include <cstdio>
#include <string>
#include <vector>

namespace attrib {

// Type indices, in table order (the index is what the model file stores).
enum SectionTypeIndex {
    kSecGeneric = 0,
    kSecRectangle,
    kSecIShape,
    kSecAngle,
    kSecTShape,
    kSecCShape,
    kSecZShape,
    kSecCircle,
    kSecRing,
    kSecDoubleAngle,
    kSecGirder,
    kSecBox,
    kSecWelded,
    kSecLight,
    kSectionTypeCount
};

constexpr int kMaxSectionParams = 8;

struct Section {
    int type = kSecGeneric;
    int orientation = 0;
    std::vector<double> params; // count and meaning set by the type
};

// The four orientation commands of the section panel.
enum OrientCommand { kFlipVertical = 0, kFlipHorizontal, kRotateLeft, kRotateRight };
constexpr int kOrientCommandCount = 4;

// How a parameter converts between units.
enum ParamQuantity { kParamLength, kParamArea, kParamInertia, kParamIndex };

struct SectionType {
    const char* item; // text of the "Section type:" list
    const char* name; // type name of the inquiry (catalogue types: the row's designation)
    const char* key;  // suffix of the page's field actions ("RECTANGLE": ParamSetValue_RECTANGLE)
    int paramCount;
    ParamQuantity quantity[kMaxSectionParams];
    // Orientation codes it admits, in the order of their texts.
    int codeCount;
    int codes[4];
    // The text of an orientation code ("Normal orientation", ...).
    const char* (*orientationText)(int code);
    // The code after a command, or -1 when the command is not available in
    // this code. A code that the command's transitions do not list stays.
    int (*orient)(int code, int command);
    double (*area)(const Section&);
    double (*inertia)(const Section&);
    double (*depth)(const Section&);
    double (*ygc)(const Section&);
    // The member inquiry's description: whether it starts with the
    // orientation text, and the text before each parameter's value.
    bool describesOrientation;
    const char* lineHeads[kMaxSectionParams];
};

// The type record of an index; indices outside 0..13 give the Generic type.
const SectionType& sectionType(int index);
bool validSectionType(int index);

// ---- Operations on a section, through its type ----

// A new section of a type with the type's defaults: every parameter 0 and
// orientation 0; catalogue types select their first row (family 1).
Section makeSection(int type);
double sectionArea(const Section& s);
double sectionInertia(const Section& s);
// What of a section is negative, which no panel accepts: "area",
// "moment of inertia" or "dimension" (a parameter first, then the values
// computed from them); nullptr when nothing is.
const char* negativeSectionPart(const Section& s);
double sectionDepth(const Section& s);
double sectionYgc(const Section& s);
// The type name of the inquiry: the type's name, or for a catalogue section
// the designation of its row.
std::string sectionTypeName(const Section& s);
// The member inquiry's lines under the type name, each parameter in the
// section-size display unit ("  d = 30.00 cm\n").
std::string sectionDescription(const Section& s);
const char* sectionOrientationText(const Section& s);
bool orientationAvailable(const Section& s, int command);
// Applies an orientation command; returns false (and changes nothing) when
// it is not available.
bool applyOrientation(Section& s, int command);
// Whether the type admits an orientation code.
bool admitsOrientation(int type, int code);

// The d, b, tf and tw of the catalogue row of a type 12 or 13 section
// (nearest existing row when the stored position is out of range); null for
// any other type.
const CatalogueRow* sectionCatalogueRow(const Section& s);
WeldedPosition weldedPosition(const Section& s);
LightPosition lightPosition(const Section& s);
void setWeldedPosition(Section& s, WeldedPosition p);
void setLightPosition(Section& s, LightPosition p);

// ---- Model file ----

// The parameter line: a blank, the parameters (" %g" each; catalogue
// integers " %d"), a newline.
std::string sectionParamLine(const Section& s);
bool writeSectionParams(const Section& s, std::FILE* f);
// Reads the parameters of a section whose type and orientation are already
// set. False on a missing or malformed number (the parameters then stay as
// they were); catalogue positions are clamped to existing rows and a code
// the type does not admit becomes 0.
bool readSectionParams(Section& s, std::FILE* f);
// Reads and discards the parameters of a section of a type (import skips).
bool skipSectionParams(int type, std::FILE* f);

// Converts the parameters of a section of an older model from stated units
// (unit codes of units/units.h) to internal units. Catalogue types convert
// nothing.
void convertSectionParams(Section& s, int lengthCode, int areaCode, int inertiaCode);

// A section property block: the common head and the section it owns.
struct SectionBlock : PropertyBlock {
    Section section = makeSection(kSecGeneric);
};
// The section of a section block, or none for any other block.
Section* sectionOf(PropertyBlock* b);

} // namespace attrib
