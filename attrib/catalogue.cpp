// The welded and light I-shape catalogues and the moves of a position in them.
#include "attrib/catalogue.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace attrib {

namespace {

// A depth group of the welded catalogue: its rows are `count` consecutive
// entries of kWeldedRows from `first`.
struct GroupSpan {
    int family, group, first, count;
};

#include "welded_table.inc"

constexpr int kWeldedTotal = static_cast<int>(std::size(kWeldedRows));
constexpr int kSpanTotal = static_cast<int>(std::size(kWeldedSpans));

// Index in kWeldedSpans of group 0 of each family, and the family's group count.
struct FamilyIndex {
    std::array<int, kCatalogueFamilyCount> firstSpan{};
    std::array<int, kCatalogueFamilyCount> groups{};
};

const FamilyIndex& familyIndex() {
    static const FamilyIndex index = [] {
        FamilyIndex fi;
        for (int s = kSpanTotal - 1; s >= 0; --s) {
            const int f = kWeldedSpans[s].family - 1;
            fi.firstSpan[f] = s;
            ++fi.groups[f];
        }
        return fi;
    }();
    return index;
}

const GroupSpan* span(int family, int group) {
    if (family < 1 || family > kCatalogueFamilyCount) return nullptr;
    const FamilyIndex& fi = familyIndex();
    if (group < 0 || group >= fi.groups[family - 1]) return nullptr;
    return &kWeldedSpans[fi.firstSpan[family - 1] + group];
}

constexpr const char* kFamilyItems[kCatalogueFamilyCount] = {"Beam", "Column", "Beam-Column"};
constexpr const char* kLightItems[kCatalogueFamilyCount] = {"Beam", "Column", "Equiv. Beam"};

constexpr CatalogueRow kLightBeams[] = {
    {"VE100x6", 0.1, 0.08, 0.003, 0.003},      {"VE150x11", 0.15, 0.1, 0.00475, 0.003},
    {"VE200x14", 0.2, 0.125, 0.00475, 0.003},  {"VE250x19", 0.25, 0.125, 0.00475, 0.00475},
    {"VE300x26", 0.3, 0.15, 0.00635, 0.00475}, {"VE350x35", 0.35, 0.175, 0.008, 0.00475},
    {"VE400x44", 0.4, 0.2, 0.0095, 0.00475},   {"VE450x59", 0.45, 0.25, 0.0095, 0.00635},
};
constexpr CatalogueRow kLightColumns[] = {
    {"CE150x20", 0.15, 0.15, 0.00635, 0.00475},
    {"CE200x34", 0.2, 0.2, 0.008, 0.00635},
    {"CE250x49", 0.25, 0.25, 0.0095, 0.00635},
    {"CE300x76", 0.3, 0.3, 0.0125, 0.008},
};
constexpr CatalogueRow kLightEquivalent[] = {
    {"VEE100x11", 0.1, 0.1, 0.00475, 0.00475},  {"VEE150x18", 0.15, 0.1, 0.008, 0.00475},
    {"VEE200x26", 0.2, 0.125, 0.0095, 0.00475}, {"VEE250x35", 0.25, 0.175, 0.0095, 0.00475},
    {"VEE300x50", 0.3, 0.2, 0.0125, 0.00475},
};

struct LightFamily {
    const CatalogueRow* rows;
    int count;
};
constexpr LightFamily kLightFamilies[kCatalogueFamilyCount] = {
    {kLightBeams, static_cast<int>(std::size(kLightBeams))},
    {kLightColumns, static_cast<int>(std::size(kLightColumns))},
    {kLightEquivalent, static_cast<int>(std::size(kLightEquivalent))},
};

int familyOfItem(int item) {
    return item == 2 || item == 3 ? item : 1;
}

} // namespace

// ---- Welded ----

const char* weldedFamilyItem(int family) {
    return family >= 1 && family <= kCatalogueFamilyCount ? kFamilyItems[family - 1] : "";
}

int weldedGroupCount(int family) {
    if (family < 1 || family > kCatalogueFamilyCount) return 0;
    return familyIndex().groups[family - 1];
}

int weldedRowCount(int family, int group) {
    const GroupSpan* s = span(family, group);
    return s ? s->count : 0;
}

double weldedGroupDepth(int family, int group) {
    const GroupSpan* s = span(family, group);
    return s ? kWeldedRows[s->first].d : 0;
}

const CatalogueRow* weldedRow(int family, int group, int row) {
    const GroupSpan* s = span(family, group);
    if (!s || row < 0 || row >= s->count) return nullptr;
    return &kWeldedRows[s->first + row];
}

int weldedRowTotal() {
    return kWeldedTotal;
}

const CatalogueRow& weldedRowAt(int index) {
    return kWeldedRows[std::clamp(index, 0, kWeldedTotal - 1)];
}

WeldedPosition clampWelded(WeldedPosition p) {
    if (p.family < 1 || p.family > kCatalogueFamilyCount) p.family = 1;
    p.group = std::clamp(p.group, 0, weldedGroupCount(p.family) - 1);
    p.row = std::clamp(p.row, 0, weldedRowCount(p.family, p.group) - 1);
    return p;
}

WeldedPosition weldedChooseFamily(WeldedPosition p, int item) {
    p.family = familyOfItem(item);
    p.row = 0;
    return clampWelded(p);
}

WeldedPosition weldedChooseDepth(WeldedPosition p, int item) {
    p.group = std::max(item - 1, 0);
    p.row = 0;
    return clampWelded(p);
}

WeldedPosition weldedStep(WeldedPosition p, WeldedStep step) {
    p = clampWelded(p);
    const int last = weldedRowCount(p.family, p.group) - 1;
    switch (step) {
    case kStepFirst:
        p.row = 0;
        break;
    case kStepPrevious:
        if (p.row > 0) --p.row;
        break;
    case kStepNext:
        if (p.row < last) ++p.row;
        break;
    case kStepLast:
        p.row = last;
        break;
    }
    return p;
}

// ---- Light ----

const char* lightFamilyItem(int family) {
    return family >= 1 && family <= kCatalogueFamilyCount ? kLightItems[family - 1] : "";
}

int lightRowCount(int family) {
    return family >= 1 && family <= kCatalogueFamilyCount ? kLightFamilies[family - 1].count : 0;
}

const CatalogueRow* lightRow(int family, int row) {
    if (row < 0 || row >= lightRowCount(family)) return nullptr;
    return &kLightFamilies[family - 1].rows[row];
}

LightPosition clampLight(LightPosition p) {
    if (p.family < 1 || p.family > kCatalogueFamilyCount) p.family = 1;
    p.row = std::clamp(p.row, 0, lightRowCount(p.family) - 1);
    return p;
}

LightPosition lightChooseFamily(LightPosition p, int item) {
    p.family = familyOfItem(item);
    p.row = 0;
    return clampLight(p);
}

LightPosition lightChooseDepth(LightPosition p, int item) {
    p.row = std::max(item - 1, 0);
    return clampLight(p);
}

} // namespace attrib
