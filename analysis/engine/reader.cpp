// Reading of the neutral file: the header copy into the result file, the first pass (sizes and
// global data) and the second pass (nodes, materials, sections, elements, loads). Every
// malformed record ends the analysis with its fixed message through fem_fail.
#include "analysis/engine/fem.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace kestrel::engine {

namespace {

constexpr std::size_t kLineChars = 8192;
constexpr const char* kNoEnd = "\n Invalid neutral file or label END doesn't exist\n\n";
constexpr const char* kSameCount = "total number of materials in the problem  !!!  \n\n";

bool starts_with(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

// Memory follows the bytes of the input, not the counts it claims: a block's count may not
// exceed the records that the rest of the file can hold, each record taking at least one
// character and one separator per number. A count the file cannot back is as malformed as a
// missing or negative one and gets the count message of its block.
bool read_count(int* count, const char* message, int fields) {
    const Scan& in = g_fem.in;
    if (!scan_int(g_fem.in, count) || *count < 0) return fem_fail(message);
    const std::size_t left = static_cast<std::size_t>(in.end - in.p);
    if (static_cast<std::size_t>(*count) > left / (2 * static_cast<std::size_t>(fields)))
        return fem_fail(message);
    return true;
}

// The node, element and material counts have no records of their own; each node, element or
// material must still be named by some record (a node by an element record, which names two
// in seven numbers), so none of them may exceed what the whole file can name.
constexpr int kBytesPerNode = 7;
constexpr int kBytesPerElement = 14;
constexpr int kBytesPerMaterial = 6;
// A load case is backed by the shortest block that names it: "%LOAD.CASE\n1 ''\n".
constexpr int kBytesPerCase = 16;

constexpr const char* kCaseCount = "\n Error on reading number of load cases !!!\n\n";
constexpr const char* kCaseRecord = "\n Error on reading load case number and label !!!\n\n";
constexpr const char* kCaseRange =
    "\n Load case number must lie between 1 and the number of load cases !!!\n\n";

bool read_global_count(int* count, const char* message, int bytes_per_item) {
    const Scan& in = g_fem.in;
    if (!scan_int(g_fem.in, count) || *count < 0) return fem_fail(message);
    const std::size_t size = static_cast<std::size_t>(in.end - in.begin);
    if (static_cast<std::size_t>(*count) > size / static_cast<std::size_t>(bytes_per_item))
        return fem_fail(message);
    return true;
}

// A node number in range; remembered so that a later, smaller coordinate block cannot leave
// a record pointing past the node tables.
bool valid_node(int n) {
    FemState& m = g_fem;
    if (n < 1 || n > m.nnode) return false;
    if (n > m.max_node_ref) m.max_node_ref = n;
    return true;
}

// Density or thermal expansion block of the first pass: one value per material number.
bool read_material_values(double** table, int* size, int* count, const char* count_msg,
                          const char* rec_msg, const char* mismatch) {
    FemState& m = g_fem;
    if (!read_count(count, count_msg, 2)) return false;
    if (*count != 0 && *count != m.nmat) {
        std::string text = std::string("\n") + mismatch + kSameCount;
        return fem_fail(text.c_str());
    }
    utl_free(*table);
    *size = 0;
    *table = static_cast<double*>(utl_calloc(static_cast<std::size_t>(m.nmat) + 1, sizeof(double)));
    if (!*table) return false;
    *size = m.nmat + 1; // a later material count may differ: the table keeps its own size
    for (int i = 0; i < *count; ++i) {
        int mat = 0;
        double v = 0;
        if (!scan_int(m.in, &mat) || !scan_double(m.in, &v) || mat < 1 || mat > m.nmat)
            return fem_fail(rec_msg);
        (*table)[mat] = v;
    }
    return true;
}

// The record of a %LOAD.CASE block: the case number, then its label between quotes on one
// line (blanks and line breaks may come before it). The label is cut to kCaseLabelBytes. A '%'
// in a label is refused: in the copy of the model in the result file it would begin a block.
bool read_case_record(int* number, std::string* label) {
    Scan& in = g_fem.in;
    if (!scan_int(in, number)) return fem_fail(kCaseRecord);
    while (in.p < in.end && (*in.p == ' ' || *in.p == '\t' || *in.p == '\n' || *in.p == '\r'))
        ++in.p;
    if (in.p == in.end || *in.p != '\'') return fem_fail(kCaseRecord);
    const char* start = ++in.p;
    while (in.p < in.end && *in.p != '\'' && *in.p != '\n' && *in.p != '%') ++in.p;
    if (in.p == in.end || *in.p != '\'') return fem_fail(kCaseRecord);
    const std::size_t length = static_cast<std::size_t>(in.p - start);
    label->assign(start, length < kCaseLabelBytes ? length : kCaseLabelBytes);
    ++in.p;
    return true;
}

// Appends the non-zero values of one six-value line as (node, freedom, value) records of the
// case whose loads are being read.
bool add_dof_records(DofRecord** table, int* n, int* cap, int node, const double v[6]) {
    for (int k = 0; k < 6; ++k) {
        if (v[k] == 0.0) continue;
        if (*n == *cap) {
            int grow = *cap < 16 ? 16 : *cap * 2;
            auto* bigger = static_cast<DofRecord*>(
                utl_calloc(static_cast<std::size_t>(grow), sizeof(DofRecord)));
            if (!bigger) return false;
            if (*n) std::memcpy(bigger, *table, sizeof(DofRecord) * static_cast<std::size_t>(*n));
            utl_free(*table);
            *table = bigger;
            *cap = grow;
        }
        (*table)[(*n)++] = DofRecord{node, k, v[k], g_fem.current_case};
    }
    return true;
}

// Blocks of nodal records with six values: springs, nodal forces, prescribed displacements.
bool read_dof_block(DofRecord** table, int* n, int* cap, const char* count_msg,
                    const char* rec_msg) {
    int count = 0;
    if (!read_count(&count, count_msg, 7)) return false;
    for (int i = 0; i < count; ++i) {
        int node = 0;
        double v[6];
        if (!scan_int(g_fem.in, &node) || !scan_doubles(g_fem.in, v, 6) || !valid_node(node))
            return fem_fail(rec_msg);
        if (!add_dof_records(table, n, cap, node, v)) return false;
    }
    return true;
}

bool alloc_nodes(int count) {
    FemState& m = g_fem;
    double** coord = utl_dmatalloc(count, 3);
    int** dof = utl_imatalloc(count, kDofsPerNode);
    int* skew = static_cast<int*>(utl_calloc(static_cast<std::size_t>(count) + 1, sizeof(int)));
    if (!coord || !dof || !skew) {
        utl_dmatfree(coord);
        utl_imatfree(dof);
        utl_free(skew);
        return false;
    }
    int keep = count < m.nnode ? count : m.nnode;
    for (int i = 0; i < count; ++i) skew[i] = -1;
    for (int i = 0; i < keep && m.coord; ++i) {
        std::memcpy(coord[i], m.coord[i], 3 * sizeof(double));
        std::memcpy(dof[i], m.dof[i], kDofsPerNode * sizeof(int));
        skew[i] = m.skew_of[i];
    }
    utl_dmatfree(m.coord);
    utl_imatfree(m.dof);
    utl_free(m.skew_of);
    m.coord = coord;
    m.dof = dof;
    m.skew_of = skew;
    m.nnode = count;
    return true;
}

// ---- Second-pass blocks -------------------------------------------------------------

bool read_title() {
    std::string title;
    scan_quoted(g_fem.in, &title);
    return true;
}

bool read_coords() {
    FemState& m = g_fem;
    int count = 0;
    // The count replaces the node count, but never below a node that records read before
    // it name: those records would be left pointing past the tables.
    if (!read_count(&count, "\n Error on reading number of nodes !!!\n\n", 4) ||
        count < m.max_node_ref)
        return fem_fail("\n Error on reading number of nodes !!!\n\n");
    if (count != m.nnode && !alloc_nodes(count)) return false;
    for (int i = 0; i < count; ++i) {
        int node = 0;
        double xyz[3];
        if (!scan_int(m.in, &node) || !scan_doubles(m.in, xyz, 3) || node < 1 || node > m.nnode)
            return fem_fail(" Error on reading nodes coordinates !!!\n\n");
        std::memcpy(m.coord[node - 1], xyz, sizeof xyz);
    }
    return true;
}

bool read_supports() {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, "\n Error on reading number of node supports !!!\n\n", 7)) return false;
    for (int i = 0; i < count; ++i) {
        int node = 0, f[6];
        bool ok = scan_int(m.in, &node);
        for (int k = 0; ok && k < 6; ++k) ok = scan_int(m.in, &f[k]);
        if (!ok || !valid_node(node)) return fem_fail("\n Error on reading node supports !!!\n\n");
        for (int k = 0; k < 6; ++k) m.dof[node - 1][k] = f[k] != 0 ? 1 : 0;
    }
    return true;
}

