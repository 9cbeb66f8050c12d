// The steel section catalogues: the welded I-shapes (series VS "Beam", CS
// "Column" and CVS "Beam-Column", in depth groups) and the light I-shapes
// (VE, CE and VEE, without groups). The rows are constant tables compiled
// into the program; the welded rows are generated at build time from
// attrib/data/welded_i_shapes.csv. A catalogue section stores only the
// position of its row; the section types (attrib/section.h) and the section
// panel read the rows and move the position through the functions here.
#pragma once

namespace attrib {

// One catalogue row: designation, then total depth, flange width, flange
// thickness and web thickness in metres.
struct CatalogueRow {
    const char* designation;
    double d, b, tf, tw;
};

constexpr int kCatalogueFamilyCount = 3; // families 1 to 3

// ---- Welded catalogue: family (1 to 3), depth group (from 0), row (from 0) ----

// Item text of a family in the "type:" list ("Beam", "Column", "Beam-Column");
// "" outside 1..3.
const char* weldedFamilyItem(int family);
// Number of depth groups of a family (32, 11, 10); 0 outside 1..3.
int weldedGroupCount(int family);
// Number of rows of a depth group; 0 when the group does not exist.
int weldedRowCount(int family, int group);
// Depth of a group (the d of each of its rows); 0 when it does not exist.
double weldedGroupDepth(int family, int group);
// The row, or null when the position does not exist.
const CatalogueRow* weldedRow(int family, int group, int row);
// Every welded row in catalogue order (families 1 to 3, groups, rows).
int weldedRowTotal();
const CatalogueRow& weldedRowAt(int index);

struct WeldedPosition {
    int family = 1, group = 0, row = 0;
    bool operator==(const WeldedPosition&) const = default;
};
// The nearest existing position: family outside 1..3 becomes 1, group and row
// are clamped to the family's and the group's ranges.
WeldedPosition clampWelded(WeldedPosition p);
// Choosing item k of the "type:" list: items 2 and 3 select families 2 and 3,
// any other item family 1; the group is clamped to the new family and the
// row goes back to 0.
WeldedPosition weldedChooseFamily(WeldedPosition p, int item);
// Choosing item k of the depth list: group k - 1 (at least 0), clamped to the
// family's last group; the row goes back to 0.
WeldedPosition weldedChooseDepth(WeldedPosition p, int item);
// The four stepping buttons inside a depth group. Stepping never leaves the
// group: Previous on the first row and Next on the last change nothing.
enum WeldedStep { kStepFirst, kStepPrevious, kStepNext, kStepLast };
WeldedPosition weldedStep(WeldedPosition p, WeldedStep step);

// ---- Light catalogue: family (1 to 3), row (from 0) ----

// "Beam", "Column", "Equiv. Beam"; "" outside 1..3.
const char* lightFamilyItem(int family);
// Number of rows of a family (8, 4, 5); 0 outside 1..3.
int lightRowCount(int family);
const CatalogueRow* lightRow(int family, int row);

struct LightPosition {
    int family = 1, row = 0;
    bool operator==(const LightPosition&) const = default;
};
LightPosition clampLight(LightPosition p);
// Items 2 and 3 select families 2 and 3, any other item family 1; row 0.
LightPosition lightChooseFamily(LightPosition p, int item);
// Item k selects row k - 1 (at least 0), clamped to the family's last row.
LightPosition lightChooseDepth(LightPosition p, int item);

} // namespace attrib