bool read_skew() {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, "\n Error on reading number of skew nodes !!!\n\n", 7)) return false;
    // A further block adds to the skew nodes already read.
    auto* skews = static_cast<SkewNode*>(utl_calloc(
        static_cast<std::size_t>(m.nskew) + static_cast<std::size_t>(count), sizeof(SkewNode)));
    if (!skews) return false;
    if (m.nskew) std::memcpy(skews, m.skews, sizeof(SkewNode) * static_cast<std::size_t>(m.nskew));
    utl_free(m.skews);
    m.skews = skews;
    for (int i = 0; i < count; ++i) {
        SkewNode& s = m.skews[m.nskew];
        if (!scan_int(m.in, &s.node) || !scan_doubles(m.in, s.angles, 6) || !valid_node(s.node))
            return fem_fail("\n Error on reading skew nodes !!!\n\n");
        fem_skew_matrix(&s);
        m.skew_of[s.node - 1] = m.nskew++;
    }
    return true;
}

bool read_springs() {
    FemState& m = g_fem;
    return read_dof_block(&m.springs, &m.nspring, &m.spring_cap,
                          "\n Error on reading number of springs !!!\n\n",
                          "\n Error on reading springs !!!\n\n");
}

bool read_forces() {
    FemState& m = g_fem;
    return read_dof_block(&m.forces, &m.nforce, &m.force_cap,
                          "\n Error on reading number of concentrated loads !!!\n\n",
                          "\n Error on reading concentrated loads !!!\n\n");
}

bool read_prescribed() {
    FemState& m = g_fem;
    return read_dof_block(&m.presc, &m.npresc, &m.presc_cap,
                          "\n Error on reading number of prescribe displacements !!!\n\n",
                          "\n Error on reading prescribed displacements !!!\n\n");
}

// Offset and floor nodes are read and checked but play no part in a frame analysis.
bool read_offsets() {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, "\n Error on reading number of offset nodes !!!\n\n", 5)) return false;
    for (int i = 0; i < count; ++i) {
        int node = 0, kind = 0;
        double v[3];
        if (!scan_int(m.in, &node) || !scan_int(m.in, &kind) || !scan_doubles(m.in, v, 3))
            return fem_fail("\n Error on reading offset nodes !!!\n\n");
    }
    m.noffset = count;
    return true;
}

bool read_floors() {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, "\n Error on reading number of floor nodes !!!\n\n", 2)) return false;
    for (int i = 0; i < count; ++i) {
        int node = 0, floor = 0;
        if (!scan_int(m.in, &node) || !scan_int(m.in, &floor))
            return fem_fail("\n Error on reading floor nodes !!!\n\n");
    }
    m.nfloor = count;
    return true;
}

bool read_materials() {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, "\n Error on reading number of isotropic materials !!!\n\n", 3))
        return false;
    for (int i = 0; i < count; ++i) {
        int mat = 0;
        Material value{};
        if (!scan_int(m.in, &mat) || mat < 1 || mat > m.nmat ||
            !kMaterialClasses[0].read(m.in, &value))
            return fem_fail("\n Error on reading isotropic materials !!!\n\n");
        Material& dst = m.mats[mat - 1];
        dst.E = value.E;
        dst.poisson = value.poisson;
    }
    return true;
}

// Reads a block of numbered records of fixed width into a fresh rows x width table.
template <typename T, typename ReadRow>
bool read_table(T*** table, int* rows, int width, const char* count_msg, const char* rec_msg,
                T** (*alloc)(int, int), void (*release)(T**), ReadRow read_row) {
    FemState& m = g_fem;
    int count = 0;
    if (!read_count(&count, count_msg, width + 1)) return false;
    release(*table);
    *rows = 0;
    *table = alloc(count, width);
    if (!*table) return false;
    *rows = count;
    for (int i = 0; i < count; ++i) {
        int number = 0;
        if (!scan_int(m.in, &number) || number < 1 || number > count ||
            !read_row(m.in, (*table)[number - 1]))
            return fem_fail(rec_msg);
    }
    return true;
}

bool read_sections() {
    FemState& m = g_fem;
    return read_table<double>(&m.sections, &m.nsec, 9,
                              "\n Error on reading number of sections properties !!!\n\n",
                              "\n Error on reading sections properties !!!\n\n", utl_dmatalloc,
                              utl_dmatfree, kSectionClasses[0].read);
}

bool read_vectors() {
    FemState& m = g_fem;
    return read_table<double>(
        &m.vectors, &m.nvec, 3, "\n Error on reading number of orientation vectors !!!\n\n",
        "\n Error on reading orientation vectors !!!\n\n", utl_dmatalloc, utl_dmatfree,
        [](Scan& s, double* row) { return scan_doubles(s, row, 3); });
}

bool read_liberations() {
    FemState& m = g_fem;
    return read_table<int>(&m.libs, &m.nlib, 12,
                           "\n Error on reading number of end liberations  !!!\n\n",
                           "\n Error on reading end liberations !!!\n\n", utl_imatalloc,
                           utl_imatfree, [](Scan& s, int* row) {
                               for (int k = 0; k < 12; ++k)
                                   if (!scan_int(s, &row[k])) return false;
                               return true;
                           });
}

bool read_elements(int cls) {
    FemState& m = g_fem;
    const ElementClass& ec = kElementClasses[cls];
    if (kModelTypes[m.model_type].dofs_per_node != kDofsPerNode) {
        // Only reachable with a model type whose freedoms do not suit this element class.
        std::fputs("\n Global analysis type is not compatible with a given element type !!!\n\n",
                   stdout);
        return true;
    }
    int count = 0;
    if (!read_count(&count, ec.count_message, ec.fields)) return false;
    for (int i = 0; i < count; ++i) {
        if (m.nelem_read == m.nel) return fem_fail(ec.record_message);
        Element& e = m.elems[m.nelem_read];
        e = Element{};
        e.cls = cls;
        ElementInput in{};
        if (!scan_int(m.in, &e.number) || e.number < 1 || e.number > m.nel ||
            m.elem_of[e.number] != 0 || !ec.read(m.in, &e, &in) || !ec.finish(&e, in))
            return fem_fail(ec.record_message);
        m.elem_of[e.number] = ++m.nelem_read;
        for (int a = 0; a < ec.nodes; ++a) valid_node(e.nodes[a]); // checked by finish
    }
    return true;
}

// Keeps a member load for the solution of its case; the table grows with the loads read.
bool store_member_load(const MemberLoad& load) {
    FemState& m = g_fem;
    if (m.nload == m.load_cap) {
        const int grow = m.load_cap < 16 ? 16 : m.load_cap * 2;
        auto* bigger = static_cast<MemberLoad*>(
            utl_calloc(static_cast<std::size_t>(grow), sizeof(MemberLoad)));
        if (!bigger) return false;
        if (m.nload)
            std::memcpy(bigger, m.loads, sizeof(MemberLoad) * static_cast<std::size_t>(m.nload));
        utl_free(m.loads);
        m.loads = bigger;
        m.load_cap = grow;
    }
    m.loads[m.nload++] = load;
    return true;
}

bool read_member_loads(int cls) {
    FemState& m = g_fem;
    const LoadClass& lc = kLoadClasses[cls];
    int count = 0;
    if (!read_count(&count, lc.count_message, lc.fields)) return false;
    for (int i = 0; i < count; ++i) {
        int number = 0;
        MemberLoad load{};
        load.cls = cls;
        if (!scan_int(m.in, &number) || number < 1 || number > m.nel || m.elem_of[number] == 0 ||
            !lc.read(m.in, &load))
            return fem_fail(lc.record_message);
        load.element = m.elem_of[number] - 1;
        load.load_case = m.current_case;
        if (!store_member_load(load)) return false;
    }
    return true;
}

bool read_gravity() {
    FemState& m = g_fem;
    LoadCase& c = m.cases[m.current_case];
    if (!scan_doubles(m.in, c.g, 3)) return fem_fail("\n Error on reading gravity load !!!\n\n");
    c.gravity = true;
    return true;
}

// A case block: the load blocks after it, up to the next one, belong to the case it names.
bool read_case() {
    FemState& m = g_fem;
    int number = 0;
    std::string label;
    if (!read_case_record(&number, &label)) return false;
    if (number < 1 || number > m.ncase) return fem_fail(kCaseRange);
    LoadCase& c = m.cases[number - 1];
    std::memcpy(c.label, label.data(), label.size());
    c.label[label.size()] = '\0';
    m.current_case = number - 1;
    return true;
}

struct BlockReader {
    const char* label;
    bool (*read)();
};

const BlockReader kSecondPass[] = {
    {"HEADER.TITLE", read_title},
    {"NODE.COORD", read_coords},
    {"NODE.SUPPORT", read_supports},
    {"NODE.INCLINED.SUPPORT", read_skew},
    {"NODAL.SPRING", read_springs},
    {"NODE.OFFSET", read_offsets},
    {"NODE.FLOOR", read_floors},
    {"MATERIAL.ISOTROPIC", read_materials},
    {"SECTION.PROPERTY", read_sections},
    {"BEAM.ORIENTATION.VECTOR", read_vectors},
    {"BEAM.END.LIBERATION", read_liberations},
    {"LOAD.CASE.NODAL.FORCE", read_forces},
    {"LOAD.CASE.NODAL.FORCES", read_forces},
    {"LOAD.CASE.NODAL.DISPLACEMENT", read_prescribed},
    {"LOAD.CASE.NODAL.DISPLACEMENTS", read_prescribed},
    {"LOAD.CASE.GRAVITY", read_gravity},
    {"LOAD.CASE", read_case},
};

// The loads of the cases handed over in memory, checked as their records in a file would be.
bool take_case_loads(const std::vector<CaseLoads>& cases) {
    FemState& m = g_fem;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        const CaseLoads& in = cases[c];
        m.current_case = static_cast<int>(c);
        LoadCase& lc = m.cases[c];
        const std::size_t length = std::min<std::size_t>(in.label.size(), kCaseLabelBytes);
        std::memcpy(lc.label, in.label.data(), length);
        lc.label[length] = '\0';
        for (const NodeLoadRecord& r : in.forces)
            if (!valid_node(r.node))
                return fem_fail("\n Error on reading concentrated loads !!!\n\n");
            else if (!add_dof_records(&m.forces, &m.nforce, &m.force_cap, r.node, r.values))
                return false;
        for (const NodeLoadRecord& r : in.prescribed)
            if (!valid_node(r.node))
                return fem_fail("\n Error on reading prescribed displacements !!!\n\n");
            else if (!add_dof_records(&m.presc, &m.npresc, &m.presc_cap, r.node, r.values))
                return false;
        for (const MemberLoadRecord& r : in.members) {
            const int cls = static_cast<int>(r.kind);
            if (cls < 0 || cls >= kGravityLoadClass || r.element < 1 || r.element > m.nel ||
                m.elem_of[r.element] == 0)
                return fem_fail(cls >= 0 && cls < kGravityLoadClass
                                    ? kLoadClasses[cls].record_message
                                    : kLoadClasses[kGravityLoadClass].record_message);
            MemberLoad load{};
            load.cls = cls;
            load.element = m.elem_of[r.element] - 1;
            load.load_case = m.current_case;
            load.flag = r.flag;
            load.x1 = r.x1;
            load.x2 = r.x2;
            std::memcpy(load.v, r.values, sizeof load.v);
            if (!store_member_load(load)) return false;
        }
    }
    return true;
}

// Cases without a block of their own: the only case is the static load, the others are named
// by their number.
void default_case_labels() {
    FemState& m = g_fem;
    for (int c = 0; c < m.ncase; ++c) {
        LoadCase& lc = m.cases[c];
        if (m.ncase == 1)
            std::snprintf(lc.label, sizeof lc.label, "Static_Load");
        else
            std::snprintf(lc.label, sizeof lc.label, "Load_Case_%d", c + 1);
    }
}

// Orders the records of a table by load case, keeping the file's order within a case, and
// sets start[c] to the first record of case c (start[ncase] is the count). A counting sort:
// memory follows the records and the case count, both backed by the file.
template <typename T> bool group_by_case(T** table, int count, int** start) {
    FemState& m = g_fem;
    *start = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.ncase) + 1, sizeof(int)));
    if (!*start) return false;
    int* s = *start;
    for (int i = 0; i < count; ++i) ++s[(*table)[i].load_case + 1];
    for (int c = 0; c < m.ncase; ++c) s[c + 1] += s[c];
    if (m.ncase == 1 || count == 0) return true;
    auto* sorted = static_cast<T*>(utl_calloc(static_cast<std::size_t>(count), sizeof(T)));
    int* next = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.ncase), sizeof(int)));
    if (!sorted || !next) {
        utl_free(sorted);
        utl_free(next);
        return false;
    }
    std::memcpy(next, s, sizeof(int) * static_cast<std::size_t>(m.ncase));
    for (int i = 0; i < count; ++i) sorted[next[(*table)[i].load_case]++] = (*table)[i];
    utl_free(next);
    utl_free(*table);
    *table = sorted;
    return true;
}

} // namespace

bool fem_copy_header() {
    FemState& m = g_fem;
    std::string_view line;
    bool found = false;
    while (scan_line(m.in, kLineChars, &line)) {
        if (starts_with(line, "%HEADER")) {
            found = true;
            break;
        }
    }
    if (!found) return fem_fail("\n\n\n\t *** No HEADER label was found in input file !!! *** \n");
    scan_line(m.in, kLineChars, &line); // the title is not copied
    if (m.out) {
        std::fputs("%HEADER     ", m.out);
        std::fputs("\nNeutral file created by Bracer module of KESTREL program\n", m.out);
        std::fputs("\n%HEADER.VERSION     ", m.out);
        std::fputs("\n2.11 - Aug/2002\n\n", m.out);
    }
    for (;;) {
        if (!scan_line(m.in, kLineChars, &line))
            return fem_fail("\n\n\n\t *** No END label was found in input file !!! *** \n");
        if (!line.empty() && line[0] == '%' &&
            (starts_with(line, "%RESULT") || starts_with(line, "%END")))
            break;
        if (m.out) std::fwrite(line.data(), 1, line.size(), m.out);
    }
    m.in.rewind();
    return true;
}

bool fem_first_pass() {
    FemState& m = g_fem;
    std::string label;
    for (;;) {
        if (!scan_label(m.in, &label)) return fem_fail(kNoEnd);
        if (label == "END") break;
        if (label == "HEADER.ANALYSIS") {
            std::string word;
            m.model_type = -1;
            if (scan_quoted(m.in, &word)) {
                for (int t = 0; t < kModelTypeCount && m.model_type < 0; ++t)
                    for (const char* w : kModelTypes[t].words)
                        if (w && word == w) m.model_type = t;
            }
            if (m.model_type < 0)
                return fem_fail("\n Error on reading global analysis model type !!!\n\n");
        } else if (label == "NODE") {
            if (!read_global_count(&m.nnode, "\n Error on reading number of nodes !!!\n\n",
                                   kBytesPerNode))
                return false;
        } else if (label == "ELEMENT") {
            if (!read_global_count(&m.nel, "\n Error on reading number of BEAM elements !!!\n\n",
                                   kBytesPerElement))
                return false;
        } else if (label == "MATERIAL") {
            if (!read_global_count(&m.nmat,
                                   "\n Error on reading number of isotropic materials !!!\n\n",
                                   kBytesPerMaterial))
                return false;
        } else if (label == "MATERIAL.PROPERTY.DENSITY") {
            if (!read_material_values(&m.density_in, &m.density_size, &m.ndens,
                                      "\n Error on reading number of material densities !!!\n\n",
                                      "\n Error on reading densities !!!\n\n",
                                      "Number of material densities must be equal to  \n"))
                return false;
        } else if (label == "MATERIAL.PROPERTY.THERMAL_EXPANSION") {
            if (!read_material_values(
                    &m.thermal_in, &m.thermal_size, &m.nthermal,
                    "\n Error on reading number of material thermal exp. props. !!!\n\n",
                    "\n Error on reading thermal exp. prop. !!!\n\n",
                    "Number of material thermal exp. must be equal to  \n"))
                return false;
        } else if (label == "THICKNESS") {
            int count = 0;
            if (!read_count(&count, "\n Error on reading number of thicknesses !!!\n\n", 2))
                return false;
            for (int i = 0; i < count; ++i) {
                int n = 0;
                double t = 0;
                if (!scan_int(m.in, &n) || !scan_double(m.in, &t))
                    return fem_fail("\n Error on reading thicknesses !!!\n\n");
            }
            m.nthick = count;
        } else if (label == "LOAD.CASE.GRAVITY") {
            m.loads_claimed += m.nel;
        } else if (label == "LOAD") {
            if (!read_global_count(&m.ncase, kCaseCount, kBytesPerCase)) return false;
            if (m.ncase < 1) return fem_fail(kCaseCount);
            m.cases_named = true;
        } else if (label == "LOAD.CASE") {
            // Read here too, so that no text of a label is taken for a block; the number is
            // checked against the case count in the second pass.
            int number = 0;
            std::string case_label;
            if (!read_case_record(&number, &case_label)) return false;
            m.cases_named = true;
        } else {
            for (int c = 0; c < kLoadClassCount; ++c) {
                const LoadClass& lc = kLoadClasses[c];
                if (!lc.label || label != lc.label) continue;
                // Counted to size the table of load sums once; it still grows only with the
                // loads actually read.
                int count = 0;
                if (!read_count(&count, lc.count_message, lc.fields)) return false;
                m.loads_claimed += count;
            }
        }
    }
    if (const std::vector<CaseLoads>* cases = m.options ? m.options->cases : nullptr) {
        const int count = static_cast<int>(cases->size());
        if (count < 1 || (m.cases_named && m.ncase != count)) return fem_fail(kCaseCount);
        m.ncase = count;
        m.cases_named = true;
        for (const CaseLoads& c : *cases)
            m.loads_claimed += static_cast<long long>(c.members.size());
    }
    if (m.nnode == 0 || m.nel == 0 || m.nmat == 0)
        return fem_fail("\nNo.of nodes, no.of elements, and no.of materials must be given!!!\n\n");
    if (m.model_type < 0) return fem_fail("\n Label HEADER.ANALYSIS has not been found !!!\n\n");
    return true;
}

bool fem_second_pass() {
    FemState& m = g_fem;
    m.in.rewind();
    int nnode = m.nnode;
    m.nnode = 0;
    if (!alloc_nodes(nnode)) return false;
    m.mats = static_cast<Material*>(utl_calloc(static_cast<std::size_t>(m.nmat), sizeof(Material)));
    m.elems = static_cast<Element*>(utl_calloc(static_cast<std::size_t>(m.nel), sizeof(Element)));
    m.elem_of = static_cast<int*>(utl_calloc(static_cast<std::size_t>(m.nel) + 1, sizeof(int)));
    m.cases =
        static_cast<LoadCase*>(utl_calloc(static_cast<std::size_t>(m.ncase), sizeof(LoadCase)));
    if (!m.mats || !m.elems || !m.elem_of || !m.cases) return false;
    default_case_labels();
    m.current_case = 0;
    // A material beyond the tables (the material count grew after the block) gets 0.
    for (int i = 0; i < m.nmat; ++i) {
        m.mats[i].density = i + 1 < m.density_size ? m.density_in[i + 1] : 0.0;
        m.mats[i].alpha = i + 1 < m.thermal_size ? m.thermal_in[i + 1] : 0.0;
    }
    std::string label;
    for (;;) {
        if (!scan_label(m.in, &label)) return fem_fail(kNoEnd);
        if (label == "END") break;
        bool handled = false;
        for (const BlockReader& b : kSecondPass) {
            if (label != b.label) continue;
            if (!b.read()) return false;
            handled = true;
            break;
        }
        for (int c = 0; !handled && c < kElementClassCount; ++c) {
            if (label != kElementClasses[c].label) continue;
            if (!read_elements(c)) return false;
            handled = true;
        }
        for (int c = 0; !handled && c < kLoadClassCount; ++c) {
            if (!kLoadClasses[c].label || label != kLoadClasses[c].label) continue;
            if (!read_member_loads(c)) return false;
            handled = true;
        }
    }
    if (m.options && m.options->cases && !take_case_loads(*m.options->cases)) return false;
    return group_by_case(&m.forces, m.nforce, &m.force_start) &&
           group_by_case(&m.presc, m.npresc, &m.presc_start) &&
           group_by_case(&m.loads, m.nload, &m.load_start);
}

} // namespace kestrel::engine
